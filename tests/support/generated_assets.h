// The asset files the build generates into its datos/ folder before any test
// runs, for the tests that check them: each test reads them there instead of
// writing them again, meshes and skeletons with the game's own loaders.
#pragma once

#include <gtest/gtest.h>

#include <allegro.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "assets/assets.h"
#include "support/asset_reader.h"

inline std::string generated_asset(const std::string& name) {
    return std::string(SUNDOWN_BUILD_DIR) + "/datos/" + name;
}

class GeneratedAssetTest : public testing::Test {
protected:
    void SetUp() override {
        // A set that is not there is a broken build, not a reason to skip.
        ASSERT_TRUE(std::filesystem::exists(generated_asset(".complete")))
            << "datos/ has not been generated; build the datos target";
    }
    static std::string path(const std::string& name) { return generated_asset(name); }
};

// A RAW picture, checked to be exactly as long as its header promises; no
// pixels (0 by 0) when it is missing or is not.
inline RawImage read_picture(const std::string& path) {
    const std::vector<uint8_t> bytes = read_file(path);
    if (bytes.size() < RAW_HEADER_BYTES) {
        ADD_FAILURE() << path << " missing";
        return RawImage();
    }
    RawImage raw = parse_raw(bytes);
    EXPECT_EQ(bytes.size(), raw.expected_size) << path;
    return bytes.size() == raw.expected_size ? raw : RawImage();
}

struct LoadedFree {
    void operator()(Model* model) const { free_model(model); }
    void operator()(Skeleton* skeleton) const { free_skeleton(skeleton); }
};
using LoadedModel = std::unique_ptr<Model, LoadedFree>;
using LoadedSkeleton = std::unique_ptr<Skeleton, LoadedFree>;

// pack_fopen, under every loader, crashes before Allegro is started; tests
// without a display start it with no system driver. True once it runs.
inline bool ensure_allegro() {
    if (!system_driver) install_allegro(SYSTEM_NONE, &errno, atexit);
    return system_driver != nullptr;
}

inline LoadedModel load_generated_model(const std::string& path) {
    ensure_allegro();
    return LoadedModel(load_model(path.c_str()));
}

inline LoadedSkeleton load_generated_skeleton(const std::string& path) {
    ensure_allegro();
    return LoadedSkeleton(load_skeleton(path.c_str()));
}

struct AssetPoint {
    float x, y, z;
};

struct MeshVertex {
    int bone;  // -1 for none
    AssetPoint p;
};

struct Mesh {
    std::vector<MeshVertex> vertices;
    std::vector<Face> faces;
};

// A mesh as the game loads it, which refuses a file shorter than its counts
// promise or naming a corner outside its vertices; a longer file fails here.
// Empty when either refuses it.
inline Mesh read_mesh(const std::string& path) {
    Mesh mesh;
    const std::vector<uint8_t> bytes = read_file(path);
    const LoadedModel model = load_generated_model(path);
    if (!model) {
        ADD_FAILURE() << path << " is refused";
        return mesh;
    }
    const size_t long_records = bytes[EMD_HEADER_BYTES] + 1u;
    const size_t short_count_at = EMD_HEADER_BYTES + EMD_LONG_COUNT_BYTES + EMD_LONG_RECORD_BYTES * long_records;
    const size_t short_records = le16_at(&bytes[short_count_at]);
    const size_t promised = short_count_at + EMD_COUNT_BYTES + EMD_SHORT_RECORD_BYTES * short_records +
                            EMD_COUNT_BYTES + EMD_VERTEX_BYTES * size_t{model->vertex_count} + EMD_COUNT_BYTES +
                            EMD_FACE_BYTES * size_t{model->face_count};
    if (bytes.size() != promised) {
        ADD_FAILURE() << path << " is " << bytes.size() << " bytes, its counts promise " << promised;
        return mesh;
    }
    for (int v = 0; v < model->vertex_count; v++) {
        const float* p = &model->rest_positions[3 * v];
        mesh.vertices.push_back(MeshVertex{model->bone_index[v], AssetPoint{p[0], p[1], p[2]}});
    }
    mesh.faces.assign(model->faces, model->faces + model->face_count);
    return mesh;
}
