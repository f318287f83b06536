// Game shell: start-up and teardown, the fixed 60 Hz main loop, the per-tick
// and per-frame order of calls, the HUD pass and the two menu screens.
#pragma once

#include <atomic>
#include <cstdint>

// ---- Main loop ----------------------------------------------------------

enum {
    TICK_TIMER_UNITS = 19886,  // install_int_ex units between two ticks (60 Hz)
};

extern std::atomic<int32_t> pending_ticks;

void tick_callback();  // the timer thread's only action: pending_ticks += 1, the loop woken

// A backlog longer than this (a quarter of a second) is dropped, not played.
static const int32_t OWED_TICKS_LIMIT = 15;

// Runs every owed tick (game_tick while in_game, else menu_tick), re-reading
// the counter after each one; a backlog over OWED_TICKS_LIMIT is dropped
// unplayed. Returns the number of ticks run.
int run_owed_ticks();
// Sleeps until a tick is owed, or a tenth of a second at most.
void wait_for_owed_tick();
void game_tick();
void per_second_step();
void draw_frame();
// Until Escape is held or quit_request is set: each pass runs the owed ticks
// and draws a frame when any ran; without the focus the game holds, its
// frozen frame dimmed under PAUSED.
void run_main_loop();

// ---- Start-up and teardown -----------------------------------------------

enum StartResult {
    START_OK,
    START_NO_DISPLAY,  // "Error al inicializar" (or "already running") was said; exit status -1
    START_NO_MEMORY,   // a work buffer could not be allocated; exit status 0
};

// Everything up to the main loop: Allegro, buffers, sound, assets, display,
// fixed OpenGL state, the tick timer and the first new_game.
StartResult start_game();

// The fixed OpenGL state every drawing routine returns to, with the dawn
// light and the game's projection; the model-view matrix is left current.
void set_fixed_gl_state();
void tear_down_game();
// What the frame of a held game says under PAUSED while a pad is in the
// player's hands: the button that goes on after a pad's unplugging (and
// that a pad is to be plugged in first, while none is), or that the game
// goes on by itself when its window has the focus again. Nothing while the
// keyboard and mouse are.
enum HeldNote {
    HELD_NOTE_NONE,
    HELD_NOTE_PRESS_BUTTON,
    HELD_NOTE_CONNECT_PAD,
    HELD_NOTE_WINDOW_IN_FRONT,
};
HeldNote choose_held_note();
// Over the frozen frame of a held game: the picture dimmed, PAUSED, and the
// note under it.
void draw_paused_overlay(HeldNote note);

// The whole program: returns the process exit status (0 after Escape, -1
// when the display cannot be opened, 0 when a work buffer cannot be allocated).
int run_game();

// ---- HUD ----------------------------------------------------------------

enum {
    HUD_MAX_LINES = 16,
    HUD_TEXT_CAPACITY = 64,
};

struct HudLine {
    float x, y, z;  // eye coordinates of the text's origin
    int r, g, b;    // colour, 0..255 a channel
    char text[HUD_TEXT_CAPACITY];
};

// The HUD pass without pixels: fills out with the lines of this frame in
// drawing order and makes the pass's two mode changes (end of the READY
// intro, end of the tally) at the points where they fall. Returns the count.
int run_hud_pass(HudLine* out, int capacity);
void draw_hud();  // run_hud_pass, then the lines with the HUD font

// ---- Menu screens ---------------------------------------------------------

extern int8_t enter_latch;
extern float menu_phase;

void menu_tick();
// What Enter on the controls screen does: a new game in round 1's READY intro.
void start_new_game();
void draw_title_screen();
void draw_item_box_screen();

// Text lines of the two screens (without pixels, for tests and drawing).
int collect_title_lines(HudLine* out, int capacity);
int collect_item_box_screen_lines(HudLine* out, int capacity);
