// The game modes as the ticks drive them: deaths and restarts, Game Over and
// the way back to the title, the round clock and the once-a-second step.
#include <gtest/gtest.h>

#include <vector>

#include "anim/anim.h"
#include "assets/asset_table.h"
#include "shell/shell.h"
#include "support/game_fixture.h"

namespace {

TEST(Modes, RunningOutOfTimeCostsALifeEvenAtFullHealthButNotASecondOneWhileDying) {
    start_parked_play();
    round_clock = 1;
    second_ticks = 59;
    game_tick();
    EXPECT_EQ(lives, 2);
    EXPECT_EQ(player_health, 150);
    EXPECT_FLOAT_EQ(player_death_timer, 1.0f);
    EXPECT_EQ(round_clock, 99);

    // Shot dead with a second left: the time-out while dying restarts the
    // clock but takes no second life, and the death timer runs on.
    start_parked_play();
    lives = 2;  // the shot's death already took one
    player_death_timer = 0.5f;
    round_clock = 1;
    second_ticks = 59;
    game_tick();
    EXPECT_EQ(lives, 2);
    EXPECT_EQ(round_clock, 99);
    EXPECT_LT(player_death_timer, 0.5f);
}

TEST(Modes, DyingRestartsTheRoundOnThreeTicksAndTheLastPlacementStands) {
    start_parked_play();
    player_death_timer = 1.0f;
    lives = 2;

    std::vector<int> restart_ticks;
    float x_after_last_restart = 0;
    for (int tick = 1; tick <= 80; tick++) {
        player_health = 1;  // each restart gives 150 back
        game_tick();
        if (player_health == 150) {
            restart_ticks.push_back(tick);
            x_after_last_restart = enemies[0].x;
        }
    }
    EXPECT_EQ(restart_ticks, (std::vector<int>{39, 40, 41}));
    EXPECT_EQ(enemies[0].x, x_after_last_restart);  // frozen in the intro since
    EXPECT_EQ(round_intro, 1);
    EXPECT_EQ(lives, 2);
    EXPECT_LT(player_death_timer, 0.0f);
}

TEST(Modes, LastLifeLostGivesGameOverThenTheTitleFiveSecondsLater) {
    start_parked_play();
    lives = 1;
    player_health = 15;
    enemy_shots[0][0] = Shot{0, 1, player_x, player_y - 0.5f, 0};
    mouse_b = 1;

    int ticks = 0;
    for (; game_over == 0 && ticks < 100; ticks++) game_tick();
    EXPECT_EQ(ticks, 40);  // the death on the first tick, the end 39 ticks later
    EXPECT_EQ(lives, 0);
    EXPECT_EQ(game_over_countdown, 5);

    // No firing in Game Over, and the clock keeps running.
    for (Shot& s : player_shots) s.active = 0;
    const int clock_at_game_over = round_clock;
    int over_ticks = 0;
    for (; in_game == 1 && over_ticks < 400; over_ticks++) game_tick();
    EXPECT_GT(over_ticks, 4 * 60);
    EXPECT_LE(over_ticks, 5 * 60);
    EXPECT_EQ(in_game, 0);
    EXPECT_EQ(menu_screen, 0);
    EXPECT_EQ(active_shots(player_shots), 0);
    EXPECT_LT(round_clock, clock_at_game_over);
}

// The enemies stand through the intro and walk in play.
TEST(Modes, ClockStandsInIntroAndTallyAndRunsInPlay) {
    static Skeleton enemy_pose;
    start_test_game();
    enemy_skeleton = &enemy_pose;
    park_enemies();
    item_message_timer = 4;
    second_ticks = 0;
    for (int i = 0; i < 120; i++) game_tick();
    EXPECT_EQ(round_clock, 99);
    EXPECT_EQ(round_intro_countdown, 1);
    EXPECT_EQ(item_message_timer, 2);
    EXPECT_EQ(enemy_pose.requested_state, ANIM_STAND);

    begin_play();
    park_enemies();
    for (int i = 0; i < 120; i++) game_tick();
    EXPECT_EQ(round_clock, 97);
    EXPECT_EQ(enemy_pose.requested_state, ANIM_WALK_FORWARD);
    enemy_skeleton = nullptr;

    win_round();
    for (int i = 0; i < 120; i++) game_tick();
    EXPECT_EQ(round_clock, 97);
    EXPECT_EQ(tally_countdown, 3);
}

TEST(Modes, ItemBoxAppearsOnlyAsTheClockPasses98Or50WithNoBoxLying) {
    start_parked_play();
    player_x = 0;
    player_y = 0;

    // A box lying before, the clock as a second passes, a box after: one
    // still lying at (5, 5) blocks the next.
    const int cases[][3] = {{0, 99, 1}, {0, 51, 1}, {0, 98, 0}, {1, 51, 1}};
    for (const auto& c : cases) {
        item_box_active = static_cast<int8_t>(c[0]);
        item_box_x = item_box_y = 5;
        round_clock = c[1];
        second_ticks = 59;
        game_tick();
        EXPECT_EQ(item_box_active, c[2]) << c[0] << " " << c[1];
        if (c[0]) {
            EXPECT_EQ(item_box_x, 5.0f);
            EXPECT_EQ(item_box_y, 5.0f);
        }
    }
}

}  // namespace
