// The HUD lines of play, the READY intro, the tally and Game Over, with the
// two mode changes the HUD pass makes, and the tally's beat of blasts.
#include <gtest/gtest.h>

#include <algorithm>
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

bool is_red(const HudLine& line) {
    return line.r == 255 && line.g == 0 && line.b == 0;
}

// The play HUD's rules, case by case: the clock blinks red for the first 25
// ticks of each of the last 25 seconds, health turns red at 25 and below,
// and the ammunition shows as a count, "Inf" with the rifle, or not at all.
TEST(HudPlay, LinesFollowTheClockHealthAndAmmunitionRules) {
    struct Case {
        int clock, ticks, health, ammo;
        const char* clock_text;
        bool clock_red, health_red;
        const char* ammo_text;  // null: no ammunition line
    };
    const Case CASES[] = {
        {50, 10, 100, UNLIMITED_AMMO, "50", false, false, "Inf"},
        {26, 0, 26, 37, "26", false, false, "37"},
        {25, 24, 25, 0, "25", true, true, "0"},
        {25, 25, 150, 100, "25", false, false, "100"},
        {5, 0, 1, -2, " 5", true, true, nullptr},
    };
    for (const Case& c : CASES) {
        SCOPED_TRACE(testing::Message() << "clock " << c.clock << ", tick " << c.ticks << ", health " << c.health
                                        << ", ammo " << c.ammo);
        start_test_play();
        score = 1234;
        lives = 2;
        round_clock = c.clock;
        second_ticks = c.ticks;
        player_health = c.health;
        ammo = c.ammo;
        const std::vector<HudLine> lines = hud_pass();
        const std::vector<std::string> text = texts(lines);
        ASSERT_EQ(lines.size(), c.ammo_text ? 6u : 5u);
        EXPECT_EQ(text[0], "P1         1234                  Max        25000");
        EXPECT_EQ(text[1], c.clock_text);
        EXPECT_EQ(is_red(lines[1]), c.clock_red);
        EXPECT_EQ(text[2], "TIME");
        EXPECT_EQ(text[3], std::to_string(c.health));
        EXPECT_EQ(is_red(lines[3]), c.health_red);
        EXPECT_EQ(text[4], "Life x 2");
        if (c.ammo_text) {
            EXPECT_EQ(text[5], c.ammo_text);
            EXPECT_EQ(lines[5].y, lines[3].y) << "health and ammunition share the bottom row";
        }
    }
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
    start_test_play();
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
    start_test_play();
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
    start_test_play();
    win_round();
    tally_countdown = 0;
    EXPECT_EQ(hud_pass().size(), 4u);  // the last tally frame is still drawn
    EXPECT_EQ(tally_active, 0);
    EXPECT_EQ(round_number, 2);
    EXPECT_EQ(round_intro, 1);
}

TEST(HudGameOver, ScoreAndGameOverOnly) {
    start_test_play();
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
    start_parked_play();
    second_ticks = 30;
    round_clock = 30;
    for (int i = 0; i < enemy_count; i++) enemies[i].health = 0;
    game_tick();  // the enemy pass wins the round
    ASSERT_EQ(tally_active, 1);
    EXPECT_EQ(score, 28000);
    reset_channel_records();

    // Meanwhile the music fades 2 a tick and stops at 0.
    int ticks = 0, silent_from = 0, lowest_volume = music_volume;
    while (tally_active && ticks < 600) {
        game_tick();
        ticks++;
        lowest_volume = std::min(lowest_volume, music_volume);
        if (music_volume == 0 && silent_from == 0) {
            silent_from = ticks;
            EXPECT_EQ(channel_records[CHANNEL_MUSIC].volume, 0);
        }
        hud_pass();
    }
    EXPECT_EQ(lowest_volume, 0);
    EXPECT_EQ(silent_from, 127);  // 253 after the tick of the win
    EXPECT_EQ(channel_records[CHANNEL_PLAYER_SHOT].starts, 3);
    EXPECT_EQ(channel_records[CHANNEL_PLAYER_SHOT].last_sample, SAMPLE_BLAST);
    EXPECT_GT(ticks, 4 * 60);
    EXPECT_LE(ticks, 5 * 60);
    EXPECT_EQ(round_number, 2);
    EXPECT_EQ(round_intro, 1);
    EXPECT_EQ(music_volume, 255);  // faded out, then started again
}

}  // namespace
