// Frames per second of the game's own frame (draw_frame: figures, arena, item
// box, sky, depth-sorted faces, shadow, shots, explosions, aim marker and the
// HUD) in round 14, with the real assets in datos/, started as the game
// starts. Run from the build directory on the test display. Prints figures;
// asserts nothing.
//   bench_game_frame --sizes   on a 3840x2160 display (bench/run-all starts
//   one): the frame as the game presents it in windows of 640x480 (drawn as
//   is), 1280x800, 1920x1080 and 3840x2160 (scaled between black bars), in
//   one run, the way the game chooses for this driver;
//   bench_game_frame --sizes opengl   the same, scaled with OpenGL.
//   bench_game_frame --play    on the same display: the CPU time a second of
//   play costs with the game's own loop and real 60 Hz ticks, in windows of
//   640x480 and 1920x1080, against a loop that draws on every pass (as the
//   game did before it slept between ticks), and while the game is held.
#include <allegro.h>
#include <alleggl.h>
#include <xalleg.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "empty_frame.h"
#include "desktop/desktop_local.h"
#include "game/game.h"
#include "shell/shell.h"

static const int MEASURED_FRAMES = 600;
static const int WARM_UP_FRAMES = 30;
static const int TARGET_ROUND = 14;
static const int SETTLE_TICKS = 120;
static const unsigned FIXED_SEED = 7;

// Round 14 as a player reaches it, in play, with every enemy in front of the
// player, shots flying both ways, two enemies exploding and an item box.
static void set_up_round_14() {
    new_game();
    srand(FIXED_SEED);
    start_round();
    in_game = 1;
    while (round_number < TARGET_ROUND) start_round();
    for (int i = 0; i < SETTLE_TICKS; i++) game_tick();
    round_intro = 0;
    round_intro_countdown = 0;
    enemies_frozen = 0;
    for (int i = 0; i < SETTLE_TICKS; i++) game_tick();
    enemies_frozen = 1;  // hold the scene still while it is measured

    for (int i = 0; i < enemy_count; i++) {
        float angle = player_heading + (i - enemy_count / 2) * 0.12f;
        float distance = 6.0f + 1.5f * static_cast<float>(i % 4);
        enemies[i].x = player_x + distance * std::sin(angle);
        enemies[i].y = player_y + distance * std::cos(angle);
        enemies[i].heading = angle + 3.1416f;
        enemies[i].health = ENEMY_FULL_HEALTH;
        for (int s = 0; s < 3; s++) {
            Shot& shot = enemy_shots[i][s];
            shot.active = 1;
            shot.x = enemies[i].x - (s + 1) * std::sin(angle);
            shot.y = enemies[i].y - (s + 1) * std::cos(angle);
            shot.heading = enemies[i].heading;
        }
    }
    enemy_death_timer[0] = 0.7f;
    enemy_death_timer[1] = 0.4f;
    for (int s = 0; s < 4; s++) {
        Shot& shot = player_shots[s];
        shot.active = 1;
        shot.x = player_x + (2 + 2 * s) * std::sin(player_heading);
        shot.y = player_y + (2 + 2 * s) * std::cos(player_heading);
        shot.heading = player_heading;
    }
    item_box_active = 1;
    item_box_x = player_x + 3 * std::sin(player_heading + 0.4f);
    item_box_y = player_y + 3 * std::cos(player_heading + 0.4f);
}

static bool resize_window(int width, int height) {
    XLOCK();
    XResizeWindow(_xwin.display, _xwin.window, width, height);
    XSync(_xwin.display, False);
    Window root;
    int x, y;
    unsigned int got_width = 0, got_height = 0, border, depth;
    XGetGeometry(_xwin.display, _xwin.window, &root, &x, &y, &got_width, &got_height, &border, &depth);
    XUNLOCK();
    return static_cast<int>(got_width) == width && static_cast<int>(got_height) == height;
}

// Each size in turn, over a few rounds, so that what else the machine does
// spreads over all sizes; the fastest round of each size is printed, with an
// empty frame (the 640x480 clear) presented the same way: what the
// presentation alone costs at that size.
static int measure_presented_sizes() {
    static const int SIZES[][2] = {{640, 480}, {1280, 800}, {1920, 1080}, {3840, 2160}};
    static const int SIZE_COUNT = 4;
    static const int ROUNDS = 3;
    double best[SIZE_COUNT] = {};
    double best_empty[SIZE_COUNT] = {};
    for (int round = 0; round < ROUNDS; round++) {
        for (int i = 0; i < SIZE_COUNT; i++) {
            const int width = SIZES[i][0], height = SIZES[i][1];
            if (width > DisplayWidth(_xwin.display, _xwin.screen) ||
                height > DisplayHeight(_xwin.display, _xwin.screen) || !resize_window(width, height)) {
                std::printf("the window cannot be %dx%d here (a 3840x2160 display is needed)\n", width, height);
                return 1;
            }
            bench::seconds_per_frame(draw_frame, WARM_UP_FRAMES, present_frame);
            const double seconds = bench::seconds_per_frame(draw_frame, MEASURED_FRAMES / ROUNDS, present_frame);
            const double empty = bench::seconds_per_frame(bench::clear_frame, MEASURED_FRAMES / ROUNDS, present_frame);
            if (round == 0 || seconds < best[i]) best[i] = seconds;
            if (round == 0 || empty < best_empty[i]) best_empty[i] = empty;
        }
    }
    const int depth = DefaultDepth(_xwin.display, _xwin.screen);
    std::printf("OpenGL renderer %s; larger windows scaled %s\n",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                present_path() == PRESENT_THROUGH_X_SERVER ? "by the X server (RENDER)" : "with OpenGL");
    for (int i = 0; i < SIZE_COUNT; i++) {
        std::printf("game frame presented in a %dx%d window, depth %d: %.1f frames per second (%.2f ms a frame), "
                    "%.3f of the rate at 640x480; empty frame presented: %.2f ms (%+.2f ms against 640x480)\n",
                    SIZES[i][0], SIZES[i][1], depth, 1.0 / best[i], 1000.0 * best[i], best[0] / best[i],
                    1000.0 * best_empty[i], 1000.0 * (best_empty[i] - best_empty[0]));
    }
    return 0;
}

