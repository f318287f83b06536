// The gamepad: its mapping to the keyboard's and mouse's inputs tick by
// tick, and a game played with SDL's virtual controller in this process
// against the same ticks played with keys and mickeys, its unplugging and
// its rumble. A real pad plugged into the machine would change what these
// tests see, so the virtual controller's test skips when one is found.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>
#include <vector>

#include "desktop/desktop_local.h"
#include "shell/shell.h"
#include "support/game_fixture.h"

namespace {

PadReading stick(float left_x, float left_y, float right_x = 0, float right_y = 0) {
    PadReading pad = {};
    pad.left_x = left_x;
    pad.left_y = left_y;
    pad.right_x = right_x;
    pad.right_y = right_y;
    return pad;
}

}  // namespace

TEST(PadMapping, DeadZoneAndCurveAndTheWalkingKeysOfEachDirection) {
    struct Response {
        float x, y, want;
    };
    const Response responses[] = {
        {0, 0, 0},      {0.2f, 0, 0},  {0.14f, -0.14f, 0},  // inside the radial zone, even on a diagonal
        {0.6f, 0, 0.25f}, {0, -0.6f, 0.25f},                 // half way beyond the zone: a quarter
        {1, 0, 1},      {0.9f, 0.9f, 1},                     // the rim and beyond it
    };
    for (const Response& r : responses) {
        EXPECT_NEAR(stick_response(r.x, r.y), r.want, 1e-5f) << r.x << ", " << r.y;
    }

    struct Walk {
        float x, y;
        const char* keys;  // W, S, A, D held
    };
    const Walk walks[] = {
        {0, -1, "W"},      {0, 1, "S"},     {-1, 0, "A"},    {1, 0, "D"},
        {0.7f, -0.7f, "WD"}, {-0.5f, 0.5f, "SA"},  // diagonals press two keys
        {0.9f, -0.3f, "D"},                        // within 22.5 degrees of an axis: one key
        {0.15f, 0.1f, ""},  {0, 0.21f, "S"},       // inside and just beyond the zone
    };
    const char* letters = "WSAD";
    for (const Walk& w : walks) {
        PadMappingState state = {};
        const PadInput in = map_pad(stick(w.x, w.y), state);
        std::string held;
        for (int k = 0; k < MOVEMENT_KEY_COUNT; k++) {
            if (in.walk[k]) held += letters[k];
        }
        EXPECT_EQ(held, w.keys) << w.x << ", " << w.y;
    }
    PadReading dpad = {};
    dpad.dpad_left = dpad.dpad_up = true;
    PadMappingState state = {};
    const PadInput in = map_pad(dpad, state);
    EXPECT_TRUE(in.walk[MOVE_FORWARD] && in.walk[MOVE_LEFT] && !in.walk[MOVE_BACK] && !in.walk[MOVE_RIGHT]);
}

TEST(PadMapping, TurningIsSmoothNearTheZoneAndSpeedsUpHeldAtFullTilt) {
    // Full tilt right: 180 degrees a second (0.01 radian a mickey) for a
    // third of a second, then faster, never in bursts.
    PadMappingState state = {};
    int first_third = 0, next_second = 0;
    for (int tick = 0; tick < 80; tick++) {
        const PadInput in = map_pad(stick(0, 0, 1, 0), state);
        EXPECT_GE(in.mickey_x, 5);
        EXPECT_LE(in.mickey_x, 9);
        EXPECT_EQ(in.mickey_y, 0);
        (tick < 20 ? first_third : next_second) += in.mickey_x;
    }
    EXPECT_NEAR(first_third * 0.01f, 3.14159f / 3, 0.011f);
    EXPECT_GT(next_second, 60 * 5.236f * 1.4f);

    // Just beyond the dead zone the turn starts from nothing: no tick turns
    // a whole mickey, though the fractions add up.
    state = {};
    int crawl = 0;
    for (int tick = 0; tick < 600; tick++) {
        const PadInput in = map_pad(stick(0, 0, -0.25f, 0), state);
        EXPECT_GE(in.mickey_x, -1);
        crawl += in.mickey_x;
    }
    EXPECT_LT(crawl, 0);
    EXPECT_GT(crawl, -40);
    // Down looks as the mouse moved down does; back to the centre, nothing is left over.
    EXPECT_GT(map_pad(stick(0, 0, 0, 1), state).mickey_y, 0);
    EXPECT_EQ(map_pad(stick(0, 0, 0.1f, 0.1f), state).mickey_x, 0);
}

