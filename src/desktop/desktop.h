// How the game meets the desktop: its one window, the monitor it is on and
// the window's modes, how a frame reaches that window, the keyboard focus
// and the pointer, the input each tick reads (keyboard, mouse, gamepads),
// the walking keys by their place on any keyboard layout, one copy a
// display, and the ways the run is ended from outside (signals, the window
// closed). This is what the shell calls, and all it calls; nothing here
// calls the shell or the game's rules. The room's own declarations, and the
// hooks its tests and the benchmarks use, are in desktop_local.h.
#pragma once

#include <atomic>
#include <cstdint>

// ---- The picture ------------------------------------------------------------

// The picture the game draws: 640x480, whatever size the window has.
static const int SCREEN_WIDTH = 640;
static const int SCREEN_HEIGHT = 480;

// ---- Time, and waits shared with another thread ----------------------------------

// The game's one clock: milliseconds on a count that only goes forward
// (CLOCK_MONOTONIC), whatever is done to the wall clock.
int64_t monotonic_ms();

// Blocking waits on a counter shared with another thread (a Linux futex):
// sleeps while word still holds seen, at most timeout_ms; wake_waiters ends
// every such sleep on word. Safe to call from Allegro's timer thread.
void wait_while_unchanged(std::atomic<int32_t>& word, int32_t seen, int timeout_ms);
void wake_waiters(std::atomic<int32_t>& word);

// ---- Ending the run from outside ------------------------------------------------

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
// crash signals and SIGQUIT get their default action back. (The window's
// close button asks the loop to end as well, from the window's opening.)
void install_quit_signal_handlers();
// The exit status after the main loop: 0 after Escape or a closed window,
// 128 + the signal's number after a signal.
int quit_exit_status(int request);

// ---- Start-up and teardown ----------------------------------------------------

// Takes the lock that lets one copy of the game run per user and X display;
// false when another copy holds it. Taken before any display work.
bool claim_single_copy();
// The mouse, the keyboard and the gamepads, after install_allegro and
// install_timer: the walking keys are pinned to their places before the
// keyboard driver builds its table, and SDL's game controllers start last
// (a message on standard error, and no pads, when they cannot). False when
// the mouse or the keyboard cannot be installed. Pads may be plugged in and
// out at any time; stop_gamepads at teardown.
bool install_input_devices();
void stop_gamepads();
// The game's full-screen window (Allegro and AllegroGL installed first): a
// window manager's full-screen window on the monitor under the pointer,
// never a video mode switch, made resizable, the focus followed from then
// on, the pointer taken if the window has the focus, vsync asked for. False
// (allegro_error says why) when it cannot open, or no monitor is as large as
// the picture.
bool open_game_display();
// Releases what the presentation holds and closes the window.
void close_game_display();

// ---- Every pass of the main loop ---------------------------------------------------

// Follows the desktop, once every pass, held or not: monitors that come, go
// or move (the game goes to the one it overlaps most); and while the game
// plays, F11 or Alt+Enter, which switch between full screen and a window on
// the game's monitor, and the pointer, taken again where another program
// held it. Cheap.
void follow_desktop();
// Whether the game is to hold: the window has no focus, or a pad was
// unplugged during a game and no pad button or key has been pressed since.
// Called every pass.
bool game_is_held();
// Whether the game holds for a pad unplugged in a game (a button or a key
// goes on), rather than for the focus lost (only the focus goes on).
bool held_for_unplugged_pad();
// Sleeps while held until something may have changed, at most timeout_ms.
void wait_while_held(int timeout_ms);
// Whether the desktop uncovered or resized the window since the last call
// (its picture is then to be drawn again).
bool window_exposed();
// The pointer grabbed and confined to the window, the cursor hidden; or
// both given back to the desktop.
void take_pointer();
void release_pointer();

// ---- The input a tick reads -------------------------------------------------------

// The first step of every tick: the keyboard, the mouse and the pads as they
// stand now, into key[], mouse_b and, in a game's tick, the mickeys (null in
// a menu's tick, which leaves the mouse's motion for later). A pad presses
// the walking keys, Enter and Escape, holds the left button and adds
// mickeys, as the keyboard and mouse would; without the focus it counts for
// nothing. After the focus comes back, the left button counts only once it
// has been released.
void read_tick_input(int32_t* mickey_x, int32_t* mickey_y);
// Alt+Enter (either Alt) is down. With F11 it switches the window mode, so
// that press of Enter is never a menu's, even once Alt is let go first.
bool alt_enter_down();
// A rumble on every pad that has one; it stops by itself.
enum RumbleKind {
    RUMBLE_HIT,        // short and light
    RUMBLE_LIFE_LOST,  // longer and strong
    RUMBLE_KIND_COUNT,
};
void rumble_gamepads(RumbleKind kind);

// ---- How a frame reaches the window ---------------------------------------------

// Hands the drawing so far to the driver before it is presented: a flush,
// or on llvmpipe a wait until it is drawn (presentation.cpp says why).
void finish_gl_drawing();
// Shows the frame just drawn, scaled to the window's current size between
// black bars (as drawn when the window is 640x480), and directs the next
// frame's drawing.
void present_frame();

// ---- What the screens name: the walking keys, and the device in hands ---------

// The movement keys in the order of the rows of the controls card.
enum MovementKey {
    MOVE_FORWARD,
    MOVE_BACK,
    MOVE_LEFT,
    MOVE_RIGHT,
    MOVEMENT_KEY_COUNT,
};

// The font the labels are drawn with: a label is the layout's own character
// only where can_draw says the font has it, else the US letter. Until this
// is called every label is the US letter.
void use_font_for_key_labels(bool (*can_draw)(uint32_t code_point));
// Re-reads the labels of the four keys for the current layout and XKB group,
// at most twice a second; if the block's keycodes themselves have changed,
// pins the new ones and installs the keyboard anew. The controls screen
// calls it every frame it is shown.
void follow_keyboard_layout();
// What the layout prints on a movement key, UTF-8 ("Z" for MOVE_FORWARD on
// AZERTY); the US label until a keymap has been read.
const char* movement_key_label(MovementKey key);

// Whether any pad is plugged in.
bool gamepad_connected();
// The device in the player's hands, which the prompts name: the one used
// last. A pad's button, or a stick or trigger pushed past its dead zone,
// makes it the pad; a key press or a mouse button the keyboard and mouse;
// the mouse's motion alone neither (a desk mouse gets nudged, and a Steam
// Deck's gyro moves it). Nothing counts without the focus. The keyboard and
// mouse at start, unless SteamDeck=1 is set (as Steam's Game Mode does)
// and a pad is plugged in: then the pad from the first frame.
enum ActiveInput {
    INPUT_KEYBOARD_MOUSE,
    INPUT_GAMEPAD,
};
ActiveInput active_input();
// What the pad used last (before any use, the first plugged in) calls the
// buttons the game names, after the pad's type as SDL reports it: Xbox
// names, or PlayStation or Nintendo ones on such a pad. ASCII words, which
// the HUD font draws.
struct PadButtonNames {
    const char* confirm;  // A: Enter on the menus
    const char* fire;     // the trigger and the shoulder
    const char* quit;     // Back, held for a second
};
PadButtonNames gamepad_button_names();
