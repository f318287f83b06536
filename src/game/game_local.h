// Gameplay-private helpers shared by the files of src/game: the arena edge
// and hit-square tests, and the lowest free slot of a shot list.
#pragma once

#include <cassert>
#include <cmath>

#include "game/game.h"

// Shots and enemies leave or turn at this edge and the play camera comes in
// close rather than cross it; the player stays inside 26.5.
static const float ARENA_EDGE = 28.0f;

inline bool is_outside_arena(float x, float y) {
    return std::fabs(x) > ARENA_EDGE || std::fabs(y) > ARENA_EDGE;
}

// Two things touch when they are closer than `reach` on both axes.
inline bool is_within_square(float ax, float ay, float bx, float by, float reach) {
    return std::fabs(ax - bx) < reach && std::fabs(ay - by) < reach;
}

// The lowest slot whose shot is not flying, or -1 when all are busy.
inline int find_free_shot_slot(const Shot* list) {
    assert(list != nullptr);
    for (int i = 0; i < SHOT_SLOTS; i++) {
        if (list[i].active == 0) return i;
    }
    return -1;
}

inline void check_enemy_count() {
    assert(enemy_count >= 0 && enemy_count <= MAX_ENEMIES);
}
