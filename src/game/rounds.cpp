// Rounds and game set-up: the new game, the start of each round with its
// growing difficulty, time of day and music, the restart after a lost life,
// the round win with its bonus, and the random placement of the enemies.
#include <climits>
#include <cmath>
#include <cstdlib>
#include <ctime>

#include "anim/anim.h"
#include "assets/asset_table.h"
#include "game/game.h"
#include "game/game_local.h"

int8_t round_number;
int8_t light_preset;
MusicStream* music_stream;
int32_t music_volume;

static const float NEW_GAME_PLAYER_X = 0.0f;
static const float NEW_GAME_PLAYER_Y = -16.0f;
static const int ROUND_INTRO_SECONDS = 3;
static const int TALLY_SECONDS = 5;

static const int FIRST_ENEMY_COUNT = 3;
static const int ENEMY_AGGRESSION_THRESHOLD = 70;
// Set one step before round 1, whose start makes them 55 and 0.55.
static const int NEW_GAME_ENEMY_FIRE_INTERVAL_TICKS = 60;
static const float NEW_GAME_ENEMY_SHOT_SPEED = 0.5f;
static const int ENEMY_FIRE_INTERVAL_STEP_TICKS = 5;
static const int ENEMY_FIRE_INTERVAL_FLOOR_TICKS = 15;
static const float ENEMY_SHOT_SPEED_STEP = 0.05f;
static const float ENEMY_SHOT_SPEED_CAP = 0.8f;
static const int LAST_ROUND_WITH_NEW_ENEMY = 14;  // one more every second round
static const int LIGHT_PRESET_LAST = 2;           // 0 dawn, 1 sunset, 2 night

// New game camera: 10 units behind the player, 1 unit above the floor.
static const float NEW_GAME_EYE_X = 0.0f, NEW_GAME_EYE_Y = -26.0f, NEW_GAME_EYE_Z = 1.0f;
static const float NEW_GAME_TARGET_X = 0.0f, NEW_GAME_TARGET_Y = -16.0f, NEW_GAME_TARGET_Z = 1.0f;
// Round start and respawn: high above the centre, for the intro to glide down.
static const float INTRO_EYE_X = 0.0f, INTRO_EYE_Y = 0.0f, INTRO_EYE_Z = INTRO_EYE_HEIGHT;

static const int ENEMY_PLACEMENT_RANGE = 56;       // whole numbers -28..27
static const int ENEMY_PLACEMENT_OFFSET = 28;
static const float ENEMY_PLACEMENT_CLEARANCE = 5.0f;  // from the player, per axis
static const int ENEMY_HEADING_DRAW_RANGE = 628;
static const float ENEMY_HEADING_PER_DRAW = 0.01f;

static const int WIN_POINTS_PER_UNIT = 100;  // per second left and per health
static const int PERFECT_ROUND_BONUS = 10000;

// The previous round's stream is closed before the next one opens, so no
// stream is left behind from round to round.
static void restart_music() {
    if (music_stream) {
        stop_music_stream(music_stream);
        close_music_stream(music_stream);
        music_stream = nullptr;
    }
    music_stream = open_music_stream(asset_path(ASSET_ROUND_MUSIC));
    music_volume = SOUND_VOLUME_MAX;
    play_music_stream(music_stream);
    set_channel_volume(CHANNEL_MUSIC, SOUND_VOLUME_MAX);
}

static void reset_player_for_round() {
    player_health = PLAYER_FULL_HEALTH;
    enemies_frozen = 1;
    round_clock = ROUND_SECONDS;
    place_enemies();
    round_intro = 1;
    round_intro_countdown = ROUND_INTRO_SECONDS;
    fire_interval = FIRE_INTERVAL_RIFLE_TICKS;
    ammo = UNLIMITED_AMMO;
    weapon = WEAPON_RIFLE;
}

static void place_intro_eye() {
    camera_eye_x = INTRO_EYE_X;
    camera_eye_y = INTRO_EYE_Y;
    camera_eye_z = INTRO_EYE_Z;
}

