// The menu screens without pixels: the shared animation phase, the Enter
// latch that lets one press act once, the way from the title through the
// controls screen into a new game, and the text lines of both screens.
#include <allegro.h>

#include "game/game.h"
#include "shell/hud_lines.h"
#include "shell/shell.h"

int8_t enter_latch;
float menu_phase;

static const float MENU_PHASE_STEP = 0.005f;  // one cycle is 201 ticks
static const float MENU_PHASE_END = 1.0f;
static const int MAX_GREY = 255;

void menu_tick() {
    menu_phase += MENU_PHASE_STEP;
    if (menu_phase > MENU_PHASE_END) menu_phase = 0;

    if (!key[KEY_ENTER]) enter_latch = 0;
    // The game start comes first and sets the latch, so one press never
    // passes both screens.
    if (key[KEY_ENTER] && menu_screen == 1 && enter_latch == 0) {
        enter_latch = 1;
        menu_screen = 0;
        new_game();
        start_round();
        in_game = 1;
        score = 0;
        lives = STARTING_LIVES;
    }
    if (key[KEY_ENTER] && menu_screen == 0 && enter_latch == 0) {
        enter_latch = 1;
        menu_screen = 1;
    }
}

static int phase_grey() {
    return static_cast<int>(menu_phase * MAX_GREY);
}

int collect_title_lines(HudLine* out, int capacity) {
    const int grey = phase_grey();
    int n = add_hud_line(out, capacity, 0, -10, -5, -80, grey, grey, grey, "Press Enter");
    return add_score_line(out, capacity, n);
}

int collect_item_box_screen_lines(HudLine* out, int capacity) {
    const float raise = ITEM_SCREEN_TEXT_RAISE;
    int n = add_hud_line(out, capacity, 0, -30, -30 + raise, -80, 128, 128, 255, "Press Enter to continue");
    const int grey = phase_grey();
    return add_hud_line(out, capacity, n, 0, -20 + raise, -100, grey, grey, grey, "Item Box");
}
