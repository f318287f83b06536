// The two Allegro datafiles: fuente.dat (the HUD font, rasterised from DejaVu
// Sans Mono Bold in one bit per pixel) and pal.dat (a 256-colour palette).
// Both are written unpacked: the "slh." magic, "ALL.", the object count, then each
// object as its properties, type, sizes and data, all numbers big-endian.
#include "assets/art_layout.h"
#include "assets/asset_list.h"
#include <cassert>
#include <cstdio>

#include "media.h"

namespace {

const uint32_t NOPACK_MAGIC = 0x736C682Eu;  // "slh.": the rest of the file is not compressed

constexpr uint32_t make_id(char a, char b, char c, char d) {
    return (static_cast<uint32_t>(static_cast<uint8_t>(a)) << 24) |
           (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 8) | static_cast<uint32_t>(static_cast<uint8_t>(d));
}

const uint32_t DATAFILE_MAGIC = make_id('A', 'L', 'L', '.');
const uint32_t OBJECT_FONT = make_id('F', 'O', 'N', 'T');
const uint32_t OBJECT_PALETTE = make_id('P', 'A', 'L', ' ');
const uint32_t PROPERTY_MAGIC = make_id('p', 'r', 'o', 'p');
const uint32_t PROPERTY_NAME = make_id('N', 'A', 'M', 'E');

// The HUD font is monospaced: DejaVu Sans Mono Bold at 34 pixels to the em,
// in cells 40 pixels high with the baseline on row 31 (every printable glyph
// fits), each glyph centred in a cell 22 pixels wide (art_layout.h). The HUD lays out its score line with blanks,
// "P1 %12d                  Max %12d" drawn from x = -40 at z = -80, and puts
// the round clock at x = -2 at z = -45 in between, so blanks must be as wide
// as digits and letters. At 1/16 unit per font pixel a cell is 1.375 units,
// 10 screen pixels at z = -80: the score field ends near pixel 180, "Max"
// starts near 360, the clock takes 294 to 329, and the 49 cells end near
// pixel 518 of 640. Narrower cells would put "Max" under the clock.
const int FONT_PIXEL_SIZE = 34;
const int FONT_FORMAT_RANGES = 0;  // the datafile font header of Allegro 3.9 and later
const int FONT_RANGE_MONO = 1;

// Printable ASCII for all the game's text, and the capitals the controls
// screen may need to name the movement keys as a keyboard layout prints
// them: Latin-1 (French bepo's É), Greek and Cyrillic. 200 glyphs, within the
// 256 the game's font reader takes.
const GlyphRange FONT_RANGES[] = {
    {0x20, 0x7E},
    {0xC0, 0xDF},
    {0x391, 0x3A9},
    {0x400, 0x42F},
};
const int FONT_RANGE_COUNT = static_cast<int>(sizeof FONT_RANGES / sizeof FONT_RANGES[0]);

const int PALETTE_COLOURS = 256;
const int PALETTE_CUBE_STEPS = 6;  // a 6 x 6 x 6 colour cube in entries 0-215
const int PALETTE_MAX_LEVEL = 63;  // Allegro palettes hold six bits per channel

void write_object(ByteWriter& out, uint32_t type, const char* name, const std::vector<uint8_t>& data) {
    std::string text(name);
    out.u32_be(PROPERTY_MAGIC);
    out.u32_be(PROPERTY_NAME);
    out.u32_be(static_cast<uint32_t>(text.size()));
    for (char c : text) out.u8(static_cast<uint8_t>(c));
    out.u32_be(type);
    out.u32_be(static_cast<uint32_t>(data.size()));  // size in the file
    out.u32_be(static_cast<uint32_t>(data.size()));  // positive: stored uncompressed
    out.append(data);
}

bool save_datafile(const std::string& path, uint32_t type, const char* name, const std::vector<uint8_t>& data) {
    ByteWriter out;
    out.u32_be(NOPACK_MAGIC);
    out.u32_be(DATAFILE_MAGIC);
    out.u32_be(1);  // one object
    write_object(out, type, name, data);
    return save_bytes(path, out.bytes);
}

}  // namespace

bool write_font_datafile(const char* dir) {
    ByteWriter data;
    data.u16_be(FONT_FORMAT_RANGES);
    data.u16_be(static_cast<uint16_t>(FONT_RANGE_COUNT));
    for (const GlyphRange& range : FONT_RANGES) {
        std::vector<MonoGlyph> glyphs;
        if (!render_mono_glyphs(FONT_MONO_BOLD_PATH, FONT_PIXEL_SIZE, range, HUD_FONT_CELL_HEIGHT,
                                HUD_FONT_BASELINE_ROW, HUD_FONT_CELL_WIDTH, glyphs))
            return false;
        assert(glyphs.size() == static_cast<size_t>(range.last - range.first + 1));
        data.u8(FONT_RANGE_MONO);
        data.u32_be(range.first);
        data.u32_be(range.last);
        for (const MonoGlyph& glyph : glyphs) {
            data.u16_be(static_cast<uint16_t>(glyph.width));
            data.u16_be(static_cast<uint16_t>(glyph.height));
            // Rows of whole bytes, the leftmost pixel in the high bit.
            int stride = (glyph.width + 7) / 8;
            for (int y = 0; y < glyph.height; y++) {
                for (int b = 0; b < stride; b++) {
                    uint8_t bits = 0;
                    for (int i = 0; i < 8; i++) {
                        int x = b * 8 + i;
                        if (x < glyph.width && glyph.ink[static_cast<size_t>(y) * glyph.width + x]) bits |= 0x80 >> i;
                    }
                    data.u8(bits);
                }
            }
        }
    }
    return save_datafile(join_path(dir, asset_name(ASSET_HUD_FONT)), OBJECT_FONT, "HUD_FONT", data.bytes);
}

bool write_palette_datafile(const char* dir) {
    ByteWriter data;
    int written = 0;
    for (int r = 0; r < PALETTE_CUBE_STEPS; r++) {
        for (int g = 0; g < PALETTE_CUBE_STEPS; g++) {
            for (int b = 0; b < PALETTE_CUBE_STEPS; b++) {
                data.u8(static_cast<uint8_t>(r * PALETTE_MAX_LEVEL / (PALETTE_CUBE_STEPS - 1)));
                data.u8(static_cast<uint8_t>(g * PALETTE_MAX_LEVEL / (PALETTE_CUBE_STEPS - 1)));
                data.u8(static_cast<uint8_t>(b * PALETTE_MAX_LEVEL / (PALETTE_CUBE_STEPS - 1)));
                data.u8(0);  // padding
                written++;
            }
        }
    }
    // The rest is a grey ramp from black to white.
    int greys = PALETTE_COLOURS - written;
    for (int i = 0; i < greys; i++) {
        uint8_t level = static_cast<uint8_t>(i * PALETTE_MAX_LEVEL / (greys - 1));
        data.u8(level);
        data.u8(level);
        data.u8(level);
        data.u8(0);
    }
    return save_datafile(join_path(dir, asset_name(ASSET_PALETTE)), OBJECT_PALETTE, "GAME_PALETTE", data.bytes);
}
