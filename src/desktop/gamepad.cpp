// The gamepads, through SDL's game-controller API and its mapping database
// (SDL reads SDL_GAMECONTROLLERCONFIG and SDL_GAMECONTROLLERCONFIG_FILE
// itself): every pad is opened as SDL reports it plugged in and closed as it
// goes, at any time, and all of them together drive the one player. The
// pads' uses are counted for the prompts, which name the buttons of the pad
// used last.
//
// SDL is shared with the sound service, which reads the audio device events:
// only the game-controller subsystem is started and stopped here, and only
// the joystick and game-controller events are taken from SDL's queue (those
// not needed are taken too, so that the queue cannot fill with them).
#include <SDL.h>

#include <cassert>
#include <cmath>
#include <cstdio>

#include "desktop/desktop_local.h"

static const int MAX_PADS = 8;
static const int EVENTS_PER_PEEK = 32;
static const float AXIS_FULL = 32767.0f;

// Rumble: a short light one for a hit, a longer strong one for a life lost.
struct RumbleShape {
    Uint16 low_frequency, high_frequency;
    Uint32 duration_ms;
};
static const RumbleShape RUMBLE_SHAPES[RUMBLE_KIND_COUNT] = {
    {0x2000, 0x5000, 120},  // RUMBLE_HIT
    {0xC000, 0xC000, 450},  // RUMBLE_LIFE_LOST
};

// What each family of pads calls the buttons the game names. Xbox names
// unless SDL says the pad is a PlayStation or a Nintendo one (with SDL's
// default of buttons by their labels, a Nintendo pad's A is the one
// labelled A). Steam's virtual pad is an Xbox pad to SDL, unless Steam
// tells SDL the pad behind it is another.
struct PadFamilyNames {
    int controller_type;
    PadButtonNames names;
};
static const PadButtonNames XBOX_NAMES = {"A", "RT / RB", "Back"};
static const PadFamilyNames PAD_FAMILY_NAMES[] = {
    {SDL_CONTROLLER_TYPE_PS3, {"Cross", "R2 / R1", "Select"}},
    {SDL_CONTROLLER_TYPE_PS4, {"Cross", "R2 / R1", "Share"}},
    {SDL_CONTROLLER_TYPE_PS5, {"Cross", "R2 / R1", "Create"}},
    {SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_PRO, {"A", "ZR / R", "-"}},
    {SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_PAIR, {"A", "ZR / R", "-"}},
};

struct Pad {
    SDL_GameController* controller;
    bool pushed[SDL_CONTROLLER_AXIS_MAX];  // each axis past its dead zone
};

static bool started;
static Pad pads[MAX_PADS];
static int pad_count;
static int unplugs;
static int button_presses;
static int uses;
static int used_pad_type = SDL_CONTROLLER_TYPE_UNKNOWN;  // of the pad used last

static Pad* find_pad(SDL_JoystickID id) {
    for (int i = 0; i < pad_count; i++) {
        if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pads[i].controller)) == id) return &pads[i];
    }
    return nullptr;
}

static void note_use(const Pad& pad) {
    uses++;
    used_pad_type = SDL_GameControllerGetType(pad.controller);
}

static void open_pad(int device_index) {
    if (find_pad(SDL_JoystickGetDeviceInstanceID(device_index))) return;
    if (pad_count == MAX_PADS) return;  // the ninth pad and on are left alone
    SDL_GameController* controller = SDL_GameControllerOpen(device_index);
    if (!controller) return;
    pads[pad_count++] = Pad{controller, {}};
    // Before any pad is used, the prompts name the first one's buttons.
    if (uses == 0 && pad_count == 1) used_pad_type = SDL_GameControllerGetType(controller);
}

static void close_pad(SDL_JoystickID id) {
    Pad* pad = find_pad(id);
    if (!pad) return;
    SDL_GameControllerClose(pad->controller);
    *pad = pads[--pad_count];
    pads[pad_count] = Pad{};
    unplugs++;
}

static void note_axis(const SDL_ControllerAxisEvent& motion) {
    Pad* pad = find_pad(motion.which);
    if (!pad || motion.axis >= SDL_CONTROLLER_AXIS_MAX) return;
    const bool trigger =
        motion.axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT || motion.axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT;
    const bool pushed = pad_axis_pushed(motion.value / AXIS_FULL, trigger);
    if (pushed && !pad->pushed[motion.axis]) note_use(*pad);
    pad->pushed[motion.axis] = pushed;
}

static void note_button(const SDL_ControllerButtonEvent& press) {
    button_presses++;
    if (const Pad* pad = find_pad(press.which)) note_use(*pad);
}

