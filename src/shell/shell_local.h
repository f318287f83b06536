// Shell-private state shared by its files.
#pragma once

#include <allegro.h>

#include <atomic>
#include <cstdint>

#include "assets/asset_list.h"

extern FONT* hud_font;  // the HUD font, converted for AllegroGL at start-up

// The HUD places text at 1/16 unit per font pixel. AllegroGL's textured
// font conversion divides the glyph size by its scale, so that is 16.
static const float HUD_FONT_SCALE = 16.0f;

struct HudLine;

// Draws the lines with the HUD font at (x, y + y_offset, z) of the current
// model-view space; draws nothing when the font failed to load.
void draw_hud_lines(const HudLine* lines, int count, float y_offset);

// Start-up's messages about the asset files, on standard error. The first
// says so when there is no datos/ folder in the working directory and
// silences the others; each file is named at most once.
bool find_asset_folder();
void report_unloaded_asset(AssetId file);
void check_asset_readable(AssetId file);  // for files opened later
