// The HUD font from datos/fuente.dat on the game's display: AllegroGL turns
// it into a textured font, and text drawn the way the HUD draws it (added to
// black, white, in eye space) lights up the screen where and as large as the
// HUD's placement expects: 1/16 unit per font pixel.
#include <gtest/gtest.h>

#include <allegro.h>
#include <alleggl.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "assets/assets.h"
#include "support/gl_display.h"

namespace {

// AllegroGL's textured fonts draw a glyph of w font pixels as w / scale
// units, so 1/16 unit per font pixel takes a scale of 16.
const float HUD_FONT_SCALE = 16.0f;
const float HUD_UNITS_PER_FONT_PIXEL = 1.0f / 16.0f;
const int DISPLAY_WIDTH_PIXELS = 640;
const int DISPLAY_HEIGHT_PIXELS = 480;

struct LitBox {
    int min_x = DISPLAY_WIDTH_PIXELS, max_x = -1, min_y = DISPLAY_HEIGHT_PIXELS, max_y = -1, lit = 0, brightest = 0;
};

LitBox find_lit_pixels() {
    std::vector<unsigned char> rgba(DISPLAY_WIDTH_PIXELS * DISPLAY_HEIGHT_PIXELS * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, DISPLAY_WIDTH_PIXELS, DISPLAY_HEIGHT_PIXELS, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    LitBox box;
    for (int y = 0; y < DISPLAY_HEIGHT_PIXELS; y++) {
        for (int x = 0; x < DISPLAY_WIDTH_PIXELS; x++) {
            const unsigned char* p = &rgba[(y * DISPLAY_WIDTH_PIXELS + x) * 4];
            int level = p[0] + p[1] + p[2];
            box.brightest = std::max(box.brightest, level);
            if (level < 200) continue;
            box.lit++;
            box.min_x = std::min(box.min_x, x);
            box.max_x = std::max(box.max_x, x);
            box.min_y = std::min(box.min_y, y);
            box.max_y = std::max(box.max_y, y);
        }
    }
    return box;
}

TEST(HudFont, ConvertsAndDrawsAdditivelyAtTheHudScale) {
    require_test_display();
    FONT* checked = load_font_datafile("datos/fuente.dat");
    ASSERT_NE(checked, nullptr) << "datos/fuente.dat did not load";
    const char* text = "##########";
    int text_pixels = text_length(checked, text);
    FONT* font = allegro_gl_convert_allegro_font(checked, AGL_FONT_TYPE_TEXTURED, HUD_FONT_SCALE);
    free_loaded_font(checked);
    ASSERT_NE(font, nullptr);

    // The HUD's text state: added to the scene, no depth test, no lighting.
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR);
    glDepthFunc(GL_ALWAYS);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glLoadIdentity();
    const float x = -6, y = 1, z = -25;
    allegro_gl_printf(font, x, y, z, makecol(255, 255, 255), "%s", text);
    glFlush();
    LitBox box = find_lit_pixels();

    glDepthFunc(GL_LESS);
    glDisable(GL_BLEND);
    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
    allegro_gl_destroy_font(font);

    ASSERT_GT(box.lit, 500);
    EXPECT_GT(box.brightest, 600);
    // At z = -25 the 45-degree view is 2 * 25 * tan(22.5 deg) units high.
    const float pixels_per_unit = DISPLAY_HEIGHT_PIXELS / (2.0f * -z * std::tan(22.5f * 3.14159265f / 180.0f));
    const float expected_left = DISPLAY_WIDTH_PIXELS / 2 + x * pixels_per_unit;
    const float expected_width = text_pixels * HUD_UNITS_PER_FONT_PIXEL * pixels_per_unit;
    EXPECT_NEAR(box.min_x, expected_left, 0.1f * expected_width);
    EXPECT_NEAR(box.max_x - box.min_x, expected_width, 0.1f * expected_width);
    // The text hangs below its point: the glyph cells' top is at y.
    const float top = DISPLAY_HEIGHT_PIXELS / 2 + y * pixels_per_unit;
    EXPECT_LE(box.max_y, top + 1);
    EXPECT_GT(box.min_y, top - 32 * HUD_UNITS_PER_FONT_PIXEL * pixels_per_unit - 1);
}

// A font datafile in bytes as the packed-file layer gives them: ranges of
// {first, last, glyph width, glyph height}, every glyph the same size.
struct GlyphRange {
    int first, last, width, height;
};

std::vector<uint8_t> font_datafile(const std::vector<GlyphRange>& ranges) {
    std::vector<uint8_t> body, file;
    auto be = [](std::vector<uint8_t>& out, uint32_t value, int bytes) {
        for (int i = bytes - 1; i >= 0; i--) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    be(body, 0, 2);
    be(body, static_cast<uint32_t>(ranges.size()), 2);
    for (const GlyphRange& range : ranges) {
        be(body, 1, 1);
        be(body, range.first, 4);
        be(body, range.last, 4);
        for (int c = range.first; c <= range.last; c++) {
            be(body, range.width, 2);
            be(body, range.height, 2);
            body.insert(body.end(), static_cast<size_t>((range.width + 7) / 8) * range.height, 0x5A);
        }
    }
    const char* magic = "ALL.";
    const char* type = "FONT";
    file.insert(file.end(), magic, magic + 4);
    be(file, 1, 4);  // one object
    file.insert(file.end(), type, type + 4);
    be(file, static_cast<uint32_t>(body.size()), 4);
    be(file, static_cast<uint32_t>(body.size()), 4);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

// Whatever the reader accepts, AllegroGL's converter takes: the most glyphs
// of the largest size, several ranges with gaps, one-pixel glyphs and the
// last code points.
TEST(HudFont, EveryShapeTheReaderAcceptsConverts) {
    require_test_display();
    const std::vector<std::vector<GlyphRange>> shapes = {
        {{0, 255, 128, 128}},
        {{32, 90, 9, 17}, {160, 255, 30, 12}, {1000, 1010, 1, 1}},
        {{0x10FF00, 0x10FFFF, 5, 40}},
    };
    for (const auto& shape : shapes) {
        std::vector<uint8_t> bytes = font_datafile(shape);
        FONT* checked = parse_font_datafile(bytes.data(), bytes.size());
        ASSERT_NE(checked, nullptr);
        FONT* font = allegro_gl_convert_allegro_font(checked, AGL_FONT_TYPE_TEXTURED, HUD_FONT_SCALE);
        free_loaded_font(checked);
        ASSERT_NE(font, nullptr);
        glLoadIdentity();
        allegro_gl_printf(font, 0, 0, -25, makecol(255, 255, 255), "A~ ");
        allegro_gl_destroy_font(font);
    }
    // One glyph more, or one pixel larger, is refused.
    std::vector<uint8_t> too_many = font_datafile({{0, 256, 8, 8}});
    std::vector<uint8_t> too_large = font_datafile({{65, 65, 129, 8}});
    EXPECT_EQ(parse_font_datafile(too_many.data(), too_many.size()), nullptr);
    EXPECT_EQ(parse_font_datafile(too_large.data(), too_large.size()), nullptr);
}

}  // namespace
