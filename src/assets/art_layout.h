// Shapes the asset builder gives the HUD font and the keyboard and gamepad
// controls cards and the game's drawing relies on: the font's glyph cell,
// and where the cards' keycaps and badges sit. The builder paints the four
// movement keycaps and the pad's badges blank, and the controls screen
// writes on them what the player's keyboard layout prints on those keys and
// what the player's pad calls its buttons. Plain numbers only, so the
// builder needs no Allegro.
#pragma once

// ---- HUD font -----------------------------------------------------------------
// Every glyph sits in a cell of the same size, font pixels, row 0 at the top.
enum {
    HUD_FONT_CELL_WIDTH = 22,
    HUD_FONT_CELL_HEIGHT = 40,
    HUD_FONT_BASELINE_ROW = 31,
    HUD_FONT_CAP_HEIGHT = 25,  // a capital's height above the baseline
};

// ---- keyboard controls card --------------------------------------------------
// Card pixels: the card is painted 256 x 192, row 0 at the top, and stretched
// to its square texture; the controls screen squeezes it back to 4:3. The top
// sixth stays black (the small title covers it). Below, one row per key in
// this order: forward, back, left, right (the movement keys), Enter, Escape.
enum {
    KEY_CARD_WIDTH = 256,
    KEY_CARD_HEIGHT = 192,
    KEY_CARD_CLEAR_TOP = KEY_CARD_HEIGHT / 6,
    KEY_CARD_ROWS = 6,
    KEY_CARD_ROW_HEIGHT = (KEY_CARD_HEIGHT - KEY_CARD_CLEAR_TOP) / KEY_CARD_ROWS,
    KEY_CARD_KEYCAP_X = 40,          // centre of every keycap
    KEY_CARD_MOVE_KEYCAP_WIDTH = 30,
    KEY_CARD_KEYCAP_HEIGHT = 23,
    KEY_CARD_LEGEND_LIFT = 2,        // a legend's middle sits this far above its keycap's centre
    KEY_CARD_MOVE_ROWS = 4,          // rows 0 to 3
};

// The centre of row `row`'s keycap, card pixels from the top.
constexpr int key_card_row_centre_y(int row) {
    return KEY_CARD_CLEAR_TOP + KEY_CARD_ROW_HEIGHT * row + KEY_CARD_ROW_HEIGHT / 2;
}

// ---- gamepad controls card ---------------------------------------------------
// Card pixels, as the keyboard card's: painted 512 x 192 and stretched to
// its texture, 512 x 256; the controls screen shows it across the places of
// the keyboard and mouse cards while a pad is in the player's hands. The top
// sixth stays black. The left half has one row per control in this order:
// walk, turn (a stick's picture each), fire, start, quit (a blank badge the
// controls screen writes the pad's own name for the button on), then what
// the control does; the right half shows the pad.
enum {
    PAD_CARD_WIDTH = 512,
    PAD_CARD_HEIGHT = KEY_CARD_HEIGHT,
    PAD_CARD_ROWS = 5,
    PAD_CARD_ROW_HEIGHT = (PAD_CARD_HEIGHT - KEY_CARD_CLEAR_TOP) / PAD_CARD_ROWS,
    PAD_CARD_BADGE_X = 52,      // centre of every badge and stick picture
    PAD_CARD_BADGE_WIDTH = 88,  // seven characters of the HUD font as the screen writes them
    PAD_CARD_FIRST_BADGE_ROW = 2,  // rows 2 to 4
};

// The centre of row `row`, card pixels from the top.
constexpr int pad_card_row_centre_y(int row) {
    return KEY_CARD_CLEAR_TOP + PAD_CARD_ROW_HEIGHT * row + PAD_CARD_ROW_HEIGHT / 2;
}
