// The HUD drawn into the 3D scene: the text state, the lines of the HUD pass
// with the HUD font, and the world state restored for the next frame; and
// the frame of a held game.
#include <allegro.h>
#include <alleggl.h>

#include <cstdio>

#include "desktop/desktop.h"
#include "shell/hud_lines.h"
#include "shell/shell.h"
#include "shell/shell_local.h"

// The dimming over a held game's frame, and where its PAUSED sits (eye
// coordinates, centred): as near as the Game Over line, a little lower.
static const float HELD_DIM_ALPHA = 0.55f;
static const float HELD_DIM_DISTANCE = 10.0f;  // a quad at this depth covers the view
static const float HELD_DIM_HALF_SIZE = 10.0f;
static const float PAUSED_Y = 1.0f;
static const float PAUSED_Z = -30.0f;
// The note under PAUSED: as far off as the menus' prompts, in the colour
// of the controls screen's, a line's gap below PAUSED.
static const float HELD_NOTE_Y = -6.5f;
static const float HELD_NOTE_Z = -80.0f;

void draw_hud_lines(const HudLine* lines, int count, float y_offset) {
    if (!hud_font) return;
    for (int i = 0; i < count; i++) {
        const HudLine& line = lines[i];
        allegro_gl_printf(hud_font, line.x, line.y + y_offset, line.z,
                          makecol(line.r, line.g, line.b), "%s", line.text);
    }
}

void draw_hud() {
    // Text is added to the scene, so black draws nothing.
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR);
    glDepthFunc(GL_ALWAYS);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glLoadIdentity();
    glTranslatef(0, 0, 0);

    HudLine lines[HUD_MAX_LINES];
    const int count = run_hud_pass(lines, HUD_MAX_LINES);
    draw_hud_lines(lines, count, 0);

    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDepthFunc(GL_LESS);
}

HeldNote choose_held_note() {
    if (active_input() != INPUT_GAMEPAD) return HELD_NOTE_NONE;
    if (!held_for_unplugged_pad()) return HELD_NOTE_WINDOW_IN_FRONT;
    return gamepad_connected() ? HELD_NOTE_PRESS_BUTTON : HELD_NOTE_CONNECT_PAD;
}

// A line of HUD text centred on x = 0. AllegroGL gives the converted font's
// lengths in its scaled units.
static void draw_centred_line(float y, float z, int r, int g, int b, const char* text) {
    const float width = hud_font ? static_cast<float>(text_length(hud_font, text)) : 0;
    HudLine line;
    add_hud_line(&line, 1, 0, -width / 2, y, z, r, g, b, "%s", text);
    draw_hud_lines(&line, 1, 0);
}

void draw_paused_overlay(HeldNote note) {
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glDepthFunc(GL_ALWAYS);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0, 0, 0, HELD_DIM_ALPHA);
    glBegin(GL_QUADS);
    glVertex3f(-HELD_DIM_HALF_SIZE, -HELD_DIM_HALF_SIZE, -HELD_DIM_DISTANCE);
    glVertex3f(HELD_DIM_HALF_SIZE, -HELD_DIM_HALF_SIZE, -HELD_DIM_DISTANCE);
    glVertex3f(HELD_DIM_HALF_SIZE, HELD_DIM_HALF_SIZE, -HELD_DIM_DISTANCE);
    glVertex3f(-HELD_DIM_HALF_SIZE, HELD_DIM_HALF_SIZE, -HELD_DIM_DISTANCE);
    glEnd();
    glColor4f(1, 1, 1, 1);
    glEnable(GL_TEXTURE_2D);

    // The HUD's own text: its font, added to the picture.
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR);
    draw_centred_line(PAUSED_Y, PAUSED_Z, 255, 255, 255, "PAUSED");
    char text[HUD_TEXT_CAPACITY] = "";
    const char* button = gamepad_button_names().confirm;
    switch (note) {
    case HELD_NOTE_NONE:
        break;
    case HELD_NOTE_PRESS_BUTTON:
        std::snprintf(text, sizeof text, "Press %s to continue", button);
        break;
    case HELD_NOTE_CONNECT_PAD:
        std::snprintf(text, sizeof text, "Connect a pad, then press %s", button);
        break;
    case HELD_NOTE_WINDOW_IN_FRONT:
        std::snprintf(text, sizeof text, "Continues when the game is in front again");
        break;
    }
    if (text[0]) draw_centred_line(HELD_NOTE_Y, HELD_NOTE_Z, 128, 128, 255, text);

    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDepthFunc(GL_LESS);
}
