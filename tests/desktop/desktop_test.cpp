// What the game does on a desktop beyond drawing: where the 640x480 picture
// goes in a window of any size and who scales it, which monitor the game is
// on, the one-copy lock, and ending on signals.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <initializer_list>
#include <string>

#include "desktop/desktop.h"
#include "desktop/desktop_local.h"
#include "shell/shell.h"
#include "support/scratch_dir.h"

TEST(Desktop, PictureFillsTheWindowWithItsShapeKept) {
    struct Case {
        int window_width, window_height;
        ScreenRect want;
    };
    const Case cases[] = {
        {640, 480, {0, 0, 640, 480}},         // the picture as drawn
        {1920, 1080, {240, 0, 1440, 1080}},   // wide: bars left and right
        {1280, 800, {107, 0, 1066, 800}},
        {1280, 1024, {0, 32, 1280, 960}},     // tall: bars above and below
        {0, 0, {0, 0, 640, 480}},             // no size known yet
    };
    for (const Case& c : cases) {
        ScreenRect got = fit_picture(c.window_width, c.window_height);
        SCOPED_TRACE(std::to_string(c.window_width) + "x" + std::to_string(c.window_height));
        EXPECT_EQ(got.x, c.want.x);
        EXPECT_EQ(got.y, c.want.y);
        EXPECT_EQ(got.width, c.want.width);
        EXPECT_EQ(got.height, c.want.height);
    }
}

