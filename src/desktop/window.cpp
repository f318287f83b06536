// The game's window and its two modes, full screen and a window, on one
// monitor.
//
// The game never switches video modes. It opens a normally managed window
// on the monitor under the pointer, at that monitor's size and position, and
// asks the window manager to make it full screen there (the EWMH
// _NET_WM_STATE_FULLSCREEN state, with _NET_WM_FULLSCREEN_MONITORS naming
// the monitor where the window manager offers it), which every X11 desktop
// and every Wayland compositor's Xwayland support honours and gives keyboard
// focus to. Each frame is drawn at 640x480 and shown scaled to the window's
// current size, 4:3 kept, between black bars (presentation.cpp).
//
// F11 or Alt+Enter switches to a resizable window centred on the game's
// monitor and back; full screen goes to the monitor the window is on. When
// monitors come, go or move, the game goes to the one it overlaps most.
//
// This file coordinates the room: it opens the window, and follows the
// desktop every pass of the main loop. It calls on the presentation
// (presentation.cpp), the monitors (monitors.cpp), the focus and the pointer
// (focus.cpp) and the input's hold (tick_input.cpp); none of them calls
// back.
#include <allegro.h>
#include <alleggl.h>
#include <xalleg.h>
#include <X11/Xatom.h>

#include "desktop/desktop_local.h"
#include "desktop/x11.h"

// How the game's window names itself to the desktop (title and WM_CLASS;
// the title is the build's SUNDOWN_TITLE).
static const char* const GAME_WINDOW_TITLE = SUNDOWN_TITLE;
static const char* const GAME_WINDOW_NAME = "sundown";
static const char* const GAME_WINDOW_CLASS = "Sundown";
// The window's colour and depth buffer precision (Allegro colour depth 16).
static const int COLOR_DEPTH_BITS = 16;

// The window of window mode is the largest whole number of 320x240 steps
// that leaves this share of the monitor to the desktop's panels and frames.
static const int WINDOW_STEP_WIDTH = SCREEN_WIDTH / 2;
static const int WINDOW_STEP_HEIGHT = SCREEN_HEIGHT / 2;
static const int WINDOW_SCREEN_SHARE_PERCENT = 85;

// How long the window manager has to take the window off the screen before
// it is mapped again on its monitor, and how often that is looked at.
static const int WITHDRAW_WAIT_MS = 1000;
static const int WITHDRAW_POLL_MS = 5;
// The monitors are read again this often; after a change the window
// manager has this long to fit the game to the new monitors itself.
static const int MONITOR_CHECK_MS = 500;
static const int MONITOR_SETTLE_MS = 1000;
// The window manager's _NET_SUPPORTED list is read this far.
static const int MAX_SUPPORTED_HINTS = 4096;

static bool full_screen = true;
static bool window_mode_keys_down;

static MonitorList monitors;
static int game_monitor;  // the monitor the game is on, in monitors
static int64_t last_monitor_check_ms;
static int64_t monitors_changed_ms;
static bool monitors_changed;

ScreenRect window_mode_rect(ScreenRect monitor) {
    const int by_width = monitor.width * WINDOW_SCREEN_SHARE_PERCENT / 100 / WINDOW_STEP_WIDTH;
    const int by_height = monitor.height * WINDOW_SCREEN_SHARE_PERCENT / 100 / WINDOW_STEP_HEIGHT;
    int steps = by_width < by_height ? by_width : by_height;
    if (steps < 1) steps = 1;
    const int width = steps * WINDOW_STEP_WIDTH;
    const int height = steps * WINDOW_STEP_HEIGHT;
    return ScreenRect{monitor.x + (monitor.width - width) / 2, monitor.y + (monitor.height - height) / 2, width,
                      height};
}

