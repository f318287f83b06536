// One tick of a running game and the once-per-second step, in their fixed
// order. No OpenGL here: the whole tick runs without a display.
#include <allegro.h>

#include "anim/anim.h"
#include "assets/asset_table.h"
#include "desktop/desktop.h"
#include "game/game.h"
#include "shell/shell.h"
#include "sound/sound.h"

static const float PLAYER_DEATH_TIMER_STEP = 0.025f;
static const float ENEMY_DEATH_TIMER_STEP = 0.05f;
static const int MUSIC_FADE_STEP = 2;
static const float ITEM_BOX_SPIN_DEGREES_PER_TICK = 5.0f;
static const int ITEM_BOX_CLOCK_MARK_EARLY = 98;
static const int ITEM_BOX_CLOCK_MARK_LATE = 50;
static const int GAME_OVER_SECONDS = 5;
static const int TALLY_SILENT_COUNTDOWN = 2;  // the blast sounds above this

static void step_player_death_timer() {
    if (player_death_timer <= 0) return;
    player_death_timer = player_death_timer - PLAYER_DEATH_TIMER_STEP;
    if (player_death_timer >= DEATH_TIMER_END) return;
    if (game_over != 0) return;
    if (lives > 0) {
        restart_round();
    } else {
        game_over = 1;
        game_over_countdown = GAME_OVER_SECONDS;
    }
}

static void step_enemy_death_timers() {
    for (int i = 0; i < enemy_count; i++) {
        if (enemy_death_timer[i] > 0) enemy_death_timer[i] -= ENEMY_DEATH_TIMER_STEP;
    }
}

static void step_music_fade() {
    if (music_volume > 0) music_volume -= MUSIC_FADE_STEP;
    if (music_volume <= 0) {
        music_volume = 0;
        stop_music_stream(music_stream);
    }
    set_channel_volume(CHANNEL_MUSIC, music_volume);
}

static void animate_figures() {
    update_animation(player_skeleton);
    skin_model(player_skeleton, player_model);

    if (enemy_skeleton) {
        enemy_skeleton->requested_state = round_intro == 1 ? ANIM_STAND : ANIM_WALK_FORWARD;
    }
    update_animation(enemy_skeleton);
    for (int i = 0; i < enemy_count; i++) skin_model(enemy_skeleton, enemy_models[i]);

    copy_rest_pose(arena_model);
}

void per_second_step() {
    if (game_over) {
        game_over_countdown -= 1;
        if (game_over_countdown <= 0) in_game = 0;
    }
    if (tally_countdown > 0) {
        if (tally_countdown > TALLY_SILENT_COUNTDOWN) play_sample(CHANNEL_PLAYER_SHOT, SAMPLE_BLAST);
        tally_countdown -= 1;
    }
    if (item_message_timer > 0) item_message_timer -= 1;
    if (round_intro_countdown > 0) round_intro_countdown -= 1;
    if (round_intro == 0 && tally_active == 0) {
        round_clock -= 1;
        if (item_box_active == 0 &&
            (round_clock == ITEM_BOX_CLOCK_MARK_EARLY || round_clock == ITEM_BOX_CLOCK_MARK_LATE)) {
            place_item_box();
        }
    }
    second_ticks = 0;
}

// A pad, where one is plugged in, rumbles lightly at a hit and strongly at
// a life lost.
static void rumble_at_harm(int32_t health_before, int lives_before) {
    if (lives < lives_before) {
        rumble_gamepads(RUMBLE_LIFE_LOST);
    } else if (player_health < health_before) {
        rumble_gamepads(RUMBLE_HIT);
    }
}

void game_tick() {
    read_tick_input(&mouse_mickey_x, &mouse_mickey_y);
    const int32_t health_before = player_health;
    const int lives_before = lives;
    if (game_over == 0) update_player();
    animate_figures();
    step_player_death_timer();
    step_enemy_death_timers();
    if (enemies_frozen == 0) update_enemies();
    update_player_shots(player_shots);
    for (int i = 0; i < enemy_count; i++) update_enemy_shots(enemy_shots[i]);
    if (tally_active == 1) step_music_fade();

    second_ticks += 1;
    if (second_ticks >= TICKS_PER_SECOND) per_second_step();

    if (round_clock == 0) {  // running out of time costs a life
        round_clock = ROUND_SECONDS;
        // ...unless the player is already dying: one death, one life.
        if (player_death_timer <= 0) {
            player_death_timer = PLAYER_DEATH_TIMER_START;
            lives -= 1;
        }
    }
    if (item_box_active) item_box_spin += ITEM_BOX_SPIN_DEGREES_PER_TICK;
    check_item_pickup();
    if (score > max_score) max_score = score;
    rumble_at_harm(health_before, lives_before);
}
