// Gameplay: the player, shots, enemies, item box, rounds, the game-mode flags
// and countdowns, and the camera they steer. Pure rules with no OpenGL, so
// every function here runs and is tested without a display. Input is read
// from Allegro's key[] and mouse_b and from mouse_mickey_x/y; randomness is
// the standard rand(), seeded by new_game.
#pragma once

#include <cstdint>

#include "sound/sound.h"

// ---- Arena, player and shot constants ---------------------------------

enum {
    SHOT_SLOTS = 12,
    MAX_ENEMIES = 10,
    PLAYER_FULL_HEALTH = 150,
    ENEMY_FULL_HEALTH = 100,
    ROUND_SECONDS = 99,
    TICKS_PER_SECOND = 60,
    ITEM_MESSAGE_CAPACITY = 12,  // 11 characters and the terminator
    STARTING_LIVES = 3,
};

// ---- Weapons --------------------------------------------------------------

enum {
    WEAPON_RIFLE = 0,
    WEAPON_MACHINE_GUN = 1,
    UNLIMITED_AMMO = -1,                // the rifle's ammo count
    MACHINE_GUN_AMMO = 100,             // counted down to -1: 101 shots
    FIRE_INTERVAL_RIFLE_TICKS = 30,
    FIRE_INTERVAL_MACHINE_GUN_TICKS = 5,
};

// The READY intro's eye starts this high above the middle of the floor and
// comes down; no camera is ever higher. The asset builder leaves out arena
// faces that no eye between the floor and this height, inside the perimeter
// wall, could see the front of.
static constexpr float INTRO_EYE_HEIGHT = 10.0f;

// The player's death timer starts at 1 and counts down; below the end value
// the explosion is over (the round restarts or the game ends) and the figure
// is drawn again.
static const float PLAYER_DEATH_TIMER_START = 1.0f;
static const float DEATH_TIMER_END = 0.05f;

// ---- Turns ----------------------------------------------------------------
// Headings turn by half and quarter turns written as rounded pi, and the
// roundings differ from turn to turn. The differences are small but they are
// how the game plays (where a strafe step lands, where the intro camera stops,
// how an enemy aims, which way a figure faces), so each turn keeps its own
// value instead of sharing one exact pi.
static const float STRAFE_QUARTER_TURN_RADIANS = 1.5707f;      // sideways from the heading
static const float INTRO_SIDE_QUARTER_TURN_RADIANS = 1.57f;    // the intro camera's stop on the right
static const float ENEMY_AIM_QUARTER_TURN_RADIANS = 1.57f;     // from atan2's angle to a heading
static const float CAMERA_BEHIND_HALF_TURN_RADIANS = 3.1416f;  // the eye behind the player
static const float HEADING_TO_MODEL_HALF_TURN_RADIANS = 3.1415f;  // figures face their heading

// ---- Shot and enemy tables --------------------------------------------

struct Shot {
    int8_t spare;     // 0 in every slot; drawn only while 0
    int8_t active;    // 1 while the slot holds a flying shot
    float x;
    float y;
    float heading;    // flies along (sin heading, cos heading)
};

enum {
    ENEMY_MODE_WANDER = 0,
    ENEMY_MODE_ATTACK = 2,
};

struct Enemy {
    float x;
    float y;
    float heading;
    int8_t mode;             // ENEMY_MODE_WANDER or ENEMY_MODE_ATTACK
    int32_t decision_timer;  // ticks until the next random mode draw
    int32_t health;          // dead at 0 or below
};

extern Shot player_shots[SHOT_SLOTS];
extern Shot enemy_shots[MAX_ENEMIES][SHOT_SLOTS];
extern Enemy enemies[MAX_ENEMIES];
extern int8_t enemy_count;
extern int32_t enemy_fire_cooldown[MAX_ENEMIES];
extern int8_t enemy_fire_interval;
extern float enemy_shot_speed;
extern int32_t enemy_aggression;

// ---- Player ---------------------------------------------------------------

extern float player_x;
extern float player_y;
extern float player_heading;   // radians, never wrapped
extern int32_t player_health;
extern int8_t lives;
extern int32_t score;
extern int32_t max_score;
extern int8_t weapon;          // WEAPON_RIFLE or WEAPON_MACHINE_GUN
extern int32_t ammo;           // machine-gun rounds; UNLIMITED_AMMO with the rifle
extern int8_t fire_interval;
extern int32_t fire_cooldown;
extern float player_death_timer;
extern int32_t mouse_mickey_x;
extern int32_t mouse_mickey_y;

// ---- Camera (read by every 3D pass of the renderer) ----------------------

extern float camera_eye_x, camera_eye_y, camera_eye_z;
extern float camera_target_x, camera_target_y, camera_target_z;
extern float camera_up_z;
extern float camera_orbit_angle;

// ---- Item box -----------------------------------------------------------

enum {
    ITEM_HEALTH = 0,
    ITEM_MACHINE_GUN = 1,
    ITEM_POINTS = 2,
};

extern int8_t item_box_active;
extern float item_box_x;
extern float item_box_y;
extern int8_t item_box_kind;
extern float item_box_spin;  // degrees
extern char item_message[ITEM_MESSAGE_CAPACITY];
extern int32_t item_message_timer;

// ---- Rounds ---------------------------------------------------------------

extern int8_t round_number;
extern int8_t light_preset;  // 0 dawn, 1 sunset, 2 night; -1 before round 1
extern MusicStream* music_stream;
extern int32_t music_volume;

// ---- Game modes and countdowns ------------------------------------------

extern int8_t second_ticks;
extern int8_t in_game;
extern int8_t menu_screen;  // 0 title, 1 controls and item box
extern int8_t round_intro;
extern int32_t round_intro_countdown;
extern int8_t enemies_frozen;
extern int8_t tally_active;
extern int32_t tally_countdown;
extern int8_t game_over;
extern int8_t game_over_countdown;
extern int8_t round_clock;
extern float enemy_death_timer[MAX_ENEMIES];

// ---- Tick functions -----------------------------------------------------

void update_player();
void update_player_shots(Shot* list);
void update_enemies();
void update_enemy_shots(Shot* list);
void place_item_box();
void check_item_pickup();

void new_game();
void start_round();
void restart_round();
void win_round();
void place_enemies();
