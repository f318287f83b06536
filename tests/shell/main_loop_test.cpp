// The tick counter shared with the timer thread, and the catch-up of owed
// ticks before each frame.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "game/game.h"
#include "shell/shell.h"
#include "support/game_fixture.h"

TEST(MainLoop, ConcurrentIncrementsAreNeitherLostNorRunTwice) {
    const int increments = 200000;
    pending_ticks = 0;
    in_game = 0;
    std::atomic<bool> timer_done{false};
    // The timer never runs more than the backlog limit ahead, as a real one
    // does not, so every tick is owed and paid; the loop sleeps between them.
    std::thread timer([&] {
        for (int i = 0; i < increments; i++) {
            while (pending_ticks.load() >= OWED_TICKS_LIMIT) std::this_thread::yield();
            tick_callback();
        }
        timer_done = true;
    });
    // A lost tick must fail the test, not hang it: stop at a deadline.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int ran = 0;
    while (ran < increments && std::chrono::steady_clock::now() < deadline) {
        wait_for_owed_tick();
        ran += run_owed_ticks();
        if (timer_done && pending_ticks.load() == 0) break;
    }
    timer.join();
    ran += run_owed_ticks();
    EXPECT_EQ(ran, increments);
    EXPECT_EQ(pending_ticks.load(), 0);
}

TEST(MainLoop, CatchUpRunsEveryOwedTickAndEachPicksItsKindAsItStarts) {
    release_all_input();
    new_game();
    pending_ticks = 0;
    EXPECT_EQ(run_owed_ticks(), 0);  // a pass with nothing owed draws no frame

    // Three ticks owed on the controls screen with Enter held: the first,
    // a menu tick, starts the game, so the other two are game ticks.
    menu_screen = 1;
    enter_latch = 0;
    key[KEY_ENTER] = 1;
    pending_ticks = 3;
    EXPECT_EQ(run_owed_ticks(), 3);
    EXPECT_EQ(pending_ticks.load(), 0);
    EXPECT_EQ(in_game, 1);
    EXPECT_EQ(second_ticks, 2);
    key[KEY_ENTER] = 0;

    // A second's worth owed during play, a quarter at a time (slow frames):
    // every tick is caught up and the clock loses one second.
    begin_play();
    int clock = round_clock;
    for (int pass = 0; pass < 4; pass++) {
        pending_ticks = OWED_TICKS_LIMIT;
        EXPECT_EQ(run_owed_ticks(), OWED_TICKS_LIMIT);
    }
    EXPECT_EQ(round_clock, clock - 1);
    EXPECT_EQ(second_ticks, 2);

    // The process was stopped for ten seconds: that backlog is dropped, not
    // played, and the counter is left at 0 for the ticks to come.
    pending_ticks = 600;
    EXPECT_EQ(run_owed_ticks(), 0);
    EXPECT_EQ(pending_ticks.load(), 0);
    EXPECT_EQ(round_clock, clock - 1);
    EXPECT_EQ(second_ticks, 2);
    in_game = 0;
}
