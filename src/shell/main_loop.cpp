// The fixed 60 Hz main loop: a timer callback counts owed ticks, the loop
// pays them off one by one, then draws one frame and flips. It never sleeps.
#include <allegro.h>
#include <alleggl.h>

#include "game/game.h"
#include "shell/shell.h"

std::atomic<int32_t> pending_ticks{0};

void tick_callback() {
    pending_ticks.fetch_add(1);
}
END_OF_FUNCTION(tick_callback)

// Owed ticks are paid one by one, and ticks that fall due during a long
// catch-up are paid in the same pass. But a backlog beyond OWED_TICKS_LIMIT
// (a quarter of a second) is dropped unplayed: it comes from a process that
// was stopped (a suspended laptop, SIGSTOP, a debugger) or starved, and
// playing it would run seconds of enemy fire and clock in one blink, with
// the player unable to act. A slow frame owes far fewer ticks and is caught
// up as always.
int run_owed_ticks() {
    int ran = 0;
    for (int32_t owed = pending_ticks.load(); owed > 0; owed = pending_ticks.load()) {
        if (owed > OWED_TICKS_LIMIT) {
            pending_ticks.fetch_sub(owed);
            continue;
        }
        if (in_game == 1) {
            game_tick();
        } else {
            menu_tick();
        }
        pending_ticks.fetch_sub(1);
        ran++;
    }
    return ran;
}

void run_main_loop() {
    main_loop_running = true;
    for (;;) {
        if (key[KEY_ESC] || quit_request.load() != 0) break;
        run_owed_ticks();
        draw_frame();
        glFlush();
        present_frame();
    }
    main_loop_running = false;
}
