// The player: mouse turning, walking and strafing inside the arena, the
// third-person camera of play, the READY intro and the tally orbit, and the
// firing of the rifle or machine gun into the player's shot list.
#include <allegro.h>

#include <cmath>

#include "anim/anim.h"
#include "assets/asset_table.h"
#include "game/game.h"
#include "game/game_local.h"

float player_x;
float player_y;
float player_heading;
int32_t player_health;
int8_t lives;
int32_t score;
int32_t max_score;
int8_t weapon;
int32_t ammo;
int8_t fire_interval;
int32_t fire_cooldown;
float player_death_timer;
int32_t mouse_mickey_x;
int32_t mouse_mickey_y;

float camera_eye_x, camera_eye_y, camera_eye_z;
float camera_target_x, camera_target_y, camera_target_z;
float camera_up_z;
float camera_orbit_angle;

static const float TURN_RADIANS_PER_MICKEY = 0.01f;
static const float ORBIT_RADIANS_PER_TICK = 0.02f;
static const float WALK_UNITS_PER_TICK = 0.25f;
static const float STRAFE_UNITS_PER_TICK = 0.25f;
static const float PLAYER_AREA_EDGE = 26.5f;

// The intro camera glides to a point on the player's right.
static const float INTRO_SIDE_UNITS = 3.0f;
static const float INTRO_GLIDE_UNITS_PER_TICK = 0.25f;
static const float INTRO_CLOSE_UNITS = 1.0f;
static constexpr float INTRO_REST_HEIGHT = 2.0f;
static const float INTRO_REST_HEIGHT_TOLERANCE = 0.25f;
static const float INTRO_LOWEST_HEIGHT = 1.25f;

static const float CAMERA_BEHIND_UNITS = 5.0f;
static const float CAMERA_BEHIND_NEAR_EDGE_UNITS = 1.5f;
static const float ORBIT_BEHIND_UNITS = 2.5f;
static constexpr float TALLY_EYE_HEIGHT = 0.5f;
static const float EYE_HEIGHT_PER_MICKEY = 0.01f;
static const float EYE_HEIGHT_MIN = 0.8f;
static constexpr float EYE_HEIGHT_MAX = 5.0f;
static const float TARGET_AHEAD_UNITS = 5.0f;
// The asset builder leaves out arena faces no eye below the intro's start
// could see; a camera allowed higher would look at holes.
static_assert(EYE_HEIGHT_MAX <= INTRO_EYE_HEIGHT && TALLY_EYE_HEIGHT <= INTRO_EYE_HEIGHT &&
                  INTRO_REST_HEIGHT <= INTRO_EYE_HEIGHT,
              "no camera may rise above the intro's start");

static const int FIRE_BUTTON_LEFT_ALONE = 1;

static float clamp_to(float value, float low, float high) {
    if (value < low) return low;
    if (value > high) return high;
    return value;
}

static void turn_player() {
    if (tally_active) {
        camera_orbit_angle -= ORBIT_RADIANS_PER_TICK;
    } else if (!round_intro) {
        player_heading += mouse_mickey_x * TURN_RADIANS_PER_MICKEY;
    }
}

// The keys are read in this order so that the last held one of the four
// names the animation.
static void walk_player() {
    const float h = player_heading;
    int state = ANIM_STAND;
    if (key[KEY_W]) state = ANIM_WALK_FORWARD;
    if (key[KEY_S]) state = ANIM_WALK_BACKWARD;
    if (key[KEY_A]) state = ANIM_STRAFE_LEFT;
    if (key[KEY_D]) state = ANIM_STRAFE_RIGHT;
    if (player_skeleton) player_skeleton->requested_state = state;

    float step = 0;
    if (key[KEY_W]) step = WALK_UNITS_PER_TICK;
    if (key[KEY_S]) step = -WALK_UNITS_PER_TICK;
    player_x += step * std::sin(h);
    player_y += step * std::cos(h);
    if (key[KEY_A]) {
        player_x += STRAFE_UNITS_PER_TICK * std::sin(h - STRAFE_QUARTER_TURN_RADIANS);
        player_y += STRAFE_UNITS_PER_TICK * std::cos(h - STRAFE_QUARTER_TURN_RADIANS);
    }
    if (key[KEY_D]) {
        player_x += STRAFE_UNITS_PER_TICK * std::sin(h + STRAFE_QUARTER_TURN_RADIANS);
        player_y += STRAFE_UNITS_PER_TICK * std::cos(h + STRAFE_QUARTER_TURN_RADIANS);
    }
    player_x = clamp_to(player_x, -PLAYER_AREA_EDGE, PLAYER_AREA_EDGE);
    player_y = clamp_to(player_y, -PLAYER_AREA_EDGE, PLAYER_AREA_EDGE);
}

