// The HUD lines of play, the READY intro, the tally and Game Over, with the
// two mode changes the HUD pass makes, and the tally's beat of blasts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/shell.h"
#include "support/game_fixture.h"

namespace {

std::vector<HudLine> hud_pass() {
    HudLine lines[HUD_MAX_LINES];
    const int n = run_hud_pass(lines, HUD_MAX_LINES);
    return std::vector<HudLine>(lines, lines + n);
}

std::vector<std::string> texts(const std::vector<HudLine>& lines) {
    std::vector<std::string> out;
    for (const HudLine& line : lines) out.push_back(line.text);
    return out;
}

void expect_line(const HudLine& line, float x, float y, float z, int r, int g, int b, const char* text) {
    EXPECT_EQ(line.x, x);
    EXPECT_EQ(line.y, y);
    EXPECT_EQ(line.z, z);
    EXPECT_EQ(line.r, r);
    EXPECT_EQ(line.g, g);
    EXPECT_EQ(line.b, b);
    EXPECT_STREQ(line.text, text);
}

void start_play_hud() {
    start_test_game();
    begin_play();
    score = 1234;
    max_score = 25000;
    round_clock = 50;
    second_ticks = 10;
    player_health = 100;
    lives = 2;
}

TEST(HudPlay, EveryLineInOrderWithItsPlaceAndColour) {
    start_play_hud();
    const std::vector<HudLine> lines = hud_pass();
    ASSERT_EQ(lines.size(), 6u);
    expect_line(lines[0], -40, 32, -80, 255, 255, 255,
                "P1         1234                  Max        25000");
    expect_line(lines[1], -2, 18, -45, 255, 255, 128, "50");
    expect_line(lines[2], -5.5f, 40, -120, 128, 128, 255, "TIME");
    expect_line(lines[3], -13.5f, -7, -25, 128, 127, 255, "100");
    expect_line(lines[4], -8, -15, -50, 128, 255, 128, "Life x 2");
    expect_line(lines[5], 7.5f, -7, -25, 255, 255, 0, "Inf");
}

TEST(HudPlay, ClockBlinksRedFromTwentyFiveAndHealthTurnsRedAtTwentyFive) {
    start_play_hud();
    round_clock = 26;
    second_ticks = 0;
    player_health = 26;
    std::vector<HudLine> lines = hud_pass();
    EXPECT_EQ(lines[1].g, 255);
    EXPECT_EQ(lines[3].r, 128);

    round_clock = 25;
    second_ticks = 24;
    player_health = 25;
    lines = hud_pass();
    EXPECT_STREQ(lines[1].text, "25");
    EXPECT_EQ(lines[1].g, 0);
    EXPECT_EQ(lines[3].r, 255);
    EXPECT_EQ(lines[3].g, 0);

    second_ticks = 25;
    lines = hud_pass();
    EXPECT_EQ(lines[1].g, 255);

    round_clock = 5;
    second_ticks = 0;
    EXPECT_STREQ(hud_pass()[1].text, " 5");
}

TEST(HudPlay, AmmunitionLine) {
    start_play_hud();
    ammo = 37;
    EXPECT_EQ(texts(hud_pass()).back(), "37");
    ammo = 0;
    EXPECT_EQ(texts(hud_pass()).back(), "0");
    ammo = -2;
    EXPECT_EQ(hud_pass().size(), 5u);
}

TEST(HudIntro, ReadyFadesInAndPlayBeginsWhenTheCountdownIsOut) {
    start_test_game();
    for (int i = 0; i < 2; i++) start_round();
    second_ticks = 30;
    snprintf(item_message, sizeof item_message, "%s", "Machine Gun");
    item_message_timer = 2;
    std::vector<HudLine> lines = hud_pass();
    ASSERT_EQ(lines.size(), 3u);
    expect_line(lines[0], -8, 10, -40, 120, 120, 120, "READY");
    expect_line(lines[1], -8, -15, -50, 128, 255, 128, "Round 3");
    expect_line(lines[2], 15, 0, -80, 255, 255, 255, "Machine Gun");
    EXPECT_EQ(round_intro, 1);

    round_intro_countdown = 0;
    EXPECT_EQ(texts(hud_pass())[0], "READY");  // the last intro frame is still drawn
    EXPECT_EQ(round_intro, 0);
    EXPECT_EQ(enemies_frozen, 0);
    EXPECT_EQ(texts(hud_pass())[2], "TIME");
}

TEST(HudTally, LinesAppearOneASecondWithoutPerfect) {
    start_test_game();
    begin_play();
    round_clock = 30;
    player_health = 120;
    item_message_timer = 3;  // hidden during the tally
    win_round();
    const int total = score;
    tally_countdown = 5;
    EXPECT_EQ(hud_pass().size(), 0u);
    tally_countdown = 4;
    std::vector<HudLine> lines = hud_pass();
    ASSERT_EQ(lines.size(), 1u);
    expect_line(lines[0], -25, 2, -70, 128, 128, 128, "Time 30 x 100 = 3000");
    tally_countdown = 3;
    lines = hud_pass();
    ASSERT_EQ(lines.size(), 2u);
    expect_line(lines[1], -25, -3, -70, 128, 128, 128, "Health 120 x 100 = 12000");
    tally_countdown = 2;
    lines = hud_pass();
    ASSERT_EQ(lines.size(), 3u);
    expect_line(lines[2], -20, -8, -60, 255, 255, 128, ("Total = " + std::to_string(total)).c_str());
}

TEST(HudTally, PerfectFlashesAndItsTotalEndsInABlank) {
    start_test_game();
    begin_play();
    round_clock = 30;
    win_round();
    tally_countdown = 1;
    second_ticks = 24;
    std::vector<HudLine> lines = hud_pass();
    ASSERT_EQ(lines.size(), 4u);
    expect_line(lines[0], -15, 7, -50, 255, 255, 255, "PERFECT");
    expect_line(lines[3], -20, -8, -60, 255, 255, 128, "Total + 10000 = 28000 ");
    second_ticks = 25;
    expect_line(hud_pass()[0], -15, 7, -50, 255, 128, 128, "PERFECT");
}

TEST(HudTally, TheTallyEndsWithTheNextRound) {
    start_test_game();
    begin_play();
    win_round();
    tally_countdown = 0;
    EXPECT_EQ(hud_pass().size(), 4u);  // the last tally frame is still drawn
    EXPECT_EQ(tally_active, 0);
    EXPECT_EQ(round_number, 2);
    EXPECT_EQ(round_intro, 1);
}

TEST(HudGameOver, ScoreAndGameOverOnly) {
    start_test_game();
    begin_play();
    game_over = 1;
    item_message_timer = 2;
    score = 700;
    const std::vector<HudLine> lines = hud_pass();
    ASSERT_EQ(lines.size(), 2u);
    expect_line(lines[0], -40, 32, -80, 255, 255, 255,
                "P1          700                  Max        25000");
    expect_line(lines[1], -10, 2, -30, 255, 255, 255, "Game Over");
}

// A round won with full health: three blasts a second apart, then the next
// round's intro between four and five seconds after the win.
TEST(HudTally, BlastsThreeTimesAndTheNextIntroFollowsWithinFiveSeconds) {
    start_test_game();
    begin_play();
    park_enemies();
    second_ticks = 30;
    round_clock = 30;
    for (int i = 0; i < enemy_count; i++) enemies[i].health = 0;
    game_tick();  // the enemy pass wins the round
    ASSERT_EQ(tally_active, 1);
    EXPECT_EQ(score, 28000);
    reset_channel_records();

    int ticks = 0;
    while (tally_active && ticks < 600) {
        game_tick();
        hud_pass();
        ticks++;
    }
    EXPECT_EQ(channel_records[CHANNEL_PLAYER_SHOT].starts, 3);
    EXPECT_EQ(channel_records[CHANNEL_PLAYER_SHOT].last_sample, SAMPLE_BLAST);
    EXPECT_GT(ticks, 4 * 60);
    EXPECT_LE(ticks, 5 * 60);
    EXPECT_EQ(round_number, 2);
    EXPECT_EQ(round_intro, 1);
    EXPECT_EQ(music_volume, 255);  // faded out, then started again
}

}  // namespace
