// The EMD model loader and the vertex-normal pass, on files built byte by
// byte here. The sizes are written out rather than taken from
// assets/file_layouts.h, so a wrong number there is caught by these tests.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "asset_files.h"
#include "assets/assets.h"

namespace {

struct TestVertex {
    float x, y, z;
    int bone = -1;
    unsigned second_bone = 0;
    unsigned extra = 0;
};

struct TestFace {
    unsigned a, b, c;
    unsigned render_class = 0;
    unsigned texture_offset = 0;
    unsigned double_sided = 0;
};

// A whole EMD file. The skipped sections are filled with 0xEE so a loader
// that skips the wrong amount reads nonsense counts.
Bytes emd_bytes(int long_records, int short_records, const std::vector<TestVertex>& vertices,
                const std::vector<TestFace>& faces) {
    Bytes bytes;
    bytes.fill(5, 0xEE).u8(long_records).fill((long_records + 1) * 256, 0xEE);
    bytes.u16(short_records).fill(short_records * 20, 0xEE);
    bytes.u16(vertices.size());
    for (const TestVertex& v : vertices) {
        bytes.u16(v.second_bone).s16(v.bone).f32(v.x).f32(v.y).f32(v.z).u16(v.extra);
    }
    bytes.u16(faces.size());
    for (size_t i = 0; i < faces.size(); i++) {
        const TestFace& f = faces[i];
        bytes.u8(0xA1).u8(f.double_sided).u16(0xB2B3).u8(0xC4);
        bytes.u16(f.a).u16(f.b).u16(f.c);
        bytes.u8(f.render_class).u16(f.texture_offset).u16(0xD5D6);
        for (int corner = 0; corner < 3; corner++) {
            float base = static_cast<float>(i * 100 + corner * 10);
            bytes.f32(base + 1).f32(base + 2).f32(base + 3).f32(base + 4);
        }
    }
    return bytes;
}

LoadedModel load_bytes(const char* name, const Bytes& bytes) {
    ensure_allegro();
    return LoadedModel(load_model(write_test_file(name, bytes).c_str()));
}

void compute_all_normals(const LoadedModel& model) {
    for (int v = 0; v < model->vertex_count; v++) compute_vertex_normal(v, model.get());
}

void expect_rest_normal(const LoadedModel& model, int vertex, float x, float y, float z) {
    SCOPED_TRACE(testing::Message() << "vertex " << vertex);
    EXPECT_NEAR(model->rest_normals[vertex * 3 + 0], x, 1e-6);
    EXPECT_NEAR(model->rest_normals[vertex * 3 + 1], y, 1e-6);
    EXPECT_NEAR(model->rest_normals[vertex * 3 + 2], z, 1e-6);
}

const std::vector<TestVertex> TRIANGLE_AND_SPARE = {
    {0, 0, 0, 3, 7, 11},
    {1, 0, 0, -1, 8, 12},
    {0, 1, 0, 254, 9, 13},
    {5, 5, 5},  // used by no face
};

}  // namespace

