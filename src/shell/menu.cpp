// The menu screens without pixels: the shared animation phase, the Enter
// latch that lets one press act once, the way from the title through the
// controls screen into a new game, and the text lines of both screens with
// the movement keys' labels.
#include <allegro.h>

#include "assets/art_layout.h"
#include "desktop/desktop.h"
#include "game/game.h"
#include "shell/hud_lines.h"
#include "shell/shell.h"
#include "shell/shell_local.h"

int8_t enter_latch;
float menu_phase;

static const float MENU_PHASE_STEP = 0.005f;  // one cycle is 201 ticks
static const float MENU_PHASE_END = 1.0f;
static const int MAX_GREY = 255;

void start_new_game() {
    menu_screen = 0;
    new_game();
    start_round();
    in_game = 1;
    score = 0;
    lives = STARTING_LIVES;
}

void menu_tick() {
    read_tick_input(nullptr, nullptr);
    menu_phase += MENU_PHASE_STEP;
    if (menu_phase > MENU_PHASE_END) menu_phase = 0;

    if (!key[KEY_ENTER]) enter_latch = 0;
    // Alt+Enter switches between full screen and a window: that press of
    // Enter never acts here, even once Alt is let go before it.
    if (key[KEY_ENTER] && (key[KEY_ALT] || key[KEY_ALTGR])) enter_latch = 1;
    // The game start comes first and sets the latch, so one press never
    // passes both screens.
    if (key[KEY_ENTER] && menu_screen == 1 && enter_latch == 0) {
        enter_latch = 1;
        start_new_game();
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

// The pad's controls, right of the item box in the colours of the cards'
// legends: a heading, then each control's name and what it does.
struct PadControlRow {
    const char* control;
    const char* action;
    int r, g, b;
};
static const PadControlRow PAD_CONTROL_ROWS[] = {
    {"L STICK", "WALK, STRAFE", 250, 205, 90},  {"R STICK", "TURN, CAMERA", 110, 190, 250},
    {"RT OR RB", "FIRE", 250, 140, 70},         {"A, START", "START", 120, 220, 120},
    {"BACK", "HOLD TO QUIT", 250, 110, 95},
};
static const float PAD_CONTROLS_X = 13.8f, PAD_CONTROLS_TOP_Y = -7.0f, PAD_CONTROLS_Z = -100.0f;
static const float PAD_ACTION_INDENT = 13.75f;  // ten characters of the HUD font at that distance
static const float PAD_CONTROL_ROW_STEP = 3.2f;

int collect_pad_control_lines(HudLine* out, int capacity) {
    int n = add_hud_line(out, capacity, 0, PAD_CONTROLS_X, PAD_CONTROLS_TOP_Y, PAD_CONTROLS_Z, 255, 255, 255,
                         "GAMEPAD");
    float y = PAD_CONTROLS_TOP_Y;
    for (const PadControlRow& row : PAD_CONTROL_ROWS) {
        y -= PAD_CONTROL_ROW_STEP;
        n = add_hud_line(out, capacity, n, PAD_CONTROLS_X, y, PAD_CONTROLS_Z, 255, 255, 255, "%s", row.control);
        n = add_hud_line(out, capacity, n, PAD_CONTROLS_X + PAD_ACTION_INDENT, y, PAD_CONTROLS_Z, row.r, row.g,
                         row.b, "%s", row.action);
    }
    return n;
}

// Code points in a UTF-8 string (continuation bytes are not counted).
static int character_count(const char* text) {
    int count = 0;
    for (const char* p = text; *p; p++) {
        if ((static_cast<unsigned char>(*p) & 0xC0) != 0x80) count++;
    }
    return count;
}

int collect_movement_key_lines(HudLine* out, int capacity) {
    // Card pixels to eye units at the card's distance, then out to the text's.
    const float to_text = MOVEMENT_KEY_LABEL_Z / CONTROLS_CARD_Z;
    const float card_left = -CONTROLS_CARD_SIDE_X - CONTROLS_CARD_HALF_WIDTH;
    const float card_top = CONTROLS_CARD_Y + CONTROLS_CARD_HALF_HEIGHT;
    const float units_per_card_x = 2 * CONTROLS_CARD_HALF_WIDTH / KEY_CARD_WIDTH;
    const float units_per_card_y = 2 * CONTROLS_CARD_HALF_HEIGHT / KEY_CARD_HEIGHT;
    // Text hangs below its point: the capitals' middle is this far down.
    const float cell_width = HUD_FONT_CELL_WIDTH / HUD_FONT_SCALE;
    const float cap_middle = (HUD_FONT_BASELINE_ROW - HUD_FONT_CAP_HEIGHT / 2.0f) / HUD_FONT_SCALE;
    const float centre_x = (card_left + KEY_CARD_KEYCAP_X * units_per_card_x) * to_text;
    int n = 0;
    for (int row = 0; row < MOVEMENT_KEY_COUNT; row++) {
        const char* label = movement_key_label(static_cast<MovementKey>(row));
        const float card_y = static_cast<float>(key_card_row_centre_y(row) - KEY_CARD_LEGEND_LIFT);
        const float centre_y = (card_top - card_y * units_per_card_y) * to_text;
        n = add_hud_line(out, capacity, n, centre_x - character_count(label) * cell_width / 2,
                         centre_y + cap_middle, MOVEMENT_KEY_LABEL_Z, 255, 255, 255, "%s", label);
    }
    return n;
}
