// The game's window.
//
// The game never switches video modes. It opens a normally managed window
// the size of the screen and asks the window manager to make it full screen
// (the EWMH _NET_WM_STATE_FULLSCREEN state), which every X11 desktop and
// every Wayland compositor's Xwayland support honours and gives keyboard
// focus to. Each frame is drawn at 640x480 and shown scaled to the window's
// current size, 4:3 kept, between black bars (presentation.cpp).
//
// The pointer is grabbed and confined to the window with the cursor hidden:
// Allegro's mickeys then come from an endless relative motion (Xwayland
// locks the pointer for a hidden, confined cursor), as in a full-screen mode.
#include <allegro.h>
#include <alleggl.h>
#include <xalleg.h>
#include <X11/Xatom.h>
#include <X11/extensions/Xfixes.h>

#include "shell/shell.h"
#include "shell/shell_local.h"

static const int GRAB_RETRY_FRAMES = 30;  // frames between two tries at the pointer grab

static int window_width = SCREEN_WIDTH;
static int window_height = SCREEN_HEIGHT;
static bool pointer_grabbed;
static int frames_since_grab_try;

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

// The window as the window manager may resize it: no minimum or maximum size.
static void allow_any_window_size(Display* display, Window window) {
    XSizeHints* hints = XAllocSizeHints();
    if (!hints) return;
    hints->flags = PMinSize;
    hints->min_width = SCREEN_WIDTH / 2;
    hints->min_height = SCREEN_HEIGHT / 2;
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
}

static void ask_for_full_screen(Display* display, Window window) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1;  // _NET_WM_STATE_ADD
    event.xclient.data.l[1] = static_cast<long>(XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False));
    event.xclient.data.l[2] = 0;
    event.xclient.data.l[3] = 1;  // asked by a normal application
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

static void try_pointer_grab() {
    frames_since_grab_try = 0;
    int result = XGrabPointer(_xwin.display, _xwin.window, False,
                              PointerMotionMask | ButtonPressMask | ButtonReleaseMask,
                              GrabModeAsync, GrabModeAsync, _xwin.window, None, CurrentTime);
    pointer_grabbed = result == GrabSuccess;
    // AllegroGL's driver exit releases a grab it finds marked here.
    _xwin.mouse_grabbed = pointer_grabbed ? 1 : 0;
}

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

static void set_up_window() {
    XLOCK();
    Display* display = _xwin.display;
    Window window = _xwin.window;
    allow_any_window_size(display, window);
    ask_for_full_screen(display, window);
    XRaiseWindow(display, window);
    if (!window_manager_running(display)) XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    XFixesHideCursor(display, window);
    try_pointer_grab();
    XSync(display, False);
    read_window_size();
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
    set_up_window();
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
    if (!pointer_grabbed && ++frames_since_grab_try >= GRAB_RETRY_FRAMES) try_pointer_grab();
    XUNLOCK();
    present_picture(window_width, window_height);
    direct_frame_drawing(window_width, window_height);
}