static void place_eye_on_floor(float h) {
    if (tally_active) {
        camera_eye_x = player_x + ORBIT_BEHIND_UNITS * std::sin(camera_orbit_angle + CAMERA_BEHIND_HALF_TURN_RADIANS);
        camera_eye_y = player_y + ORBIT_BEHIND_UNITS * std::cos(camera_orbit_angle + CAMERA_BEHIND_HALF_TURN_RADIANS);
        return;
    }
    camera_eye_x = player_x + CAMERA_BEHIND_UNITS * std::sin(h + CAMERA_BEHIND_HALF_TURN_RADIANS);
    camera_eye_y = player_y + CAMERA_BEHIND_UNITS * std::cos(h + CAMERA_BEHIND_HALF_TURN_RADIANS);
    // With the back to a wall the eye comes in close rather than leave the arena.
    if (is_outside_arena(camera_eye_x, camera_eye_y)) {
        camera_eye_x = player_x + CAMERA_BEHIND_NEAR_EDGE_UNITS * std::sin(h + CAMERA_BEHIND_HALF_TURN_RADIANS);
        camera_eye_y = player_y + CAMERA_BEHIND_NEAR_EDGE_UNITS * std::cos(h + CAMERA_BEHIND_HALF_TURN_RADIANS);
    }
}

static void set_eye_height() {
    if (tally_active) {
        camera_eye_z = TALLY_EYE_HEIGHT;
    } else {
        camera_eye_z += mouse_mickey_y * EYE_HEIGHT_PER_MICKEY;
    }
    camera_eye_z = clamp_to(camera_eye_z, EYE_HEIGHT_MIN, EYE_HEIGHT_MAX);
}

static float glide_towards(float from, float to) {
    if (std::fabs(from - to) <= INTRO_CLOSE_UNITS) return from;
    return from < to ? from + INTRO_GLIDE_UNITS_PER_TICK : from - INTRO_GLIDE_UNITS_PER_TICK;
}

// During the READY intro the eye comes down from above the centre to a point
// beside the player.
static void glide_intro_eye(float side_x, float side_y) {
    if (std::fabs(camera_eye_x - side_x) <= INTRO_CLOSE_UNITS &&
        std::fabs(camera_eye_y - side_y) <= INTRO_CLOSE_UNITS &&
        std::fabs(camera_eye_z - INTRO_REST_HEIGHT) <= INTRO_REST_HEIGHT_TOLERANCE) {
        return;
    }
    camera_eye_x = glide_towards(camera_eye_x, side_x);
    camera_eye_y = glide_towards(camera_eye_y, side_y);
    if (camera_eye_z > INTRO_LOWEST_HEIGHT) camera_eye_z -= INTRO_GLIDE_UNITS_PER_TICK;
}

static void aim_camera(float h) {
    if (round_intro) {
        camera_target_x = player_x;
        camera_target_y = player_y;
    } else if (tally_active) {
        camera_target_x = player_x + TARGET_AHEAD_UNITS * std::sin(camera_orbit_angle);
        camera_target_y = player_y + TARGET_AHEAD_UNITS * std::cos(camera_orbit_angle);
    } else {
        camera_target_x = player_x + TARGET_AHEAD_UNITS * std::sin(h);
        camera_target_y = player_y + TARGET_AHEAD_UNITS * std::cos(h);
    }
}

// At most one shot a tick: the first one sets the cooldown, which the shot
// update lowers later in the same tick.
static void fire_weapon() {
    if (mouse_b != FIRE_BUTTON_LEFT_ALONE || enemies_frozen) return;
    if (fire_cooldown != 0) return;
    const int slot = find_free_shot_slot(player_shots);
    if (slot < 0) return;

    play_sample(CHANNEL_PLAYER_SHOT, weapon == WEAPON_MACHINE_GUN ? SAMPLE_MACHINE_GUN : SAMPLE_RIFLE);
    if (weapon == WEAPON_MACHINE_GUN && ammo >= 0) ammo -= 1;
    if (weapon == WEAPON_MACHINE_GUN && ammo < 0) {  // the magazine is spent: back to the rifle
        weapon = WEAPON_RIFLE;
        fire_interval = FIRE_INTERVAL_RIFLE_TICKS;
    }
    fire_cooldown = fire_interval;

    Shot& shot = player_shots[slot];
    shot.spare = 0;
    shot.active = 1;
    shot.x = player_x;
    shot.y = player_y;
    shot.heading = player_heading;
}

void update_player() {
    const float entry_heading = player_heading;
    const float side_x = player_x + INTRO_SIDE_UNITS * std::sin(entry_heading + INTRO_SIDE_QUARTER_TURN_RADIANS);
    const float side_y = player_y + INTRO_SIDE_UNITS * std::cos(entry_heading + INTRO_SIDE_QUARTER_TURN_RADIANS);

    turn_player();
    if (!enemies_frozen) walk_player();

    const float h = player_heading;
    if (round_intro) {
        glide_intro_eye(side_x, side_y);
    } else {
        place_eye_on_floor(h);
        set_eye_height();
    }
    aim_camera(h);
    fire_weapon();
}
