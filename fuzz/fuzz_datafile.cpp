// The font and palette datafile path on arbitrary bytes: the game's reader,
// then, for a font it accepts, what AllegroGL's converter does with it before
// anything reaches OpenGL: walk the ranges, measure every glyph and draw it
// with Allegro's own font code into a memory bitmap at offsets, as the
// converter lays out its texture sheet. The upload itself
// needs a display; the display tests convert accepted fonts of every shape.
#include "assets/assets.h"
#include <cstring>

#include "fuzz_input.h"  // allegro.h, which the internal header needs first

#include <allegro/internal/aintern.h>

static const int SHEET_PIXELS = 256;

static void draw_like_the_converter(FONT* font) {
    static BITMAP* sheet = create_bitmap_ex(24, SHEET_PIXELS, SHEET_PIXELS);
    char text[32];
    int x = 0;
    int ranges = get_font_ranges(font);
    for (int r = 0; r < ranges; r++) {
        int begin = get_font_range_begin(font, r);
        int last = get_font_range_end(font, r);
        if (begin < 0 || last < begin) __builtin_trap();  // the reader let a broken range through
        for (int c = begin; c <= last; c++) {
            usetc(text + usetc(text, c), 0);
            int w = font->vtable->char_length(font, c);
            textout_ex(sheet, font, text, x % SHEET_PIXELS - w / 2, (x / SHEET_PIXELS) % SHEET_PIXELS, -1, -1);
            x += w + 2;
        }
    }
    (void)text_length(font, "P1 0123456789 Max");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An unpacked file reaches the parser as the packed-file layer would give
    // it, straight from memory; anything else goes through the file.
    const bool unpacked = size >= 4 && std::memcmp(data, "slh.", 4) == 0;
    const char* path = unpacked ? nullptr : write_fuzz_input(data, size);
    FONT* font = unpacked ? parse_font_datafile(data + 4, size - 4) : load_font_datafile(path);
    if (font) draw_like_the_converter(font);
    free_loaded_font(font);
    PALETTE palette;
    bool loaded = unpacked ? parse_palette_datafile(data + 4, size - 4, palette) : load_palette_datafile(path, palette);
    if (loaded) (void)bestfit_color(palette, 63, 32, 0);
    return 0;
}