// Only Mesa's software rasterizers have the picture scaled by the X server.
TEST(Desktop, SoftwareRenderersAreKnownByName) {
    EXPECT_TRUE(is_software_renderer("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(is_software_renderer("softpipe"));
    EXPECT_TRUE(is_software_renderer("Mesa X11 Software Rasterizer"));
    EXPECT_FALSE(is_software_renderer("AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-18-amd64)"));
    EXPECT_FALSE(is_software_renderer("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"));
    EXPECT_FALSE(is_software_renderer("NVIDIA GeForce GTX 1060 6GB/PCIe/SSE2"));
    EXPECT_FALSE(is_software_renderer(nullptr));
}

TEST(Desktop, WindowModeOpensAt4To3InSteps320x240ThatFitTheScreen) {
    struct Case {
        int screen_width, screen_height, want_width, want_height;
    };
    const Case cases[] = {
        {1920, 1080, 960, 720},
        {2560, 1440, 1600, 1200},
        {1920, 1200, 1280, 960},
        {1280, 800, 640, 480},
        {3840, 2160, 2240, 1680},
        {1080, 1920, 640, 480},  // a screen on its side: the width decides
        {640, 480, 320, 240},    // never smaller than one step
    };
    for (const Case& c : cases) {
        const ScreenRect got = window_mode_rect({0, 0, c.screen_width, c.screen_height});
        SCOPED_TRACE(std::to_string(c.screen_width) + "x" + std::to_string(c.screen_height));
        EXPECT_EQ(got.width, c.want_width);
        EXPECT_EQ(got.height, c.want_height);
    }
}

// The monitors given and, in every slot past them, a decoy as large as any
// screen that would win every choice: nothing may look past the count.
static MonitorList monitors(std::initializer_list<ScreenRect> rects) {
    MonitorList list = {};
    for (int i = 0; i < MAX_MONITORS; i++) {
        list.rects[i] = {-100000, -100000, 200000, 200000};
        list.xinerama_index[i] = i;
    }
    for (ScreenRect rect : rects) list.rects[list.count++] = rect;
    return list;
}

// Side by side, 1920x1080 each; the game keeps to one of them.
TEST(Desktop, TheGameKeepsToOneMonitor) {
    const ScreenRect left = {0, 0, 1920, 1080}, right = {1920, 0, 1920, 1080};
    const MonitorList two = monitors({left, right});
    const MonitorList right_too_small = monitors({left, {1920, 0, 600, 400}});
    const MonitorList none_large_enough = monitors({{0, 0, 600, 400}});
    const MonitorList left_only = monitors({left});
    const MonitorList none = monitors({});
    const MonitorList stacked = monitors({left, {0, 1080, 1920, 1080}});

    // Where it starts: under the pointer, or else on a monitor that holds the picture.
    EXPECT_EQ(choose_start_monitor(two, 2500, 500), 1);
    EXPECT_EQ(choose_start_monitor(two, 0, 0), 0);
    EXPECT_EQ(choose_start_monitor(two, 1920, 1079), 1) << "the first column of the right monitor";
    EXPECT_EQ(choose_start_monitor(two, 4200, 500), 1) << "a pointer off every monitor: the nearest";
    EXPECT_EQ(choose_start_monitor(right_too_small, 2000, 100), 0);
    EXPECT_EQ(choose_start_monitor(none_large_enough, 10, 10), -1);
    for (ScreenRect just : {ScreenRect{0, 0, 640, 480}, ScreenRect{0, 0, 639, 480}, ScreenRect{0, 0, 640, 479}}) {
        EXPECT_EQ(choose_start_monitor(monitors({just}), 10, 10), just.width == 640 && just.height == 480 ? 0 : -1);
    }
    EXPECT_EQ(choose_start_monitor(none, 10, 10), -1);

    // Where full screen goes: the monitor the window overlaps most.
    struct Case {
        const MonitorList* monitors;
        ScreenRect window;
        int want;
    };
    const Case cases[] = {
        {&two, {2400, 180, 960, 720}, 1},
        {&two, {1500, 180, 960, 720}, 1},    // 420 columns left, 540 right
        {&two, {1440, 180, 960, 720}, 0},    // halves: the first
        {&two, {0, 0, 3840, 1080}, 0},       // as large as both
        {&stacked, {0, 1000, 960, 720}, 1},      // 80 rows above, 640 below
        {&two, {1000, 1200, 2400, 100}, 1},      // below both: the nearest to its middle
        {&left_only, {1920, 0, 1920, 1080}, 0},  // its monitor switched off
        {&none, {0, 0, 640, 480}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.window.x) + "," + std::to_string(c.window.y));
        EXPECT_EQ(monitor_overlapping_most(*c.monitors, c.window), c.want);
    }

    // The window of window mode: centred inside the monitor.
    const ScreenRect on_right = window_mode_rect(right);
    EXPECT_TRUE(same_rect(on_right, {2400, 180, 960, 720}));
    EXPECT_TRUE(same_rect(window_mode_rect({0, 1080, 1280, 1024}), {160, 1232, 960, 720}));
    EXPECT_FALSE(same_monitors(two, left_only));
    EXPECT_TRUE(same_monitors(two, MonitorList{2, {left, right}, {0, 1}}));
}

static std::string lock_key(const char* display) {
    char key[64];
    display_lock_key(display, key, sizeof key);
    return key;
}

TEST(Desktop, OneCopyPerUserAndDisplay) {
    EXPECT_EQ(lock_key(":0"), "_0");
    EXPECT_EQ(lock_key(":0.1"), "_0");
    EXPECT_EQ(lock_key("unix:0"), "_0");
    EXPECT_EQ(lock_key("localhost:3.0"), "_3");
    EXPECT_EQ(lock_key("host.example:1"), "host_example_1");
    EXPECT_EQ(lock_key("/tmp/launch-x/org.x:0"), "_tmp_launch-x_org_x_0");

    // Locks are per open file, so this process stands for the first copy.
    ScratchDir dir;
    setenv("XDG_RUNTIME_DIR", dir.path.c_str(), 1);
    setenv("DISPLAY", ":42", 1);
    EXPECT_TRUE(claim_single_copy());
    EXPECT_FALSE(claim_single_copy()) << "a second copy on :42";
    setenv("DISPLAY", ":43.0", 1);
    EXPECT_TRUE(claim_single_copy()) << "another display is another lock";
}

TEST(DesktopDeathTest, SignalsEndTheLoopAndASecondOneEndsAtOnce) {
    EXPECT_EQ(quit_exit_status(0), 0);
    EXPECT_EQ(quit_exit_status(QUIT_FROM_WINDOW), 0);
    EXPECT_EQ(quit_exit_status(SIGTERM), 143);
    EXPECT_EXIT(
        {
            install_quit_signal_handlers();
            raise(SIGINT);  // start-up may hang in a library: ends at once
            std::exit(2);
        },
        testing::ExitedWithCode(128 + SIGINT), "");
    EXPECT_EXIT(
        {
            install_quit_signal_handlers();
            main_loop_running = true;
            raise(SIGHUP);
            if (quit_request.load() != SIGHUP) std::exit(1);  // the first only asks
            raise(SIGTERM);
            std::exit(2);
        },
        testing::ExitedWithCode(128 + SIGTERM), "");
}
