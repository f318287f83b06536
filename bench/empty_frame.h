// The yardstick of the frame benchmarks: an empty 640 x 480 frame (clear,
// flush, flip) measured in the same run as the frame it is compared with.
// Absolute frame rates move with the machine and with whatever else it is
// doing; the ratio of a frame's rate to the empty frame's rate says how much
// of the machine's drawing the frame needs, and moves much less.
#pragma once

#include <allegro.h>
#include <alleggl.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>

#include "desktop/desktop.h"
#include "shell/shell.h"

namespace bench {

const int EMPTY_FRAMES = 600;

// Seconds a frame of `draw` takes over `frames` frames, each handed to the
// driver as the game hands its frames (finish_gl_drawing) and followed by
// `present` (a plain flip, or the game's own presentation).
template <typename Draw>
double seconds_per_frame(Draw draw, int frames, void (*present)() = allegro_gl_flip) {
    glFinish();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; i++) {
        draw();
        finish_gl_drawing();
        present();
    }
    glFinish();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / frames;
}

// What an empty frame draws.
inline void clear_frame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

inline double empty_frame_seconds() {
    return seconds_per_frame(clear_frame, EMPTY_FRAMES);
}

// CPU seconds of the whole process, the rasterizer threads included: on a
// machine shared with other work this says more than the wall clock.
inline double process_cpu_seconds() {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// One line: the process's CPU time a frame of `frames` frames that took
// `frame_seconds` each on the wall clock.
inline void print_cpu_time(double cpu_seconds, double frame_seconds, int frames) {
    std::printf("process CPU time: %.2f ms a frame over all its threads (%.2f cores busy on average)\n",
                1000.0 * cpu_seconds / frames, cpu_seconds / (frame_seconds * frames));
}

// One line: the frame's rate, the empty frame's rate and their ratio.
inline void print_against_empty(const char* what, double frame_seconds, double empty_seconds) {
    std::printf("%s: %.1f frames per second (%.2f ms a frame); empty frame %.0f frames per second; "
                "ratio to the empty frame %.3f\n",
                what, 1.0 / frame_seconds, 1000.0 * frame_seconds, 1.0 / empty_seconds,
                empty_seconds / frame_seconds);
}

}  // namespace bench
