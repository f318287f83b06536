// Text rendering with FreeType for the menu pictures (anti-aliased masks) and
// the HUD font (one bit per pixel glyph cells), plus the mask helpers that
// turn text into outlines and glows.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "media.h"
#include "procedural.h"

const char* const FONT_SANS_BOLD_PATH = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const char* const FONT_MONO_BOLD_PATH = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";

namespace {

const int FT_UNITS_PER_PIXEL = 64;  // FreeType's 26.6 fixed point

struct OpenFace {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

bool open_face(const char* font_path, int pixel_size, OpenFace& out) {
    if (FT_Init_FreeType(&out.library) != 0) {
        std::fprintf(stderr, "assetgen: FreeType does not start\n");
        return false;
    }
    if (FT_New_Face(out.library, font_path, 0, &out.face) != 0 ||
        FT_Set_Pixel_Sizes(out.face, 0, static_cast<FT_UInt>(pixel_size)) != 0) {
        std::fprintf(stderr, "assetgen: cannot use the font %s\n", font_path);
        if (out.face) FT_Done_Face(out.face);
        FT_Done_FreeType(out.library);
        out = OpenFace();
        return false;
    }
    return true;
}

void close_face(OpenFace& open) {
    if (open.face) FT_Done_Face(open.face);
    if (open.library) FT_Done_FreeType(open.library);
    open = OpenFace();
}

int round_26_6(FT_Pos v) {
    return static_cast<int>((v + FT_UNITS_PER_PIXEL / 2) >> 6);
}

}  // namespace

float mask_at(const Mask& mask, int x, int y) {
    if (x < 0 || y < 0 || x >= mask.width || y >= mask.height) return 0;
    return mask.value[static_cast<size_t>(y) * mask.width + x];
}

Mask render_text_mask(const char* font_path, int pixel_size, const char* text, int* baseline) {
    Mask mask;
    OpenFace open;
    if (!open_face(font_path, pixel_size, open)) return mask;
    FT_Face face = open.face;
    int ascent = round_26_6(face->size->metrics.ascender);
    int descent = -round_26_6(face->size->metrics.descender);

    // First pass: the line's ink extent, so glyphs that overhang their
    // advance (italic tails, the bold 'j') are not cut.
    FT_Pos pen = 0;
    int left = 0, right = 0;
    size_t length = std::strlen(text);
    for (size_t i = 0; i < length; i++) {
        if (FT_Load_Char(face, static_cast<unsigned char>(text[i]), FT_LOAD_DEFAULT) != 0) continue;
        int x = round_26_6(pen);
        left = std::min(left, x + static_cast<int>(face->glyph->metrics.horiBearingX >> 6));
        right = std::max(right, x + round_26_6(face->glyph->metrics.horiBearingX + face->glyph->metrics.width) + 1);
        pen += face->glyph->advance.x;
        right = std::max(right, round_26_6(pen));
    }
    mask.width = right - left;
    mask.height = ascent + descent;
    mask.value.assign(static_cast<size_t>(mask.width) * mask.height, 0.0f);
    *baseline = ascent;

    pen = 0;
    for (size_t i = 0; i < length; i++) {
        if (FT_Load_Char(face, static_cast<unsigned char>(text[i]), FT_LOAD_RENDER) != 0) continue;
        FT_GlyphSlot slot = face->glyph;
        int origin_x = round_26_6(pen) - left + slot->bitmap_left;
        int origin_y = ascent - slot->bitmap_top;
        for (unsigned row = 0; row < slot->bitmap.rows; row++) {
            for (unsigned col = 0; col < slot->bitmap.width; col++) {
                int x = origin_x + static_cast<int>(col), y = origin_y + static_cast<int>(row);
                if (x < 0 || y < 0 || x >= mask.width || y >= mask.height) continue;
                float v = slot->bitmap.buffer[row * slot->bitmap.pitch + col] / 255.0f;
                float& dst = mask.value[static_cast<size_t>(y) * mask.width + x];
                dst = std::max(dst, v);
            }
        }
        pen += slot->advance.x;
    }
    close_face(open);
    return mask;
}

bool render_mono_glyphs(const char* font_path, int pixel_size, GlyphRange range, int cell_height,
                        int baseline_row, int cell_advance, std::vector<MonoGlyph>& glyphs) {
    OpenFace open;
    if (!open_face(font_path, pixel_size, open)) return false;
    FT_Face face = open.face;
    glyphs.clear();
    assert(cell_height > 0 && baseline_row < cell_height && range.first <= range.last);
    for (uint32_t c = range.first; c <= range.last; c++) {
        MonoGlyph glyph;
        glyph.height = cell_height;
        const bool present = FT_Get_Char_Index(face, c) != 0;
        if (FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) {
            close_face(open);
            return false;
        }
        FT_GlyphSlot slot = face->glyph;
        assert(slot->bitmap.pixel_mode == FT_PIXEL_MODE_MONO || slot->bitmap.rows == 0);
        int advance = round_26_6(slot->advance.x);
        int ink_left = std::max(0, slot->bitmap_left);
        if (cell_advance > 0) {
            // A wider fixed cell: the glyph's own advance centred in it.
            ink_left += std::max(0, (cell_advance - advance) / 2);
            advance = std::max(advance, cell_advance);
        }
        glyph.width = std::max(advance, ink_left + static_cast<int>(slot->bitmap.width));
        glyph.width = std::max(glyph.width, 1);
        glyph.ink.assign(static_cast<size_t>(glyph.width) * cell_height, 0);
        const int rows = present ? static_cast<int>(slot->bitmap.rows) : 0;
        const int top = std::max(0, baseline_row - slot->bitmap_top);
        if (top + rows > cell_height) {
            std::fprintf(stderr, "assetgen: glyph U+%04X does not fit a %d-pixel cell\n", static_cast<unsigned>(c),
                         cell_height);
            close_face(open);
            return false;
        }
        for (int row = 0; row < rows; row++) {
            const unsigned char* bits = slot->bitmap.buffer + row * slot->bitmap.pitch;
            for (unsigned col = 0; col < slot->bitmap.width; col++) {
                if (bits[col >> 3] & (0x80 >> (col & 7)))
                    glyph.ink[static_cast<size_t>(top + row) * glyph.width + ink_left + col] = 1;
            }
        }
        glyphs.push_back(glyph);
    }
    close_face(open);
    return true;
}

Mask pad_mask(const Mask& mask, int border) {
    Mask out;
    out.width = mask.width + 2 * border;
    out.height = mask.height + 2 * border;
    out.value.assign(static_cast<size_t>(out.width) * out.height, 0.0f);
    for (int y = 0; y < mask.height; y++)
        for (int x = 0; x < mask.width; x++)
            out.value[static_cast<size_t>(y + border) * out.width + x + border] = mask_at(mask, x, y);
    return out;
}

Mask dilate_mask(const Mask& mask, int radius) {
    Mask out = mask;
    for (int y = 0; y < mask.height; y++) {
        for (int x = 0; x < mask.width; x++) {
            float best = 0;
            for (int dy = -radius; dy <= radius; dy++) {
                for (int dx = -radius; dx <= radius; dx++) {
                    float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
                    float reach = clamp_unit(radius + 0.5f - d);  // soft round brush edge
                    if (reach <= 0) continue;
                    best = std::max(best, mask_at(mask, x + dx, y + dy) * reach);
                }
            }
            out.value[static_cast<size_t>(y) * mask.width + x] = best;
        }
    }
    return out;
}

Mask blur_mask(const Mask& mask, int radius) {
    // Two passes of a separable box blur.
    Mask out = mask;
    float scale = 1.0f / (2 * radius + 1);
    for (int pass = 0; pass < 2; pass++) {
        Mask tmp = out;
        for (int y = 0; y < out.height; y++) {
            for (int x = 0; x < out.width; x++) {
                float sum = 0;
                for (int d = -radius; d <= radius; d++) sum += mask_at(out, x + d, y);
                tmp.value[static_cast<size_t>(y) * out.width + x] = sum * scale;
            }
        }
        for (int y = 0; y < out.height; y++) {
            for (int x = 0; x < out.width; x++) {
                float sum = 0;
                for (int d = -radius; d <= radius; d++) sum += mask_at(tmp, x, y + d);
                out.value[static_cast<size_t>(y) * out.width + x] = sum * scale;
            }
        }
    }
    return out;
}
