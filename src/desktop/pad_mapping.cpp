// What a gamepad's sticks, triggers and buttons mean to the game, one tick
// at a time, in the keyboard's and the mouse's own terms: the left stick and
// the D-pad press the walking keys, the right stick moves like the mouse,
// the right trigger or shoulder is the left button, A or Start is Enter, and
// Back held for a second is Escape. No SDL here.
#include <cmath>

#include "desktop/desktop_local.h"

// The rules walk at one speed, so the left stick only picks keys: beyond
// its dead zone, each 45-degree sector of its direction presses one key or
// two (a diagonal), as the keyboard would.
static const float WALK_DEAD_ZONE = 0.2f;
static const float WALK_SECTOR_SINE = 0.3827f;  // sin 22.5 degrees

// The right stick's radial dead zone; beyond it the response starts at 0,
// so a turn sets in smoothly at the zone's edge.
static const float LOOK_DEAD_ZONE = 0.2f;
// Full tilt turns 180 degrees a second: the game turns 0.01 radian a mickey
// and runs 60 ticks a second. Held at full tilt for a third of a second,
// the turn speeds up to 1.6 times that over a quarter of a second.
static const float FULL_TILT_TURN_MICKEYS_PER_TICK = 5.236f;
static const float FULL_TILT_SHARE = 0.85f;
static const int FAST_TURN_AFTER_TICKS = 20;
static const int FAST_TURN_RAMP_TICKS = 15;
static const float FAST_TURN_FACTOR = 1.6f;
// Full tilt up or down moves the eye 2.4 units a second (0.01 a mickey).
static const float FULL_TILT_LOOK_MICKEYS_PER_TICK = 4.0f;

// The trigger fires above 0.25 and stops below 0.15, so a finger resting
// near the threshold does not stutter.
static const float TRIGGER_ON = 0.25f;
static const float TRIGGER_OFF = 0.15f;

static const int QUIT_HOLD_TICKS = 60;  // Back held for a second

float stick_response(float x, float y) {
    const float r = std::sqrt(x * x + y * y);
    if (r <= LOOK_DEAD_ZONE) return 0;
    const float beyond = std::fmin((r - LOOK_DEAD_ZONE) / (1 - LOOK_DEAD_ZONE), 1.0f);
    return beyond * beyond;
}

static void pick_walking_keys(const PadReading& pad, bool* walk) {
    walk[MOVE_FORWARD] = pad.dpad_up;
    walk[MOVE_BACK] = pad.dpad_down;
    walk[MOVE_LEFT] = pad.dpad_left;
    walk[MOVE_RIGHT] = pad.dpad_right;
    const float r = std::sqrt(pad.left_x * pad.left_x + pad.left_y * pad.left_y);
    if (r <= WALK_DEAD_ZONE) return;
    const float ux = pad.left_x / r, uy = pad.left_y / r;
    if (uy < -WALK_SECTOR_SINE) walk[MOVE_FORWARD] = true;
    if (uy > WALK_SECTOR_SINE) walk[MOVE_BACK] = true;
    if (ux < -WALK_SECTOR_SINE) walk[MOVE_LEFT] = true;
    if (ux > WALK_SECTOR_SINE) walk[MOVE_RIGHT] = true;
}

// Whole mickeys out, the fraction kept for the next tick.
static int32_t take_whole_mickeys(float& carry, float mickeys) {
    carry += mickeys;
    const int32_t whole = static_cast<int32_t>(carry);
    carry -= static_cast<float>(whole);
    return whole;
}

static void look(const PadReading& pad, PadMappingState& state, PadInput& out) {
    const float share = stick_response(pad.right_x, pad.right_y);
    if (share <= 0) {
        state.carry_x = state.carry_y = 0;
        state.full_tilt_ticks = 0;
        return;
    }
    const float r = std::sqrt(pad.right_x * pad.right_x + pad.right_y * pad.right_y);
    const float turn = share * pad.right_x / r;
    const float rise = share * pad.right_y / r;

    state.full_tilt_ticks = std::fabs(turn) >= FULL_TILT_SHARE ? state.full_tilt_ticks + 1 : 0;
    float speed_up = 1;
    if (state.full_tilt_ticks > FAST_TURN_AFTER_TICKS) {
        const float ramp = std::fmin(
            static_cast<float>(state.full_tilt_ticks - FAST_TURN_AFTER_TICKS) / FAST_TURN_RAMP_TICKS, 1.0f);
        speed_up += (FAST_TURN_FACTOR - 1) * ramp;
    }
    out.mickey_x = take_whole_mickeys(state.carry_x, turn * FULL_TILT_TURN_MICKEYS_PER_TICK * speed_up);
    out.mickey_y = take_whole_mickeys(state.carry_y, rise * FULL_TILT_LOOK_MICKEYS_PER_TICK);
}

bool pad_axis_pushed(float value, bool trigger) {
    if (trigger) return value > TRIGGER_ON;
    return std::fabs(value) > WALK_DEAD_ZONE;
}

PadInput map_pad(const PadReading& pad, PadMappingState& state) {
    PadInput out = {};
    pick_walking_keys(pad, out.walk);
    look(pad, state, out);

    if (state.trigger_firing ? pad.right_trigger < TRIGGER_OFF : pad.right_trigger > TRIGGER_ON) {
        state.trigger_firing = !state.trigger_firing;
    }
    out.fire = state.trigger_firing || pad.right_shoulder;
    out.enter = pad.a || pad.start;

    state.back_held_ticks = pad.back ? state.back_held_ticks + 1 : 0;
    out.quit = state.back_held_ticks >= QUIT_HOLD_TICKS;
    return out;
}
