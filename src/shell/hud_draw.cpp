// The HUD drawn into the 3D scene: the text state, the lines of the HUD pass
// with the HUD font, and the world state restored for the next frame.
#include <allegro.h>
#include <alleggl.h>

#include "shell/shell.h"
#include "shell/shell_local.h"

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
