// The gamepads, through SDL's game-controller API and its mapping database
// (SDL reads SDL_GAMECONTROLLERCONFIG and SDL_GAMECONTROLLERCONFIG_FILE
// itself): every pad is opened as SDL reports it plugged in and closed as it
// goes, at any time, and all of them together drive the one player.
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

static bool started;
static SDL_GameController* pads[MAX_PADS];
static int pad_count;
static int unplugs;
static int button_presses;

static void open_pad(int device_index) {
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(device_index);
    for (int i = 0; i < pad_count; i++) {
        if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pads[i])) == id) return;
    }
    if (pad_count == MAX_PADS) return;  // the ninth pad and on are left alone
    SDL_GameController* pad = SDL_GameControllerOpen(device_index);
    if (pad) pads[pad_count++] = pad;
}

static void close_pad(SDL_JoystickID id) {
    for (int i = 0; i < pad_count; i++) {
        if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pads[i])) != id) continue;
        SDL_GameControllerClose(pads[i]);
        pads[i] = pads[--pad_count];
        pads[pad_count] = nullptr;
        unplugs++;
        return;
    }
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
    // Pads present already are reported as plugged in by the first pump.
}

void stop_gamepads() {
    if (!started) return;
    for (int i = 0; i < pad_count; i++) SDL_GameControllerClose(pads[i]);
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
            if (e.type == SDL_CONTROLLERBUTTONDOWN) button_presses++;
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
        SDL_GameController* pad = pads[i];
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
        SDL_GameControllerRumble(pads[i], shape.low_frequency, shape.high_frequency, shape.duration_ms);
    }
}
