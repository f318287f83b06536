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
// and draws a frame when any ran; without the focus the game holds.
void run_main_loop();

// What ended the run besides Escape: 0 while nothing has, else the number
// of the signal (SIGTERM, SIGINT, SIGHUP) or QUIT_FROM_WINDOW when the
// desktop closed the window. Set from signal handlers and Allegro's threads.
enum {
    QUIT_FROM_WINDOW = -1,
};
extern std::atomic<int> quit_request;
// Set while the main loop runs; a quit signal before then ends the process
// at once, since start-up can be stuck inside a library.
extern std::atomic<bool> main_loop_running;

// Replaces Allegro's signal handlers (install after install_allegro):
// SIGTERM, SIGINT and SIGHUP ask the main loop to end, and a second one (or
// one before the loop runs) ends the process at once with 128 + the signal;
// crash signals and SIGQUIT get their default action back.
void install_quit_signal_handlers();
// Allegro's close-button callback: the desktop closed the window.
void request_quit_from_window();
// The exit status after the main loop: 0 after Escape or a closed window,
// 128 + the signal's number after a signal.
int quit_exit_status(int request);

// ---- Start-up and teardown -----------------------------------------------

enum StartResult {
    START_OK,
    START_NO_DISPLAY,  // "Error al inicializar" (or "already running") was said; exit status -1
    START_NO_MEMORY,   // a work buffer could not be allocated; exit status 0
};

// Everything up to the main loop: Allegro, buffers, sound, assets, display,
// fixed OpenGL state, the tick timer and the first new_game.
StartResult start_game();

// Takes the lock that lets one copy of the game run per user and X display;
// false when another copy holds it. Taken before any display work.
bool claim_single_copy();
// The lock's name for an X display: ":0", ":0.0" and "unix:0" give "_0",
// "host:1.0" gives "host_1"; never a '/' or a '.'.
void display_lock_key(const char* display, char* key, int capacity);

// The game's full-screen window (Allegro and AllegroGL installed first):
// a window manager's full-screen window the size of the screen, never a
// video mode switch; false (allegro_error says why) when it cannot open.
bool open_game_display();
// Shows the frame just drawn, scaled to the window's current size between
// black bars (as drawn when the window is 640x480), and directs the next
// frame's drawing.
void present_frame();

// How a frame reaches a window that is not 640x480: scaled by OpenGL, or
// read back and scaled by the X server (software OpenGL only).
enum PresentPath {
    PRESENT_WITH_OPENGL,
    PRESENT_THROUGH_X_SERVER,
};
// Picks the path from what the OpenGL driver reports; open_game_display
// calls it.
void choose_present_path();
PresentPath present_path();
// Hands the drawing so far to the driver before it is presented: a flush,
// or on llvmpipe a wait until it is drawn (presentation.cpp says why).
void finish_gl_drawing();
// Switches paths (tests and benchmarks); false when this display cannot
// scale through the X server (no MIT-SHM, RENDER or framebuffer objects).
bool use_present_path(PresentPath path);
// Whether a GL_RENDERER string names one of Mesa's software rasterizers.
bool is_software_renderer(const char* renderer);

// ---- One window among others ---------------------------------------------

// The open window made resizable and full screen, the focus followed from
// now on, the pointer taken if the window has the focus, vsync asked for.
void set_up_game_window();
// Whether the window has the keyboard focus (also true without X).
bool window_has_focus();
// Sleeps until the focus changes, or at most timeout_ms.
void wait_for_focus_change(int timeout_ms);
// Whether the desktop uncovered or resized the window since the last call
// (its picture is then to be drawn again).
bool window_exposed();
// The pointer grabbed and confined to the window, the cursor hidden; or
// both given back to the desktop.
void take_pointer();
void release_pointer();
// Tries the grab again now and then while the window has the focus but
// another program held the pointer when it was taken.
void keep_pointer_taken();
// F11 or Alt+Enter (either Alt) switches between full screen and a window.
void follow_window_mode_keys();
void toggle_window_mode();
// The window of window mode on a screen of the given size: 4:3, a whole
// number of 320x240 steps, within 85% of the screen both ways.
struct WindowSize {
    int width, height;
};
WindowSize window_mode_size(int screen_width, int screen_height);
// Over the frozen frame of a held game: the picture dimmed and PAUSED.
void draw_paused_overlay();

// Where the 640x480 picture goes in a window of the given size: as large as
// fits, 4:3 kept, centred. (0, 0) is the window's bottom left.
struct PictureRect {
    int x, y, width, height;
};
PictureRect fit_picture(int window_width, int window_height);
// The fixed OpenGL state every drawing routine returns to, with the dawn
// light and the game's projection; the model-view matrix is left current.
void set_fixed_gl_state();
void tear_down_game();

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
void draw_title_screen();
void draw_item_box_screen();

// Text lines of the two screens (without pixels, for tests and drawing).
int collect_title_lines(HudLine* out, int capacity);
int collect_item_box_screen_lines(HudLine* out, int capacity);
