// The game as one window among others on a desktop: it follows the keyboard
// focus, holds the pointer only while it has it, switches between full
// screen and a window on F11 or Alt+Enter, and asks the driver to pace its
// flips to the monitor where the driver can.
//
// Allegro reads the window's X events on its own thread and reports focus
// changes through its display-switch callbacks, which only note the change
// here. Everything else runs on the main thread, under Allegro's X lock.
//
// While the game has the focus the pointer is grabbed and confined to the
// window with the cursor hidden: Allegro's mickeys then come from an endless
// relative motion (Xwayland locks the pointer for a hidden, confined
// cursor), as in a full-screen video mode. Without the focus the grab goes
// and the cursor shows, so the desktop has its pointer back at once.
#include <allegro.h>
#include <alleggl.h>
#include <xalleg.h>
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/extensions/Xfixes.h>

#include <cstring>

#include "shell/shell.h"
#include "shell/shell_local.h"

static const int GRAB_RETRY_PASSES = 30;  // loop passes between two tries at the pointer grab

// The window of window mode is the largest whole number of 320x240 steps
// that leaves this share of the screen to the desktop's panels and frames.
static const int WINDOW_STEP_WIDTH = SCREEN_WIDTH / 2;
static const int WINDOW_STEP_HEIGHT = SCREEN_HEIGHT / 2;
static const int WINDOW_SCREEN_SHARE_PERCENT = 85;

// Bit 0: the window has the keyboard focus; the bits above count the focus
// changes Allegro reported, so a waiter can sleep until the next one. Until
// the window is set up the game counts as focused.
static const int32_t FOCUS_BIT = 1;
static const int32_t FOCUS_CHANGE_STEP = 2;
static std::atomic<int32_t> focus_state{FOCUS_BIT};

// Expose events Allegro has seen on its thread, and how many the main loop
// has answered; Allegro's own handler still runs for each.
static std::atomic<int32_t> exposures{0};
static int32_t exposures_answered;
static void (*allegro_window_redrawer)(int, int, int, int);

static bool pointer_taken;   // our grab is active
static bool cursor_hidden;   // XFixes counts hides, so each hide is shown once
static int passes_since_grab_try;
static bool full_screen = true;
static bool window_mode_keys_down;

WindowSize window_mode_size(int screen_width, int screen_height) {
    const int by_width = screen_width * WINDOW_SCREEN_SHARE_PERCENT / 100 / WINDOW_STEP_WIDTH;
    const int by_height = screen_height * WINDOW_SCREEN_SHARE_PERCENT / 100 / WINDOW_STEP_HEIGHT;
    int steps = by_width < by_height ? by_width : by_height;
    if (steps < 1) steps = 1;
    return WindowSize{steps * WINDOW_STEP_WIDTH, steps * WINDOW_STEP_HEIGHT};
}

// ---- Focus (Allegro's input thread) ------------------------------------------

static void note_focus(bool focused) {
    int32_t old_state = focus_state.load();
    int32_t new_state;
    do {
        // The count wraps round in the positive range; only a change of it matters.
        const uint32_t count = (static_cast<uint32_t>(old_state & ~FOCUS_BIT) + FOCUS_CHANGE_STEP) & INT32_MAX;
        new_state = static_cast<int32_t>(count) | (focused ? FOCUS_BIT : 0);
    } while (!focus_state.compare_exchange_weak(old_state, new_state));
    wake_waiters(focus_state);
}

static void on_focus_in() {
    note_focus(true);
}
END_OF_STATIC_FUNCTION(on_focus_in)

static void on_focus_out() {
    note_focus(false);
}
END_OF_STATIC_FUNCTION(on_focus_out)

static void note_exposure(int x, int y, int width, int height) {
    exposures.fetch_add(1);
    if (allegro_window_redrawer) allegro_window_redrawer(x, y, width, height);
}
END_OF_STATIC_FUNCTION(note_exposure)

bool window_has_focus() {
    return (focus_state.load() & FOCUS_BIT) != 0;
}

void wait_for_focus_change(int timeout_ms) {
    wait_while_unchanged(focus_state, focus_state.load(), timeout_ms);
}

