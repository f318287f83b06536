// The input devices, installed in the order they need, and the input a tick
// reads, taken at the tick's start: the keyboard, the mouse and the gamepads
// as they stand then, and the hold while a pad unplugged in a game waits for
// the player.
//
// Fresh input. Allegro reads the window's X events on its own thread only
// every 10 ms, so a tick would see input up to 10 ms old. Each tick
// therefore first handles every X event the server has sent, on the main
// thread, through Allegro's own handler and under Allegro's X lock (a
// recursive lock the input thread takes for the same work, so the two never
// handle events at once). Then the keyboard and the mouse are polled:
// Allegro's first poll_keyboard and poll_mouse switch it into polling mode,
// where its thread keeps the driver's state aside and key[] and mouse_b
// change only at the next poll. A tick thus reads one state throughout.
//
// The pad feeds the same inputs. The rules read key[KEY_W] and the other
// walking keys, mouse_b and the mickeys; so a pad's stick presses those keys
// in key[] and its trigger the left button in mouse_b, and its right stick
// adds mickeys, each only where the keyboard or mouse does not already, and
// all of it is taken back before the next poll, so the keyboard's and the
// mouse's own state is never changed by it. What keys and mickeys do is
// therefore the same with or without a pad, and the rules know no pads.
//
// The focus click. The click that gives the window the focus back only
// gives the focus: the left button counts as up from the focus's return
// until it has been seen released.
//
// The input in the player's hands. Each tick, before the pad's input is
// added, key[] and mouse_b hold the keyboard's and the mouse's own state:
// a key or button down that was up the tick before is a press. The pads'
// uses are counted as SDL reports them. Either makes its device the one in
// hands; the mouse's motion is never looked at.
#include <allegro.h>
#include <xalleg.h>

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>

#include "desktop/desktop_local.h"
#include "desktop/x11.h"

// The Allegro keys the rules read for walking, in MovementKey order.
static const int MOVEMENT_KEYS[MOVEMENT_KEY_COUNT] = {KEY_W, KEY_S, KEY_A, KEY_D};
static const int LEFT_BUTTON = 1;
// Each handler call takes a bounded batch of events; a tick's worth of input
// is a few batches at most, and a flood must not hold the tick.
static const int MAX_EVENT_BATCHES = 64;
// While a pad's unplugging holds the game, the pads and keys are looked at
// this often.
static const int UNPLUG_HOLD_WAKE_MS = 16;

static PadMappingState mapping;
// Keys the pad holds down in key[] now: the walking keys, Enter and Esc at
// most, each once.
static const int PAD_KEY_CAPACITY = MOVEMENT_KEY_COUNT + 2;
static int pad_pressed[PAD_KEY_CAPACITY];
static int pad_pressed_count;
static bool pad_fired;             // the left button the pad holds in mouse_b
static int32_t focus_changes_seen;
static bool left_button_masked;
static bool reading_game;          // the last tick was a game's
static int unplugs_seen;
static bool unplug_hold;
static int button_presses_seen;
static char keys_seen[KEY_MAX];

static ActiveInput input_in_hands = INPUT_KEYBOARD_MOUSE;
static bool input_used;             // a key, a button or a pad since the start
static char own_keys_before[KEY_MAX];
static int own_buttons_before;
static int pad_uses_seen;

static void take_back_pad_input() {
    for (int i = 0; i < pad_pressed_count; i++) key[pad_pressed[i]] = 0;
    pad_pressed_count = 0;
    if (pad_fired) mouse_b &= ~LEFT_BUTTON;
    pad_fired = false;
}

static void handle_x_events_now() {
    const LockedX x;
    if (!x) return;
    XEventsQueued(x.display, QueuedAfterReading);  // what the socket holds, into the queue
    for (int batch = 0; batch < MAX_EVENT_BATCHES && XEventsQueued(x.display, QueuedAlready) > 0; batch++) {
        _xwin_handle_input();
    }
}

static void mask_focus_click() {
    const int32_t changes = focus_change_count();
    if (changes != focus_changes_seen) {
        focus_changes_seen = changes;
        left_button_masked = true;
    }
    if (!left_button_masked) return;
    if (mouse_b & LEFT_BUTTON) {
        mouse_b &= ~LEFT_BUTTON;
    } else {
        left_button_masked = false;
    }
}

static void hold_key(int c) {
    if (key[c]) return;
    assert(pad_pressed_count < PAD_KEY_CAPACITY);
    key[c] = 1;
    pad_pressed[pad_pressed_count++] = c;
}

static void snapshot_keys() {
    if (keyboard_driver) poll_keyboard();
    for (int c = 0; c < KEY_MAX; c++) keys_seen[c] = key[c];
}

