// Shapes the asset builder gives the HUD font and the keyboard controls card
// and the game's drawing relies on: the font's glyph cell, and where the
// card's keycaps sit. The builder paints the four movement keycaps blank and
// the controls screen writes on them what the player's keyboard layout
// prints on those keys. Plain numbers only, so the builder needs no Allegro.
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
