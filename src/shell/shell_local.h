// Shell-private state shared by its files.
#pragma once

#include <allegro.h>

extern FONT* hud_font;  // the HUD font, converted for AllegroGL at start-up

struct HudLine;

// Draws the lines with the HUD font at (x, y + y_offset, z) of the current
// model-view space; draws nothing when the font failed to load.
void draw_hud_lines(const HudLine* lines, int count, float y_offset);
