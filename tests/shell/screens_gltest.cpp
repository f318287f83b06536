// The menu screens and the HUD on the real display: where their quads and
// text land on screen, and that each leaves the resting OpenGL state.
#include <gtest/gtest.h>

#include <allegro.h>
#include <alleggl.h>

#include "render/render_fixtures.h"
#include "shell/shell.h"
#include "shell/shell_local.h"

namespace {

bool is_lit(int x, int y) { return brightness(read_pixel(x, y)) > 3 * 200; }
bool is_dark(int x, int y) { return brightness(read_pixel(x, y)) < 3 * 16; }

// Any lit pixel within the box, bottom-left origin.
bool any_lit(int x0, int y0, int x1, int y1) {
    static unsigned char rgba[640 * 480 * 4];
    const int w = x1 - x0, h = y1 - y0;
    glReadBuffer(GL_BACK);
    glReadPixels(x0, y0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    for (int i = 0; i < w * h; i++) {
        if (rgba[4 * i] + rgba[4 * i + 1] + rgba[4 * i + 2] > 3 * 100) return true;
    }
    return false;
}

// At 10 units in front of the eye one unit spans about 58 pixels.
TEST(ScreensOnDisplay, TitleImageStartsNearAndBrightAndLeavesTheRestingState) {
    require_test_display();
    title_texture = -1;  // binds no texture: a plain white quad
    menu_phase = 0;
    clear_screen();
    draw_title_screen();
    EXPECT_TRUE(is_lit(320, 300));  // the 8 x 4 image, 1 unit up
    EXPECT_TRUE(is_lit(100, 190));
    EXPECT_TRUE(is_dark(320, 150));  // below it
    EXPECT_TRUE(is_dark(60, 300));   // beside it
    expect_resting_state("draw_title_screen");
}

TEST(ScreensOnDisplay, ControlsScreenPicturesAndCamera) {
    require_test_display();
    title_texture = keyboard_controls_texture = mouse_controls_texture = -1;
    menu_phase = 0.3f;
    clear_screen();
    draw_item_box_screen();
    EXPECT_TRUE(is_lit(320, 414));  // the small title at the top
    EXPECT_TRUE(is_lit(200, 300));  // keyboard, left
    EXPECT_TRUE(is_lit(440, 300));  // mouse, right
    EXPECT_TRUE(is_dark(320, 150));
    expect_resting_state("draw_item_box_screen");
    EXPECT_EQ(camera_eye_x, -1.5f);
    EXPECT_EQ(camera_eye_y, 6.0f);
    EXPECT_EQ(camera_eye_z, 1.5f);
    EXPECT_EQ(camera_target_y, 0.0f);
    EXPECT_EQ(camera_target_z, 1.5f);
}

TEST(ScreensOnDisplay, GameOverTextLandsLeftOfCentreAboveTheMiddle) {
    require_test_display();
    hud_font = allegro_gl_convert_allegro_font(font, AGL_FONT_TYPE_TEXTURED, HUD_FONT_SCALE);
    ASSERT_NE(hud_font, nullptr);
    in_game = 1;
    game_over = 1;
    tally_active = 0;
    round_intro = 0;
    item_message_timer = 0;
    score = 0;
    max_score = 25000;
    clear_screen();
    glEnable(GL_CULL_FACE);
    draw_hud();
    // "Game Over" at (-10, 2, -30): one unit is about 19 pixels there, so the
    // text starts near x 127, some 39 pixels above the middle.
    EXPECT_TRUE(any_lit(110, 255, 230, 300));
    EXPECT_FALSE(any_lit(330, 150, 640, 230));  // nothing right of centre below it
    expect_resting_state("draw_hud");
    allegro_gl_destroy_font(hud_font);
    hud_font = nullptr;
    game_over = 0;
    in_game = 0;
}

}  // namespace