bool window_exposed() {
    const int32_t seen = exposures.load();
    if (seen == exposures_answered) return false;
    exposures_answered = seen;
    return true;
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

static void grab_pointer() {
    passes_since_grab_try = 0;
    int result = XGrabPointer(_xwin.display, _xwin.window, False,
                              PointerMotionMask | ButtonPressMask | ButtonReleaseMask,
                              GrabModeAsync, GrabModeAsync, _xwin.window, None, CurrentTime);
    pointer_taken = result == GrabSuccess;
    // AllegroGL's driver exit releases a grab it finds marked here.
    _xwin.mouse_grabbed = pointer_taken ? 1 : 0;
}

static void take_pointer_locked() {
    if (!cursor_hidden) XFixesHideCursor(_xwin.display, _xwin.window);
    cursor_hidden = true;
    grab_pointer();
}

static void release_pointer_locked() {
    if (pointer_taken) XUngrabPointer(_xwin.display, CurrentTime);
    pointer_taken = false;
    _xwin.mouse_grabbed = 0;
    if (cursor_hidden) XFixesShowCursor(_xwin.display, _xwin.window);
    cursor_hidden = false;
    // Allegro pulls the pointer back to the window's centre while the game
    // reads mickeys; the desktop's pointer is left where the player puts it.
    _xwin.mouse_warped = 0;
    XFlush(_xwin.display);
}

static bool focus_is_on_window() {
    Window focus;
    int revert;
    XGetInputFocus(_xwin.display, &focus, &revert);
    return focus == _xwin.window;
}

bool has_extension(const char* list, const char* name) {
    const size_t length = std::strlen(name);
    for (const char* at = list; at && (at = std::strstr(at, name)) != nullptr; at += length) {
        const bool starts = at == list || at[-1] == ' ';
        const bool ends = at[length] == ' ' || at[length] == '\0';
        if (starts && ends) return true;
    }
    return false;
}

// One flip a monitor refresh where the driver offers swap control (Mesa's
// software rasterizer under X11 offers none; the loop paces itself anyway).
static void ask_for_vsync(Display* display) {
    typedef void (*SwapIntervalExt)(Display*, GLXDrawable, int);
    typedef int (*SwapIntervalMesa)(unsigned int);
    typedef int (*SwapIntervalSgi)(int);
    const char* extensions = glXQueryExtensionsString(display, _xwin.screen);
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (has_extension(extensions, "GLX_EXT_swap_control") && drawable) {
        auto set = reinterpret_cast<SwapIntervalExt>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
        if (set) {
            set(display, drawable, 1);
            return;
        }
    }
    if (has_extension(extensions, "GLX_MESA_swap_control")) {
        auto set = reinterpret_cast<SwapIntervalMesa>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
        if (set && set(1) == 0) return;
    }
    if (has_extension(extensions, "GLX_SGI_swap_control")) {
        auto set = reinterpret_cast<SwapIntervalSgi>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalSGI")));
        if (set) set(1);
    }
}

void set_up_game_window() {
    XLOCK();
    Display* display = _xwin.display;
    Window window = _xwin.window;
    allow_any_window_size(display, window);
    ask_for_full_screen(display, window, true);
    XRaiseWindow(display, window);
    if (!window_manager_running(display)) XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    ask_for_vsync(display);
    XSync(display, False);

    // The focus may have come before the callbacks were there to hear of it.
    // A system driver that reports no focus changes leaves the game as it
    // always was: focused.
    LOCK_FUNCTION(on_focus_in);
    LOCK_FUNCTION(on_focus_out);
    const bool heard = set_display_switch_callback(SWITCH_IN, on_focus_in) == 0 &&
                       set_display_switch_callback(SWITCH_OUT, on_focus_out) == 0;
    LOCK_FUNCTION(note_exposure);
    allegro_window_redrawer = _xwin_window_redrawer;
    _xwin_window_redrawer = note_exposure;
    int32_t none_heard = FOCUS_BIT;
    focus_state.compare_exchange_strong(none_heard, !heard || focus_is_on_window() ? FOCUS_BIT : 0);
    if (window_has_focus()) take_pointer_locked();
    XUNLOCK();
}

// ---- The main loop's side ---------------------------------------------------

void take_pointer() {
    if (!_xwin.display) return;
    XLOCK();
    take_pointer_locked();
    XUNLOCK();
}

void release_pointer() {
    if (!_xwin.display) return;
    XLOCK();
    release_pointer_locked();
    XUNLOCK();
}

void keep_pointer_taken() {
    if (!_xwin.display || pointer_taken || !window_has_focus()) return;
    if (++passes_since_grab_try < GRAB_RETRY_PASSES) return;
    XLOCK();
    take_pointer_locked();
    XUNLOCK();
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
