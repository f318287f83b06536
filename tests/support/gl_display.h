// Opens the game's full-screen 640x480 OpenGL display for tests that draw,
// with the same fixed state and projection as the game's start-up. Call
// require_test_display() at the top of every test that needs it: it opens the
// display once per process, and skips the test (or fails it under CI) when
// the display cannot be opened.
#pragma once

bool open_test_display();  // true when the display is (already) open

// Reads back one pixel of the back buffer, (0, 0) at the bottom left.
struct Pixel {
    int r, g, b;
};
Pixel read_pixel(int x, int y);

#define require_test_display()                                          \
    do {                                                                \
        if (!open_test_display()) {                                     \
            if (test_display_required()) FAIL() << "no test display";   \
            GTEST_SKIP() << "no test display";                          \
        }                                                               \
    } while (0)

bool test_display_required();  // true under CI
