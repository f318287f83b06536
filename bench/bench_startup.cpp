// Start-up time: from the first Allegro call to the first frame on screen,
// with the real assets in datos/ (run from the build directory on a display
// that can switch to 640x480 full screen). Prints seconds; asserts nothing.
#include <allegro.h>
#include <alleggl.h>

#include <chrono>
#include <cstdio>

#include "shell/shell.h"

int main() {
    auto begin = std::chrono::steady_clock::now();
    StartResult result = start_game();
    if (result != START_OK) {
        std::printf("start-up failed (no display or no memory)\n");
        return 1;
    }
    auto started = std::chrono::steady_clock::now();
    draw_frame();
    glFlush();
    allegro_gl_flip();
    glFinish();
    auto first_frame = std::chrono::steady_clock::now();
    tear_down_game();
    auto seconds = [](auto a, auto b) { return std::chrono::duration<double>(b - a).count(); };
    std::printf("start-up to end of set-up:   %.3f s\n", seconds(begin, started));
    std::printf("start-up to first frame:     %.3f s\n", seconds(begin, first_frame));
    return 0;
}
END_OF_MAIN()
