// Rounds and game set-up: what each round brings, the round bonus, the
// restart after a lost life and where the enemies start.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "desktop/desktop.h"
#include "support/game_fixture.h"

namespace {

struct RoundRow {
    int enemy_count;
    int fire_interval_ticks;
    float shot_speed;
    int light_preset;
};

const RoundRow ROUND_TABLE[14] = {
    {3, 55, 0.55f, 0}, {4, 50, 0.60f, 1}, {4, 45, 0.65f, 2}, {5, 40, 0.70f, 0},
    {5, 35, 0.75f, 1}, {6, 30, 0.80f, 2}, {6, 25, 0.80f, 0}, {7, 20, 0.80f, 1},
    {7, 15, 0.80f, 2}, {8, 15, 0.80f, 0}, {8, 15, 0.80f, 1}, {9, 15, 0.80f, 2},
    {9, 15, 0.80f, 0}, {10, 15, 0.80f, 1},
};

TEST(Rounds, ProgressionTableAndBeyond) {
    start_test_game();
    // A new game's first round: the rifle, full health, a full clock, READY.
    EXPECT_EQ(ammo, UNLIMITED_AMMO);
    EXPECT_EQ(player_health, 150);
    EXPECT_EQ(round_clock, 99);
    EXPECT_EQ(round_intro_countdown, 3);
    EXPECT_EQ(channel_records[CHANNEL_MUSIC].volume, 255);
    for (int r = 1; r <= 14; r++) {
        SCOPED_TRACE(r);
        const RoundRow& row = ROUND_TABLE[r - 1];
        EXPECT_EQ(round_number, r);
        EXPECT_EQ(enemy_count, row.enemy_count);
        EXPECT_EQ(enemy_fire_interval, row.fire_interval_ticks);
        EXPECT_NEAR(enemy_shot_speed, row.shot_speed, 1e-5);
        EXPECT_EQ(light_preset, row.light_preset);
        start_round();
    }
    // Far past the 8-bit counter's range: nothing grows, nothing wraps negative.
    int previous = round_number;
    for (int r = 15; r <= 400; r++) {
        EXPECT_EQ(enemy_count, 10);
        EXPECT_EQ(enemy_fire_interval, 15);
        EXPECT_LE(enemy_shot_speed, 0.8f);
        EXPECT_EQ(light_preset, (r - 1) % 3);
        EXPECT_GE(round_number, previous);
        EXPECT_GT(round_number, 0);
        previous = round_number;
        start_round();
    }
    EXPECT_EQ(round_number, 127);
}

TEST(Rounds, WinAddsClockAndHealthBonusAndPerfectExtra) {
    const int healths[] = {120, 150};
    const int bonuses[] = {15000, 28000};
    for (int k = 0; k < 2; k++) {
        start_test_play();
        round_clock = 30;
        player_health = healths[k];
        score = 1000;
        for (int i = 0; i < enemy_count; i++) enemies[i].health = 0;
        update_enemies();
        EXPECT_EQ(score, 1000 + bonuses[k]);
        EXPECT_EQ(tally_active, 1);
        EXPECT_EQ(enemies_frozen, 1);
        EXPECT_EQ(tally_countdown, 5);
    }
}

TEST(Rounds, NoWinForADeadDyingOrFinishedPlayer) {
    start_test_play();
    for (int i = 0; i < enemy_count; i++) enemies[i].health = 0;

    // Health, death timer, Game Over and whether the round is won: the last
    // enemy fell as the player did; the clock ran out (dying at full health);
    // the game is over; and once it is not, the win.
    const float cases[][4] = {{0, 0, 0, 0}, {150, 0.5f, 0, 0}, {150, -0.025f, 1, 0}, {150, -0.025f, 0, 1}};
    for (const auto& c : cases) {
        player_health = static_cast<int32_t>(c[0]);
        player_death_timer = c[1];
        game_over = static_cast<int8_t>(c[2]);
        update_enemies();
        EXPECT_EQ(tally_active, c[3]) << c[0] << ", " << c[1] << ", " << c[2];
    }
}

TEST(Rounds, RestartKeepsTheRoundAndRevivesItsEnemies) {
    start_test_game();
    for (int r = 1; r < 5; r++) start_round();
    begin_play();
    const int count = enemy_count;
    const int interval = enemy_fire_interval;
    const float speed = enemy_shot_speed;
    score = 5000;
    item_box_active = 1;
    player_health = 10;
    round_clock = 40;
    weapon = WEAPON_MACHINE_GUN;
    ammo = 20;
    fire_interval = 5;
    for (int i = 0; i < count; i++) enemies[i].health = -50;

    restart_round();
    EXPECT_EQ(round_number, 5);
    EXPECT_EQ(enemy_count, count);
    EXPECT_EQ(enemy_fire_interval, interval);
    EXPECT_FLOAT_EQ(enemy_shot_speed, speed);
    for (int i = 0; i < count; i++) EXPECT_EQ(enemies[i].health, 100);
    EXPECT_EQ(player_health, 150);
    EXPECT_EQ(round_clock, 99);
    EXPECT_EQ(score, 5000);
    EXPECT_EQ(item_box_active, 1);
    EXPECT_EQ(weapon, WEAPON_RIFLE);
    EXPECT_EQ(ammo, UNLIMITED_AMMO);
    EXPECT_EQ(round_intro, 1);
    EXPECT_EQ(enemies_frozen, 1);
}

TEST(Rounds, EnemiesNeverStartWithinFiveOfThePlayerOnEitherAxis) {
    const float spots[][2] = {{0, -16}, {26.5f, -26.5f}, {-26.5f, 26.5f}, {3.3f, 0}};
    for (const auto& spot : spots) {
        player_x = spot[0];
        player_y = spot[1];
        for (unsigned seed = 1; seed <= 200; seed++) {
            srand(seed);
            for (Enemy& enemy : enemies) enemy = Enemy{0, 0, -1, ENEMY_MODE_ATTACK, 0, 0};  // the last round's
            place_enemies();
            for (const Enemy& enemy : enemies) {
                EXPECT_GE(std::fabs(enemy.x - player_x), 5.0f);
                EXPECT_GE(std::fabs(enemy.y - player_y), 5.0f);
                EXPECT_EQ(enemy.x, std::floor(enemy.x));
                EXPECT_GE(enemy.x, -28.0f);
                EXPECT_LE(enemy.y, 27.0f);
                EXPECT_GE(enemy.heading, 0.0f);
                EXPECT_LE(enemy.heading, 6.28f);
                EXPECT_EQ(enemy.health, 100);
                EXPECT_EQ(enemy.mode, ENEMY_MODE_WANDER);
            }
        }
    }
}

// A global of the game, what the last game left in it, and what a new game
// holds there.
template <typename T>
struct Left {
    T* value;
    T left, fresh;
};

// A game started from the menu after one that ended dying in a late round,
// in a tally, with a box, a message, shots and explosions about: nothing of
// that game is left.
TEST(Rounds, ANewGameLeavesNothingOfTheLastOne) {
    const Left<int8_t> bytes[] = {
        {&game_over, 1, 0},       {&game_over_countdown, 2, 0},                {&tally_active, 1, 0},
        {&item_box_active, 1, 0}, {&weapon, WEAPON_MACHINE_GUN, WEAPON_RIFLE}, {&lives, 0, 3},
        {&second_ticks, 30, 0},
    };
    const Left<int32_t> words[] = {
        {&tally_countdown, 3, 0}, {&item_message_timer, 3, 0}, {&ammo, 20, UNLIMITED_AMMO},
        {&fire_cooldown, 4, 0},   {&score, 900, 0},
    };
    const Left<float> floats[] = {
        {&enemy_death_timer[9], 0.5f, 0}, {&player_death_timer, 0.5f, 0}, {&player_x, 20, 0},
        {&player_y, 3, -16},              {&player_heading, 2, 0},
    };
    start_test_game();
    for (int r = 1; r < 6; r++) start_round();
    enemy_shots[7][3].active = 1;
    player_shots[11].active = 1;
    snprintf(item_message, sizeof item_message, "%s", "Health +25");
    for (const auto& c : bytes) *c.value = c.left;
    for (const auto& c : words) *c.value = c.left;
    for (const auto& c : floats) *c.value = c.left;
    start_test_game();
    for (const auto& c : bytes) EXPECT_EQ(*c.value, c.fresh) << "byte " << &c - bytes;
    for (const auto& c : words) EXPECT_EQ(*c.value, c.fresh) << "word " << &c - words;
    for (const auto& c : floats) EXPECT_EQ(*c.value, c.fresh) << "float " << &c - floats;
    EXPECT_EQ(active_shots(enemy_shots[7]), 0);
    EXPECT_EQ(active_shots(player_shots), 0);
    EXPECT_STREQ(item_message, "");
    EXPECT_EQ(round_number, 1);
    EXPECT_EQ(enemy_count, 3);
    EXPECT_EQ(light_preset, 0);
    EXPECT_EQ(in_game, 1);
    EXPECT_EQ(menu_screen, 0);
}

// Each round start opens the music anew; the stream of the round before is
// closed first, so a long game holds one stream, not one per round.
TEST(Rounds, EachRoundReplacesTheMusicStreamWithoutLeakingIt) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    start_sound(monotonic_ms);
    start_test_game();
    if (!music_stream) {
        close_sound();
        GTEST_SKIP() << "no music: datos/mdf01.mp3 missing or no audio";
    }
    for (int r = 0; r < 5; r++) start_round();
    EXPECT_EQ(open_music_streams, 1);
    close_music_stream(music_stream);
    music_stream = nullptr;
    EXPECT_EQ(open_music_streams, 0);
    close_sound();
}

}  // namespace
