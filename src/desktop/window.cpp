// The game's window and its two modes, full screen and a window.
//
// The game never switches video modes. It opens a normally managed window
// the size of the screen and asks the window manager to make it full screen
// (the EWMH _NET_WM_STATE_FULLSCREEN state), which every X11 desktop and
// every Wayland compositor's Xwayland support honours and gives keyboard
// focus to. Each frame is drawn at 640x480 and shown scaled to the window's
// current size, 4:3 kept, between black bars (presentation.cpp).
//
// F11 or Alt+Enter switches to a resizable window and back. How the game
// follows the focus and takes the pointer is in focus.cpp.
#include <allegro.h>
#include <alleggl.h>
#include <xalleg.h>
#include <X11/Xatom.h>

#include "desktop/desktop_local.h"

// How the game's window names itself to the desktop (title and WM_CLASS;
// the title is the build's SUNDOWN_TITLE).
static const char* const GAME_WINDOW_TITLE = SUNDOWN_TITLE;
static const char* const GAME_WINDOW_NAME = "sundown";
static const char* const GAME_WINDOW_CLASS = "Sundown";

// The window of window mode is the largest whole number of 320x240 steps
// that leaves this share of the screen to the desktop's panels and frames.
static const int WINDOW_STEP_WIDTH = SCREEN_WIDTH / 2;
static const int WINDOW_STEP_HEIGHT = SCREEN_HEIGHT / 2;
static const int WINDOW_SCREEN_SHARE_PERCENT = 85;

static int window_width = SCREEN_WIDTH;
static int window_height = SCREEN_HEIGHT;
static bool full_screen = true;
static bool window_mode_keys_down;

WindowSize window_mode_size(int screen_width, int screen_height) {
    const int by_width = screen_width * WINDOW_SCREEN_SHARE_PERCENT / 100 / WINDOW_STEP_WIDTH;
    const int by_height = screen_height * WINDOW_SCREEN_SHARE_PERCENT / 100 / WINDOW_STEP_HEIGHT;
    int steps = by_width < by_height ? by_width : by_height;
    if (steps < 1) steps = 1;
    return WindowSize{steps * WINDOW_STEP_WIDTH, steps * WINDOW_STEP_HEIGHT};
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

static bool window_manager_running(Display* display) {
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    bool running = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                                      &type, &format, &count, &after, &data) == Success &&
                   type == XA_WINDOW && count == 1;
    if (data) XFree(data);
    return running;
}

// The window as the window manager may resize it: no maximum size.
static void allow_any_window_size(Display* display, Window window) {
    XSizeHints* hints = XAllocSizeHints();
    if (!hints) return;
    hints->flags = PMinSize;
    hints->min_width = SCREEN_WIDTH / 2;
    hints->min_height = SCREEN_HEIGHT / 2;
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
}

// The EWMH full-screen state, asked of the window manager.
static void ask_for_full_screen(Display* display, Window window, bool on) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = on ? 1 : 0;  // _NET_WM_STATE_ADD or _REMOVE
    event.xclient.data.l[1] = static_cast<long>(XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False));
    event.xclient.data.l[2] = 0;
    event.xclient.data.l[3] = 1;  // asked by a normal application
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

// The open window made resizable and full screen, the focus followed from
// now on, vsync asked for.
static void set_up_game_window() {
    XLOCK();
    Display* display = _xwin.display;
    Window window = _xwin.window;
    allow_any_window_size(display, window);
    ask_for_full_screen(display, window, true);
    XRaiseWindow(display, window);
    if (!window_manager_running(display)) XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    ask_for_vsync();
    XSync(display, False);
    start_following_focus();
    XUNLOCK();
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
    LOCK_FUNCTION(request_quit_from_window);
    set_close_button_callback(request_quit_from_window);
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

void close_game_display() {
    release_presentation();
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
}

void toggle_window_mode() {
    if (!_xwin.display) return;
    full_screen = !full_screen;
    XLOCK();
    Display* display = _xwin.display;
    Window window = _xwin.window;
    const int screen_width = DisplayWidth(display, _xwin.screen);
    const int screen_height = DisplayHeight(display, _xwin.screen);
    if (full_screen) {
        // Without a window manager nobody else makes it cover the screen.
        if (!window_manager_running(display)) XMoveResizeWindow(display, window, 0, 0, screen_width, screen_height);
        ask_for_full_screen(display, window, true);
    } else {
        // The window manager puts back the size from before full screen
        // first (the whole screen, as the window opened), then takes this.
        ask_for_full_screen(display, window, false);
        const WindowSize size = window_mode_size(screen_width, screen_height);
        XMoveResizeWindow(display, window, (screen_width - size.width) / 2, (screen_height - size.height) / 2,
                          size.width, size.height);
    }
    XFlush(display);
    XUNLOCK();
}

void follow_window_mode_keys() {
    const bool alt = key[KEY_ALT] || key[KEY_ALTGR];
    const bool down = key[KEY_F11] || (alt && key[KEY_ENTER]);
    if (down && !window_mode_keys_down) toggle_window_mode();
    window_mode_keys_down = down;
}
