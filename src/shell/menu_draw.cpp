// The two menu screens drawn with OpenGL: the title image flying towards the
// viewer, and the controls pictures beside the spinning item box: the
// keyboard and mouse cards with the movement keys' labels written on the
// keyboard's, or while a pad is in the player's hands the pad's card with
// its buttons' names. Both draw with additive blending over the black
// background and leave the resting state of the frame.
#include <allegro.h>
#include <alleggl.h>

#include "assets/asset_table.h"
#include "desktop/desktop.h"
#include "game/game.h"
#include "shell/hud_lines.h"
#include "shell/shell.h"
#include "shell/shell_local.h"

static const float TITLE_FLIGHT_UNITS = 10.0f;  // over one phase cycle
static const float TITLE_LIFT = 1.0f;

// Item box screen camera, looking at the box from 6 units in front.
static const float ITEM_SCREEN_EYE_X = -1.5f, ITEM_SCREEN_EYE_Y = 6.0f, ITEM_SCREEN_EYE_Z = 1.5f;
static const float ITEM_SCREEN_TARGET_X = -1.5f, ITEM_SCREEN_TARGET_Y = 0.0f, ITEM_SCREEN_TARGET_Z = 1.5f;

// Where the small title of the controls screen sits, above the two cards.
static const float SMALL_TITLE_Y = 3.0f, SMALL_TITLE_Z = -10.0f;

struct QuadCorner {
    float u, v;
    float x, y, z;
};

// Corners in drawing order with their texture coordinates.
static const QuadCorner TITLE_QUAD[4] = {
    {0, 0, -4, -2, -10}, {1, 0, 4, -2, -10}, {1, 1, 4, 2, -10}, {0, 1, -4, 2, -10},
};
static const QuadCorner SMALL_TITLE_QUAD[4] = {
    {0, 0, -2, -1, 0}, {1, 0, 2, -1, 0}, {1, 1, 2, 1, 0}, {0, 1, -2, 1, 0},
};
static const float CARD_W = CONTROLS_CARD_HALF_WIDTH, CARD_H = CONTROLS_CARD_HALF_HEIGHT, CARD_Z = CONTROLS_CARD_Z;
static const QuadCorner CONTROLS_QUAD[4] = {
    {0, 0, -CARD_W, -CARD_H, CARD_Z}, {1, 0, CARD_W, -CARD_H, CARD_Z},
    {1, 1, CARD_W, CARD_H, CARD_Z},   {0, 1, -CARD_W, CARD_H, CARD_Z},
};
static const float PAD_W = PAD_CARD_HALF_WIDTH;
static const QuadCorner PAD_CARD_QUAD[4] = {
    {0, 0, -PAD_W, -CARD_H, CARD_Z}, {1, 0, PAD_W, -CARD_H, CARD_Z},
    {1, 1, PAD_W, CARD_H, CARD_Z},   {0, 1, -PAD_W, CARD_H, CARD_Z},
};

static void bind_texture(int32_t texture) {
    glBindTexture(GL_TEXTURE_2D, texture < 0 ? 0 : static_cast<GLuint>(texture));
}

static void draw_quad(const QuadCorner* corners) {
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; i++) {
        glTexCoord2f(corners[i].u, corners[i].v);
        glVertex3f(corners[i].x, corners[i].y, corners[i].z);
    }
    glEnd();
}

static void set_menu_text_state() {
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glDepthFunc(GL_ALWAYS);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR);
    glLoadIdentity();
}

static void restore_resting_state() {
    glDepthFunc(GL_LESS);
    glDisable(GL_BLEND);
    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
}

void draw_title_screen() {
    set_menu_text_state();
    glTranslatef(0, 0, 0);
    HudLine lines[HUD_MAX_LINES];
    const int count = collect_title_lines(lines, HUD_MAX_LINES);
    draw_hud_lines(lines, count, 0);

    // The title flies towards the viewer while it fades to black.
    glLoadIdentity();
    glTranslatef(0, TITLE_LIFT, menu_phase * TITLE_FLIGHT_UNITS);
    bind_texture(title_texture);
    const float grey = 1 - menu_phase;
    glColor3f(grey, grey, grey);
    draw_quad(TITLE_QUAD);

    restore_resting_state();
}

// The keyboard and mouse cards, the movement keys' labels on their blank
// keycaps as the player's keyboard layout prints them.
static void draw_keyboard_and_mouse_cards() {
    glLoadIdentity();
    glTranslatef(-CONTROLS_CARD_SIDE_X, CONTROLS_CARD_Y, 0);
    bind_texture(keyboard_controls_texture);
    draw_quad(CONTROLS_QUAD);

    glLoadIdentity();
    glTranslatef(CONTROLS_CARD_SIDE_X, CONTROLS_CARD_Y, 0);
    bind_texture(mouse_controls_texture);
    draw_quad(CONTROLS_QUAD);

    follow_keyboard_layout();
    glLoadIdentity();
    HudLine lines[HUD_MAX_LINES];
    const int count = collect_movement_key_lines(lines, HUD_MAX_LINES);
    draw_hud_lines(lines, count, 0);
}

// The pad's card in their place, its badges named as the player's pad
// names its buttons.
static void draw_pad_card() {
    glLoadIdentity();
    glTranslatef(0, CONTROLS_CARD_Y, 0);
    bind_texture(pad_controls_texture);
    draw_quad(PAD_CARD_QUAD);

    glLoadIdentity();
    HudLine lines[HUD_MAX_LINES];
    const int count = collect_pad_card_lines(lines, HUD_MAX_LINES);
    draw_hud_lines(lines, count, 0);
}

void draw_item_box_screen() {
    set_menu_text_state();
    glTranslatef(0, ITEM_SCREEN_TEXT_RAISE, 0);
    HudLine lines[HUD_MAX_LINES];
    const int count = collect_item_box_screen_lines(lines, HUD_MAX_LINES);
    draw_hud_lines(lines, count, -ITEM_SCREEN_TEXT_RAISE);

    bind_texture(title_texture);
    glColor3f(1, 1, 1);
    glLoadIdentity();
    glTranslatef(0, SMALL_TITLE_Y, SMALL_TITLE_Z);
    draw_quad(SMALL_TITLE_QUAD);

    if (active_input() == INPUT_GAMEPAD) {
        draw_pad_card();
    } else {
        draw_keyboard_and_mouse_cards();
    }

    restore_resting_state();

    camera_eye_x = ITEM_SCREEN_EYE_X;
    camera_eye_y = ITEM_SCREEN_EYE_Y;
    camera_eye_z = ITEM_SCREEN_EYE_Z;
    camera_target_x = ITEM_SCREEN_TARGET_X;
    camera_target_y = ITEM_SCREEN_TARGET_Y;
    camera_target_z = ITEM_SCREEN_TARGET_Z;
}
