// Test display: the same mode and fixed OpenGL state the game sets up.
#include "support/gl_display.h"

#include <allegro.h>
#include <alleggl.h>

#include <cstdlib>
#include <cstring>

#include "desktop/desktop.h"
#include "shell/shell.h"

static int display_state;  // 0 untried, 1 open, -1 failed

bool test_display_required() {
    const char* ci = std::getenv("CI");
    return ci && std::strcmp(ci, "true") == 0;
}

bool open_test_display() {
    if (display_state != 0) return display_state > 0;
    display_state = -1;
    if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0) return false;
    install_allegro_gl();
    install_timer();
    install_keyboard();
    if (!open_game_display()) return false;
    set_fixed_gl_state();
    display_state = 1;
    return true;
}

Pixel read_pixel(int x, int y) {
    unsigned char rgba[4] = {0, 0, 0, 0};
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return Pixel{rgba[0], rgba[1], rgba[2]};
}
