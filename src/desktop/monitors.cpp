// The monitors of the X screen: which there are (RandR 1.5, else Xinerama,
// else the screen as one), and which of them the game belongs on.
//
// An X screen spanning two monitors is no place for the game as a whole: a
// window as large as both gives the window manager no monitor to make it
// full screen on, and one centred on the screen sits across the bezel. So
// the game picks one monitor and keeps its window inside it.
#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include "desktop/desktop_local.h"
#include "desktop/x11.h"

// ---- Choosing (no X) --------------------------------------------------------

static long overlap(ScreenRect a, ScreenRect b) {
    const int left = a.x > b.x ? a.x : b.x;
    const int right = a.x + a.width < b.x + b.width ? a.x + a.width : b.x + b.width;
    const int top = a.y > b.y ? a.y : b.y;
    const int bottom = a.y + a.height < b.y + b.height ? a.y + a.height : b.y + b.height;
    if (right <= left || bottom <= top) return 0;
    return static_cast<long>(right - left) * (bottom - top);
}

// How far a point lies outside a rectangle, squared (0 inside).
static long distance_squared(ScreenRect rect, int x, int y) {
    const long dx = x < rect.x ? rect.x - x : (x >= rect.x + rect.width ? x - (rect.x + rect.width - 1) : 0);
    const long dy = y < rect.y ? rect.y - y : (y >= rect.y + rect.height ? y - (rect.y + rect.height - 1) : 0);
    return dx * dx + dy * dy;
}

int monitor_overlapping_most(const MonitorList& monitors, ScreenRect rect) {
    int best = -1;
    long best_overlap = 0;
    for (int i = 0; i < monitors.count; i++) {
        const long area = overlap(monitors.rects[i], rect);
        if (area > best_overlap) {
            best = i;
            best_overlap = area;
        }
    }
    if (best >= 0 || monitors.count == 0) return best;
    const int centre_x = rect.x + rect.width / 2;
    const int centre_y = rect.y + rect.height / 2;
    best = 0;
    for (int i = 1; i < monitors.count; i++) {
        if (distance_squared(monitors.rects[i], centre_x, centre_y) <
            distance_squared(monitors.rects[best], centre_x, centre_y)) {
            best = i;
        }
    }
    return best;
}

static bool holds_picture(ScreenRect monitor) {
    return monitor.width >= SCREEN_WIDTH && monitor.height >= SCREEN_HEIGHT;
}

int choose_start_monitor(const MonitorList& monitors, int pointer_x, int pointer_y) {
    const int under_pointer = monitor_overlapping_most(monitors, ScreenRect{pointer_x, pointer_y, 1, 1});
    if (under_pointer >= 0 && holds_picture(monitors.rects[under_pointer])) return under_pointer;
    for (int i = 0; i < monitors.count; i++) {
        if (holds_picture(monitors.rects[i])) return i;
    }
    return -1;
}

bool same_rect(ScreenRect a, ScreenRect b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

bool same_monitors(const MonitorList& a, const MonitorList& b) {
    if (a.count != b.count) return false;
    for (int i = 0; i < a.count; i++) {
        if (!same_rect(a.rects[i], b.rects[i]) || a.xinerama_index[i] != b.xinerama_index[i]) return false;
    }
    return true;
}

// ---- X11 (every call below holds Allegro's X lock) ------------------------

// Monitors past MAX_MONITORS are left out: the game needs only one.
static void add_monitor(MonitorList* monitors, ScreenRect rect) {
    if (monitors->count >= MAX_MONITORS || rect.width <= 0 || rect.height <= 0) return;
    monitors->rects[monitors->count] = rect;
    monitors->xinerama_index[monitors->count] = -1;
    monitors->count++;
}

static bool has_randr_monitors(Display* display) {
    static int known = -1;  // the server's answer does not change
    if (known < 0) {
        int event_base, error_base, major = 0, minor = 0;
        known = XRRQueryExtension(display, &event_base, &error_base) && XRRQueryVersion(display, &major, &minor) &&
                (major > 1 || (major == 1 && minor >= 5));
    }
    return known == 1;
}

static void read_randr_monitors(Display* display, MonitorList* monitors) {
    int count = 0;
    XRRMonitorInfo* info = XRRGetMonitors(display, DefaultRootWindow(display), True, &count);
    if (!info) return;
    for (int i = 0; i < count; i++) add_monitor(monitors, ScreenRect{info[i].x, info[i].y, info[i].width, info[i].height});
    XRRFreeMonitors(info);
}

// Xinerama's screens: the monitors themselves when RandR has none, and
// otherwise the numbering the window manager's full-screen monitors use.
static void read_xinerama_screens(Display* display, MonitorList* monitors) {
    int event_base, error_base;
    if (!XineramaQueryExtension(display, &event_base, &error_base) || !XineramaIsActive(display)) return;
    int count = 0;
    XineramaScreenInfo* screens = XineramaQueryScreens(display, &count);
    if (!screens) return;
    if (monitors->count == 0) {
        for (int i = 0; i < count; i++) {
            add_monitor(monitors, ScreenRect{screens[i].x_org, screens[i].y_org, screens[i].width, screens[i].height});
        }
    }
    for (int m = 0; m < monitors->count; m++) {
        for (int i = 0; i < count; i++) {
            const ScreenRect screen = {screens[i].x_org, screens[i].y_org, screens[i].width, screens[i].height};
            if (same_rect(screen, monitors->rects[m])) {
                monitors->xinerama_index[m] = i;
                break;
            }
        }
    }
    XFree(screens);
}

void read_monitors(const LockedX& x, MonitorList* monitors) {
    Display* display = x.display;
    monitors->count = 0;
    if (has_randr_monitors(display)) read_randr_monitors(display, monitors);
    read_xinerama_screens(display, monitors);
    if (monitors->count == 0) {
        add_monitor(monitors, ScreenRect{0, 0, DisplayWidth(display, x.screen), DisplayHeight(display, x.screen)});
        monitors->xinerama_index[0] = 0;
    }
}
