// Frames per second of the game's own frame (draw_frame: figures, arena, item
// box, sky, depth-sorted faces, shadow, shots, explosions, aim marker and the
// HUD) in round 14, with the real assets in datos/, started as the game
// starts. Run from the build directory on a display that can switch to
// 640x480 full screen. Prints figures; asserts nothing.
#include <allegro.h>
#include <alleggl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "empty_frame.h"
#include "game/game.h"
#include "shell/shell.h"

static const int MEASURED_FRAMES = 600;
static const int WARM_UP_FRAMES = 30;
static const int TARGET_ROUND = 14;
static const int SETTLE_TICKS = 120;
static const unsigned FIXED_SEED = 7;

// Round 14 as a player reaches it, in play, with every enemy in front of the
// player, shots flying both ways, two enemies exploding and an item box.
static void set_up_round_14() {
    new_game();
    srand(FIXED_SEED);
    start_round();
    in_game = 1;
    while (round_number < TARGET_ROUND) start_round();
    for (int i = 0; i < SETTLE_TICKS; i++) game_tick();
    round_intro = 0;
    round_intro_countdown = 0;
    enemies_frozen = 0;
    for (int i = 0; i < SETTLE_TICKS; i++) game_tick();
    enemies_frozen = 1;  // hold the scene still while it is measured

    for (int i = 0; i < enemy_count; i++) {
        float angle = player_heading + (i - enemy_count / 2) * 0.12f;
        float distance = 6.0f + 1.5f * static_cast<float>(i % 4);
        enemies[i].x = player_x + distance * std::sin(angle);
        enemies[i].y = player_y + distance * std::cos(angle);
        enemies[i].heading = angle + 3.1416f;
        enemies[i].health = ENEMY_FULL_HEALTH;
        for (int s = 0; s < 3; s++) {
            Shot& shot = enemy_shots[i][s];
            shot.active = 1;
            shot.x = enemies[i].x - (s + 1) * std::sin(angle);
            shot.y = enemies[i].y - (s + 1) * std::cos(angle);
            shot.heading = enemies[i].heading;
        }
    }
    enemy_death_timer[0] = 0.7f;
    enemy_death_timer[1] = 0.4f;
    for (int s = 0; s < 4; s++) {
        Shot& shot = player_shots[s];
        shot.active = 1;
        shot.x = player_x + (2 + 2 * s) * std::sin(player_heading);
        shot.y = player_y + (2 + 2 * s) * std::cos(player_heading);
        shot.heading = player_heading;
    }
    item_box_active = 1;
    item_box_x = player_x + 3 * std::sin(player_heading + 0.4f);
    item_box_y = player_y + 3 * std::cos(player_heading + 0.4f);
}

int main() {
    if (start_game() != START_OK) {
        std::printf("start-up failed (no display or no memory)\n");
        return 1;
    }
    set_up_round_14();
    bench::seconds_per_frame(draw_frame, WARM_UP_FRAMES);
    // The empty frame is measured before and after, and the mean taken.
    const double empty_before = bench::empty_frame_seconds();
    const double cpu_start = bench::process_cpu_seconds();
    const double seconds = bench::seconds_per_frame(draw_frame, MEASURED_FRAMES);
    const double cpu_seconds = bench::process_cpu_seconds() - cpu_start;
    const double empty = 0.5 * (empty_before + bench::empty_frame_seconds());
    std::printf("game frame, round %d, %d enemies, HUD on, 640x480\n", round_number, enemy_count);
    bench::print_against_empty("game frame", seconds, empty);
    bench::print_cpu_time(cpu_seconds, seconds, MEASURED_FRAMES);
    tear_down_game();
    return 0;
}
END_OF_MAIN()
