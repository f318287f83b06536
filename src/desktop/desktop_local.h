// The desktop room's own: what its files offer one another and what its
// tests and the benchmarks look at, none of which the shell calls (that is
// desktop.h). From the top down: window.cpp opens the window and follows
// the desktop, and calls on the presentation, the monitors and the focus;
// tick_input.cpp reads the keyboard, the mouse and the pads; x11.cpp's
// plumbing (x11.h) is under them all. No file calls one above it.
#pragma once

#include <cstdint>

#include "desktop/desktop.h"

// The X connection with its lock held (x11.h): a call that takes one is
// made with the lock held.
struct LockedX;

// A rectangle of pixels: a monitor or the game's window on the X screen
// (root coordinates, y down), or the picture inside the window (from the
// window's bottom left, as OpenGL counts).
struct ScreenRect {
    int x, y, width, height;
};

// ---- The window (window.cpp) ---------------------------------------------------

// The window of window mode, centred inside a monitor: 4:3, a whole number
// of 320x240 steps, within 85% of the monitor both ways.
ScreenRect window_mode_rect(ScreenRect monitor);

// ---- The presentation (presentation.cpp) ---------------------------------------

// One flip a monitor refresh where the GLX driver offers swap control.
void ask_for_vsync(const LockedX& x);
// For the window just opened: its size read, the way frames reach it chosen
// from what the OpenGL driver reports, and the first frame's drawing
// directed. What the presentation holds is released before the display
// closes.
void start_presentation();
void release_presentation();

// Where the 640x480 picture goes in a window of the given size: as large as
// fits, 4:3 kept, centred. (0, 0) is the window's bottom left.
ScreenRect fit_picture(int window_width, int window_height);
// Whether a GL_RENDERER string names one of Mesa's software rasterizers.
bool is_software_renderer(const char* renderer);
// How a frame reaches a window that is not 640x480: scaled by OpenGL, or
// read back and scaled by the X server (software OpenGL only).
enum PresentPath {
    PRESENT_WITH_OPENGL,
    PRESENT_THROUGH_X_SERVER,
};
PresentPath present_path();
// Switches paths (tests and benchmarks); false when this display cannot
// scale through the X server (no MIT-SHM, RENDER or framebuffer objects).
bool use_present_path(PresentPath path);

// ---- The presentation through the X server (presentation_x_server.cpp) --------

// What the X server must offer before anything is created: shared memory
// (a local server), RENDER 0.10 (transforms, filters, pad edges) and a
// 32-bit pixmap format for depth 24, which the read-back frame is laid out in.
bool x_server_can_scale(const LockedX& x);
// What the server scales with, created once; false, with whatever was made
// let go, when it cannot be.
bool set_up_x_server_scaling();
bool x_server_scaling_ready();
// Reads the frame drawn off-screen back and has the server scale it into
// the picture's rectangle of the window (fit_picture).
void scale_through_x_server(int window_width, int window_height, ScreenRect picture);
// The bars are painted again with the next frame: a flip covered the
// window, or the way of presenting changed.
void paint_x_server_bars_again();
void release_x_server_scaling();

// ---- The monitors (monitors.cpp) -----------------------------------------------

enum {
    MAX_MONITORS = 16,
};

// The monitors as the X server has them, in its order. xinerama_index is
// the monitor's place among Xinerama's screens (which the window manager's
// _NET_WM_FULLSCREEN_MONITORS counts in), -1 where Xinerama has none alike.
struct MonitorList {
    int count;
    ScreenRect rects[MAX_MONITORS];
    int xinerama_index[MAX_MONITORS];
};

// The monitor a rectangle overlaps most, the first of equals; one it
// overlaps not at all goes to the monitor nearest its centre. -1 for none.
int monitor_overlapping_most(const MonitorList& monitors, ScreenRect rect);
// The monitor the game starts on: the one under the pointer if it holds the
// 640x480 picture, else the first that does; -1 when none does.
int choose_start_monitor(const MonitorList& monitors, int pointer_x, int pointer_y);
bool same_rect(ScreenRect a, ScreenRect b);
bool same_monitors(const MonitorList& a, const MonitorList& b);

// Reads the monitors: RandR 1.5's, else Xinerama's, else the X screen as
// one.
void read_monitors(const LockedX& x, MonitorList* monitors);

// ---- The focus and the pointer (focus.cpp) -------------------------------------

// From now on the focus is followed through Allegro's display-switch
// callbacks and the window's exposures are counted; the pointer is taken
// if the window has the focus already.
void start_following_focus(const LockedX& x);
// Whether the window has the keyboard focus (also true without X).
bool window_has_focus();
// How many times the focus has changed since the window opened.
int32_t focus_change_count();
// Sleeps until the focus changes, or at most timeout_ms.
void wait_for_focus_change(int timeout_ms);
// Tries the grab again twice a second while the window has the focus but
// another program held the pointer when it was taken; now_ms is the time
// (monotonic_ms).
void keep_pointer_taken(int64_t now_ms);

// ---- The walking keys by their place (key_positions.cpp, keyboard_layout.cpp) ---
//
// The walking keys by their place on the keyboard. The rules read key[KEY_W],
// key[KEY_A], key[KEY_S] and key[KEY_D]; Allegro's X keyboard driver gives a
// key the KEY_ code of the letter the layout prints on it, so on a French
// AZERTY keyboard KEY_W would be the key at the bottom left.
// Before the keyboard is installed, every key of the typing block is pinned
// to the KEY_ code of its place on a US keyboard through Allegro's [xkeymap]
// configuration section, set in memory (keycodeN = scancode, read by the
// driver whenever it builds its table, at install_keyboard and at every X
// MappingNotify). The block is found by the XKB key names of the X server's
// keymap: AD02 walks forward, AC01 strafes left, AC02 walks back and AC03
// strafes right, whatever the layout. Escape and Enter keep Allegro's own
// mapping. The controls screen names the four keys as the layout prints them.

