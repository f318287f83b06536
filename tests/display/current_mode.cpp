// Prints the X screen's current video mode as WxH, read through XF86VidMode
// (the mode a full-screen switch changes; the root window keeps its size).
//   current_mode        (on $DISPLAY)
#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>

#include <cstdio>

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "current_mode: cannot open the display\n");
        return 1;
    }
    int dot_clock = 0;
    XF86VidModeModeLine mode = {};
    if (!XF86VidModeGetModeLine(display, DefaultScreen(display), &dot_clock, &mode)) {
        std::fprintf(stderr, "current_mode: XF86VidMode is not available\n");
        return 1;
    }
    std::printf("%dx%d\n", mode.hdisplay, mode.vdisplay);
    if (mode.privsize > 0) XFree(mode.c_private);
    XCloseDisplay(display);
    return 0;
}
