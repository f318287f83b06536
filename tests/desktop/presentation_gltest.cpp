// The frame shown in windows of other sizes, read back from the screen, on
// both ways of scaling it: OpenGL and the X server.
#include <gtest/gtest.h>

#include <allegro.h>
#include <alleggl.h>
#include <xalleg.h>

#include <cstdlib>
#include <string>

#include "desktop/desktop_local.h"
#include "shell/shell.h"
#include "support/gl_display.h"

namespace {

const int FRAME_WIDTH = 640, FRAME_HEIGHT = 480;
const int COLOR_TOLERANCE = 8;  // a 16-bit display keeps 5 or 6 bits a channel

struct Rgb {
    int r, g, b;
};

// Quadrants of the frame, bottom-left origin as OpenGL draws them.
const Rgb BOTTOM_LEFT = {255, 0, 0}, BOTTOM_RIGHT = {0, 255, 0}, TOP_LEFT = {0, 0, 255},
          TOP_RIGHT = {255, 255, 255};
const Rgb BLACK = {0, 0, 0};

void clear_rect(int x, int y, int width, int height, Rgb c) {
    glScissor(x, y, width, height);
    glClearColor(c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

void draw_quadrant_frame() {
    glPushAttrib(GL_SCISSOR_BIT | GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    clear_rect(0, 0, FRAME_WIDTH / 2, FRAME_HEIGHT / 2, BOTTOM_LEFT);
    clear_rect(FRAME_WIDTH / 2, 0, FRAME_WIDTH / 2, FRAME_HEIGHT / 2, BOTTOM_RIGHT);
    clear_rect(0, FRAME_HEIGHT / 2, FRAME_WIDTH / 2, FRAME_HEIGHT / 2, TOP_LEFT);
    clear_rect(FRAME_WIDTH / 2, FRAME_HEIGHT / 2, FRAME_WIDTH / 2, FRAME_HEIGHT / 2, TOP_RIGHT);
    glPopAttrib();
}

void resize_window(int width, int height) {
    XLOCK();
    XResizeWindow(_xwin.display, _xwin.window, width, height);
    XSync(_xwin.display, False);
    XUNLOCK();
    present_frame();  // reads the new size and directs the next frame
}

// What the window shows, top-left origin, once the server has drawn it.
struct WindowShot {
    XImage* image;
    Visual* visual;

    WindowShot(int width, int height) {
        XLOCK();
        XSync(_xwin.display, False);
        XWindowAttributes attributes;
        XGetWindowAttributes(_xwin.display, _xwin.window, &attributes);
        visual = attributes.visual;
        image = XGetImage(_xwin.display, _xwin.window, 0, 0, width, height, AllPlanes, ZPixmap);
        XUNLOCK();
    }
    ~WindowShot() {
        if (image) XDestroyImage(image);
    }
    static int channel(unsigned long pixel, unsigned long mask) {
        int shift = 0;
        while (mask && !(mask & 1)) {
            mask >>= 1;
            shift++;
        }
        return mask ? static_cast<int>(((pixel >> shift) & mask) * 255 / mask) : 0;
    }
    Rgb at(int x, int y) const {
        const unsigned long pixel = XGetPixel(image, x, y);
        return Rgb{channel(pixel, visual->red_mask), channel(pixel, visual->green_mask),
                   channel(pixel, visual->blue_mask)};
    }
};

bool near(Rgb a, Rgb b) {
    return std::abs(a.r - b.r) <= COLOR_TOLERANCE && std::abs(a.g - b.g) <= COLOR_TOLERANCE &&
           std::abs(a.b - b.b) <= COLOR_TOLERANCE;
}

std::string describe(Rgb c) {
    return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

void expect_color(const WindowShot& shot, int x, int y, Rgb want, const char* what) {
    const Rgb got = shot.at(x, y);
    EXPECT_TRUE(near(got, want)) << what << " at " << x << "," << y << ": " << describe(got) << ", want "
                                 << describe(want);
}

// The quadrants fill the picture rectangle up to its edges, with black
// bars on all sides outside it.
void expect_presented(int width, int height) {
    draw_quadrant_frame();
    glFlush();
    present_frame();
    const WindowShot shot(width, height);
    ASSERT_NE(shot.image, nullptr);
    const ScreenRect rect = fit_picture(width, height);
    const int left = rect.x, right = rect.x + rect.width - 1;
    const int top = height - rect.y - rect.height, bottom = top + rect.height - 1;  // X rows from the top
    const int mid_x = rect.x + rect.width / 2, mid_y = top + rect.height / 2;
    expect_color(shot, left, top, TOP_LEFT, "top-left corner");
    expect_color(shot, right, top, TOP_RIGHT, "top-right corner");
    expect_color(shot, left, bottom, BOTTOM_LEFT, "bottom-left corner");
    expect_color(shot, right, bottom, BOTTOM_RIGHT, "bottom-right corner");
    expect_color(shot, (left + mid_x) / 2, (top + mid_y) / 2, TOP_LEFT, "top-left quadrant");
    expect_color(shot, (mid_x + right) / 2, (mid_y + bottom) / 2, BOTTOM_RIGHT, "bottom-right quadrant");
    if (left > 0) expect_color(shot, left - 1, mid_y, BLACK, "left bar");
    if (right < width - 1) expect_color(shot, right + 1, mid_y, BLACK, "right bar");
    if (top > 0) expect_color(shot, mid_x, top - 1, BLACK, "top bar");
    if (bottom < height - 1) expect_color(shot, mid_x, bottom + 1, BLACK, "bottom bar");
}

// Both paths on the same display, through window sizes changed at run
// time: wider than 4:3 (bars beside), then narrower and lower than the
// frame (bars above and below, where the last picture was), then exactly
// 640x480, shown as drawn.
TEST(PresentationOnDisplay, BothPathsScaleTheFrameBetweenBlackBarsAsTheWindowChanges) {
    require_test_display();
    const PresentPath chosen = present_path();
    for (PresentPath path : {PRESENT_WITH_OPENGL, PRESENT_THROUGH_X_SERVER}) {
        SCOPED_TRACE(path == PRESENT_WITH_OPENGL ? "with OpenGL" : "through the X server");
        ASSERT_TRUE(use_present_path(path));
        const int sizes[][2] = {{600, 400}, {400, 440}, {FRAME_WIDTH, FRAME_HEIGHT}};
        for (const auto& size : sizes) {
            SCOPED_TRACE(std::to_string(size[0]) + "x" + std::to_string(size[1]));
            resize_window(size[0], size[1]);
            expect_presented(size[0], size[1]);
        }
    }
    use_present_path(chosen);
    present_frame();
}

}  // namespace
