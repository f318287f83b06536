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
// While a pad is in the player's hands its card stands across the places of
// both, 8 x 3 units.
static const float PAD_CARD_HALF_WIDTH = CONTROLS_CARD_SIDE_X + CONTROLS_CARD_HALF_WIDTH;
// The labels written on the cards (the movement keys' on the keyboard card,
// the pad's button names on its card) are HUD text 80 units off, like the
// screen's other lines; their capitals come out about as tall as the cards'
// own legends.
static const float CARD_LABEL_Z = -80.0f;

// The labels of the four movement keys as the player's layout prints them
// (desktop.h), each centred on its blank keycap of the keyboard card,
// in white. Eye coordinates, drawn without the screen's text raise.
int collect_movement_key_lines(HudLine* out, int capacity);
// The names the pad in the player's hands gives the buttons that fire,
// start and quit, on the pad card's blank badges, in white. Eye
// coordinates, drawn without the text raise.
int collect_pad_card_lines(HudLine* out, int capacity);

// Appends one formatted line to out (asserting the capacity) and returns the
// new count.
int add_hud_line(HudLine* out, int capacity, int count, float x, float y, float z,
                 int r, int g, int b, const char* format, ...)
    __attribute__((format(printf, 10, 11)));

// The shared "P1 ... Max ..." score line of play, Game Over and the title.
int add_score_line(HudLine* out, int capacity, int count);
