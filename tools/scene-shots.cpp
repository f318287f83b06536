// scene-shots [FOLDER]: starts the game as the program does, puts it into a
// list of situations (menus, the READY intro, play at each time of day with
// enemies, shots and explosions near the player, the item box, the tally,
// Game Over), draws each with the game's own frame code, HUD included, and
// saves the back buffer as a PNG in FOLDER (default screenshots/). Run it
// from the directory that holds datos/, on a display that can open the
// game's 640x480 full-screen mode. Needs ImageMagick's convert for the PNGs.
#include <allegro.h>
#include <alleggl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "anim/anim.h"
#include "assets/asset_table.h"
#include "game/game.h"
#include "shell/shell.h"

static const int SHOT_WIDTH = 640;
static const int SHOT_HEIGHT = 480;
static const unsigned FIXED_SEED = 12345;  // the same pictures on every run
static const int SETTLE_TICKS = 40;        // lets the camera and the poses settle

static std::string output_folder = "screenshots";
static int shots_saved;
static int shots_failed;

// Reads the back buffer bottom-up and writes it top-down as a PPM, then
// converts it to a PNG.
static void save_back_buffer(const char* name) {
    std::vector<unsigned char> pixels(SHOT_WIDTH * SHOT_HEIGHT * 3);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, SHOT_WIDTH, SHOT_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());

    const std::string ppm = output_folder + "/" + name + ".ppm";
    const std::string png = output_folder + "/" + name + ".png";
    FILE* file = std::fopen(ppm.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "scene-shots: cannot write %s\n", ppm.c_str());
        shots_failed++;
        return;
    }
    std::fprintf(file, "P6\n%d %d\n255\n", SHOT_WIDTH, SHOT_HEIGHT);
    for (int row = SHOT_HEIGHT - 1; row >= 0; row--) {
        std::fwrite(&pixels[static_cast<size_t>(row) * SHOT_WIDTH * 3], 1, SHOT_WIDTH * 3, file);
    }
    std::fclose(file);

    const std::string command = "convert '" + ppm + "' '" + png + "' && rm -f '" + ppm + "'";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "scene-shots: convert failed for %s (the PPM is kept)\n", name);
        shots_failed++;
        return;
    }
    std::printf("%s\n", png.c_str());
    shots_saved++;
}

// One frame as the main loop draws it, shown on the display too.
static void shoot(const char* name) {
    draw_frame();
    glFlush();
    save_back_buffer(name);
    allegro_gl_flip();
}

static void run_ticks(int count) {
    for (int i = 0; i < count; i++) {
        mouse_mickey_x = 0;
        mouse_mickey_y = 0;
        game_tick();
    }
}

static void release_input() {
    key[KEY_W] = 0;
    key[KEY_S] = 0;
    key[KEY_A] = 0;
    key[KEY_D] = 0;
    key[KEY_ENTER] = 0;
    mouse_b = 0;
}

// What menu_tick does on Enter at the controls screen.
static void begin_game() {
    new_game();
    srand(FIXED_SEED);
    start_round();
    in_game = 1;
    menu_screen = 0;
    score = 0;
    lives = STARTING_LIVES;
}

static const int INTRO_GLIDE_TICKS = 60;  // the eye comes down from above the centre

// Lets the intro camera come down, ends the READY intro as the HUD pass
// would, and lets the play camera settle behind the player.
static void skip_intro() {
    run_ticks(INTRO_GLIDE_TICKS);
    round_intro_countdown = 0;
    round_intro = 0;
    enemies_frozen = 0;
    second_ticks = 0;
    run_ticks(SETTLE_TICKS);
}

static const float HALF_TURN = 3.14159f;
static const float RAISED_EYE_HEIGHT = 3.5f;  // as the mouse raises it

struct Placement {
    float ahead;     // units in front of the player
    float side;      // units to the player's right
    float heading;   // relative to the player's heading (pi: facing the player)
};

