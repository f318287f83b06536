// The fixed 60 Hz main loop: a timer callback counts owed ticks, the loop
// pays them off one by one, then draws one frame and flips. Between ticks it
// sleeps, and without the keyboard focus the game holds.
#include <allegro.h>

#include "desktop/desktop.h"
#include "game/game.h"
#include "shell/shell.h"
#include "sound/sound.h"

// A sleep between ticks ends after this at the latest, so that Escape and a
// quit request are seen even if the timer thread were held up.
static const int TICK_WAIT_LIMIT_MS = 100;
// While held, the loop looks at the focus, at quit requests and at the
// window's exposures this often.
static const int HELD_WAKE_MS = 100;

std::atomic<int32_t> pending_ticks{0};

void tick_callback() {
    // The loop sleeps only on a counter of 0.
    if (pending_ticks.fetch_add(1) == 0) wake_waiters(pending_ticks);
}
END_OF_FUNCTION(tick_callback)

void wait_for_owed_tick() {
    if (pending_ticks.load() <= 0) wait_while_unchanged(pending_ticks, 0, TICK_WAIT_LIMIT_MS);
}

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

static void draw_and_present(bool held, HeldNote note = HELD_NOTE_NONE) {
    draw_frame();
    if (held) draw_paused_overlay(note);
    finish_gl_drawing();
    present_frame();
}

// The game holds while another window has the focus, and after a pad was
// unplugged in a game until a pad button or a key is pressed: no tick runs,
// the sound pauses, the pointer is the desktop's, and the frozen frame shows
// PAUSED. Then the game goes on from where it stood, owing no tick for the
// time it held.
static void hold_game() {
    release_pointer();
    pause_sound();
    // PAUSED shows after the first wake, so a focus that is only passing
    // through (the window manager's own grab, the focus coming at start-up)
    // does not flash it; then only when the desktop has uncovered or resized
    // the window, or the note under PAUSED changes, since the picture
    // stands still.
    bool drawn = false;
    HeldNote shown_note = HELD_NOTE_NONE;
    while (game_is_held() && quit_request.load() == 0) {
        wait_while_held(HELD_WAKE_MS);
        keep_sound_alive();
        follow_desktop();
        const HeldNote note = choose_held_note();
        if ((window_exposed() || !drawn || note != shown_note) && game_is_held()) {
            draw_and_present(true, note);
            drawn = true;
            shown_note = note;
        }
    }
    if (quit_request.load() != 0) return;
    pending_ticks.store(0);
    // The motion over the window while it was held is no turn.
    int mickey_x, mickey_y;
    if (mouse_driver) get_mouse_mickeys(&mickey_x, &mickey_y);
    resume_sound();
    take_pointer();
}

void run_main_loop() {
    main_loop_running = true;
    for (;;) {
        if (key[KEY_ESC] || quit_request.load() != 0) break;
        keep_sound_alive();
        follow_desktop();
        if (game_is_held()) {
            hold_game();
            continue;
        }
        wait_for_owed_tick();
        // A frame with no tick before it would show the last one again.
        if (run_owed_ticks() == 0) continue;
        draw_and_present(false);
    }
    main_loop_running = false;
}
