// The menu screens without pixels: the shared animation phase, the Enter
// latch that lets one press act once, the way from the title through the
// controls screen into a new game, and the text lines of both screens: the
// prompts for the device in the player's hands, the movement keys' labels
// and the names of the pad's buttons.
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

void menu_tick() {
    read_tick_input(nullptr, nullptr);
    menu_phase += MENU_PHASE_STEP;
    if (menu_phase > MENU_PHASE_END) menu_phase = 0;

    if (!key[KEY_ENTER]) enter_latch = 0;
    // Alt+Enter is the window mode's: that Enter never acts here, even once
    // Alt is let go before it.
    if (alt_enter_down()) enter_latch = 1;
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

// Code points in a UTF-8 string (continuation bytes are not counted).
static int character_count(const char* text) {
    int count = 0;
    for (const char* p = text; *p; p++) {
        if ((static_cast<unsigned char>(*p) & 0xC0) != 0x80) count++;
    }
    return count;
}

static const float CELL_WIDTH = HUD_FONT_CELL_WIDTH / HUD_FONT_SCALE;  // one character of HUD text

// A screen's prompt names the device in the player's hands: Enter while
// the keyboard and mouse are, the pad's confirm button while a pad is
// ("Press A" for "Press Enter"), in the game's own place, colour and pulse,
// its middle kept.
static int add_prompt(HudLine* out, int capacity, int n, float x, float y, float z, int r, int g, int b,
                      const char* after) {
    static const char OWN_KEY[] = "Enter";
    const char* key = active_input() == INPUT_GAMEPAD ? gamepad_button_names().confirm : OWN_KEY;
    const float middle_kept = (character_count(OWN_KEY) - character_count(key)) * CELL_WIDTH / 2;
    return add_hud_line(out, capacity, n, x + middle_kept, y, z, r, g, b, "Press %s%s", key, after);
}

int collect_title_lines(HudLine* out, int capacity) {
    const int grey = phase_grey();
    int n = add_prompt(out, capacity, 0, -10, -5, -80, grey, grey, grey, "");
    return add_score_line(out, capacity, n);
}

int collect_item_box_screen_lines(HudLine* out, int capacity) {
    const float raise = ITEM_SCREEN_TEXT_RAISE;
    int n = add_prompt(out, capacity, 0, -30, -30 + raise, -80, 128, 128, 255, " to continue");
    const int grey = phase_grey();
    return add_hud_line(out, capacity, n, 0, -20 + raise, -100, grey, grey, grey, "Item Box");
}

// Where a controls card stands (eye units at the card's distance) and how
// many of those a card pixel spans.
struct CardPlace {
    float left, top;
    float units_per_pixel_x, units_per_pixel_y;
};

// A label in white, centred on a point of a card (card pixels from its top
// left, the point the middle of the label's capitals), as HUD text at the
// labels' distance.
static int add_card_label(HudLine* out, int capacity, int n, const CardPlace& card, float card_x, float card_y,
                          const char* label) {
    // Card units out to the text's distance; text hangs below its point.
    const float to_text = CARD_LABEL_Z / CONTROLS_CARD_Z;
    const float cap_middle = (HUD_FONT_BASELINE_ROW - HUD_FONT_CAP_HEIGHT / 2.0f) / HUD_FONT_SCALE;
    const float centre_x = (card.left + card_x * card.units_per_pixel_x) * to_text;
    const float centre_y = (card.top - card_y * card.units_per_pixel_y) * to_text;
    return add_hud_line(out, capacity, n, centre_x - character_count(label) * CELL_WIDTH / 2, centre_y + cap_middle,
                        CARD_LABEL_Z, 255, 255, 255, "%s", label);
}

int collect_movement_key_lines(HudLine* out, int capacity) {
    const CardPlace card = {-CONTROLS_CARD_SIDE_X - CONTROLS_CARD_HALF_WIDTH,
                            CONTROLS_CARD_Y + CONTROLS_CARD_HALF_HEIGHT,
                            2 * CONTROLS_CARD_HALF_WIDTH / KEY_CARD_WIDTH,
                            2 * CONTROLS_CARD_HALF_HEIGHT / KEY_CARD_HEIGHT};
    int n = 0;
    for (int row = 0; row < MOVEMENT_KEY_COUNT; row++) {
        const int card_y = key_card_row_centre_y(row) - KEY_CARD_LEGEND_LIFT;
        n = add_card_label(out, capacity, n, card, KEY_CARD_KEYCAP_X, static_cast<float>(card_y),
                           movement_key_label(static_cast<MovementKey>(row)));
    }
    return n;
}

int collect_pad_card_lines(HudLine* out, int capacity) {
    const CardPlace card = {-PAD_CARD_HALF_WIDTH, CONTROLS_CARD_Y + CONTROLS_CARD_HALF_HEIGHT,
                            2 * PAD_CARD_HALF_WIDTH / PAD_CARD_WIDTH,
                            2 * CONTROLS_CARD_HALF_HEIGHT / PAD_CARD_HEIGHT};
    const PadButtonNames names = gamepad_button_names();
    // The badges of the rows fire, start and quit, in that order.
    const char* badges[] = {names.fire, names.confirm, names.quit};
    int n = 0;
    for (int i = 0; i < 3; i++) {
        const int card_y = pad_card_row_centre_y(PAD_CARD_FIRST_BADGE_ROW + i) - KEY_CARD_LEGEND_LIFT;
        n = add_card_label(out, capacity, n, card, PAD_CARD_BADGE_X, static_cast<float>(card_y), badges[i]);
    }
    return n;
}