TEST(ModelLoader, SkipsTheUninterpretedSectionsForAnyCounts) {
    const int counts[][2] = {{0, 0}, {0, 7}, {3, 0}, {255, 2}};
    for (const auto& count : counts) {
        SCOPED_TRACE(testing::Message() << "N " << count[0] << ", M " << count[1]);
        TestFace face{0, 1, 2, 4, 9, 1};
        LoadedModel model = load_bytes("skip.emd", emd_bytes(count[0], count[1], TRIANGLE_AND_SPARE, {face}));
        ASSERT_NE(model, nullptr);
        ASSERT_EQ(model->vertex_count, 4);
        ASSERT_EQ(model->face_count, 1);
        EXPECT_EQ(model->bone_index[0], 3);
        EXPECT_EQ(model->bone_index[1], -1);
        EXPECT_EQ(model->bone_index[2], 254);
        EXPECT_EQ(model->second_bone_index[1], 8);
        EXPECT_EQ(model->vertex_extra[2], 13);
        EXPECT_EQ(model->rest_positions[3 * 3 + 1], 5.0f);
        EXPECT_EQ(model->rest_positions[1 * 3 + 0], 1.0f);

        const Face& f = model->faces[0];
        EXPECT_EQ(f.reserved_a, 0xA1);
        EXPECT_EQ(f.double_sided, 1);
        EXPECT_EQ(f.reserved_b, 0xB2B3);
        EXPECT_EQ(f.reserved_c, 0xC4);
        EXPECT_EQ(f.vertex[0], 0);
        EXPECT_EQ(f.vertex[1], 1);
        EXPECT_EQ(f.vertex[2], 2);
        EXPECT_EQ(f.render_class, 4);
        EXPECT_EQ(f.texture_offset, 9);
        EXPECT_EQ(f.reserved_d, 0xD5D6);
        EXPECT_EQ(f.uv[2][0], 21.0f);
        EXPECT_EQ(f.uv[2][1], 22.0f);
        EXPECT_EQ(f.uv2[2][0], 23.0f);
        EXPECT_EQ(f.uv2[2][1], 24.0f);
        for (int i = 0; i < 4 * 3; i++) EXPECT_EQ(model->rest_normals[i], 0.0f);
        EXPECT_GE(model->adjacent_capacity, 100);
    }
}

TEST(ModelLoader, LoadsAnEmptyModel) {
    LoadedModel model = load_bytes("empty.emd", emd_bytes(0, 0, {}, {}));
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->vertex_count, 0);
    EXPECT_EQ(model->face_count, 0);
    copy_rest_pose(model.get());
}

TEST(ModelLoader, RefusesMissingFilesAndPosingOrFreeingNothingIsHarmless) {
    ensure_allegro();
    EXPECT_EQ(load_model("/nonexistent/none.emd"), nullptr);
    copy_rest_pose(nullptr);  // a model that failed to load is skipped each tick
    free_model(nullptr);
}

TEST(ModelLoader, RefusesAFileCutShortAnywhere) {
    std::vector<TestFace> faces = {{0, 1, 2}, {2, 1, 0}};
    Bytes whole = emd_bytes(1, 2, TRIANGLE_AND_SPARE, faces);
    for (size_t length = 0; length < whole.data.size(); length++) {
        LoadedModel model = load_bytes("cut.emd", whole.first(length));
        EXPECT_EQ(model, nullptr) << "cut to " << length << " of " << whole.data.size() << " bytes";
    }
    LoadedModel model = load_bytes("cut.emd", whole);
    EXPECT_NE(model, nullptr);
}

TEST(ModelLoader, RefusesACornerOutsideTheVertexTable) {
    for (int corner = 0; corner < 3; corner++) {
        TestFace face{0, 1, 2};
        (corner == 0 ? face.a : corner == 1 ? face.b : face.c) = 4;
        EXPECT_EQ(load_bytes("corner.emd", emd_bytes(0, 0, TRIANGLE_AND_SPARE, {face})), nullptr);
    }
    LoadedModel model = load_bytes("corner.emd", emd_bytes(0, 0, TRIANGLE_AND_SPARE, {{3, 1, 2}}));
    EXPECT_NE(model, nullptr);
}

// A lone triangle, wherever it stands and whichever way it faces, gives its
// corners the normal of its counter-clockwise side; a vertex no face uses
// stays zero.
TEST(VertexNormals, ALoneTriangleGivesItsCornersItsFrontSidesNormal) {
    struct Lone {
        std::vector<TestVertex> corners;
        float nx, ny, nz;
    };
    const Lone lones[] = {
        {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, 0, 0, 1},
        {{{3, 5, 7}, {4, 5, 7}, {3, 6, 7}}, 0, 0, 1},
        {{{0, 2, 1}, {0, 3, 1}, {0, 2, 2}}, 1, 0, 0},
        {{{0, 4, 0}, {0, 4, 1}, {1, 4, 0}}, 0, 1, 0},
    };
    for (const Lone& lone : lones) {
        std::vector<TestVertex> vertices = lone.corners;
        vertices.push_back({5, 5, 5});
        LoadedModel model = load_bytes("triangle.emd", emd_bytes(0, 0, vertices, {{0, 1, 2}}));
        ASSERT_NE(model, nullptr);
        compute_all_normals(model);
        for (int v = 0; v < 3; v++) expect_rest_normal(model, v, lone.nx, lone.ny, lone.nz);
        expect_rest_normal(model, 3, 0, 0, 0);
    }
}

