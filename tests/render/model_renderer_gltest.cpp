// The model renderer: view test per render mode, the paths of the render
// classes, texture slots (missing ones included) and the state it leaves.
#include "render_fixtures.h"

#include <cstring>

namespace {

using ModelRenderer = RenderTest;

const Rgba YELLOW = {255, 255, 0, 255};
const Rgba MID_GREEN = {0, 128, 0, 255};

const ScreenPoint CENTRE = {320, 240};

void expect_colour(Pixel p, Rgba c, const char* what) {
    EXPECT_NEAR(p.r, c.r, 9) << what;
    EXPECT_NEAR(p.g, c.g, 9) << what;
    EXPECT_NEAR(p.b, c.b, 9) << what;
}

// One triangle through the middle of the view whose corners all lie far
// outside it.
Model* make_crossing_triangle(TestMesh* mesh) {
    const float a[3] = {-100, 0, -100};
    const float b[3] = {100, 0, -100};
    const float c[3] = {0, 0, 100};
    mesh->add_triangle(a, b, c);
    return mesh->finish();
}

TEST_F(ModelRenderer, FaceWithAllCornersOutsideIsSkippedExceptForSkyAndArena) {
    for (int slot : {0, 6, 11, 14, 24}) textures[slot] = static_cast<int32_t>(make_texture(GREEN));
    TestMesh crossing;
    Model* model = make_crossing_triangle(&crossing);
    const unsigned modes[] = {RENDER_MODE_PLAYER, RENDER_MODE_ENEMY, RENDER_MODE_ITEM_BOX, RENDER_MODE_SKY,
                              RENDER_MODE_ARENA};
    for (unsigned mode : modes) {
        clear_screen();
        draw_model(0, 0, 0, 0, 0, 0, model, mode);
        EXPECT_EQ(is_black(pixel_at(CENTRE)), mode != RENDER_MODE_SKY && mode != RENDER_MODE_ARENA) << "mode " << mode;
        expect_resting_state("draw_model");
    }

    // A small face inside the view is drawn in a tested mode, and moves out
    // of it with the model's position.
    TestMesh small;
    small.add_facing(0, 0, 0, 1);
    clear_screen();
    draw_model(0, 0, 0, 0, 0, 0, small.finish(), RENDER_MODE_PLAYER);
    EXPECT_FALSE(is_black(pixel_at(CENTRE)));
    clear_screen();
    draw_model(0, 0, 0, 100, 0, 0, &small.model, RENDER_MODE_PLAYER);
    EXPECT_TRUE(is_black(pixel_at(CENTRE)));
}

TEST_F(ModelRenderer, DeferredClassesReachTheScreenOnlyThroughTheSortedPass) {
    textures[SLOT_DEFERRED_FACES] = static_cast<int32_t>(make_texture(BLUE));
    textures[SLOT_PLAYER_BASE] = static_cast<int32_t>(make_texture(RED));
    TestMesh mesh;
    mesh.add_facing(0, 0, 0, 1, 2);
    mesh.add_facing(0, 0, 0, 1, 3);
    mesh.add_facing(0, 0, 0, 1, 6);  // never drawn, never set aside
    Model* model = mesh.finish();

    draw_model(0, 0, 30, 1, 2, 3, model, RENDER_MODE_PLAYER);
    expect_resting_state("draw_model");
    EXPECT_TRUE(is_black(read_pixel(320, 240)));
    ASSERT_EQ(deferred_face_count, 2);

    // The record is a snapshot of the call and of the posed face.
    const DeferredFace& record = deferred_faces[0];
    EXPECT_EQ(record.angle_z, 30.0f);
    EXPECT_EQ(record.x, 1.0f);
    EXPECT_EQ(record.y, 2.0f);
    EXPECT_EQ(record.z, 3.0f);
    EXPECT_EQ(record.corner[2][2], 1.0f);
    EXPECT_EQ(record.normal[0][1], -1.0f);
    EXPECT_EQ(record.uv[1][0], 0.25f);
    mesh.positions[2] = 55.0f;  // posed again before the sorted pass
    EXPECT_EQ(record.corner[0][2], -1.0f);

    deferred_face_count = 0;
    mesh.positions[2] = -1.0f;
    draw_model(0, 0, 0, 0, 0, 0, model, RENDER_MODE_PLAYER);
    draw_deferred_faces();
    expect_resting_state("draw_deferred_faces");
    const Pixel p = read_pixel(320, 240);
    EXPECT_GT(p.b, 40);  // slot 18's blue, lit
    EXPECT_LT(p.r, 8);
}

TEST_F(ModelRenderer, BlendedClassesAreAddedUnlitAndWriteNoDepth) {
    textures[SLOT_PLAYER_BASE] = static_cast<int32_t>(make_texture(MID_GREEN));
    textures[SLOT_ARENA_BASE] = static_cast<int32_t>(make_texture(RED));
    TestMesh glow;
    glow.add_facing(0, 0, 0, 1, 4);
    glow.add_facing(0, 0, 0, 1, 5);
    Model* glow_model = glow.finish();

    draw_model(0, 0, 0, 0, 0, 0, glow_model, RENDER_MODE_PLAYER);
    expect_resting_state("draw_model");
    EXPECT_EQ(deferred_face_count, 0);
    // Two unlit additions of 0.5 green onto black: 0.5, then 0.5 + 0.5 * 0.5.
    // A main-pass draw, lit, would have added more.
    const Pixel p = read_pixel(320, 240);
    EXPECT_NEAR(p.g, 191, 10);
    EXPECT_LT(p.r, 8);

    // A face behind the glow, drawn afterwards, is not hidden by it.
    TestMesh wall;
    wall.add_facing(0, 5, 0, 3);
    draw_model(0, 0, 0, 0, 0, 0, wall.finish(), RENDER_MODE_ARENA);
    EXPECT_GT(read_pixel(320, 240).r, 40);
}

TEST_F(ModelRenderer, TextureSlotsFollowModeOffsetAndLightPreset) {
    textures[SLOT_PLAYER_BASE] = static_cast<int32_t>(make_texture(RED));
    textures[SLOT_SKY_DAWN] = static_cast<int32_t>(make_texture(GREEN));
    textures[SLOT_SKY_SUNSET] = static_cast<int32_t>(make_texture(BLUE));
    textures[SLOT_SKY_DAWN + 3] = static_cast<int32_t>(make_texture(YELLOW));
    TestMesh mesh;
    mesh.add_facing(-2, 0, 0, 1, 0, 3);  // left: offset 3
    mesh.add_facing(2, 0, 0, 1, 0, 0);   // right: back to the base slot
    Model* model = mesh.finish();
    const ScreenPoint left = screen_of(-2, 0, 0), right = screen_of(2, 0, 0);

    // The sky is unlit: the pixels are the texture colours.
    glColor3f(1, 1, 1);
    light_preset = 0;
    draw_model(0, 0, 0, 0, 0, 0, model, RENDER_MODE_SKY);
    expect_resting_state("draw_model sky");
    expect_colour(pixel_at(left), YELLOW, "dawn sky, offset 3");
    expect_colour(pixel_at(right), GREEN, "dawn sky, offset 0 after 3");

    // Sunset; and before the first round (-1) the base slot 0.
    for (int preset : {1, -1}) {
        clear_screen();
        light_preset = static_cast<int8_t>(preset);
        draw_model(0, 0, 0, 0, 0, 0, model, RENDER_MODE_SKY);
        expect_colour(pixel_at(right), preset == 1 ? BLUE : RED, preset == 1 ? "sunset sky" : "no preset");
    }
}

TEST_F(ModelRenderer, MissingTexturesAndSlotsOutsideTheTableBindNoTexture) {
    textures[SLOT_SKY_DAWN] = -1;  // failed to load
    textures[SLOT_ITEM_BOX] = static_cast<int32_t>(make_texture(RED));
    TestMesh mesh;
    mesh.add_facing(-2, 0, 0, 1, 0, 0);
    mesh.add_facing(2, 0, 0, 1, 0, 40);  // 11 + 40 is past the table
    Model* model = mesh.finish();
    glColor3f(1, 1, 1);
    light_preset = 0;
    draw_model(0, 0, 0, 0, 0, 0, model, RENDER_MODE_SKY);
    expect_colour(pixel_at(screen_of(-2, 0, 0)), WHITE, "slot holding -1");
    expect_colour(pixel_at(screen_of(2, 0, 0)), WHITE, "slot 51");
    expect_resting_state("draw_model");

    // 24 + 1: one past the end of the table, in a tested, lit mode.
    TestMesh box;
    box.add_facing(0, 0, 0, 1, 0, 1);
    clear_screen();
    draw_model(0, 0, 0, 0, 0, 0, box.finish(), RENDER_MODE_ITEM_BOX);
    const Pixel p = read_pixel(320, 240);
    EXPECT_FALSE(is_black(p));
    EXPECT_NEAR(p.r, p.g, 9);  // untextured grey-white, not the red of slot 24

    draw_model(0, 0, 0, 0, 0, 0, nullptr, RENDER_MODE_ARENA);  // nothing to draw
    expect_resting_state("draw_model without a model");
}

TEST_F(ModelRenderer, MoreDeferredFacesThanTheBufferHoldsAreDropped) {
    enum { GUARD_RECORDS = 16, FACES = DEFERRED_FACE_CAPACITY + 300 };
    DeferredFace* const saved = deferred_faces;
    std::vector<DeferredFace> buffer(DEFERRED_FACE_CAPACITY + GUARD_RECORDS);
    std::memset(static_cast<void*>(buffer.data()), 0xab, buffer.size() * sizeof(DeferredFace));
    deferred_faces = buffer.data();

    TestMesh mesh;
    mesh.add_facing(0, 0, 0, 1, 2);
    for (int i = 1; i < FACES; i++) mesh.faces.push_back(mesh.faces[0]);
    Model* model = mesh.finish();
    draw_model(0, 0, 0, 0, 0, 0, model, RENDER_MODE_ARENA);
    draw_model(0, 0, 0, 0, 0, 0, model, RENDER_MODE_ARENA);
    EXPECT_EQ(deferred_face_count, DEFERRED_FACE_CAPACITY);
    const unsigned char* guard = reinterpret_cast<const unsigned char*>(buffer.data() + DEFERRED_FACE_CAPACITY);
    for (size_t i = 0; i < GUARD_RECORDS * sizeof(DeferredFace); i++) ASSERT_EQ(guard[i], 0xab) << i;
    draw_deferred_faces();
    expect_resting_state("draw_deferred_faces, full buffer");

    deferred_faces = saved;
    deferred_face_count = 0;
}

}  // namespace