static bool inside(ScreenRect inner, ScreenRect outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

// ---- X11 (every call below holds Allegro's X lock) ------------------------

// Where the window is on the X screen (its frame, if any, left out).
static ScreenRect window_on_screen(Display* display, Window window) {
    Window root, child;
    int x, y, root_x = 0, root_y = 0;
    unsigned int width = 0, height = 0, border, depth;
    XGetGeometry(display, window, &root, &x, &y, &width, &height, &border, &depth);
    XTranslateCoordinates(display, window, root, 0, 0, &root_x, &root_y, &child);
    return ScreenRect{root_x, root_y, static_cast<int>(width), static_cast<int>(height)};
}

// The window a window's _NET_SUPPORTING_WM_CHECK names; None without one.
static Window supporting_window(Display* display, Window window) {
    long named;
    if (read_window_property(display, window, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, &named, 1) != 1) return None;
    return static_cast<Window>(named);
}

// A window manager that ended leaves its _NET_SUPPORTING_WM_CHECK on the
// root, naming a window gone with it: one runs only while that window still
// names itself.
static bool window_manager_running(Display* display) {
    const Window check = supporting_window(display, DefaultRootWindow(display));
    if (check == None) return false;
    begin_x_error_trap();
    const Window named = supporting_window(display, check);
    const bool failed = end_x_error_trap();
    return !failed && named == check;
}

// Whether the window manager lists the hint in _NET_SUPPORTED.
static bool window_manager_supports(Display* display, const char* hint) {
    const long wanted = static_cast<long>(XInternAtom(display, hint, False));
    static long supported[MAX_SUPPORTED_HINTS];
    const int count = read_window_property(display, DefaultRootWindow(display), "_NET_SUPPORTED", XA_ATOM,
                                           supported, MAX_SUPPORTED_HINTS);
    for (int i = 0; i < count; i++) {
        if (supported[i] == wanted) return true;
    }
    return false;
}

// The window as the window manager may resize it: no maximum size; placed
// where the game puts it, on its monitor.
static void allow_any_window_size(Display* display, Window window, ScreenRect place) {
    XSizeHints* hints = XAllocSizeHints();
    if (!hints) return;
    hints->flags = PMinSize | PPosition | USPosition | PSize;
    hints->x = place.x;
    hints->y = place.y;
    hints->width = place.width;
    hints->height = place.height;
    hints->min_width = SCREEN_WIDTH / 2;
    hints->min_height = SCREEN_HEIGHT / 2;
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
}

static void send_to_window_manager(Display* display, Window window, const char* message, const long (&data)[5]) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, message, False);
    event.xclient.format = 32;
    for (int i = 0; i < 5; i++) event.xclient.data.l[i] = data[i];
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
}

// The EWMH full-screen state, asked of the window manager.
static void ask_for_full_screen(Display* display, Window window, bool on) {
    const long fullscreen = static_cast<long>(XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False));
    // _NET_WM_STATE_ADD or _REMOVE; asked by a normal application.
    send_to_window_manager(display, window, "_NET_WM_STATE", {on ? 1 : 0, fullscreen, 0, 1, 0});
}

// Full screen on exactly that monitor (top, bottom, left and right edge on
// it), where the window manager takes the hint.
static void ask_for_full_screen_monitor(Display* display, Window window, int monitor) {
    const long index = monitors.xinerama_index[monitor];
    if (index < 0 || !window_manager_supports(display, "_NET_WM_FULLSCREEN_MONITORS")) return;
    send_to_window_manager(display, window, "_NET_WM_FULLSCREEN_MONITORS", {index, index, index, index, 1});
}

static void move_window(Display* display, Window window, ScreenRect place) {
    XMoveResizeWindow(display, window, place.x, place.y, static_cast<unsigned>(place.width),
                      static_cast<unsigned>(place.height));
}

// Full screen on a monitor. The window is moved inside it first, so that a
// window manager that picks the monitor itself (by the window's overlap, its
// centre or the pointer) picks this one; without a window manager the move
// is all there is.
static void go_full_screen_on(Display* display, Window window, int monitor) {
    const ScreenRect place = monitors.rects[monitor];
    if (!window_manager_running(display)) {
        move_window(display, window, place);
        return;
    }
    if (!inside(window_on_screen(display, window), place)) move_window(display, window, place);
    ask_for_full_screen_monitor(display, window, monitor);
    ask_for_full_screen(display, window, true);
}

