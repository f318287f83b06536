// The shared shot and enemy tables: twelve shot slots for the player, twelve
// for each of the ten enemy slots, the enemy records and the difficulty
// globals. All ten slots always exist; enemy_count says how many take part.
#include "game/game.h"

Shot player_shots[SHOT_SLOTS];
Shot enemy_shots[MAX_ENEMIES][SHOT_SLOTS];
Enemy enemies[MAX_ENEMIES];
int8_t enemy_count;
int32_t enemy_fire_cooldown[MAX_ENEMIES];
int8_t enemy_fire_interval;
float enemy_shot_speed;
int32_t enemy_aggression;
