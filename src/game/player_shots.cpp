// The player's shots in flight: the fire cooldown, the 2-unit steps, shots
// leaving the arena, and the hit squares against the enemies in play.
#include <cmath>

#include "game/game.h"
#include "game/game_local.h"

static const float PLAYER_SHOT_UNITS_PER_TICK = 2.0f;
static const float PLAYER_SHOT_REACH = 1.0f;
static const int PLAYER_SHOT_DAMAGE = 50;
static const int POINTS_PER_HIT = 100;
static const int SHOT_MISS_VOLUME = 50;
static const float ENEMY_DEATH_TIMER_START = 1.0f;

// The first living enemy in slot order under the shot takes the hit.
static void hit_first_enemy(Shot& shot) {
    check_enemy_count();
    for (int j = 0; j < enemy_count; j++) {
        Enemy& enemy = enemies[j];
        if (enemy.health <= 0) continue;
        if (!is_within_square(shot.x, shot.y, enemy.x, enemy.y, PLAYER_SHOT_REACH)) continue;

        play_sample(CHANNEL_GROAN, SAMPLE_GROAN_B);
        enemy.health -= PLAYER_SHOT_DAMAGE;
        if (enemy.health <= 0) enemy_death_timer[j] = ENEMY_DEATH_TIMER_START;
        score += POINTS_PER_HIT;
        shot.active = 0;
        return;
    }
}

void update_player_shots(Shot* list) {
    assert(list != nullptr);
    if (fire_cooldown > 0) fire_cooldown -= 1;
    for (int i = 0; i < SHOT_SLOTS; i++) {
        Shot& shot = list[i];
        if (!shot.active) continue;
        shot.x += PLAYER_SHOT_UNITS_PER_TICK * std::sin(shot.heading);
        shot.y += PLAYER_SHOT_UNITS_PER_TICK * std::cos(shot.heading);
        if (is_outside_arena(shot.x, shot.y)) {
            shot.active = 0;
            play_sample(CHANNEL_SHOT_MISS, SAMPLE_MACHINE_GUN_B);
            set_channel_volume(CHANNEL_SHOT_MISS, SHOT_MISS_VOLUME);
        }
        // A shot that has just crossed the edge still hits an enemy there.
        hit_first_enemy(shot);
    }
}