// Out of full screen, and out of the maximized state that a window manager
// (KWin) gives a window opened at a monitor's size.
static void leave_full_screen(Display* display, Window window) {
    ask_for_full_screen(display, window, false);
    const long vertical = static_cast<long>(XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_VERT", False));
    const long horizontal = static_cast<long>(XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_HORZ", False));
    send_to_window_manager(display, window, "_NET_WM_STATE", {0, vertical, horizontal, 1, 0});
}

static void go_to_window_on(Display* display, Window window, int monitor) {
    // The window manager puts back the size from before full screen first,
    // then takes this.
    if (window_manager_running(display)) leave_full_screen(display, window);
    move_window(display, window, window_mode_rect(monitors.rects[monitor]));
}

static bool window_withdrawn(Display* display, Window window) {
    long state;
    const Atom wm_state = XInternAtom(display, "WM_STATE", False);
    return read_window_property(display, window, "WM_STATE", wm_state, &state, 1) == 0 || state == WithdrawnState;
}

// AllegroGL maps the window as soon as it makes it, before the game has
// given it its size hints and its monitor's place. So the window is taken
// back (ICCCM withdrawal), put in its place and mapped again, and the window
// manager takes it in with them; full screen is asked for once it is mapped
// (go_full_screen_on).
//
// The full-screen state is not put on the window (its _NET_WM_STATE) before
// the map, which EWMH also allows: awesome 4.3 makes a window mapped with it
// full screen at once, then its default rules place the window as any new
// one, inside the work area, which moves it below awesome's bar with its
// bottom rows off the screen. Asked after the map, the state comes after
// that placement, and every window manager tried covers the monitor exactly.
static void map_again_on_monitor(const LockedX& x, ScreenRect place) {
    Display* display = x.display;
    Window window = x.window;
    XWithdrawWindow(display, window, x.screen);
    XSync(display, False);
    for (int waited = 0; waited < WITHDRAW_WAIT_MS && !window_withdrawn(display, window); waited += WITHDRAW_POLL_MS) {
        rest_with_x_unlocked(WITHDRAW_POLL_MS);
    }
    move_window(display, window, place);
    XMapWindow(display, window);
}

// The open window made resizable and full screen on the game's monitor, the
// focus followed from now on, vsync asked for.
static void set_up_game_window() {
    const LockedX x;
    Display* display = x.display;
    Window window = x.window;
    const ScreenRect place = monitors.rects[game_monitor];
    allow_any_window_size(display, window, place);
    const bool managed = window_manager_running(display);
    if (managed) map_again_on_monitor(x, place);
    go_full_screen_on(display, window, game_monitor);
    XRaiseWindow(display, window);
    if (!managed) XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    ask_for_vsync(x);
    XSync(display, False);
    start_following_focus(x);
}

// The monitors, and the one under the pointer that the game opens on; false
// when none holds the picture.
static bool choose_game_monitor(const LockedX& x) {
    read_monitors(x, &monitors);
    Window root, child;
    int pointer_x = 0, pointer_y = 0, window_x, window_y;
    unsigned int buttons;
    XQueryPointer(x.display, DefaultRootWindow(x.display), &root, &child, &pointer_x, &pointer_y, &window_x,
                  &window_y, &buttons);
    game_monitor = choose_start_monitor(monitors, pointer_x, pointer_y);
    last_monitor_check_ms = monotonic_ms();
    return game_monitor >= 0;
}

bool open_game_display() {
    ScreenRect place = {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
    {
        const LockedX x;
        if (x) {
            if (!choose_game_monitor(x)) {
                ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, "no monitor is as large as 640x480");
                return false;
            }
            place = monitors.rects[game_monitor];
        }
    }
    allegro_gl_clear_settings();
    allegro_gl_set(AGL_COLOR_DEPTH, COLOR_DEPTH_BITS);
    allegro_gl_set(AGL_Z_DEPTH, COLOR_DEPTH_BITS);
    allegro_gl_set(AGL_DOUBLEBUFFER, 1);
    allegro_gl_set(AGL_RENDERMETHOD, 1);
    allegro_gl_set(AGL_WINDOW_X, place.x);
    allegro_gl_set(AGL_WINDOW_Y, place.y);
    allegro_gl_set(AGL_SUGGEST, AGL_COLOR_DEPTH | AGL_Z_DEPTH | AGL_DOUBLEBUFFER | AGL_RENDERMETHOD |
                                    AGL_WINDOW_X | AGL_WINDOW_Y);
    set_color_depth(COLOR_DEPTH_BITS);
    LOCK_FUNCTION(request_quit_from_window);
    set_close_button_callback(request_quit_from_window);
    set_window_title(GAME_WINDOW_TITLE);
    xwin_set_window_name(GAME_WINDOW_NAME, GAME_WINDOW_CLASS);

    if (set_gfx_mode(GFX_OPENGL_WINDOWED, place.width, place.height, 0, 0) < 0) return false;
    set_up_game_window();
    start_presentation();
    return true;
}

void close_game_display() {
    release_presentation();
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
}

// The monitor the window overlaps most, from monitors read just now.
static void find_game_monitor(const LockedX& x) {
    read_monitors(x, &monitors);
    game_monitor = monitor_overlapping_most(monitors, window_on_screen(x.display, x.window));
    if (game_monitor < 0) game_monitor = 0;  // read_monitors gives one at least
}

static void toggle_window_mode() {
    const LockedX x;
    if (!x) return;
    full_screen = !full_screen;
    Display* display = x.display;
    Window window = x.window;
    find_game_monitor(x);
    if (full_screen) {
        go_full_screen_on(display, window, game_monitor);
    } else {
        go_to_window_on(display, window, game_monitor);
    }
    XFlush(display);
}

bool alt_enter_down() {
    return key[KEY_ENTER] && (key[KEY_ALT] || key[KEY_ALTGR]);
}

static void follow_window_mode_keys() {
    const bool down = key[KEY_F11] || alt_enter_down();
    if (down && !window_mode_keys_down) toggle_window_mode();
    window_mode_keys_down = down;
}

// Allegro's thread owns the X event queue and passes on no RandR or root
// window events, so the monitors are read again now and then instead: one
// round trip to the server, twice a second, which sees every kind of change
// (an output switched off or moved, a monitor unplugged) whatever events the
// server would have sent. Most window managers fit a full-screen window to
// the new monitors themselves; the game waits a moment for that, then puts
// itself on the monitor it overlaps most if it is not there whole.
static void follow_monitors(int64_t now) {
    if (now - last_monitor_check_ms < MONITOR_CHECK_MS) return;
    last_monitor_check_ms = now;
    const LockedX x;
    if (!x) return;
    MonitorList current;
    read_monitors(x, &current);
    if (!same_monitors(current, monitors)) {
        monitors = current;
        monitors_changed = true;
        monitors_changed_ms = now;
    }
    if (monitors_changed && now - monitors_changed_ms >= MONITOR_SETTLE_MS) {
        monitors_changed = false;
        Display* display = x.display;
        Window window = x.window;
        find_game_monitor(x);
        const ScreenRect on_screen = window_on_screen(display, window);
        const ScreenRect monitor = monitors.rects[game_monitor];
        if (full_screen && !same_rect(on_screen, monitor)) {
            // Out of full screen, where the window manager may put back a
            // place on a monitor now gone, into the monitor, and full screen.
            if (window_manager_running(display)) leave_full_screen(display, window);
            move_window(display, window, monitor);
            go_full_screen_on(display, window, game_monitor);
        } else if (!full_screen && !inside(on_screen, monitor)) {
            go_to_window_on(display, window, game_monitor);
        }
        XFlush(display);
    }
}

// While the game holds, the keys and the pointer are the hold's: without
// the focus they are the desktop's, and after a pad's unplugging the first
// key goes on.
void follow_desktop() {
    const int64_t now = monotonic_ms();
    follow_monitors(now);
    if (!window_has_focus() || held_for_unplugged_pad()) return;
    follow_window_mode_keys();
    keep_pointer_taken(now);
}
