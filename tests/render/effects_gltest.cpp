// Sprite effects, checked on the picture: the shadow darkens, shots are
// hidden by nearer walls but not by each other, the explosion's two quads
// change size with its strength, the aim marker shows through walls.
#include "render_fixtures.h"

#include <cstring>

namespace {

using Effects = RenderTest;

const Rgba QUARTER_GREY = {64, 64, 64, 255};
const Rgba HALF_GREY = {128, 128, 128, 255};

// An opaque wall facing the camera, drawn as the arena.
void draw_wall(TestMesh* mesh, float x0, float x1, float y, float z0, float z1) {
    const float a[3] = {x0, y, z0}, b[3] = {x1, y, z0}, c[3] = {x1, y, z1}, d[3] = {x0, y, z1};
    mesh->add_triangle(a, b, c);
    mesh->add_triangle(a, c, d);
    draw_model(0, 0, 0, 0, 0, 0, mesh->finish(), RENDER_MODE_ARENA);
}

TEST_F(Effects, ShadowDarkensTheGround) {
    shadow_texture = static_cast<int32_t>(make_texture(WHITE));
    set_camera(0, -6, 8, 0, 0, 0);
    clear_screen(0.5f);
    draw_shadow(0, 0);
    expect_resting_state("draw_shadow");
    const Pixel under = pixel_at(screen_of(0, 0, 0.02f));
    const Pixel beside = pixel_at(screen_of(2, 0, 0.02f));
    EXPECT_LT(brightness(under), 30);
    EXPECT_GT(brightness(beside), 300);

    shadow_texture = -1;  // missing: drawn untextured, still no crash
    draw_shadow(0, 0);
    expect_resting_state("draw_shadow without texture");
}

TEST_F(Effects, ShotsAreHiddenByNearerWallsButNotByEachOther) {
    textures[SLOT_ARENA_BASE] = static_cast<int32_t>(make_texture(RED));
    textures[SLOT_PLAYER_SHOT] = static_cast<int32_t>(make_texture(QUARTER_GREY));
    textures[SLOT_ENEMY_SHOT] = static_cast<int32_t>(make_texture(QUARTER_GREY));
    set_camera(0, -10, 1, 0, 0, 1);

    Shot shots[SHOT_SLOTS];
    std::memset(shots, 0, sizeof shots);
    shots[0] = Shot{0, 1, 3, 5, 0};
    draw_shots(shots, 0);
    expect_resting_state("draw_shots");
    const ScreenPoint lone_spot = screen_of(3, 5, 1);
    const int lone = pixel_at(lone_spot).g;
    EXPECT_GT(lone, 40);

    clear_screen();
    TestMesh wall;
    draw_wall(&wall, -6, 0, 0, -3, 5);  // covers the left half, nearer than the shots
    const Pixel wall_colour = pixel_at(screen_of(-3, 5, 1));
    shots[0] = Shot{0, 1, -3, 5, 0};  // behind the wall
    shots[1] = Shot{0, 1, 3, 5, 0};   // in the open
    shots[2] = Shot{0, 1, 3, 6, 0};   // farther, drawn after the nearer one
    shots[3] = Shot{0, 0, 6, 2, 0};   // inactive
    shots[4] = Shot{1, 1, 6, 2, 0};   // spare byte set
    draw_shots(shots, 1);
    expect_resting_state("draw_shots");
    const Pixel hidden = pixel_at(screen_of(-3, 5, 1));
    EXPECT_NEAR(hidden.r, wall_colour.r, 9);
    EXPECT_NEAR(hidden.g, wall_colour.g, 9);
    EXPECT_GT(pixel_at(lone_spot).g, lone + 20);  // both overlapping shots added up
    EXPECT_TRUE(is_black(pixel_at(screen_of(6, 2, 1))));  // skipped slots drew nothing

    draw_shots(nullptr, 0);
    expect_resting_state("draw_shots without a list");
}

TEST_F(Effects, ExplosionQuadsGrowAndShrinkWithItsStrength) {
    textures[SLOT_EXPLOSION_FIREBALL] = static_cast<int32_t>(make_texture(WHITE));
    textures[SLOT_EXPLOSION_RING] = static_cast<int32_t>(make_texture(WHITE));

    // Seen from the side at its own height: the fireball alone, 8 x 8 units.
    set_camera(0, -20, 0.5f, 0, 0, 0.5f);
    draw_explosion(0, 0, 1.0f);
    expect_resting_state("draw_explosion");
    EXPECT_GT(brightness(pixel_at(screen_of(3.5f, 0, 0.5f))), 600);
    EXPECT_GT(brightness(pixel_at(screen_of(0, 0, 4.2f))), 600);
    EXPECT_TRUE(is_black(pixel_at(screen_of(4.5f, 0, 0.5f))));
    EXPECT_TRUE(is_black(pixel_at(screen_of(0, 0, 5.0f))));

    // From above, weak: the fireball is tiny, the ring nearly 20 x 20 and dim.
    clear_screen();
    set_camera(0, -5, 40, 0, 0, 0);
    draw_explosion(0, 0, 0.1f);
    const Pixel ring = pixel_at(screen_of(8.5f, 0, 0.5f));
    EXPECT_FALSE(is_black(ring));
    EXPECT_LT(brightness(ring), 120);
    EXPECT_TRUE(is_black(pixel_at(screen_of(9.5f, 0, 0.5f))));
    EXPECT_TRUE(is_black(pixel_at(screen_of(0, 9.5f, 0.5f))));

    // At full strength the ring has no size.
    clear_screen();
    draw_explosion(0, 0, 1.0f);
    EXPECT_TRUE(is_black(pixel_at(screen_of(6.0f, 0, 0.5f))));
}

TEST_F(Effects, ExplosionAndAimMarkerAreDrawnOverWalls) {
    textures[SLOT_ARENA_BASE] = static_cast<int32_t>(make_texture(RED));
    textures[SLOT_AIM_MARKER] = static_cast<int32_t>(make_texture(HALF_GREY));
    textures[SLOT_EXPLOSION_FIREBALL] = static_cast<int32_t>(make_texture(HALF_GREY));
    player_x = 0;
    player_y = 0;
    player_heading = 0;  // the marker is 20 units ahead along +y, 1.5 up
    set_camera(0, -10, 1.5f, 0, 0, 1.5f);
    TestMesh wall;
    draw_wall(&wall, -10, 10, 5, -5, 8);
    const ScreenPoint marker = screen_of(0, 20, 1.5f);
    const Pixel before = pixel_at(marker);
    draw_aim_marker();
    expect_resting_state("draw_aim_marker");
    const Pixel after = pixel_at(marker);
    EXPECT_GT(after.g, before.g + 60);
    EXPECT_TRUE(pixel_at(screen_of(0.8f, 20, 1.5f)).g < before.g + 9);  // half a unit wide

    const ScreenPoint blast = screen_of(-4, 30, 0.5f);
    const Pixel wall_only = pixel_at(blast);
    draw_explosion(-4, 30, 1.0f);
    EXPECT_GT(pixel_at(blast).g, wall_only.g + 60);
    expect_resting_state("draw_explosion");
}

}  // namespace