TEST(VertexNormals, SharedCornersLeanTowardTheLargerFace) {
    // A floor triangle of area 2 (normal +z) and a wall triangle of area 1
    // (normal -y) folded along the edge from vertex 0 to vertex 1.
    std::vector<TestVertex> vertices = {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {0, 0, -1}};
    std::vector<TestFace> faces = {{0, 1, 2}, {1, 0, 3}};
    LoadedModel model = load_bytes("fold.emd", emd_bytes(0, 0, vertices, faces));
    ASSERT_NE(model, nullptr);
    compute_all_normals(model);
    const float s = 1 / std::sqrt(5.0f);
    expect_rest_normal(model, 0, 0, -1 * s, 2 * s);
    expect_rest_normal(model, 1, 0, -1 * s, 2 * s);
    expect_rest_normal(model, 2, 0, 0, 1);
    expect_rest_normal(model, 3, 0, -1, 0);
}

TEST(VertexNormals, FacesThatCancelOutLeaveAZeroNormal) {
    // The same triangle both ways round, and a triangle squashed to a line.
    std::vector<TestVertex> vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}};
    std::vector<TestFace> faces = {{0, 1, 2}, {2, 1, 0}, {3, 4, 5}};
    LoadedModel model = load_bytes("cancel.emd", emd_bytes(0, 0, vertices, faces));
    ASSERT_NE(model, nullptr);
    compute_all_normals(model);
    for (int v = 0; v < 6; v++) expect_rest_normal(model, v, 0, 0, 0);
}

TEST(VertexNormals, AVertexAmidMoreThanAHundredFacesIsHandled) {
    // A fan of 300 triangles around vertex 0, plus three faces naming vertex
    // 0 twice, in each pair of corners, which count once each: the lists are
    // as long as the most faces around one vertex.
    const int spokes = 300;
    std::vector<TestVertex> vertices = {{0, 0, 0}};
    std::vector<TestFace> faces;
    for (int i = 0; i < spokes; i++) {
        float angle = 2 * 3.14159265f * i / spokes;
        vertices.push_back({std::cos(angle), std::sin(angle), 0});
        faces.push_back({0, static_cast<unsigned>(1 + i), static_cast<unsigned>(1 + (i + 1) % spokes)});
    }
    faces.insert(faces.end(), {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}});
    LoadedModel model = load_bytes("fan.emd", emd_bytes(0, 0, vertices, faces));
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->adjacent_capacity, spokes + 3);
    compute_all_normals(model);
    expect_rest_normal(model, 0, 0, 0, 1);
    expect_rest_normal(model, 1, 0, 0, 1);
}

TEST(CopyRestPose, RestoresThePosedArraysOfOneModelOnly) {
    Bytes bytes = emd_bytes(0, 0, TRIANGLE_AND_SPARE, {{0, 1, 2}});
    LoadedModel model = load_bytes("pose.emd", bytes);
    LoadedModel other = load_bytes("pose.emd", bytes);
    ASSERT_NE(model, nullptr);
    ASSERT_NE(other, nullptr);
    compute_all_normals(model);
    compute_all_normals(other);
    copy_rest_pose(other.get());
    for (int i = 0; i < 4 * 3; i++) {
        model->posed_positions[i] = 99.0f + i;
        model->posed_normals[i] = -7.0f;
    }
    for (int i = 0; i < 4 * 3; i++) EXPECT_EQ(other->posed_positions[i], other->rest_positions[i]);
    copy_rest_pose(model.get());
    for (int i = 0; i < 4 * 3; i++) {
        EXPECT_EQ(model->posed_positions[i], model->rest_positions[i]);
        EXPECT_EQ(model->posed_normals[i], model->rest_normals[i]);
    }
    EXPECT_EQ(model->posed_normals[2], 1.0f);
}
