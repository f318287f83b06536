// The game-mode flags and countdowns that the main loop, the HUD pass and the
// round resets steer together (title, controls screen, READY intro, play,
// tally, Game Over), and the per-enemy explosion timers.
#include "game/game.h"

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
