// The room's X11 plumbing, for its files that talk to the X server (x11.cpp):
// the game's connection with its lock, X errors that are answers, and the
// properties windows carry. Kept apart from desktop_local.h so that Xlib's
// names reach only those files. The game's clock is in x11.cpp too; the
// shell reads it, so desktop.h declares it.
#pragma once

#include <X11/Xlib.h>

// Allegro's connection to the X server, with Allegro's X lock held for as
// long as this lives: Allegro's input thread reads the window's events on
// the same connection. Without an X display (tests) it holds no lock and
// tests false: there is nothing to do.
struct LockedX {
    Display* display;
    Window window;
    int screen;
    LockedX();
    ~LockedX();
    LockedX(const LockedX&) = delete;
    LockedX& operator=(const LockedX&) = delete;
    explicit operator bool() const { return display != nullptr; }
};

// Sleeps with the X lock let go, so that Allegro's thread can handle events
// meanwhile; called with it held, which it holds again on return.
void rest_with_x_unlocked(int ms);

// Between the two calls an X error is noted instead of ending the game, for
// requests whose failure is an answer (a window that has gone, a server that
// cannot share memory). Called with the X lock held; the second waits for
// the server's answers and says whether any request failed.
void begin_x_error_trap();
bool end_x_error_trap();

// A window's property of 32-bit items (a window, atoms, a state) of the
// given type: at most `capacity` items into `items` (Xlib hands such items
// as longs). How many were read; 0 when the window has no such property of
// that type. Called with the X lock held.
int read_window_property(Display* display, Window window, const char* name, Atom type, long* items,
                         int capacity);