// Reads the X server's keymap and pins the typing block to the Allegro keys
// of its US places, so that key[KEY_W] is the key at W's place on every
// layout; called before install_keyboard (install_input_devices).
void pin_keys_to_positions();

// What follows needs no X: the tables, the configuration text, the labels.

// One key of the typing block: its XKB name and the Allegro key its place
// has on a US keyboard.
struct KeyPosition {
    const char* name;
    int allegro_key;
};
extern const KeyPosition KEY_POSITIONS[];
extern const int KEY_POSITION_COUNT;

enum {
    MAX_KEYCODE = 255,  // X keycodes are 8 to 255
    KEY_NAME_BYTES = 5,  // four characters and a terminator
};

// The XKB name of every keycode of the X server's keymap ("AD02"; empty
// where a keycode has none).
struct KeycodeNames {
    int min_keycode;
    int max_keycode;
    char name[MAX_KEYCODE + 1][KEY_NAME_BYTES];
};

// The keycode of the key with that XKB name; 0 when there is none.
int keycode_named(const KeycodeNames& names, const char* name);

// Allegro's [xkeymap] section that pins every key of the typing block the
// keymap has to the Allegro key of its US place, NUL-terminated. Returns the
// length, 0 when the keymap names none of them, -1 when out is too small.
int format_key_position_overrides(const KeycodeNames& names, char* out, int capacity);

// The XKB name of a movement key's place, and the letter a US keyboard
// prints there ("W"), shown when the layout's own label cannot be.
const char* movement_key_place(MovementKey key);
const char* movement_key_us_label(MovementKey key);

enum {
    KEY_LABEL_BYTES = 8,  // one character in UTF-8 and a terminator
};

// The label of a key whose layout gives the keysyms `plain` and `shifted`
// (0 for none): the first of them that is a printable character the HUD
// font can draw, in upper case when it has one, in UTF-8. Otherwise the US
// label. `drawable` says whether the font has a glyph for a code point.
void choose_key_label(uint32_t plain, uint32_t shifted, const char* us_label, bool (*drawable)(uint32_t),
                      char* out, int capacity);

// ---- The gamepad's mapping (pad_mapping.cpp) -------------------------------------
//
// What a pad does, without SDL: its sticks, triggers and buttons as they
// stand at a tick's start, turned into the inputs the keyboard and the
// mouse give the game (the walking keys, mickeys, the fire button, Enter,
// Escape). Sticks and triggers are -1..1 and 0..1; a stick's y grows
// downwards, as SDL reports it.

struct PadReading {
    float left_x, left_y;
    float right_x, right_y;
    float right_trigger;
    bool dpad_up, dpad_down, dpad_left, dpad_right;
    bool right_shoulder;
    bool a, start, back;
};

// What the mapping carries from tick to tick: the fractions of a mickey not
// yet given, how long the right stick has been at full tilt, the trigger's
// state, and how long Back has been held.
struct PadMappingState {
    float carry_x, carry_y;
    int full_tilt_ticks;
    bool trigger_firing;
    int back_held_ticks;
};

struct PadInput {
    bool walk[MOVEMENT_KEY_COUNT];  // as the walking keys
    int32_t mickey_x, mickey_y;     // as mouse motion
    bool fire;                      // as the left button alone
    bool enter;                     // as Enter
    bool quit;                      // as Escape
};

// A stick beyond the radial dead zone, rescaled so that its edge is 0 and
// the rim 1, then squared: the share of full speed, 0..1.
float stick_response(float x, float y);
// One tick of the mapping.
PadInput map_pad(const PadReading& pad, PadMappingState& state);
// Whether one axis of a stick (-1..1) or a trigger (0..1) is past the dead
// zone the mapping gives it: the pad is in use.
bool pad_axis_pushed(float value, bool trigger);

// ---- The gamepads (gamepad.cpp) ---------------------------------------------------

// SDL's game-controller subsystem, started after the keyboard and mouse
// (install_input_devices; a message on standard error, and no pads, if it
// cannot start); stopped at teardown (stop_gamepads).
void start_gamepads();

// Takes SDL's joystick and game-controller events: opens the pads plugged
// in, closes those unplugged, counts button presses and uses.
void pump_gamepads();
// All the pads as one: each stick as the pad pushing it furthest, the
// trigger at its furthest, a button held on any pad. False with no pad.
bool read_gamepads(PadReading& out);
// Pads unplugged, pad buttons pressed, and the pads' uses (a button
// pressed, or a stick or trigger pushed past its dead zone), since the start.
int gamepad_unplug_count();
int gamepad_button_press_count();
int gamepad_use_count();
// The names of a pad's buttons by its SDL_GameControllerType.
PadButtonNames button_names_for_pad_type(int controller_type);

// ---- One copy a display (single_copy.cpp) -------------------------------------------

// The lock's name for an X display: ":0", ":0.0" and "unix:0" give "_0",
// "host:1.0" gives "host_1"; never a '/' or a '.'.
void display_lock_key(const char* display, char* key, int capacity);

// ---- Ending the run (quit.cpp) -------------------------------------------------

// Allegro's close-button callback: the desktop closed the window.
void request_quit_from_window();