// Puts the first enemies in play at the given places around the player.
static void place_enemies_near_player(const Placement* places, int count) {
    const float h = player_heading;
    for (int i = 0; i < count && i < enemy_count; i++) {
        Enemy& enemy = enemies[i];
        enemy.x = player_x + places[i].ahead * std::sin(h) + places[i].side * std::cos(h);
        enemy.y = player_y + places[i].ahead * std::cos(h) - places[i].side * std::sin(h);
        enemy.heading = h + places[i].heading;
        enemy.health = ENEMY_FULL_HEALTH;
        enemy.mode = ENEMY_MODE_WANDER;
        enemy.decision_timer = 1000;  // keep wandering for the picture
        enemy_death_timer[i] = 0;
    }
    // The others go far behind the player, out of the picture.
    for (int i = count; i < enemy_count; i++) {
        enemies[i].x = player_x - 20 * std::sin(h);
        enemies[i].y = player_y - 20 * std::cos(h);
        enemies[i].decision_timer = 1000;
    }
}

static const Placement FRONT_GROUP[] = {
    {6.0f, -2.5f, HALF_TURN},          // coming at the player
    {9.0f, 2.5f, HALF_TURN / 2},       // walking to the player's right
    {4.5f, 3.0f, -HALF_TURN / 2 - 0.4f}, // walking to the left
    {10.0f, -4.0f, 0.0f},              // walking away
};
static const int FRONT_GROUP_COUNT = sizeof FRONT_GROUP / sizeof FRONT_GROUP[0];

// Play at the time of day of the current round, enemies walking near by.
static void shoot_play(const char* name) {
    place_enemies_near_player(FRONT_GROUP, FRONT_GROUP_COUNT);
    run_ticks(6);
    shoot(name);
}

static void clear_shots() {
    for (Shot& shot : player_shots) shot.active = 0;
    for (int i = 0; i < MAX_ENEMIES; i++) {
        for (Shot& shot : enemy_shots[i]) shot.active = 0;
    }
}

// Player shots on their way to the enemies, enemy shots on their way back.
static void shoot_shots_in_flight(const char* name, float eye_height = RAISED_EYE_HEIGHT,
                                  int exploding = -1) {
    place_enemies_near_player(FRONT_GROUP, FRONT_GROUP_COUNT);
    if (exploding >= 0 && exploding < enemy_count) {
        enemies[exploding].health = 0;
        enemy_death_timer[exploding] = 0.6f;
    }
    clear_shots();
    const float h = player_heading;
    for (int i = 0; i < 3; i++) {
        Shot& shot = player_shots[i];
        shot.spare = 0;
        shot.active = 1;
        const float along = 2.0f + 3.0f * i;
        shot.x = player_x + along * std::sin(h);
        shot.y = player_y + along * std::cos(h);
        shot.heading = h;
    }
    for (int j = 0; j < 2; j++) {
        const Enemy& enemy = enemies[j];
        const float toward = std::atan2(player_x - enemy.x, player_y - enemy.y);
        Shot& shot = enemy_shots[j][0];
        shot.spare = 0;
        shot.active = 1;
        shot.x = enemy.x + 1.5f * std::sin(toward);
        shot.y = enemy.y + 1.5f * std::cos(toward);
        shot.heading = toward;
    }
    const float saved_eye = camera_eye_z;
    camera_eye_z = eye_height;  // shots fly at chest height, behind the player otherwise
    enemies_frozen = 1;  // no new shots or turns in this frame
    run_ticks(1);
    enemies_frozen = 0;
    shoot(name);
    clear_shots();
    camera_eye_z = saved_eye;
    if (exploding >= 0 && exploding < enemy_count) {
        enemies[exploding].health = ENEMY_FULL_HEALTH;
        enemy_death_timer[exploding] = 0;
    }
}

static void shoot_enemy_explosion(const char* name) {
    place_enemies_near_player(FRONT_GROUP, FRONT_GROUP_COUNT);
    run_ticks(2);
    enemies[0].health = 0;
    enemy_death_timer[0] = 0.7f;
    shoot(name);
    enemy_death_timer[0] = 0;
    enemies[0].health = ENEMY_FULL_HEALTH;
}

static void shoot_player_explosion(const char* name) {
    player_death_timer = 0.7f;
    shoot(name);
    player_death_timer = 0;
}

// The item box a few units in front of the player.
static void shoot_item_box(const char* name) {
    place_enemies_near_player(nullptr, 0);
    item_box_active = 1;
    item_box_kind = ITEM_MACHINE_GUN;
    item_box_x = player_x + 4.0f * std::sin(player_heading) + 1.0f;
    item_box_y = player_y + 4.0f * std::cos(player_heading);
    run_ticks(10);
    shoot(name);
    item_box_active = 0;
}

