// Shots in flight: the player's shots against the arena edge and the
// enemies, whose explosions then fade, and the enemies' shots against the
// player.
#include <gtest/gtest.h>

#include "shell/shell.h"
#include "support/game_fixture.h"

namespace {

void launch(Shot* list, int slot, float x, float y, float heading) { list[slot] = Shot{0, 1, x, y, heading}; }

TEST(PlayerShots, LeavingTheArenaSoundsQuietly) {
    start_test_game();
    park_enemies();
    launch(player_shots, 0, 0, 27.5f, 0);
    update_player_shots(player_shots);
    EXPECT_EQ(player_shots[0].active, 0);
    EXPECT_EQ(channel_records[CHANNEL_SHOT_MISS].last_sample, SAMPLE_MACHINE_GUN_B);
    EXPECT_EQ(channel_records[CHANNEL_SHOT_MISS].volume, 50);
}

TEST(PlayerShots, HitSquareIsOpenAtOneUnit) {
    start_test_game();
    park_enemies();
    // Each shot ends its step at (0, 11): an enemy just under a unit away is
    // hit, one a unit away is not, and a slot past the round's enemies is not
    // in play and is never hit.
    struct Target {
        int slot;
        float x, y;
        int health;
        int8_t shot_flies_on;
    };
    const Target targets[] = {{0, 0.99f, 11.99f, 50, 0}, {0, 1, 11, 50, 1}, {enemy_count, 0, 11, 100, 1}};
    for (const Target& t : targets) {
        enemies[t.slot].x = t.x;
        enemies[t.slot].y = t.y;
        launch(player_shots, 0, 0, 9, 0);
        update_player_shots(player_shots);
        EXPECT_EQ(enemies[t.slot].health, t.health) << t.slot << " at " << t.x << ", " << t.y;
        EXPECT_EQ(player_shots[0].active, t.shot_flies_on) << t.slot << " at " << t.x << ", " << t.y;
    }
    EXPECT_EQ(channel_records[CHANNEL_GROAN].last_sample, SAMPLE_GROAN_B);
}

TEST(PlayerShots, LowerSlotIsHitFirstAndAnEnemyIsWorthTwoHundred) {
    start_test_game();
    park_enemies();
    enemies[1].x = enemies[2].x = 0;
    enemies[1].y = enemies[2].y = 11;
    score = 0;
    for (int i = 0; i < 3; i++) {
        launch(player_shots, 0, 0, 9, 0);
        update_player_shots(player_shots);
    }
    EXPECT_LE(enemies[1].health, 0);
    EXPECT_EQ(enemy_death_timer[1], 1.0f);
    EXPECT_EQ(enemies[2].health, 50);  // the third shot flew through the dead one
    EXPECT_EQ(score, 300);

    // Its explosion fades 0.05 a tick and stops once it is out.
    for (int tick = 0; tick < 10; tick++) game_tick();
    EXPECT_NEAR(enemy_death_timer[1], 0.5f, 1e-5);
    for (int tick = 0; tick < 15; tick++) game_tick();
    const float out = enemy_death_timer[1];
    EXPECT_LE(out, 0.0f);
    game_tick();
    EXPECT_EQ(enemy_death_timer[1], out);
}

TEST(EnemyShots, HurtOnlyInPlayButVanishOnArrivalAlways) {
    start_test_game();
    park_enemies();
    player_x = 0;
    player_y = 0;
    enemy_shot_speed = 0.5f;

    // READY intro, then tally: harmless, but consumed.
    for (int phase = 0; phase < 2; phase++) {
        round_intro = phase == 0;
        tally_active = phase == 1;
        launch(enemy_shots[0], 0, 0, -1, 0);
        update_enemy_shots(enemy_shots[0]);
        EXPECT_EQ(enemy_shots[0][0].active, 0);
        EXPECT_EQ(player_health, 150);
        EXPECT_EQ(channel_records[CHANNEL_GROAN].starts, 0);
    }

    round_intro = 0;
    tally_active = 0;
    launch(enemy_shots[0], 0, 0, -1, 0);
    launch(enemy_shots[1], 3, 0, -1, 0);
    update_enemy_shots(enemy_shots[0]);
    update_enemy_shots(enemy_shots[1]);
    EXPECT_EQ(player_health, 120);
    EXPECT_EQ(channel_records[CHANNEL_GROAN].last_sample, SAMPLE_GROAN_A);

    // Dying already: more hits cost health but no second life.
    player_health = 10;
    lives = 2;
    for (int i = 0; i < 3; i++) {
        launch(enemy_shots[0], 0, 0, -1, 0);
        update_enemy_shots(enemy_shots[0]);
    }
    EXPECT_EQ(player_health, -35);
    EXPECT_EQ(lives, 1);
    EXPECT_EQ(player_death_timer, 1.0f);
}

}  // namespace
