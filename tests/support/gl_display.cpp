// Test display: the same mode and fixed OpenGL state the game sets up.
#include "support/gl_display.h"

#include <allegro.h>
#include <alleggl.h>
#include <GL/glu.h>

#include <cstdlib>
#include <cstring>

#include "render/render.h"

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
    allegro_gl_clear_settings();
    allegro_gl_set(AGL_COLOR_DEPTH, 16);
    allegro_gl_set(AGL_Z_DEPTH, 16);
    allegro_gl_set(AGL_DOUBLEBUFFER, 1);
    allegro_gl_set(AGL_RENDERMETHOD, 1);
    allegro_gl_set(AGL_SUGGEST, AGL_COLOR_DEPTH | AGL_Z_DEPTH | AGL_DOUBLEBUFFER | AGL_RENDERMETHOD);
    set_color_depth(16);
    if (set_gfx_mode(GFX_OPENGL_FULLSCREEN, 640, 480, 0, 0) < 0) return false;

    glClearColor(0, 0, 0, 1);
    glShadeModel(GL_SMOOTH);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDepthFunc(GL_LESS);
    glEnable(GL_DEPTH_TEST);
    glCullFace(GL_BACK);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    apply_dawn_light();
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DITHER);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, 1.3333333730697632, 0.5, 1000);
    glMatrixMode(GL_MODELVIEW);
    display_state = 1;
    return true;
}

Pixel read_pixel(int x, int y) {
    unsigned char rgba[4] = {0, 0, 0, 0};
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return Pixel{rgba[0], rgba[1], rgba[2]};
}
