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

#include "assets/asset_files.h"
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

// Whatever the reader accepts, AllegroGL's converter takes.
TEST(HudFont, EveryShapeTheReaderAcceptsConverts) {
    require_test_display();
    for (const auto& shape : FONTS_AT_THE_LIMITS) {
        std::vector<uint8_t> bytes = font_datafile(shape);
        FONT* checked = parse_font_datafile(bytes.data(), bytes.size());
        ASSERT_NE(checked, nullptr);  // and what it refuses: tests/assets/datafile_test.cpp
        FONT* font = allegro_gl_convert_allegro_font(checked, AGL_FONT_TYPE_TEXTURED, HUD_FONT_SCALE);
        free_loaded_font(checked);
        ASSERT_NE(font, nullptr);
        glLoadIdentity();
        allegro_gl_printf(font, 0, 0, -25, makecol(255, 255, 255), "A~ ");
        allegro_gl_destroy_font(font);
    }
}

}  // namespace
