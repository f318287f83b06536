// One frame: the 3D scene of a running game with its HUD, or a menu screen.
// A frame only reads game state, except for the HUD pass's two mode changes.
#include <allegro.h>
#include <alleggl.h>

#include "assets/asset_table.h"
#include "game/game.h"
#include "render/render.h"
#include "shell/shell.h"

static const float RADIANS_TO_DEGREES_NEGATED = -57.2957f;

// The preset last sent to OpenGL; round starts only choose light_preset.
static int applied_light_preset = 0;

static float figure_turn_degrees(float heading) {
    return (heading + HEADING_TO_MODEL_HALF_TURN_RADIANS) * RADIANS_TO_DEGREES_NEGATED;
}

static void sync_light_preset() {
    if (light_preset >= 0 && light_preset <= 2 && light_preset != applied_light_preset) {
        apply_light_preset(light_preset);
        applied_light_preset = light_preset;
    }
}

static void draw_game_scene() {
    if (player_death_timer < DEATH_TIMER_END && game_over == 0 && player_model) {
        draw_model(0, 0, figure_turn_degrees(player_heading), player_x, player_y, 0,
                   player_model, RENDER_MODE_PLAYER);
    }
    for (int i = 0; i < enemy_count; i++) {
        if (enemies[i].health > 0 && enemy_models[i]) {
            draw_model(0, 0, figure_turn_degrees(enemies[i].heading), enemies[i].x, enemies[i].y, 0,
                       enemy_models[i], RENDER_MODE_ENEMY);
        }
    }
    if (arena_model) draw_model(0, 0, 0, 0, 0, 0, arena_model, RENDER_MODE_ARENA);
    if (item_box_active && item_box_model) {
        copy_rest_pose(item_box_model);
        draw_model(0, 0, item_box_spin, item_box_x, item_box_y, 0, item_box_model, RENDER_MODE_ITEM_BOX);
    }
    if (sky_model) {
        copy_rest_pose(sky_model);
        draw_model(0, 0, 0, 0, 0, 0, sky_model, RENDER_MODE_SKY);
    }
    draw_deferred_faces();
    draw_shadow(player_x, player_y);
    draw_shots(player_shots, 0);
    for (int i = 0; i < enemy_count; i++) draw_shots(enemy_shots[i], 1);
    for (int i = 0; i < enemy_count; i++) {
        if (enemy_death_timer[i] > 0) draw_explosion(enemies[i].x, enemies[i].y, enemy_death_timer[i]);
    }
    if (player_death_timer > 0) draw_explosion(player_x, player_y, player_death_timer);
    draw_aim_marker();
    draw_hud();
}

void draw_frame() {
    deferred_face_count = 0;
    sync_light_preset();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (in_game == 1) {
        draw_game_scene();
    } else if (menu_screen == 1) {
        draw_item_box_screen();
        if (item_box_model) {
            copy_rest_pose(item_box_model);
            draw_model(0, 0, menu_phase * -360.0f, 0, 0, 0, item_box_model, RENDER_MODE_ITEM_BOX);
        }
    } else {
        draw_title_screen();
    }
}