// The player walks onto a machine-gun box: the pick-up message and the
// magazine count in the HUD.
static void shoot_pickup(const char* name) {
    item_box_active = 1;
    item_box_kind = ITEM_MACHINE_GUN;
    item_box_x = player_x;
    item_box_y = player_y + 1.0f;
    key[KEY_W] = 1;
    run_ticks(8);
    key[KEY_W] = 0;
    shoot(name);
    item_message_timer = 0;
    weapon = WEAPON_RIFLE;
    ammo = UNLIMITED_AMMO;
    fire_interval = FIRE_INTERVAL_RIFLE_TICKS;
}

// The player walking forward, seen from behind, enemies ahead.
static void shoot_walking(const char* name) {
    key[KEY_W] = 1;
    run_ticks(20);
    place_enemies_near_player(FRONT_GROUP, FRONT_GROUP_COUNT);
    run_ticks(4);
    key[KEY_W] = 0;
    shoot(name);
}

// The player turned to four sides in turn: the sky, the walls and the
// buildings all round, no enemies in the picture.
static void shoot_panorama(const char* prefix) {
    const float saved_heading = player_heading;
    place_enemies_near_player(nullptr, 0);
    enemies_frozen = 1;
    for (int side = 0; side < 4; side++) {
        player_heading = saved_heading + side * (HALF_TURN / 2);
        run_ticks(2);
        char name[64];
        std::snprintf(name, sizeof name, "%s-look-%d", prefix, side);
        shoot(name);
    }
    player_heading = saved_heading;
    run_ticks(2);
    enemies_frozen = 0;
}


// From the south-west corner of the floor towards the north-east watchtower
// and the main tower beyond the east wall.
static void shoot_towers(const char* name) {
    const float saved_x = player_x, saved_y = player_y, saved_heading = player_heading;
    place_enemies_near_player(nullptr, 0);
    enemies_frozen = 1;
    player_x = -22.0f;
    player_y = -22.0f;
    player_heading = HALF_TURN / 4 + 0.15f;
    run_ticks(2);
    shoot(name);
    player_x = saved_x;
    player_y = saved_y;
    player_heading = saved_heading;
    run_ticks(2);
    enemies_frozen = 0;
}

// Close views of the figures for checking which way they face: the camera
// globals are set after the last tick, just for this frame.
static void shoot_from(const char* name, float eye_x, float eye_y, float eye_z, float target_x,
                       float target_y, float target_z) {
    const float saved[6] = {camera_eye_x, camera_eye_y, camera_eye_z,
                            camera_target_x, camera_target_y, camera_target_z};
    camera_eye_x = eye_x;
    camera_eye_y = eye_y;
    camera_eye_z = eye_z;
    camera_target_x = target_x;
    camera_target_y = target_y;
    camera_target_z = target_z;
    shoot(name);
    camera_eye_x = saved[0];
    camera_eye_y = saved[1];
    camera_eye_z = saved[2];
    camera_target_x = saved[3];
    camera_target_y = saved[4];
    camera_target_z = saved[5];
}

static void shoot_close_ups(const char* prefix) {
    static const Placement ONE_AHEAD[] = {{5.0f, 0.0f, HALF_TURN / 2}};  // walking to the right
    place_enemies_near_player(ONE_AHEAD, 1);
    key[KEY_W] = 1;
    run_ticks(12);
    key[KEY_W] = 0;
    enemies_frozen = 1;
    run_ticks(1);
    const float h = player_heading;
    const float px = player_x, py = player_y;
    const float fx = std::sin(h), fy = std::cos(h);  // the player's forward
    char name[64];
    std::snprintf(name, sizeof name, "%s-player-back", prefix);
    shoot_from(name, px - 2.2f * fx, py - 2.2f * fy, 1.9f, px, py, 1.4f);
    std::snprintf(name, sizeof name, "%s-player-front", prefix);
    shoot_from(name, px + 2.2f * fx, py + 2.2f * fy, 1.9f, px, py, 1.4f);
    std::snprintf(name, sizeof name, "%s-player-side", prefix);
    shoot_from(name, px + 2.2f * fy, py - 2.2f * fx, 1.5f, px, py, 1.1f);
    // The enemy walks to the player's right: seen from the player's side it
    // shows its left flank, from ahead of it its face.
    const Enemy& enemy = enemies[0];
    const float ex = std::sin(enemy.heading), ey = std::cos(enemy.heading);
    std::snprintf(name, sizeof name, "%s-enemy-front", prefix);
    shoot_from(name, enemy.x + 3.0f * ex, enemy.y + 3.0f * ey, 1.6f, enemy.x, enemy.y, 1.0f);
    std::snprintf(name, sizeof name, "%s-enemy-flank", prefix);
    shoot_from(name, enemy.x - 3.0f * ey, enemy.y + 3.0f * ex, 1.6f, enemy.x, enemy.y, 1.0f);
    enemies_frozen = 0;
}

