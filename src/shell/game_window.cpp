// The game's window.
//
// The game never switches video modes. It opens a normally managed window
// the size of the screen and asks the window manager to make it full screen
// (the EWMH _NET_WM_STATE_FULLSCREEN state), which every X11 desktop and
// every Wayland compositor's Xwayland support honours and gives keyboard
// focus to. Each frame is drawn at 640x480 and shown scaled to the window's
// current size, 4:3 kept, between black bars (presentation.cpp).
//
// How it takes the pointer, follows the focus and switches to a window is
// in desktop.cpp.
#include <allegro.h>
#include <alleggl.h>
#include <xalleg.h>

#include "shell/shell.h"
#include "shell/shell_local.h"

static int window_width = SCREEN_WIDTH;
static int window_height = SCREEN_HEIGHT;

PictureRect fit_picture(int width, int height) {
    if (width <= 0 || height <= 0) return PictureRect{0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
    PictureRect rect;
    if (static_cast<long>(width) * SCREEN_HEIGHT >= static_cast<long>(height) * SCREEN_WIDTH) {
        rect.height = height;  // wider than 4:3: bars left and right
        rect.width = static_cast<int>(static_cast<long>(height) * SCREEN_WIDTH / SCREEN_HEIGHT);
    } else {
        rect.width = width;  // taller than 4:3: bars above and below
        rect.height = static_cast<int>(static_cast<long>(width) * SCREEN_HEIGHT / SCREEN_WIDTH);
    }
    rect.x = (width - rect.width) / 2;
    rect.y = (height - rect.height) / 2;
    return rect;
}

// ---- X11 (every call below holds Allegro's X lock) ------------------------

static void read_window_size() {
    Window root;
    int x, y;
    unsigned int width, height, border, depth;
    if (!XGetGeometry(_xwin.display, _xwin.window, &root, &x, &y, &width, &height, &border, &depth)) return;
    window_width = static_cast<int>(width);
    window_height = static_cast<int>(height);
    // Allegro warps the pointer back to the window's centre for mickeys.
    _xwin.window_width = window_width;
    _xwin.window_height = window_height;
}

bool open_game_display() {
    allegro_gl_clear_settings();
    allegro_gl_set(AGL_COLOR_DEPTH, COLOR_DEPTH_BITS);
    allegro_gl_set(AGL_Z_DEPTH, COLOR_DEPTH_BITS);
    allegro_gl_set(AGL_DOUBLEBUFFER, 1);
    allegro_gl_set(AGL_RENDERMETHOD, 1);
    allegro_gl_set(AGL_WINDOW_X, 0);
    allegro_gl_set(AGL_WINDOW_Y, 0);
    allegro_gl_set(AGL_SUGGEST, AGL_COLOR_DEPTH | AGL_Z_DEPTH | AGL_DOUBLEBUFFER | AGL_RENDERMETHOD |
                                    AGL_WINDOW_X | AGL_WINDOW_Y);
    set_color_depth(COLOR_DEPTH_BITS);
    set_window_title(GAME_WINDOW_TITLE);
    xwin_set_window_name(GAME_WINDOW_NAME, GAME_WINDOW_CLASS);

    int width = SCREEN_WIDTH, height = SCREEN_HEIGHT;
    if (_xwin.display) {
        width = DisplayWidth(_xwin.display, _xwin.screen);
        height = DisplayHeight(_xwin.display, _xwin.screen);
    }
    if (width < SCREEN_WIDTH || height < SCREEN_HEIGHT) {
        ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, "the screen is smaller than 640x480");
        return false;
    }
    if (set_gfx_mode(GFX_OPENGL_WINDOWED, width, height, 0, 0) < 0) return false;
    set_up_game_window();
    XLOCK();
    read_window_size();
    XUNLOCK();
    choose_present_path();
    direct_frame_drawing(window_width, window_height);
    return true;
}

void present_frame() {
    if (!_xwin.display) {
        allegro_gl_flip();
        return;
    }
    XLOCK();
    read_window_size();
    XUNLOCK();
    present_picture(window_width, window_height);
    direct_frame_drawing(window_width, window_height);
}
