// Shared pieces of the media writers (menu pictures, HUD font, sounds,
// music): anti-aliased text from the DejaVu fonts, a float colour canvas for
// the pictures, and the file writers each group ends with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "colour.h"
#include "formats.h"

extern const char* const FONT_SANS_BOLD_PATH;
extern const char* const FONT_MONO_BOLD_PATH;

// ---- text ------------------------------------------------------------------

// Coverage of rendered text, 0..1 per pixel, row 0 at the top.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<float> value;
};

float mask_at(const Mask& mask, int x, int y);  // 0 outside the mask

// Renders one line of text anti-aliased at the given pixel size (the em
// height). The mask is as wide as the line's advance and as high as the
// font's ascent plus descent; *baseline receives the baseline row. Returns an
// empty mask (and says why on stderr) when the font cannot be used.
Mask render_text_mask(const char* font_path, int pixel_size, const char* text, int* baseline);

// One glyph rasterised in one bit per pixel, placed on its own cell: the
// advance rounded to whole pixels, `cell_height` rows, baseline at
// `baseline_row`. Ink left of the cell is moved in and ink past its right
// side widens the cell, so no pixel is lost. Row 0 is the top.
struct MonoGlyph {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> ink;  // width x height, 0 or 1
};

// A run of Unicode code points, both ends included.
struct GlyphRange {
    uint32_t first;
    uint32_t last;
};

// Rasterises the characters of one range of one font. A `cell_advance` above
// 0 widens every narrower cell to it, the glyph centred; 0 keeps each glyph's
// own advance. A character the font lacks gets an empty cell; a glyph that
// rises above the cell (an accented capital) is lowered until it fits. False
// when the font cannot be opened or a glyph is taller than the cell.
bool render_mono_glyphs(const char* font_path, int pixel_size, GlyphRange range, int cell_height,
                        int baseline_row, int cell_advance, std::vector<MonoGlyph>& glyphs);

// Morphological widening of a mask by a round brush and a box blur, used for
// outlines and glows.
Mask dilate_mask(const Mask& mask, int radius);
Mask blur_mask(const Mask& mask, int radius);
Mask pad_mask(const Mask& mask, int border);

// ---- pictures --------------------------------------------------------------

// A picture being painted: linear 0..1 colour, row 0 at the top as a person
// sees it.
struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixel;
};

Canvas make_canvas(int width, int height);
// Blends `colour` into the pixel with the given opacity (0..1).
void blend_pixel(Canvas& canvas, int x, int y, Rgb colour, float opacity);
// Adds light to the pixel (for glows).
void add_pixel(Canvas& canvas, int x, int y, Rgb colour, float amount);
// Paints a mask at (left, top) in one colour.
void paint_mask(Canvas& canvas, const Mask& mask, int left, int top, Rgb colour, float opacity);
// Text centred on the point (centre_x, centre_y), a flat colour over a dark
// outline so it reads on anything. Returns the drawn width.
int paint_label(Canvas& canvas, const char* font_path, int pixel_size, const char* text, int centre_x,
                int centre_y, Rgb colour);
// Text placed with its left edge at x, vertically centred on centre_y.
int paint_label_left(Canvas& canvas, const char* font_path, int pixel_size, const char* text, int left,
                     int centre_y, Rgb colour);
void fill_rect(Canvas& canvas, int x0, int y0, int x1, int y1, Rgb colour, float opacity);
// An anti-aliased rounded rectangle outline (thickness pixels) or filled box.
void paint_round_rect(Canvas& canvas, float x0, float y0, float x1, float y1, float radius, float thickness,
                      Rgb colour, bool filled);
// An anti-aliased line segment of the given thickness.
void paint_line(Canvas& canvas, float x0, float y0, float x1, float y1, float thickness, Rgb colour);

// Converts the canvas to a RAW image for the menu quads, which put texture
// row 0 at the bottom edge: the bottom row of the picture is written first.
Image canvas_to_texture(const Canvas& canvas);

bool write_menu_pictures(const char* dir);

// The title picture's sun and grid floor, without the name (512 x 256).
Canvas paint_title_backdrop();

// ---- the desktop icon ------------------------------------------------------

// Sides of the icon files, in pixels, as the hicolor theme sizes them.
const int ICON_SIDES[] = {48, 64, 128, 256};

// 8-bit RGBA, row 0 at the top.
bool write_png(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba);
// Writes icon-48.png ... icon-256.png into dir.
bool write_icons(const char* dir);

// ---- datafiles -------------------------------------------------------------

bool write_font_datafile(const char* dir);
bool write_palette_datafile(const char* dir);

// ---- sound -----------------------------------------------------------------

enum {
    AUDIO_RATE_HZ = 44100,
};

// Interleaved samples in -1..1 (clipped when written).
struct Sound {
    int channels = 1;
    std::vector<float> samples;
};

bool write_wav(const std::string& path, const Sound& sound);
bool write_sound_effects(const char* dir);
bool write_music(const char* dir);