TEST(PadMapping, ButtonNamesFollowThePadsTypeAndFitTheCardsBadges) {
    EXPECT_STREQ(button_names_for_pad_type(SDL_CONTROLLER_TYPE_VIRTUAL).confirm, "A");
    EXPECT_STREQ(button_names_for_pad_type(SDL_CONTROLLER_TYPE_PS4).confirm, "Cross");
    EXPECT_STREQ(button_names_for_pad_type(SDL_CONTROLLER_TYPE_PS5).quit, "Create");
    EXPECT_STREQ(button_names_for_pad_type(SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_PRO).fire, "ZR / R");
    for (int type = SDL_CONTROLLER_TYPE_UNKNOWN; type <= SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_PAIR; type++) {
        const PadButtonNames names = button_names_for_pad_type(type);
        for (const char* name : {names.confirm, names.fire, names.quit}) EXPECT_LE(std::strlen(name), 7u) << type;
    }
}

TEST(PadMapping, TriggerHysteresisAndTheBackHold) {
    struct Step {
        float trigger;
        bool fire;
    };
    const Step steps[] = {{0.2f, false}, {0.25f, false}, {0.26f, true}, {0.2f, true}, {0.16f, true},
                          {0.15f, true}, {0.14f, false}, {0.24f, false}, {1.0f, true}, {0.0f, false}};
    PadMappingState state = {};
    for (const Step& s : steps) {
        PadReading pad = {};
        pad.right_trigger = s.trigger;
        EXPECT_EQ(map_pad(pad, state).fire, s.fire) << s.trigger;
    }
    PadReading shoulder = {};
    shoulder.right_shoulder = true;
    EXPECT_TRUE(map_pad(shoulder, state).fire);

    // Back quits once held for a second (60 ticks); a shorter press, however
    // often, does nothing. A or Start is Enter.
    PadReading back = {};
    back.back = true;
    for (int tick = 0; tick < 59; tick++) EXPECT_FALSE(map_pad(back, state).quit);
    EXPECT_FALSE(map_pad(PadReading{}, state).quit);
    for (int tick = 0; tick < 59; tick++) EXPECT_FALSE(map_pad(back, state).quit);
    EXPECT_FALSE(map_pad(PadReading{}, state).quit);
    for (int tick = 0; tick < 59; tick++) map_pad(back, state);
    EXPECT_TRUE(map_pad(back, state).quit);
    PadReading a = {};
    a.a = true;
    EXPECT_TRUE(map_pad(a, state).enter);
}

namespace {

struct RumbleSeen {
    int calls;
    Uint16 low, high;
};
RumbleSeen rumble_seen;

int SDLCALL note_rumble(void*, Uint16 low, Uint16 high) {
    if (low || high) {
        rumble_seen.calls++;
        rumble_seen.low = low;
        rumble_seen.high = high;
    }
    return 0;
}

struct PlayedTicks {
    float x, y, heading;
    int shots;
};

PlayedTicks summarise() {
    return {player_x, player_y, player_heading, channel_records[CHANNEL_PLAYER_SHOT].starts};
}

}  // namespace

