// Shell-private state shared by its files.
#pragma once

#include <allegro.h>

#include <atomic>
#include <cstdint>

#include "assets/asset_list.h"

extern FONT* hud_font;  // the HUD font, converted for AllegroGL at start-up
// Whether the HUD font has a glyph for a Unicode code point (false without it).
bool hud_font_can_draw(uint32_t code_point);

// The picture the game draws: 640x480 at Allegro colour depth 16.
static const int SCREEN_WIDTH = 640;
static const int SCREEN_HEIGHT = 480;
static const int COLOR_DEPTH_BITS = 16;

// How the game's window names itself to the desktop (title and WM_CLASS).
static const char* const GAME_WINDOW_TITLE = "Sundown Arena";
static const char* const GAME_WINDOW_NAME = "sundown";
static const char* const GAME_WINDOW_CLASS = "Sundown";

// The HUD places text at 1/16 unit per font pixel. AllegroGL's textured
// font conversion divides the glyph size by its scale, so that is 16.
static const float HUD_FONT_SCALE = 16.0f;

struct HudLine;

// The presentation (presentation.cpp), driven by the game's window: where
// the next frame is drawn for a window of this size, and how the frame just
// drawn is shown in it (then flipped, or scaled into it by the X server).
// Both follow the window's current size, read every frame. What the
// presentation holds is released before the display closes.
void direct_frame_drawing(int window_width, int window_height);
void present_picture(int window_width, int window_height);
void release_presentation();

// Draws the lines with the HUD font at (x, y + y_offset, z) of the current
// model-view space; draws nothing when the font failed to load.
void draw_hud_lines(const HudLine* lines, int count, float y_offset);

// Start-up's messages about the asset files, on standard error. The first
// says so when there is no datos/ folder in the working directory and
// silences the others; each file is named at most once.
bool find_asset_folder();
void report_unloaded_asset(AssetId file);
void check_asset_readable(AssetId file);  // for files opened later

// Whether a space-separated extension list (GL's or GLX's; null for none)
// names the extension, as a whole word.
bool has_extension(const char* list, const char* name);

// Blocking waits on a counter shared with another thread (a Linux futex):
// sleeps while word still holds seen, at most timeout_ms; wake_waiters ends
// every such sleep on word. Safe to call from Allegro's timer thread.
void wait_while_unchanged(std::atomic<int32_t>& word, int32_t seen, int timeout_ms);
void wake_waiters(std::atomic<int32_t>& word);
