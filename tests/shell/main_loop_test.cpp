// The tick counter shared with the timer thread, and the catch-up of owed
// ticks before each frame.
#include <gtest/gtest.h>

#include <thread>

#include "game/game.h"
#include "shell/shell.h"

TEST(MainLoop, ConcurrentIncrementsAreNeitherLostNorRunTwice) {
    const int increments = 200000;
    pending_ticks = 0;
    in_game = 0;
    std::thread timer([&] {
        for (int i = 0; i < increments; i++) tick_callback();
    });
    int ran = 0;
    while (timer.joinable()) {
        ran += run_owed_ticks();
        if (ran >= increments) break;
    }
    timer.join();
    ran += run_owed_ticks();
    EXPECT_EQ(ran, increments);
    EXPECT_EQ(pending_ticks.load(), 0);
}
