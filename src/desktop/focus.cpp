// The keyboard focus and the pointer: the game follows the focus, and holds
// the pointer only while it has it.
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
#include <xalleg.h>
#include <X11/extensions/Xfixes.h>

#include "desktop/desktop_local.h"
#include "desktop/x11.h"

static const int64_t GRAB_RETRY_MS = 500;  // between two tries at the pointer grab

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
static int64_t last_grab_try_ms;

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

int32_t focus_change_count() {
    return focus_state.load() / FOCUS_CHANGE_STEP;
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

static void grab_pointer(const LockedX& x) {
    last_grab_try_ms = monotonic_ms();
    int result = XGrabPointer(x.display, x.window, False, PointerMotionMask | ButtonPressMask | ButtonReleaseMask,
                              GrabModeAsync, GrabModeAsync, x.window, None, CurrentTime);
    pointer_taken = result == GrabSuccess;
    // AllegroGL's driver exit releases a grab it finds marked here.
    _xwin.mouse_grabbed = pointer_taken ? 1 : 0;
}

static void take_pointer_locked(const LockedX& x) {
    if (!cursor_hidden) XFixesHideCursor(x.display, x.window);
    cursor_hidden = true;
    grab_pointer(x);
}

static void release_pointer_locked(const LockedX& x) {
    if (pointer_taken) XUngrabPointer(x.display, CurrentTime);
    pointer_taken = false;
    _xwin.mouse_grabbed = 0;
    if (cursor_hidden) XFixesShowCursor(x.display, x.window);
    cursor_hidden = false;
    // Allegro pulls the pointer back to the window's centre while the game
    // reads mickeys; the desktop's pointer is left where the player puts it.
    _xwin.mouse_warped = 0;
    XFlush(x.display);
}

static bool focus_is_on_window(const LockedX& x) {
    Window focus;
    int revert;
    XGetInputFocus(x.display, &focus, &revert);
    return focus == x.window;
}

void start_following_focus(const LockedX& x) {
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
    focus_state.compare_exchange_strong(none_heard, !heard || focus_is_on_window(x) ? FOCUS_BIT : 0);
    if (window_has_focus()) take_pointer_locked(x);
}

// ---- The main loop's side ---------------------------------------------------

void take_pointer() {
    const LockedX x;
    if (x) take_pointer_locked(x);
}

void release_pointer() {
    const LockedX x;
    if (x) release_pointer_locked(x);
}

void keep_pointer_taken(int64_t now_ms) {
    if (pointer_taken || !window_has_focus() || now_ms - last_grab_try_ms < GRAB_RETRY_MS) return;
    const LockedX x;
    if (x) take_pointer_locked(x);
}

