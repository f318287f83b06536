// The item box: placed in a corner when the round clock passes 98 or 50,
// picked up by walking onto it for health, a machine gun or bonus points.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "game/game.h"
#include "game/game_local.h"

int8_t item_box_active;
float item_box_x;
float item_box_y;
int8_t item_box_kind;
float item_box_spin;
char item_message[ITEM_MESSAGE_CAPACITY];
int32_t item_message_timer;

static const int KIND_DRAW_RANGE = 75;
static const int KIND_DRAW_PER_KIND = 25;
static const int CORNER_DRAW_RANGE = 100;
static const float ITEM_BOX_PICKUP_REACH = 1.0f;  // bounds included
static const int ITEM_MESSAGE_SECONDS = 4;
static const int HEALTH_BOX_GAIN = 25;
static const int POINTS_BOX_GAIN = 1500;

struct Corner {
    int draw_below;  // the corner is chosen while the draw is below this
    float x;
    float y;
};

// Half of all boxes land at (-25, 25); (25, 25) is never used.
static const Corner ITEM_BOX_CORNERS[] = {
    {25, -25, 25},
    {50, -25, 25},
    {75, -25, -25},
    {100, 25, -25},
};

static const char* const ITEM_MESSAGES[] = {
    "Health +25",   // ITEM_HEALTH
    "Machine Gun",  // ITEM_MACHINE_GUN
    "+1500 pts",    // ITEM_POINTS
};

void place_item_box() {
    item_box_active = 1;
    item_box_kind = static_cast<int8_t>(rand() % KIND_DRAW_RANGE / KIND_DRAW_PER_KIND);
    const int corner_draw = rand() % CORNER_DRAW_RANGE;
    for (const Corner& corner : ITEM_BOX_CORNERS) {
        if (corner_draw < corner.draw_below) {
            item_box_x = corner.x;
            item_box_y = corner.y;
            break;
        }
    }
}

static void apply_item(int kind) {
    switch (kind) {
    case ITEM_HEALTH:
        player_health += HEALTH_BOX_GAIN;
        if (player_health > PLAYER_FULL_HEALTH) player_health = PLAYER_FULL_HEALTH;
        break;
    case ITEM_MACHINE_GUN:
        weapon = WEAPON_MACHINE_GUN;
        fire_interval = FIRE_INTERVAL_MACHINE_GUN_TICKS;
        ammo = MACHINE_GUN_AMMO;
        break;
    case ITEM_POINTS:
        score += POINTS_BOX_GAIN;
        break;
    default:
        assert(!"unknown item box kind");
        return;
    }
    snprintf(item_message, sizeof item_message, "%s", ITEM_MESSAGES[kind]);
}

void check_item_pickup() {
    if (item_box_active != 1) return;
    if (std::fabs(player_x - item_box_x) > ITEM_BOX_PICKUP_REACH) return;
    if (std::fabs(player_y - item_box_y) > ITEM_BOX_PICKUP_REACH) return;
    play_sample(CHANNEL_PICKUP, SAMPLE_PICKUP);
    item_message_timer = ITEM_MESSAGE_SECONDS;
    item_box_active = 0;
    apply_item(item_box_kind);
}