// ---- A second of play ----------------------------------------------------

static const int PLAY_SECONDS = 4;
static const int PLAY_ROUNDS = 3;  // interleaved, so both loops share what else the machine does

static long every_pass_frames;

// The loop as it was before it slept: every pass draws a frame, whether or
// not a tick ran since the last one.
static void run_loop_drawing_every_pass() {
    while (quit_request.load() == 0) {
        run_owed_ticks();
        draw_frame();
        finish_gl_drawing();
        present_frame();
        every_pass_frames++;
    }
}

// CPU seconds a wall-clock second over PLAY_SECONDS of `loop`, from a fresh
// crowded round with the real timer's ticks; the loop is told to end as the
// desktop closing the window would.
static double cpu_per_second_of(void (*loop)()) {
    set_up_round_14();
    quit_request = 0;
    std::thread stop([] {
        std::this_thread::sleep_for(std::chrono::seconds(PLAY_SECONDS));
        quit_request = QUIT_FROM_WINDOW;
    });
    pending_ticks = 0;
    const auto start = std::chrono::steady_clock::now();
    const double cpu_start = bench::process_cpu_seconds();
    loop();
    const double cpu = bench::process_cpu_seconds() - cpu_start;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    stop.join();
    quit_request = 0;
    return cpu / wall;
}

static void give_focus_to(Window window) {
    XLOCK();
    XSetInputFocus(_xwin.display, window, RevertToNone, CurrentTime);
    XSync(_xwin.display, False);
    XUNLOCK();
}

static int measure_play() {
    static const int SIZES[][2] = {{640, 480}, {1920, 1080}};
    for (const auto& size : SIZES) {
        if (!resize_window(size[0], size[1])) {
            std::printf("the window cannot be %dx%d here (a display of 1920x1080 or more is needed)\n", size[0], size[1]);
            return 1;
        }
        double every_pass = 0, game_loop = 0;
        every_pass_frames = 0;
        for (int round = 0; round < PLAY_ROUNDS; round++) {
            every_pass += cpu_per_second_of(run_loop_drawing_every_pass) / PLAY_ROUNDS;
            game_loop += cpu_per_second_of(run_main_loop) / PLAY_ROUNDS;
        }
        std::printf("a second of play, round %d, %dx%d window: %.2f CPU seconds drawing every pass "
                    "(%.0f frames a second), %.2f with the game's loop (a frame only after a tick, "
                    "60 at most)\n",
                    round_number, size[0], size[1], every_pass,
                    static_cast<double>(every_pass_frames) / (PLAY_SECONDS * PLAY_ROUNDS), game_loop);
    }
    // Held: the focus goes elsewhere (no window manager here), as alt+Tab
    // would take it.
    give_focus_to(None);
    const double held = cpu_per_second_of(run_main_loop);
    give_focus_to(_xwin.window);
    std::printf("a second held (another window has the focus), 1920x1080 window: %.3f CPU seconds\n", held);
    return 0;
}

int main(int argc, char** argv) {
    if (start_game() != START_OK) {
        std::printf("start-up failed (no display or no memory)\n");
        return 1;
    }
    set_up_round_14();
    if (argc > 1 && std::strcmp(argv[1], "--play") == 0) {
        const int status = measure_play();
        tear_down_game();
        return status;
    }
    if (argc > 1 && std::strcmp(argv[1], "--sizes") == 0) {
        if (argc > 2 && std::strcmp(argv[2], "opengl") == 0) use_present_path(PRESENT_WITH_OPENGL);
        const int status = measure_presented_sizes();
        tear_down_game();
        return status;
    }
    bench::seconds_per_frame(draw_frame, WARM_UP_FRAMES);
    // The empty frame is measured before and after, and the mean taken.
    const double empty_before = bench::empty_frame_seconds();
    const double cpu_start = bench::process_cpu_seconds();
    const double seconds = bench::seconds_per_frame(draw_frame, MEASURED_FRAMES);
    const double cpu_seconds = bench::process_cpu_seconds() - cpu_start;
    const double empty = 0.5 * (empty_before + bench::empty_frame_seconds());
    std::printf("game frame, round %d, %d enemies, HUD on, 640x480\n", round_number, enemy_count);
    bench::print_against_empty("game frame", seconds, empty);
    bench::print_cpu_time(cpu_seconds, seconds, MEASURED_FRAMES);
    tear_down_game();
    return 0;
}
END_OF_MAIN()
