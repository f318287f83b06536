// The menu screens: the Enter latch that lets each press act once, the way
// into a game, the shared animation phase and the screens' text lines.
#include <gtest/gtest.h>

#include "shell/shell.h"
#include "support/game_fixture.h"

namespace {

void run_menu_ticks(int n) {
    for (int i = 0; i < n; i++) menu_tick();
}

TEST(Menu, EachEnterPressActsOnceAndTheSecondStartsRoundOne) {
    start_at_title();
    // Alt+Enter switches the window mode: that press never acts, not even
    // when Alt is let go first. Either Alt key.
    for (int alt : {KEY_ALT, KEY_ALTGR}) {
        key[alt] = 1;
        key[KEY_ENTER] = 1;
        run_menu_ticks(10);
        key[alt] = 0;
        run_menu_ticks(10);
        key[KEY_ENTER] = 0;
        run_menu_ticks(1);
        EXPECT_EQ(menu_screen, 0);
    }

    key[KEY_ENTER] = 1;
    run_menu_ticks(100);  // held: the title gives way once, the game waits
    EXPECT_EQ(menu_screen, 1);
    EXPECT_EQ(in_game, 0);

    key[KEY_ENTER] = 0;
    run_menu_ticks(1);
    key[KEY_ENTER] = 1;
    run_menu_ticks(1);
    EXPECT_EQ(in_game, 1);
    EXPECT_EQ(menu_screen, 0);
    EXPECT_EQ(round_number, 1);
    EXPECT_EQ(round_intro, 1);
    EXPECT_EQ(lives, 3);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(enter_latch, 1);
}

TEST(Menu, AnEnterStillHeldWhenAGameEndsDoesNothing) {
    start_at_title();
    key[KEY_ENTER] = 1;
    menu_screen = 1;
    run_menu_ticks(1);
    ASSERT_EQ(in_game, 1);

    in_game = 0;  // the game is over, Enter never let go
    run_menu_ticks(50);
    EXPECT_EQ(menu_screen, 0);
    key[KEY_ENTER] = 0;
    run_menu_ticks(1);
    key[KEY_ENTER] = 1;
    run_menu_ticks(1);
    EXPECT_EQ(menu_screen, 1);
    release_all_input();
}

TEST(Menu, PhaseCyclesEvery201TicksAndDrivesTheGreyText) {
    start_at_title();
    menu_phase = 0;
    run_menu_ticks(200);
    EXPECT_GT(menu_phase, 0.99f);
    run_menu_ticks(1);
    EXPECT_EQ(menu_phase, 0.0f);

    menu_phase = 0.5f;
    score = 4321;
    max_score = 25000;
    HudLine lines[HUD_MAX_LINES];
    ASSERT_EQ(collect_title_lines(lines, HUD_MAX_LINES), 2);
    EXPECT_STREQ(lines[0].text, "Press Enter");
    EXPECT_EQ(lines[0].r, 127);
    EXPECT_EQ(lines[0].x, -10);
    EXPECT_EQ(lines[0].z, -80);
    EXPECT_STREQ(lines[1].text, "P1         4321                  Max        25000");

    ASSERT_EQ(collect_item_box_screen_lines(lines, HUD_MAX_LINES), 2);
    EXPECT_STREQ(lines[0].text, "Press Enter to continue");
    EXPECT_EQ(lines[0].y, -27);  // drawn 3 units up
    EXPECT_EQ(lines[0].b, 255);
    EXPECT_STREQ(lines[1].text, "Item Box");
    EXPECT_EQ(lines[1].y, -17);
    EXPECT_EQ(lines[1].g, 127);
}

}  // namespace
