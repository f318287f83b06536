// The HUD pass without pixels: which text lines a frame of the game shows,
// in drawing order, and the two mode changes the pass makes on the way (the
// end of the READY intro and the end of the tally).
#include <cassert>
#include <cstdarg>
#include <cstdio>

#include "game/game.h"
#include "shell/hud_lines.h"
#include "shell/shell.h"

// The clock blinks red for the first 25 ticks of each second near the end.
static const int CLOCK_WARNING_SECONDS = 25;
static const int BLINK_LAST_RED_TICK = 24;
static const int HEALTH_WARNING = 25;
static const int READY_GREY_PER_TICK = 4;
static const int POINTS_PER_UNIT = 100;
static const int TALLY_TIME_LINE_COUNTDOWN = 4;
static const int TALLY_HEALTH_LINE_COUNTDOWN = 3;
static const int TALLY_TOTAL_LINE_COUNTDOWN = 2;

int add_hud_line(HudLine* out, int capacity, int count, float x, float y, float z,
                 int r, int g, int b, const char* format, ...) {
    assert(out != nullptr && count >= 0 && count < capacity);
    if (out == nullptr || count < 0 || count >= capacity) return count;
    HudLine& line = out[count];
    line.x = x;
    line.y = y;
    line.z = z;
    line.r = r;
    line.g = g;
    line.b = b;
    va_list args;
    va_start(args, format);
    vsnprintf(line.text, sizeof line.text, format, args);
    va_end(args);
    return count + 1;
}

int add_score_line(HudLine* out, int capacity, int count) {
    return add_hud_line(out, capacity, count, -40, 32, -80, 255, 255, 255,
                        "P1 %12d                  Max %12d", score, max_score);
}

static int add_play_lines(HudLine* out, int capacity, int n) {
    n = add_score_line(out, capacity, n);

    const bool clock_red = round_clock <= CLOCK_WARNING_SECONDS && second_ticks <= BLINK_LAST_RED_TICK;
    if (clock_red) {
        n = add_hud_line(out, capacity, n, -2, 18, -45, 255, 0, 0, "%2d", round_clock);
    } else {
        n = add_hud_line(out, capacity, n, -2, 18, -45, 255, 255, 128, "%2d", round_clock);
    }
    n = add_hud_line(out, capacity, n, -5.5f, 40, -120, 128, 128, 255, "TIME");

    if (player_health > HEALTH_WARNING) {
        n = add_hud_line(out, capacity, n, -13.5f, -7, -25, 128, 127, 255, "%d", player_health);
    } else {
        n = add_hud_line(out, capacity, n, -13.5f, -7, -25, 255, 0, 0, "%d", player_health);
    }
    n = add_hud_line(out, capacity, n, -8, -15, -50, 128, 255, 128, "Life x %d", lives);

    if (ammo >= 0) n = add_hud_line(out, capacity, n, 7.5f, -7, -25, 255, 255, 0, "%d", ammo);
    if (ammo == UNLIMITED_AMMO) n = add_hud_line(out, capacity, n, 7.5f, -7, -25, 255, 255, 0, "Inf");
    return n;
}

// READY fades in over each second of the intro.
static int add_intro_lines(HudLine* out, int capacity, int n) {
    const int grey = READY_GREY_PER_TICK * second_ticks;
    n = add_hud_line(out, capacity, n, -8, 10, -40, grey, grey, grey, "READY");
    return add_hud_line(out, capacity, n, -8, -15, -50, 128, 255, 128, "Round %d", round_number);
}

// One more line each second as the tally counts down; PERFECT flashes.
static int add_tally_lines(HudLine* out, int capacity, int n) {
    const bool perfect = player_health == PLAYER_FULL_HEALTH;
    if (tally_countdown <= TALLY_TIME_LINE_COUNTDOWN && perfect) {
        if (second_ticks > BLINK_LAST_RED_TICK) {
            n = add_hud_line(out, capacity, n, -15, 7, -50, 255, 128, 128, "PERFECT");
        } else {
            n = add_hud_line(out, capacity, n, -15, 7, -50, 255, 255, 255, "PERFECT");
        }
    }
    if (tally_countdown <= TALLY_TIME_LINE_COUNTDOWN) {
        n = add_hud_line(out, capacity, n, -25, 2, -70, 128, 128, 128, "Time %d x 100 = %d",
                         round_clock, round_clock * POINTS_PER_UNIT);
    }
    if (tally_countdown <= TALLY_HEALTH_LINE_COUNTDOWN) {
        n = add_hud_line(out, capacity, n, -25, -3, -70, 128, 128, 128, "Health %d x 100 = %d",
                         player_health, player_health * POINTS_PER_UNIT);
    }
    if (tally_countdown <= TALLY_TOTAL_LINE_COUNTDOWN) {
        if (player_health < PLAYER_FULL_HEALTH) {
            n = add_hud_line(out, capacity, n, -20, -8, -60, 255, 255, 128, "Total = %d", score);
        } else if (perfect) {
            n = add_hud_line(out, capacity, n, -20, -8, -60, 255, 255, 128, "Total + 10000 = %d ", score);
        }
    }
    return n;
}

int run_hud_pass(HudLine* out, int capacity) {
    int n = 0;
    if (tally_active == 0 && round_intro == 0 && game_over == 0) n = add_play_lines(out, capacity, n);

    if (round_intro) {
        n = add_intro_lines(out, capacity, n);
        if (round_intro_countdown <= 0) {  // play begins
            round_intro = 0;
            enemies_frozen = 0;
        }
    }
    if (tally_active) {
        n = add_tally_lines(out, capacity, n);
        if (tally_countdown <= 0) {  // on to the next round
            tally_active = 0;
            start_round();
        }
    }
    if (game_over > 0) {
        n = add_score_line(out, capacity, n);
        n = add_hud_line(out, capacity, n, -10, 2, -30, 255, 255, 255, "Game Over");
    }
    // The pick-up message shows in play and in the intro; its timer runs on
    // regardless.
    if (item_message_timer > 0 && tally_active == 0 && game_over == 0) {
        n = add_hud_line(out, capacity, n, 15, 0, -80, 255, 255, 255, "%s", item_message);
    }
    return n;
}
