// The test build of the game tells an end-to-end script what the screen
// cannot: when SUNDOWN_STATE_FILE names a file, the game rewrites it (whole,
// by renaming a fresh copy over it) at most every 50 ms as it finishes
// frames, with the mode, the round clock, the player's place and heading,
// the movement keys' labels the controls screen shows, whether a pad is
// plugged in and which input the prompts name. These
// definitions of glFlush and glFinish, one of which the main loop calls
// after each frame however the frame is then presented (flipped, or scaled
// by the X server without a flip), stand in front of the OpenGL library's,
// which they then call. The game itself has no such output.
#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/game.h"
#include "desktop/desktop_local.h"

static void write_state(const char* path) {
    const std::string fresh = std::string(path) + ".new";
    FILE* out = std::fopen(fresh.c_str(), "w");
    if (!out) return;
    std::fprintf(out, "in_game %d\nmenu_screen %d\nround_intro %d\nround_clock %d\n", in_game, menu_screen,
                 round_intro, round_clock);
    std::fprintf(out, "player %.4f %.4f %.4f\n", player_x, player_y, player_heading);
    std::fprintf(out, "labels");
    for (int k = 0; k < MOVEMENT_KEY_COUNT; k++) std::fprintf(out, " %s", movement_key_label(static_cast<MovementKey>(k)));
    std::fprintf(out, "\n");
    std::fprintf(out, "pad %d\ninput %s\n", gamepad_connected() ? 1 : 0,
                 active_input() == INPUT_GAMEPAD ? "pad" : "keys");
    if (std::fclose(out) == 0) std::rename(fresh.c_str(), path);
}

static void report_state() {
    static const char* path = std::getenv("SUNDOWN_STATE_FILE");
    static std::chrono::steady_clock::time_point last;
    const auto now = std::chrono::steady_clock::now();
    if (path && now - last >= std::chrono::milliseconds(50)) {
        last = now;
        write_state(path);
    }
}

extern "C" void glFlush() {
    report_state();
    static void (*flush)() = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "glFlush"));
    if (flush) flush();
}

extern "C" void glFinish() {
    report_state();
    static void (*finish)() = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "glFinish"));
    if (finish) finish();
}
