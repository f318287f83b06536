// The depth-sorted pass: bucket keys from the camera depth, the order of
// drawing, and the faces it must drop.
#include "render_fixtures.h"

#include <cmath>
#include <set>

namespace {

using DeferredFaces = RenderTest;

// A record facing the camera at (0, -10, 0), mean depth `depth`, around x.
void put_record(int index, float depth, float x = 0, float u = 0.25f) {
    DeferredFace& r = deferred_faces[index];
    r = DeferredFace{};
    const float y = depth - 10.0f;
    const float corners[3][3] = {{x - 1, y, -1}, {x + 1, y, -1}, {x, y, 1}};
    for (int k = 0; k < 3; k++) {
        for (int a = 0; a < 3; a++) r.corner[k][a] = corners[k][a];
        r.normal[k][1] = -1;
        r.uv[k][0] = u;
        r.uv[k][1] = 0.25f;
    }
}

std::set<int> faces_in_buckets() {
    std::set<int> found;
    for (int b = 0; b < DEPTH_BUCKET_COUNT; b++) {
        for (int i = depth_buckets[b]; i != -1; i = deferred_faces[i].next) found.insert(i);
    }
    return found;
}

TEST_F(DeferredFaces, KeysAreTenTimesTheMeanDepthAndBadKeysAreDropped) {
    put_record(0, 2.05f);     // bucket 20
    put_record(1, 3.05f);     // bucket 30
    put_record(2, 2.05f);     // bucket 20, set aside after record 0
    put_record(3, -2.0f);     // behind the camera
    put_record(4, 5000.0f);   // key 50000: past the last bucket
    put_record(5, 2.0f);
    deferred_faces[5].corner[1][0] = std::nanf("");
    put_record(6, -0.05f);    // key -0.5 truncates to bucket 0
    put_record(7, 4999.95f);  // the last bucket
    put_record(8, 1e30f);     // far past any integer key
    put_record(9, 2.0f);
    deferred_faces[9].corner[0][1] = INFINITY;
    deferred_face_count = 10;

    draw_deferred_faces();
    expect_resting_state("draw_deferred_faces");
    EXPECT_EQ(depth_buckets[20], 2);
    EXPECT_EQ(deferred_faces[2].next, 0);
    EXPECT_EQ(deferred_faces[0].next, -1);
    EXPECT_EQ(depth_buckets[30], 1);
    EXPECT_EQ(depth_buckets[0], 6);
    EXPECT_EQ(depth_buckets[49999], 7);
    EXPECT_EQ(faces_in_buckets(), (std::set<int>{0, 1, 2, 6, 7}));
    EXPECT_NEAR(deferred_faces[1].view_corner[2][2], 3.05f, 1e-4f);
    EXPECT_NEAR(deferred_faces[1].view_corner[2][1], 1.0f, 1e-4f);  // up
    EXPECT_NEAR(deferred_faces[1].view_corner[1][0], 1.0f, 1e-4f);  // right

    // A frame without deferred faces still empties every bucket.
    deferred_face_count = 0;
    draw_deferred_faces();
    EXPECT_TRUE(faces_in_buckets().empty());
    expect_resting_state("draw_deferred_faces, no faces");
}

TEST_F(DeferredFaces, DepthComesFromTheRecordsTransform) {
    // Model coordinates 5 units to the side, turned a quarter about z and
    // moved back: the face ends up 20.05 units in front of the camera.
    put_record(0, 10.05f);
    DeferredFace& r = deferred_faces[0];
    for (int k = 0; k < 3; k++) {
        const float x = r.corner[k][0], y = r.corner[k][1];
        r.corner[k][0] = y;  // turning by +90 degrees about z maps (y, -x) back to (x, y)
        r.corner[k][1] = -x;
    }
    r.angle_z = 90;
    r.y = 10;
    deferred_face_count = 1;
    draw_deferred_faces();
    EXPECT_EQ(depth_buckets[200], 0);
}

TEST_F(DeferredFaces, FarFacesFirstAndWithinABucketTheLatestFirst) {
    // Slot 18: red on the left of the texture, blue on the right.
    textures[SLOT_DEFERRED_FACES] = static_cast<int32_t>(make_split_texture(RED, BLUE));
    // With every depth test passing, the face drawn last is the one seen.
    glDepthFunc(GL_ALWAYS);

    put_record(0, 5.0f, -1, 0.25f);   // near, red
    put_record(1, 20.0f, -4, 0.75f);  // far, blue, behind it on screen
    put_record(2, 8.0f, 2, 0.25f);    // same key, set aside first: red
    put_record(3, 8.0f, 2, 0.75f);    // same key, set aside last: blue
    deferred_face_count = 4;
    draw_deferred_faces();
    glDepthFunc(GL_LESS);

    const Pixel left = pixel_at(screen_of(-1, -5, 0));
    EXPECT_GT(left.r, 40);  // the near face came last
    EXPECT_LT(left.b, 8);
    const Pixel right = pixel_at(screen_of(2, -2, 0));
    EXPECT_GT(right.r, 40);  // the face set aside first came last
    EXPECT_LT(right.b, 8);
    expect_resting_state("draw_deferred_faces");
}

}  // namespace
