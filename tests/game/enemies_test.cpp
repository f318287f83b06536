// The enemy pass: how often an enemy draws its mode and how often it
// attacks, when an attacking enemy aims and fires, the slow step that one
// aim gives the rest of the pass, and turning at the edge and the player.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support/game_fixture.h"

namespace {

// Play with only enemy 0 .. count-1 on the field, all wandering, far apart.
void set_up_enemies(int count) {
    start_parked_play();
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

// An enemy draws its mode again when its decision timer has run out, for
// the next 60 to 119 ticks (the pass then takes one off); it attacks on
// draws of rand() % 100 at or above the aggression: 30 in 100 at the game's
// 70, never at 100, always at 0.
TEST(EnemyModes, DrawnEverySixtyTo119TicksAttackingAtTheAggressionsOdds) {
    const int draws = 10000;
    struct Odds {
        int aggression, fewest, most;
    };
    for (const Odds& odds : {Odds{70, 2800, 3200}, Odds{100, 0, 0}, Odds{0, draws, draws}}) {
        SCOPED_TRACE(odds.aggression);
        set_up_enemies(1);
        EXPECT_EQ(enemy_aggression, 70);
        enemy_aggression = odds.aggression;
        int attacks = 0, shortest = 1000, longest = 0;
        for (int i = 0; i < draws; i++) {
            enemies[0].x = 1;  // level with the player: never aims
            enemies[0].y = 10;
            enemies[0].decision_timer = 0;
            update_enemies();
            attacks += enemies[0].mode == ENEMY_MODE_ATTACK;
            shortest = std::min(shortest, enemies[0].decision_timer);
            longest = std::max(longest, enemies[0].decision_timer);
        }
        EXPECT_GE(attacks, odds.fewest);
        EXPECT_LE(attacks, odds.most);
        EXPECT_EQ(shortest, 59);
        EXPECT_EQ(longest, 118);
    }
    const int32_t timer = enemies[0].decision_timer;
    update_enemies();
    EXPECT_EQ(enemies[0].decision_timer, timer - 1);
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

    // The shot after comes as many passes later as the round's fire interval.
    int passes = 0;
    for (; enemy_shots[0][2].active == 0 && passes < 1000; passes++) update_enemies();
    EXPECT_EQ(passes, enemy_fire_interval);
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