// A pad unplugged while a game runs holds it.
static void notice_unplugging() {
    pump_gamepads();
    if (gamepad_unplug_count() == unplugs_seen) return;
    unplugs_seen = gamepad_unplug_count();
    if (!reading_game || unplug_hold) return;
    unplug_hold = true;
    button_presses_seen = gamepad_button_press_count();
    snapshot_keys();
}

static void apply_pad(const PadInput& in, int32_t* mickey_x, int32_t* mickey_y) {
    for (int k = 0; k < MOVEMENT_KEY_COUNT; k++) {
        if (in.walk[k]) hold_key(MOVEMENT_KEYS[k]);
    }
    if (in.enter) hold_key(KEY_ENTER);
    if (in.quit) hold_key(KEY_ESC);
    if (in.fire && !(mouse_b & LEFT_BUTTON)) {
        mouse_b |= LEFT_BUTTON;
        pad_fired = true;
    }
    if (mickey_x) *mickey_x += in.mickey_x;
    if (mickey_y) *mickey_y += in.mickey_y;
}

// Steam's Game Mode says so in the environment of the games it starts.
static bool started_by_steam_deck() {
    static const char* value = std::getenv("SteamDeck");
    return value && std::strcmp(value, "1") == 0;
}

// Whether a key went down since the last look, which remembers them all.
static bool key_pressed_since_last_look() {
    bool pressed = false;
    for (int c = 0; c < KEY_MAX; c++) {
        if (key[c] && !own_keys_before[c]) pressed = true;
        own_keys_before[c] = key[c];
    }
    return pressed;
}

// Once the keyboard and mouse are in hands and have been used, a key press
// changes nothing, so the keys are looked at only while one may: from the
// pad's taking over (the keys held then remembered, as not pressed) until
// a press gives them back.
static void follow_input_in_hands() {
    bool pressed = (mouse_b & ~own_buttons_before) != 0;
    own_buttons_before = mouse_b;
    if (input_in_hands == INPUT_GAMEPAD || !input_used) pressed |= key_pressed_since_last_look();
    const bool pad_used = gamepad_use_count() != pad_uses_seen;
    pad_uses_seen = gamepad_use_count();
    if (!window_has_focus() || !(pad_used || pressed)) return;
    if (pad_used && input_in_hands != INPUT_GAMEPAD) key_pressed_since_last_look();
    input_used = true;
    input_in_hands = pad_used ? INPUT_GAMEPAD : INPUT_KEYBOARD_MOUSE;
}

bool install_input_devices() {
    if (install_mouse() < 0) return false;
    pin_keys_to_positions();
    if (install_keyboard() != 0) return false;
    start_gamepads();
    return true;
}

void read_tick_input(int32_t* mickey_x, int32_t* mickey_y) {
    take_back_pad_input();
    handle_x_events_now();
    if (keyboard_driver) poll_keyboard();
    if (mouse_driver) {
        poll_mouse();
        // Without a mouse driver (tests) the mickeys stay as the caller set them.
        if (mickey_x && mickey_y) {
            int x, y;
            get_mouse_mickeys(&x, &y);
            *mickey_x = x;
            *mickey_y = y;
        }
    }
    mask_focus_click();

    reading_game = mickey_x != nullptr;
    notice_unplugging();
    follow_input_in_hands();
    PadReading pad;
    if (read_gamepads(pad) && window_has_focus()) {
        apply_pad(map_pad(pad, mapping), mickey_x, mickey_y);
    } else {
        mapping = PadMappingState{};
    }
}

bool game_is_held() {
    notice_unplugging();
    if (!window_has_focus()) {
        pad_uses_seen = gamepad_use_count();  // the pad counts for nothing meanwhile
        return true;
    }
    if (!unplug_hold) return false;
    // A button on any pad, or a key, goes on.
    bool go_on = gamepad_button_press_count() != button_presses_seen;
    if (keyboard_driver) poll_keyboard();
    for (int c = 0; c < KEY_MAX; c++) {
        if (key[c] && !keys_seen[c]) go_on = true;
        keys_seen[c] = key[c];
    }
    if (go_on) {
        unplug_hold = false;
        mapping = PadMappingState{};
    }
    return unplug_hold;
}

void wait_while_held(int timeout_ms) {
    if (unplug_hold && window_has_focus()) timeout_ms = std::min(timeout_ms, UNPLUG_HOLD_WAKE_MS);
    wait_for_focus_change(timeout_ms);
}

bool held_for_unplugged_pad() {
    return unplug_hold && window_has_focus();
}

ActiveInput active_input() {
    if (!input_used && started_by_steam_deck() && gamepad_connected()) return INPUT_GAMEPAD;
    return input_in_hands;
}
