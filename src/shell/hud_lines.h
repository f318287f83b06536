// Shell-private: building the text lines of the HUD and the menu screens
// without drawing them.
#pragma once

#include "shell/shell.h"

// The controls screen draws its text 3 units up; its lines hold the raised
// eye coordinates.
static const float ITEM_SCREEN_TEXT_RAISE = 3.0f;

// Appends one formatted line to out (asserting the capacity) and returns the
// new count.
int add_hud_line(HudLine* out, int capacity, int count, float x, float y, float z,
                 int r, int g, int b, const char* format, ...)
    __attribute__((format(printf, 10, 11)));

// The shared "P1 ... Max ..." score line of play, Game Over and the title.
int add_score_line(HudLine* out, int capacity, int count);