TEST(Gamepad, VirtualPadPlaysAsKeysAndMickeysDoHoldsWhenUnpluggedAndRumbles) {
    start_gamepads();
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0 || SDL_NumJoysticks() != 0) {
        stop_gamepads();
        GTEST_SKIP() << "no game-controller subsystem, or a real pad is plugged in";
    }
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = 15;  // A to the D-pad
    desc.name = "virtual pad";
    desc.Rumble = note_rumble;
    const int device = SDL_JoystickAttachVirtualEx(&desc);
    if (device < 0) {
        stop_gamepads();
        GTEST_SKIP() << "the virtual controller cannot attach: " << SDL_GetError();
    }
    SDL_Joystick* joystick = SDL_JoystickOpen(device);
    ASSERT_NE(joystick, nullptr);

    // Plugged in on the title screen, A leads to the controls screen.
    start_at_title();
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, 1);
    menu_tick();
    EXPECT_TRUE(gamepad_connected());
    EXPECT_EQ(menu_screen, 1);
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, 0);
    menu_tick();
    EXPECT_EQ(key[KEY_ENTER], 0) << "the pad's Enter is taken back";

    // A pad's button (B, which does nothing else here) makes it the input in
    // hands: the prompts name A, the middle of the game's own "Press Enter" kept.
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_B, 1);
    menu_tick();
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_B, 0);
    EXPECT_EQ(active_input(), INPUT_GAMEPAD);
    HudLine lines[HUD_MAX_LINES];
    collect_title_lines(lines, HUD_MAX_LINES);
    EXPECT_STREQ(lines[0].text, "Press A");
    EXPECT_FLOAT_EQ(lines[0].x, -10 + 2 * 22 / 16.0f);
    collect_item_box_screen_lines(lines, HUD_MAX_LINES);
    EXPECT_STREQ(lines[0].text, "Press A to continue");
    // A key makes it the keyboard and mouse, as does a mouse button; a
    // stick within its dead zone changes nothing, past it the pad again,
    // and a key held down as the pad takes over is no press after.
    struct Use {
        int key, button, stick;
        ActiveInput then;
    };
    const Use uses[] = {{KEY_SPACE, 0, 0, INPUT_KEYBOARD_MOUSE}, {0, 0, 5000, INPUT_KEYBOARD_MOUSE},
                        {KEY_TAB, 0, 20000, INPUT_GAMEPAD},       {KEY_TAB, 0, 0, INPUT_GAMEPAD},
                        {0, 1, 0, INPUT_KEYBOARD_MOUSE}};
    for (const Use& use : uses) {
        key[KEY_SPACE] = key[KEY_TAB] = 0;
        if (use.key) key[use.key] = 1;
        mouse_b = use.button;
        SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(use.stick));
        menu_tick();
        EXPECT_EQ(active_input(), use.then) << use.key << " " << use.button << " " << use.stick;
        release_all_input();
    }
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, 0);
    menu_tick();

    // The left stick forward, the right one full right, the trigger pulled:
    // the same ticks as W held, the left button held and the pad's mickeys.
    const int ticks = 40;
    start_test_game(7);
    begin_play();
    park_enemies();
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTY, -32768);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_RIGHTX, 32767);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    std::vector<int32_t> mickeys;
    for (int t = 0; t < ticks; t++) {
        game_tick();
        mickeys.push_back(mouse_mickey_x);
    }
    const PlayedTicks by_pad = summarise();
    int turned = 0;
    for (int32_t m : mickeys) turned += m;
    EXPECT_GE(turned, static_cast<int>(ticks * 5.236f));
    EXPECT_GT(by_pad.shots, 1);

    // Unplugged in play, the game holds until a key (or a pad's button) is pressed.
    SDL_JoystickClose(joystick);
    ASSERT_EQ(SDL_JoystickDetachVirtual(device), 0);
    EXPECT_TRUE(game_is_held());
    EXPECT_FALSE(gamepad_connected());
    EXPECT_TRUE(game_is_held());
    key[KEY_SPACE] = 1;
    EXPECT_FALSE(game_is_held());
    key[KEY_SPACE] = 0;
    read_tick_input(nullptr, nullptr);  // the next tick takes back what the pad held

    start_test_game(7);
    begin_play();
    park_enemies();
    for (int t = 0; t < ticks; t++) {
        key[KEY_W] = 1;
        mouse_b = 1;
        mouse_mickey_x = mickeys[t];
        game_tick();
    }
    const PlayedTicks by_keys = summarise();
    EXPECT_EQ(by_pad.x, by_keys.x);
    EXPECT_EQ(by_pad.y, by_keys.y);
    EXPECT_EQ(by_pad.heading, by_keys.heading);
    EXPECT_EQ(by_pad.shots, by_keys.shots);

    // Plugged in again: a hit rumbles lightly, a life lost strongly.
    const int again = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(again, 0);
    release_all_input();
    game_tick();
    ASSERT_TRUE(gamepad_connected());
    rumble_seen = {};
    RumbleSeen hit = {};
    for (int health : {150, 1}) {
        player_health = health;
        enemy_shots[0][0] = Shot{0, 1, player_x, player_y, 0};
        game_tick();
        ASSERT_EQ(rumble_seen.calls, health == 150 ? 1 : 2);
        if (health == 150) hit = rumble_seen;
    }
    EXPECT_GT(rumble_seen.low, hit.low);

    stop_gamepads();  // closes the pad without an unplugging
    release_all_input();
    in_game = 0;
}
