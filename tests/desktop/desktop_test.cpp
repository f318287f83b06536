// What the game does on a desktop beyond drawing: where the 640x480 picture
// goes in a window of any size and who scales it, the one-copy lock, and
// ending on signals.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <string>

#include "desktop/desktop.h"
#include "shell/shell.h"

TEST(Desktop, PictureFillsTheWindowWithItsShapeKept) {
    struct Case {
        int window_width, window_height;
        PictureRect want;
    };
    const Case cases[] = {
        {640, 480, {0, 0, 640, 480}},         // the picture as drawn
        {1920, 1080, {240, 0, 1440, 1080}},   // wide: bars left and right
        {1280, 800, {107, 0, 1066, 800}},
        {1280, 1024, {0, 32, 1280, 960}},     // tall: bars above and below
        {0, 0, {0, 0, 640, 480}},             // no size known yet
    };
    for (const Case& c : cases) {
        PictureRect got = fit_picture(c.window_width, c.window_height);
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
        int screen_width, screen_height;
        WindowSize want;
    };
    const Case cases[] = {
        {1920, 1080, {960, 720}},
        {2560, 1440, {1600, 1200}},
        {1920, 1200, {1280, 960}},
        {1280, 800, {640, 480}},
        {3840, 2160, {2240, 1680}},
        {1080, 1920, {640, 480}},  // a screen on its side: the width decides
        {640, 480, {320, 240}},    // never smaller than one step
    };
    for (const Case& c : cases) {
        WindowSize got = window_mode_size(c.screen_width, c.screen_height);
        SCOPED_TRACE(std::to_string(c.screen_width) + "x" + std::to_string(c.screen_height));
        EXPECT_EQ(got.width, c.want.width);
        EXPECT_EQ(got.height, c.want.height);
    }
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
    std::string dir = testing::TempDir() + "sundown-lock-test";
    mkdir(dir.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
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
