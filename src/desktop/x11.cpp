// The plumbing under the room: the X connection and its lock, the X error
// trap, window properties, and the game's one clock.
#include <allegro.h>
#include <xalleg.h>

#include <ctime>

#include "desktop/desktop.h"
#include "desktop/x11.h"

int64_t monotonic_ms() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// ---- The connection ----------------------------------------------------------

LockedX::LockedX() : display(_xwin.display), window(_xwin.window), screen(_xwin.screen) {
    if (display) XLOCK();
}

LockedX::~LockedX() {
    if (display) XUNLOCK();
}

void rest_with_x_unlocked(int ms) {
    XUNLOCK();
    rest(ms);
    XLOCK();
}

// ---- Errors that are answers -------------------------------------------------

static bool x_request_failed;
static XErrorHandler handler_before_trap;

static int note_x_request_failure(Display*, XErrorEvent*) {
    x_request_failed = true;
    return 0;
}

void begin_x_error_trap() {
    x_request_failed = false;
    handler_before_trap = XSetErrorHandler(note_x_request_failure);
}

bool end_x_error_trap() {
    XSync(_xwin.display, False);
    XSetErrorHandler(handler_before_trap);
    return x_request_failed;
}

// ---- Window properties ----------------------------------------------------------

int read_window_property(Display* display, Window window, const char* name, Atom type, long* items,
                         int capacity) {
    Atom actual_type = None;
    int format = 0;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    int read = 0;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, capacity, False, type,
                           &actual_type, &format, &count, &after, &data) == Success &&
        actual_type == type && format == 32) {
        const long* longs = reinterpret_cast<const long*>(data);
        for (unsigned long i = 0; i < count && read < capacity; i++) items[read++] = longs[i];
    }
    if (data) XFree(data);
    return read;
}
