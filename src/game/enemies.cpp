// The enemy pass: random wander and attack modes, aiming and firing at the
// player, walking, turning back at the edge and at the player, and the test
// that wins the round. Also the flight of one enemy's shots and their hits.
#include <cmath>
#include <cstdlib>

#include "game/game.h"
#include "game/game_local.h"

static const float ENEMY_WALK_UNITS_PER_TICK = 0.25f;
static const float ENEMY_AIM_WALK_UNITS_PER_TICK = 0.1f;
static const int DECISION_MIN_TICKS = 60;
static const int DECISION_SPREAD_TICKS = 60;
static const int AGGRESSION_DRAW_RANGE = 100;
static const float ENEMY_NO_AIM_UNITS = 3.0f;  // too close along an axis to aim
static const float ENEMY_FIRING_EDGE = 29.0f;
static const float ENEMY_TURN_RADIANS = 3.25f;
static const float ENEMY_TOUCH_REACH = 1.0f;
static const float ENEMY_SHOT_REACH = 1.0f;
static const int ENEMY_SHOT_DAMAGE = 15;

static void draw_mode(Enemy& enemy) {
    if (enemy.decision_timer != 0) return;
    enemy.decision_timer = DECISION_MIN_TICKS + rand() % DECISION_SPREAD_TICKS;
    enemy.mode = rand() % AGGRESSION_DRAW_RANGE >= enemy_aggression ? ENEMY_MODE_ATTACK : ENEMY_MODE_WANDER;
}

static bool can_aim(const Enemy& enemy) {
    return std::fabs(enemy.x - player_x) > ENEMY_NO_AIM_UNITS &&
           std::fabs(enemy.y - player_y) > ENEMY_NO_AIM_UNITS &&
           std::fabs(enemy.x) < ENEMY_FIRING_EDGE && std::fabs(enemy.y) < ENEMY_FIRING_EDGE;
}

// The shot leaves along the heading the enemy had before this tick's aim.
static void fire_at_player(int j) {
    if (enemy_fire_cooldown[j] != 0) return;
    const int slot = find_free_shot_slot(enemy_shots[j]);
    if (slot < 0) return;
    play_sample(CHANNEL_LASER, SAMPLE_LASER);
    enemy_fire_cooldown[j] = enemy_fire_interval;
    Shot& shot = enemy_shots[j][slot];
    shot.active = 1;
    shot.x = enemies[j].x;
    shot.y = enemies[j].y;
    shot.heading = enemies[j].heading;
}

static void walk_and_turn(Enemy& enemy, float step) {
    enemy.x += step * std::sin(enemy.heading);
    enemy.y += step * std::cos(enemy.heading);
    if (is_outside_arena(enemy.x, enemy.y) ||
        is_within_square(enemy.x, enemy.y, player_x, player_y, ENEMY_TOUCH_REACH)) {
        enemy.heading += ENEMY_TURN_RADIANS;
    }
}

// A dying player or a finished game cannot win the round: the restart or
// the return to the title that follows would otherwise meet a running tally.
static bool player_can_win() {
    return player_health > 0 && player_death_timer <= 0 && game_over == 0;
}

void update_enemies() {
    check_enemy_count();
    // Once one enemy aims, every later enemy of this pass walks slowly too.
    float step = ENEMY_WALK_UNITS_PER_TICK;
    int dead = 0;
    for (int j = 0; j < enemy_count; j++) {
        Enemy& enemy = enemies[j];
        if (enemy_fire_cooldown[j] > 0) enemy_fire_cooldown[j] -= 1;
        if (enemy.health <= 0) {
            dead++;
            continue;
        }
        draw_mode(enemy);
        if (enemy.mode == ENEMY_MODE_ATTACK && can_aim(enemy)) {
            fire_at_player(j);
            enemy.heading = std::atan2(player_y - enemy.y, enemy.x - player_x) - ENEMY_AIM_QUARTER_TURN_RADIANS;
            step = ENEMY_AIM_WALK_UNITS_PER_TICK;
        }
        walk_and_turn(enemy, step);
        if (enemy.decision_timer > 0) enemy.decision_timer -= 1;
    }
    if (dead == enemy_count && player_can_win()) win_round();
}

void update_enemy_shots(Shot* list) {
    assert(list != nullptr);
    for (int i = 0; i < SHOT_SLOTS; i++) {
        Shot& shot = list[i];
        if (!shot.active) continue;
        shot.x += enemy_shot_speed * std::sin(shot.heading);
        shot.y += enemy_shot_speed * std::cos(shot.heading);
        if (is_outside_arena(shot.x, shot.y)) shot.active = 0;
        if (game_over != 0) continue;
        if (!is_within_square(shot.x, shot.y, player_x, player_y, ENEMY_SHOT_REACH)) continue;

        // During the intro and the tally a shot that arrives does no harm.
        if (!tally_active && !round_intro) {
            play_sample(CHANNEL_GROAN, SAMPLE_GROAN_A);
            player_health -= ENEMY_SHOT_DAMAGE;
            if (player_health <= 0 && player_death_timer < DEATH_TIMER_END) {
                player_death_timer = PLAYER_DEATH_TIMER_START;
                lives -= 1;
            }
        }
        shot.active = 0;
    }
}
