// Input latency probe: how long a mouse turn takes to reach the screen.
// With the game in play on the display (standing still), it sends a
// relative pointer motion through XTEST, alternately left and right, and
// reads a band of the screen until the turned view shows there; it prints
// every sample and the median and 90th percentile in milliseconds. A probe,
// not a test: it asserts nothing.   input_latency [SAMPLES]
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const int MOTION_PIXELS = 40;          // a few ticks' worth of turn, one event
const double TIMEOUT_MS = 300;         // a sample that shows nothing by then is dropped
const int CHANGED_SHARE_PER_MILLE = 8;  // of the band's pixels, for a change
const int CHANNEL_STEP = 24;           // a pixel differs when a channel moves this much

typedef int (*FakeRelativeMotion)(Display*, int, int, unsigned long);

struct Band {
    int x, y, width, height;
};

std::vector<unsigned long> grab(Display* display, Window root, const Band& band) {
    XImage* image = XGetImage(display, root, band.x, band.y, band.width, band.height, AllPlanes, ZPixmap);
    std::vector<unsigned long> pixels;
    if (!image) return pixels;
    pixels.reserve(static_cast<size_t>(band.width) * band.height);
    for (int y = 0; y < band.height; y++) {
        for (int x = 0; x < band.width; x++) pixels.push_back(XGetPixel(image, x, y));
    }
    XDestroyImage(image);
    return pixels;
}

bool differs(const std::vector<unsigned long>& a, const std::vector<unsigned long>& b) {
    if (a.size() != b.size() || a.empty()) return true;
    size_t changed = 0;
    for (size_t i = 0; i < a.size(); i++) {
        for (int shift = 0; shift < 24; shift += 8) {
            const int ca = static_cast<int>((a[i] >> shift) & 0xFF), cb = static_cast<int>((b[i] >> shift) & 0xFF);
            if (std::abs(ca - cb) >= CHANNEL_STEP) {
                changed++;
                break;
            }
        }
    }
    return changed * 1000 >= a.size() * CHANGED_SHARE_PER_MILLE;
}

double percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    const size_t i = std::min(values.size() - 1, static_cast<size_t>(share * (values.size() - 1) + 0.5));
    return values[i];
}

}  // namespace

int main(int argc, char** argv) {
    const int samples = argc > 1 ? std::atoi(argv[1]) : 60;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "input_latency: no X display\n");
        return 1;
    }
    void* xtst = dlopen("libXtst.so.6", RTLD_NOW);
    auto fake_motion = xtst ? reinterpret_cast<FakeRelativeMotion>(dlsym(xtst, "XTestFakeRelativeMotionEvent")) : nullptr;
    if (!fake_motion) {
        std::fprintf(stderr, "input_latency: no XTEST (libXtst.so.6)\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    const int width = DisplayWidth(display, DefaultScreen(display));
    const int height = DisplayHeight(display, DefaultScreen(display));
    // A band of sky left of the middle, below the score line and beside the
    // clock: its clouds move there when the view turns, and nothing else
    // does (the figures on the floor never reach so high).
    const Band band = {width * 22 / 100, height * 15 / 100, width * 20 / 100, 6};

    std::mt19937 rng(1);
    std::vector<double> latencies;
    int direction = 1, dropped = 0;
    while (static_cast<int>(latencies.size()) < samples && dropped < samples) {
        std::this_thread::sleep_for(std::chrono::milliseconds(60 + rng() % 80));
        // A still picture first: two grabs 20 ms apart that agree.
        std::vector<unsigned long> before = grab(display, root, band);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::vector<unsigned long> again = grab(display, root, band);
        if (differs(before, again)) {
            dropped++;
            continue;
        }
        const Clock::time_point sent = Clock::now();
        fake_motion(display, direction * MOTION_PIXELS, 0, CurrentTime);
        XFlush(display);
        direction = -direction;
        double ms = 0;
        for (;;) {
            std::vector<unsigned long> now = grab(display, root, band);
            ms = std::chrono::duration<double, std::milli>(Clock::now() - sent).count();
            if (differs(before, now) || ms > TIMEOUT_MS) break;
        }
        if (ms > TIMEOUT_MS) {
            dropped++;
            continue;
        }
        latencies.push_back(ms);
        std::printf("sample %zu: %.2f ms\n", latencies.size(), ms);
    }
    if (latencies.empty()) {
        std::printf("no samples (%d dropped)\n", dropped);
        return 1;
    }
    std::printf("%dx%d: %zu samples, %d dropped; median %.1f ms, p90 %.1f ms\n", width, height, latencies.size(),
                dropped, percentile(latencies, 0.5), percentile(latencies, 0.9));
    return 0;
}
