// Placeholder definitions until the gameplay lands.
#include "game/game.h"
Shot player_shots[SHOT_SLOTS];
Shot enemy_shots[MAX_ENEMIES][SHOT_SLOTS];
Enemy enemies[MAX_ENEMIES];
int8_t enemy_count;
int32_t enemy_fire_cooldown[MAX_ENEMIES];
int8_t enemy_fire_interval;
float enemy_shot_speed;
int32_t enemy_aggression;
float player_x, player_y, player_heading;
int32_t player_health;
int8_t lives;
int32_t score;
int32_t max_score;
int8_t weapon;
int32_t ammo;
int8_t fire_interval;
int32_t fire_cooldown;
float player_death_timer;
int32_t mouse_mickey_x, mouse_mickey_y;
float camera_eye_x, camera_eye_y, camera_eye_z;
float camera_target_x, camera_target_y, camera_target_z;
float camera_up_z;
float camera_orbit_angle;
int8_t item_box_active;
float item_box_x, item_box_y;
int8_t item_box_kind;
float item_box_spin;
char item_message[ITEM_MESSAGE_CAPACITY];
int32_t item_message_timer;
int8_t round_number;
int8_t light_preset;
MusicStream* music_stream;
int32_t music_volume;
int8_t second_ticks;
int8_t in_game;
int8_t menu_screen;
int8_t round_intro;
int32_t round_intro_countdown;
int8_t enemies_frozen;
int8_t tally_active;
int32_t tally_countdown;
int8_t game_over;
int8_t game_over_countdown;
int8_t round_clock;
float enemy_death_timer[MAX_ENEMIES];
void update_player() {}
void update_player_shots(Shot*) {}
void update_enemies() {}
void update_enemy_shots(Shot*) {}
void place_item_box() {}
void check_item_pickup() {}
void new_game() {}
void start_round() {}
void restart_round() {}
void win_round() {}
void place_enemies() {}
