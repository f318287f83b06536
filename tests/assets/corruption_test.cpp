// Damaged asset files: random bytes changed in the generated files must be
// either refused or loaded into records the game can pose and free, never
// read or written out of bounds (this suite also runs under AddressSanitizer).
#include <gtest/gtest.h>

#include <random>

#include "anim/anim.h"
#include "asset_files.h"
#include "assets/assets.h"

namespace {

const int MUTATIONS_PER_FILE = 60;
const int BYTES_CHANGED_PER_MUTATION = 8;

const size_t HEADER_BYTES = 1024;  // counts and the first records live here

// Every other damage lands near the start, where the counts are.
Bytes mutate(const Bytes& original, std::mt19937& random) {
    Bytes damaged = original;
    const size_t span = (random() % 2 == 0 && damaged.data.size() > HEADER_BYTES) ? HEADER_BYTES : damaged.data.size();
    std::uniform_int_distribution<size_t> where(0, span - 1);
    std::uniform_int_distribution<int> value(0, 255);
    for (int i = 0; i < BYTES_CHANGED_PER_MUTATION; i++) damaged.data[where(random)] = static_cast<uint8_t>(value(random));
    return damaged;
}

TEST(DamagedAssets, ModelsAreRefusedOrPosedSafely) {
    ensure_allegro();
    std::mt19937 random(1234);
    for (const char* name : {"datos/hombre.emd", "datos/armamento.emd", "datos/disparo.emd"}) {
        SCOPED_TRACE(name);
        Bytes original = read_bytes(name);
        ASSERT_FALSE(original.data.empty()) << "the build writes datos/ before the tests";
        for (int m = 0; m < MUTATIONS_PER_FILE; m++) {
            std::string path = write_test_file("damaged.emd", mutate(original, random));
            Model* model = load_model(path.c_str());
            if (!model) continue;
            for (int v = 0; v < model->vertex_count; v++) compute_vertex_normal(v, model);
            copy_rest_pose(model);
            for (int f = 0; f < model->face_count; f++) {
                for (int k = 0; k < 3; k++) ASSERT_LT(model->faces[f].vertex[k], model->vertex_count);
            }
            free_model(model);
        }
    }
}

TEST(DamagedAssets, SkeletonsAreRefusedOrAnimateSafely) {
    ensure_allegro();
    std::mt19937 random(99);
    Model* figure = load_model("datos/hombre.emd");
    ASSERT_NE(figure, nullptr);
    Bytes original = read_bytes("datos/hombre.esq");
    ASSERT_FALSE(original.data.empty());
    for (int m = 0; m < MUTATIONS_PER_FILE; m++) {
        std::string path = write_test_file("damaged.esq", mutate(original, random));
        Skeleton* skeleton = load_skeleton(path.c_str());
        if (!skeleton) continue;
        EXPECT_LE(skeleton->bone_count, SKELETON_MAX_BONES);
        for (int tick = 0; tick < 20; tick++) {
            skeleton->requested_state = tick / 5;
            update_animation(skeleton);
            skin_model(skeleton, figure);
        }
        free_skeleton(skeleton);
    }
    free_model(figure);
}

}  // namespace
