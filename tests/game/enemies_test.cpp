// The enemy pass: when an attacking enemy aims and fires, the slow step that
// one aim gives the rest of the pass, and turning at the edge and the player.
#include <gtest/gtest.h>

#include <cmath>

#include "support/game_fixture.h"

namespace {

// Play with only enemy 0 .. count-1 on the field, all wandering, far apart.
void set_up_enemies(int count) {
    start_test_game();
    begin_play();
    park_enemies();
    enemy_count = static_cast<int8_t>(count);
    player_x = 0;
    player_y = 0;
}

void make_attacker(Enemy& enemy, float x, float y, float heading) {
    enemy.x = x;
    enemy.y = y;
    enemy.heading = heading;
    enemy.mode = ENEMY_MODE_ATTACK;
}

TEST(EnemyAttack, NoAimWithinThreeOnAnAxisOrBeyondTwentyNine) {
    const float spots[][2] = {{2.5f, 20}, {20, -3}, {29.5f, 10}};
    for (const auto& spot : spots) {
        set_up_enemies(3);
        make_attacker(enemies[0], spot[0], spot[1], 1.0f);
        update_enemies();
        SCOPED_TRACE(spot[0]);
        // Not aimed; beyond the edge it only turns back.
        const float heading = enemies[0].heading;
        EXPECT_TRUE(heading == 1.0f || heading == 1.0f + 3.25f) << heading;
        EXPECT_EQ(active_shots(enemy_shots[0]), 0);
        EXPECT_NEAR(enemies[1].y - 20.0f, 0.25f, 1e-5);  // nobody aimed: full step
    }
}

TEST(EnemyAttack, FirstShotLeavesAlongTheOldHeadingThenAlongTheAim) {
    set_up_enemies(3);
    make_attacker(enemies[0], 10, 10, 1.0f);
    update_enemies();
    const Shot& first = enemy_shots[0][0];
    EXPECT_EQ(first.active, 1);
    EXPECT_EQ(first.heading, 1.0f);
    EXPECT_EQ(first.x, 10.0f);
    EXPECT_EQ(enemy_fire_cooldown[0], enemy_fire_interval);
    EXPECT_EQ(channel_records[CHANNEL_LASER].last_sample, SAMPLE_LASER);
    // The aim points back at the player, at the origin.
    const float aim = enemies[0].heading;
    EXPECT_NEAR(std::sin(aim), -std::sqrt(0.5f), 1e-3);
    EXPECT_NEAR(std::cos(aim), -std::sqrt(0.5f), 1e-3);

    enemy_fire_cooldown[0] = 0;
    update_enemies();
    EXPECT_EQ(enemy_shots[0][1].active, 1);
    EXPECT_EQ(enemy_shots[0][1].heading, aim);
}

TEST(EnemyAttack, OneAimSlowsEveryLaterEnemyOfThePass) {
    set_up_enemies(3);
    make_attacker(enemies[1], 10, 10, 0);
    update_enemies();
    EXPECT_NEAR(enemies[0].y - 20.0f, 0.25f, 1e-5);  // before the aim
    EXPECT_NEAR(enemies[2].y - 20.0f, 0.1f, 1e-5);   // after it, though wandering
}

TEST(EnemyWalk, TurnsBackAtTheEdgeAndAtThePlayer) {
    set_up_enemies(3);
    enemies[0].x = 27.9f;
    enemies[0].y = 0;
    enemies[0].heading = 1.5708f;  // towards +x
    enemies[1].x = -0.2f;
    enemies[1].y = 0;
    enemies[1].heading = 1.5708f;  // walks into the player at the origin
    update_enemies();
    EXPECT_GT(enemies[0].x, 28.0f);
    EXPECT_NEAR(enemies[0].heading, 1.5708f + 3.25f, 1e-5);
    EXPECT_NEAR(enemies[1].heading, 1.5708f + 3.25f, 1e-5);
    EXPECT_EQ(enemies[2].heading, 0.0f);
}

}  // namespace
