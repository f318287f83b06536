// Helpers for the tests of the game rules: a fresh seeded game started as
// the menu starts one, play begun as the HUD pass begins it, no input held,
// and enemies put where they neither shoot nor get in the way.
#pragma once

#include <allegro.h>

#include <cstdlib>

#include "game/game.h"
#include "shell/shell.h"
#include "sound/sound.h"

inline void release_all_input() {
    for (int k : {KEY_W, KEY_S, KEY_A, KEY_D, KEY_ENTER, KEY_ALT, KEY_ALTGR}) key[k] = 0;
    mouse_b = 0;
    mouse_mickey_x = 0;
    mouse_mickey_y = 0;
}

// The title screen as the program starts: a new game's state, no input held
// and Enter let go.
inline void start_at_title() {
    release_all_input();
    new_game();
    in_game = 0;
    menu_screen = 0;
    enter_latch = 0;
}

// A new game as Enter on the controls screen starts it (round 1 in its
// READY intro), with the enemies placed from `seed` rather than the clock.
inline void start_test_game(unsigned seed = 1) {
    release_all_input();
    start_new_game();
    srand(seed);
    place_enemies();
    max_score = 25000;
    reset_channel_records();
}

// Ends the READY intro through the HUD pass, as the frame after its
// countdown does.
inline void begin_play() {
    round_intro_countdown = 0;
    HudLine lines[HUD_MAX_LINES];
    run_hud_pass(lines, HUD_MAX_LINES);
}

// A new game past its READY intro.
inline void start_test_play() {
    start_test_game();
    begin_play();
}

// Every enemy slot alive, wandering for a long while, along the far edge
// (y = 20), each facing along the edge; no shots in flight.
inline void park_enemies() {
    for (int i = 0; i < MAX_ENEMIES; i++) {
        // x: none on the line x = 0.
        enemies[i] = Enemy{-22.0f + 5.0f * i, 20.0f, 0, ENEMY_MODE_WANDER, 1000000, ENEMY_FULL_HEALTH};
        enemy_fire_cooldown[i] = 0;
        enemy_death_timer[i] = 0;
        for (Shot& shot : enemy_shots[i]) shot.active = 0;
    }
}

// A new game past its READY intro with the enemies parked.
inline void start_parked_play() {
    start_test_play();
    park_enemies();
}

inline int active_shots(const Shot* list) {
    int n = 0;
    for (int i = 0; i < SHOT_SLOTS; i++) n += list[i].active;
    return n;
}