// A fight facing the north-east watchtower: shots both ways, one enemy
// blowing up, the tower's windows behind.
static void shoot_battle(const char* name) {
    const float saved_x = player_x, saved_y = player_y, saved_heading = player_heading;
    player_x = -14.0f;
    player_y = -18.0f;
    player_heading = HALF_TURN / 4 + 0.1f;
    run_ticks(2);
    shoot_shots_in_flight(name, 2.8f, 3);
    player_x = saved_x;
    player_y = saved_y;
    player_heading = saved_heading;
    run_ticks(2);
}

// Every enemy down at full health: the tally with all its lines.
static void shoot_tally(const char* name) {
    for (int i = 0; i < enemy_count; i++) enemies[i].health = 0;
    player_health = PLAYER_FULL_HEALTH;
    win_round();
    second_ticks = 0;
    run_ticks(45);  // the camera orbits round the player
    tally_countdown = 2;
    second_ticks = 30;  // PERFECT in white
    shoot(name);
}

static void shoot_game_over(const char* name) {
    lives = 0;
    player_death_timer = 0;
    game_over = 1;
    game_over_countdown = 5;
    run_ticks(2);
    shoot(name);
}

static void shoot_menus() {
    in_game = 0;
    menu_screen = 0;
    static const float TITLE_PHASES[] = {0.05f, 0.3f, 0.6f};
    static const char* const TITLE_NAMES[] = {"title-1", "title-2", "title-3"};
    for (int i = 0; i < 3; i++) {
        menu_phase = TITLE_PHASES[i];
        shoot(TITLE_NAMES[i]);
    }
    menu_screen = 1;
    menu_phase = 0.35f;
    shoot("controls");
    menu_screen = 0;
}

int main(int argc, char** argv) {
    if (argc > 1) output_folder = argv[1];
    if (argc > 2) {
        std::fprintf(stderr, "usage: scene-shots [FOLDER]\n");
        return 2;
    }
    const std::string make_folder = "mkdir -p '" + output_folder + "'";
    if (std::system(make_folder.c_str()) != 0) {
        std::fprintf(stderr, "scene-shots: cannot make %s\n", output_folder.c_str());
        return 1;
    }
    if (start_game() != START_OK) {
        std::fprintf(stderr, "scene-shots: the game did not start (no display?)\n");
        return 1;
    }
    release_input();

    shoot_menus();

    // Round 1, dawn.
    begin_game();
    run_ticks(50);
    shoot("intro");
    skip_intro();
    shoot_walking("dawn-walking");
    shoot_play("dawn-play");
    shoot_shots_in_flight("dawn-shots");
    shoot_enemy_explosion("dawn-enemy-explosion");
    shoot_item_box("dawn-item-box");
    shoot_pickup("dawn-pickup");
    shoot_panorama("dawn");
    shoot_towers("dawn-towers");
    shoot_battle("dawn-battle");
    shoot_close_ups("dawn");
    shoot_player_explosion("dawn-player-explosion");
    shoot_tally("tally");

    // Round 2, sunset: the tally's end starts it inside the HUD pass.
    tally_countdown = 0;
    draw_frame();
    srand(FIXED_SEED);
    skip_intro();
    shoot_play("sunset-play");
    shoot_shots_in_flight("sunset-shots");
    shoot_panorama("sunset");
    shoot_towers("sunset-towers");
    shoot_battle("sunset-battle");

    // Round 3, night.
    start_round();
    skip_intro();
    shoot_play("night-play");
    shoot_shots_in_flight("night-shots");
    shoot_enemy_explosion("night-enemy-explosion");
    shoot_item_box("night-item-box");
    shoot_panorama("night");
    shoot_towers("night-towers");
    shoot_battle("night-battle");

    shoot_game_over("game-over");

    tear_down_game();
    std::printf("scene-shots: %d pictures saved, %d failed\n", shots_saved, shots_failed);
    return shots_failed == 0 ? 0 : 1;
}
END_OF_MAIN()