void start_gamepads() {
    if (started) return;
    // Allegro owns the window, so SDL cannot know its focus: the pad is
    // heard always, and ignored by the tick while the window is unfocused.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // The game's own SIGINT and SIGTERM handlers end the run; SDL's event
    // loop, started with the game controllers, is not to install its own.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "sundown: no gamepads (%s)\n", SDL_GetError());
        return;
    }
    started = true;
    // The pads plugged in already are reported by the first pump: from the
    // start, so that the first frame's prompts know them.
    pump_gamepads();
}

void stop_gamepads() {
    if (!started) return;
    for (int i = 0; i < pad_count; i++) SDL_GameControllerClose(pads[i].controller);
    pad_count = 0;
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    started = false;
}

void pump_gamepads() {
    if (!started) return;
    SDL_PumpEvents();
    SDL_Event events[EVENTS_PER_PEEK];
    int n;
    while ((n = SDL_PeepEvents(events, EVENTS_PER_PEEK, SDL_GETEVENT, SDL_JOYAXISMOTION, SDL_JOYBATTERYUPDATED)) > 0) {
    }
    while ((n = SDL_PeepEvents(events, EVENTS_PER_PEEK, SDL_GETEVENT, SDL_CONTROLLERAXISMOTION,
                               SDL_CONTROLLERSENSORUPDATE)) > 0) {
        for (int i = 0; i < n; i++) {
            const SDL_Event& e = events[i];
            if (e.type == SDL_CONTROLLERDEVICEADDED) open_pad(e.cdevice.which);
            if (e.type == SDL_CONTROLLERDEVICEREMOVED) close_pad(e.cdevice.which);
            if (e.type == SDL_CONTROLLERBUTTONDOWN) note_button(e.cbutton);
            if (e.type == SDL_CONTROLLERAXISMOTION) note_axis(e.caxis);
        }
    }
}

bool gamepad_connected() {
    return pad_count > 0;
}

int gamepad_unplug_count() {
    return unplugs;
}

int gamepad_button_press_count() {
    return button_presses;
}

int gamepad_use_count() {
    return uses;
}

PadButtonNames button_names_for_pad_type(int controller_type) {
    for (const PadFamilyNames& family : PAD_FAMILY_NAMES) {
        if (family.controller_type == controller_type) return family.names;
    }
    return XBOX_NAMES;
}

PadButtonNames gamepad_button_names() {
    return button_names_for_pad_type(used_pad_type);
}

static float axis(SDL_GameController* pad, SDL_GameControllerAxis which) {
    return std::fmax(SDL_GameControllerGetAxis(pad, which) / AXIS_FULL, -1.0f);
}

static bool button(SDL_GameController* pad, SDL_GameControllerButton which) {
    return SDL_GameControllerGetButton(pad, which) != 0;
}

// Of two sticks, the one pushed further.
static void take_further(float& x, float& y, float other_x, float other_y) {
    if (other_x * other_x + other_y * other_y > x * x + y * y) {
        x = other_x;
        y = other_y;
    }
}

bool read_gamepads(PadReading& out) {
    out = PadReading{};
    for (int i = 0; i < pad_count; i++) {
        SDL_GameController* pad = pads[i].controller;
        take_further(out.left_x, out.left_y, axis(pad, SDL_CONTROLLER_AXIS_LEFTX), axis(pad, SDL_CONTROLLER_AXIS_LEFTY));
        take_further(out.right_x, out.right_y, axis(pad, SDL_CONTROLLER_AXIS_RIGHTX),
                     axis(pad, SDL_CONTROLLER_AXIS_RIGHTY));
        out.right_trigger = std::fmax(out.right_trigger, axis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
        out.dpad_up |= button(pad, SDL_CONTROLLER_BUTTON_DPAD_UP);
        out.dpad_down |= button(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
        out.dpad_left |= button(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
        out.dpad_right |= button(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
        out.right_shoulder |= button(pad, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
        out.a |= button(pad, SDL_CONTROLLER_BUTTON_A);
        out.start |= button(pad, SDL_CONTROLLER_BUTTON_START);
        out.back |= button(pad, SDL_CONTROLLER_BUTTON_BACK);
    }
    return pad_count > 0;
}

void rumble_gamepads(RumbleKind kind) {
    assert(kind >= 0 && kind < RUMBLE_KIND_COUNT);
    const RumbleShape& shape = RUMBLE_SHAPES[kind];
    // A pad without rumble says so and is otherwise left alone; the rumble
    // stops by itself after its duration.
    for (int i = 0; i < pad_count; i++) {
        SDL_GameControllerRumble(pads[i].controller, shape.low_frequency, shape.high_frequency, shape.duration_ms);
    }
}