void new_game() {
    srand(static_cast<unsigned>(time(nullptr)));

    player_x = NEW_GAME_PLAYER_X;
    player_y = NEW_GAME_PLAYER_Y;
    player_heading = 0;
    score = 0;
    player_health = PLAYER_FULL_HEALTH;
    lives = STARTING_LIVES;
    fire_cooldown = 0;
    fire_interval = FIRE_INTERVAL_RIFLE_TICKS;
    player_death_timer = 0;

    item_message[0] = '\0';
    item_message_timer = 0;
    item_box_active = 0;

    in_game = 0;
    game_over = 0;
    game_over_countdown = 0;
    second_ticks = 0;

    light_preset = -1;  // so that round 1 starts at dawn
    round_number = 0;
    round_clock = ROUND_SECONDS;
    round_intro = 0;
    round_intro_countdown = 0;
    tally_active = 0;
    tally_countdown = 0;
    enemies_frozen = 0;

    enemy_count = FIRST_ENEMY_COUNT;
    enemy_aggression = ENEMY_AGGRESSION_THRESHOLD;
    enemy_fire_interval = NEW_GAME_ENEMY_FIRE_INTERVAL_TICKS;
    enemy_shot_speed = NEW_GAME_ENEMY_SHOT_SPEED;

    camera_eye_x = NEW_GAME_EYE_X;
    camera_eye_y = NEW_GAME_EYE_Y;
    camera_eye_z = NEW_GAME_EYE_Z;
    camera_target_x = NEW_GAME_TARGET_X;
    camera_target_y = NEW_GAME_TARGET_Y;
    camera_target_z = NEW_GAME_TARGET_Z;
    camera_up_z = 1;

    // All ten slots, not only those of round 1: shots and explosions of the
    // last game must not come back when later rounds bring those slots in.
    for (int i = 0; i < MAX_ENEMIES; i++) {
        enemy_death_timer[i] = 0;
        for (Shot& shot : enemy_shots[i]) shot.active = 0;
    }
    for (Shot& shot : player_shots) shot.active = 0;
}

void start_round() {
    light_preset += 1;
    if (light_preset > LIGHT_PRESET_LAST) light_preset = 0;

    // The round counter stops at its largest value rather than turn negative.
    if (round_number < INT8_MAX) round_number += 1;
    if (round_number <= LAST_ROUND_WITH_NEW_ENEMY && round_number % 2 == 0 && enemy_count < MAX_ENEMIES) {
        enemy_count += 1;
    }
    check_enemy_count();

    enemy_shot_speed += ENEMY_SHOT_SPEED_STEP;
    if (enemy_shot_speed > ENEMY_SHOT_SPEED_CAP) enemy_shot_speed = ENEMY_SHOT_SPEED_CAP;

    if (player_skeleton) {
        player_skeleton->requested_state = ANIM_STAND;
        player_skeleton->from_key = ANIM_STAND_FIRST_KEY;
        player_skeleton->to_key = ANIM_STAND_FIRST_KEY + 1;
    }
    if (enemy_skeleton) {
        enemy_skeleton->from_key = ANIM_STAND_FIRST_KEY;
        enemy_skeleton->to_key = ANIM_STAND_FIRST_KEY + 1;
    }
    place_intro_eye();
    restart_music();

    enemy_fire_interval -= ENEMY_FIRE_INTERVAL_STEP_TICKS;
    if (enemy_fire_interval < ENEMY_FIRE_INTERVAL_FLOOR_TICKS) enemy_fire_interval = ENEMY_FIRE_INTERVAL_FLOOR_TICKS;

    reset_player_for_round();
}

void restart_round() {
    if (player_skeleton) player_skeleton->requested_state = ANIM_STAND;
    place_intro_eye();
    reset_player_for_round();
}

void win_round() {
    if (player_skeleton) player_skeleton->requested_state = ANIM_STAND;
    camera_orbit_angle = 0;
    score += (round_clock + player_health) * WIN_POINTS_PER_UNIT;
    if (player_health == PLAYER_FULL_HEALTH) score += PERFECT_ROUND_BONUS;
    tally_active = 1;
    enemies_frozen = 1;
    tally_countdown = TALLY_SECONDS;
}

static float draw_enemy_coordinate(float player_coordinate) {
    float value;
    do {
        value = static_cast<float>(rand() % ENEMY_PLACEMENT_RANGE - ENEMY_PLACEMENT_OFFSET);
    } while (std::fabs(value - player_coordinate) < ENEMY_PLACEMENT_CLEARANCE);
    return value;
}

// Every slot is placed, in play or not.
void place_enemies() {
    for (Enemy& enemy : enemies) {
        enemy.health = ENEMY_FULL_HEALTH;
        enemy.x = draw_enemy_coordinate(player_x);
        enemy.y = draw_enemy_coordinate(player_y);
        enemy.heading = (rand() % ENEMY_HEADING_DRAW_RANGE) * ENEMY_HEADING_PER_DRAW;
        enemy.mode = ENEMY_MODE_WANDER;
    }
}
