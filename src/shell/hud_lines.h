// Shell-private: building the text lines of the HUD and the menu screens
// without drawing them.
#pragma once

#include "shell/shell.h"

// The controls screen draws its text 3 units up; its lines hold the raised
// eye coordinates.
static const float ITEM_SCREEN_TEXT_RAISE = 3.0f;

// The controls screen's two cards: 4 x 3 units, 10 units in front of the eye,
// centred 1 unit up and 2 units left (the keyboard) and right (the mouse) of
// the middle.
static const float CONTROLS_CARD_SIDE_X = 2.0f;
static const float CONTROLS_CARD_Y = 1.0f;
static const float CONTROLS_CARD_HALF_WIDTH = 2.0f;
static const float CONTROLS_CARD_HALF_HEIGHT = 1.5f;
static const float CONTROLS_CARD_Z = -10.0f;
// The labels of the movement keys on the keyboard card are HUD text 80 units
// off, like the screen's other lines; their capitals come out about as tall
// as the card's own legends.
static const float MOVEMENT_KEY_LABEL_Z = -80.0f;

// The labels of the four movement keys as the player's layout prints them
// (desktop.h), each centred on its blank keycap of the keyboard card,
// in white. Eye coordinates, drawn without the screen's text raise.
int collect_movement_key_lines(HudLine* out, int capacity);
// The pad's controls, shown on the controls screen while a pad is plugged
// in, right of the item box. Eye coordinates, drawn without the text raise.
int collect_pad_control_lines(HudLine* out, int capacity);

// Appends one formatted line to out (asserting the capacity) and returns the
// new count.
int add_hud_line(HudLine* out, int capacity, int count, float x, float y, float z,
                 int r, int g, int b, const char* format, ...)
    __attribute__((format(printf, 10, 11)));

// The shared "P1 ... Max ..." score line of play, Game Over and the title.
int add_score_line(HudLine* out, int capacity, int count);
