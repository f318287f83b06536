// The ESQ skeleton loader, on files built byte by byte here. The sizes are
// written out rather than taken from assets/file_layouts.h, so a wrong number
// there is caught by these tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "asset_files.h"
#include "assets/assets.h"

namespace {

struct TestBone {
    float x, y, z;
    int parent;
};

// A key value that tells bone, keyframe, field (0 translation, 1 scale,
// 2 rotation) and axis apart; exact in a float.
float key_value(int bone, int key, int field, int axis) {
    return static_cast<float>(bone * 10000 + key * 10 + field * 3 + axis);
}

Bytes esq_bytes(int count, const std::vector<TestBone>& bones) {
    Bytes bytes;
    bytes.fill(5, 0xEE).s16(count);
    for (const TestBone& bone : bones) bytes.f32(bone.x).f32(bone.y).f32(bone.z).s16(bone.parent);
    for (size_t b = 0; b < bones.size(); b++) {
        for (int k = 0; k < SKELETON_KEYFRAMES; k++) {
            for (int field = 0; field < 3; field++) {
                for (int axis = 0; axis < 3; axis++) bytes.f32(key_value(b, k, field, axis));
            }
        }
    }
    return bytes;
}

Bytes esq_bytes(const std::vector<TestBone>& bones) {
    return esq_bytes(static_cast<int>(bones.size()), bones);
}

LoadedSkeleton load_bytes(const char* name, const Bytes& bytes) {
    ensure_allegro();
    return LoadedSkeleton(load_skeleton(write_test_file(name, bytes).c_str()));
}

void expect_keys_of(const LoadedSkeleton& skeleton, int b, int key) {
    SCOPED_TRACE(testing::Message() << "bone " << b << ", key " << key);
    const Bone& bone = skeleton->bones[b];
    for (int axis = 0; axis < 3; axis++) {
        EXPECT_EQ(bone.translation_keys[key][axis], key_value(b, key, 0, axis));
        EXPECT_EQ(bone.scale_keys[key][axis], key_value(b, key, 1, axis));
        EXPECT_EQ(bone.rotation_keys[key][axis], key_value(b, key, 2, axis));
    }
}

bool is_all_zero(const Bone& bone) {
    static const Bone zero = {};
    return std::memcmp(&bone, &zero, sizeof(Bone)) == 0;
}

}  // namespace

TEST(SkeletonLoader, OneRootBoneFromA9237ByteFile) {
    Bytes bytes = esq_bytes({{1.5f, -2, 3, -1}});
    ASSERT_EQ(bytes.data.size(), 9237u);
    LoadedSkeleton skeleton = load_bytes("one.esq", bytes);
    ASSERT_NE(skeleton, nullptr);
    EXPECT_EQ(skeleton->bone_count, 1);
    EXPECT_EQ(skeleton->bones[0].parent, -1);
    EXPECT_EQ(skeleton->bones[0].pivot[0], 1.5f);
    EXPECT_EQ(skeleton->bones[0].pivot[1], -2.0f);
    EXPECT_EQ(skeleton->bones[0].pivot[2], 3.0f);
    expect_keys_of(skeleton, 0, 0);
    expect_keys_of(skeleton, 0, 255);
    // Playback starts at keyframe 0 with nothing requested.
    EXPECT_EQ(skeleton->step_duration, 0.0f);
    EXPECT_EQ(skeleton->blend, 0.0f);
    EXPECT_EQ(skeleton->from_key, 0);
    EXPECT_EQ(skeleton->to_key, 0);
    EXPECT_EQ(skeleton->applied_state, 0);
    EXPECT_EQ(skeleton->requested_state, 0);
    for (int b = 1; b < SKELETON_MAX_BONES; b++) EXPECT_TRUE(is_all_zero(skeleton->bones[b])) << b;
}

TEST(SkeletonLoader, ReadsEveryBoneUpToTheLastKeyframeOfTheLastBone) {
    std::vector<TestBone> bones = {{0, 0, 1, -1}, {0, 0, 2, 0}, {1, 0, 2, 1}, {-1, 0, 2, 1}, {0, 0, 0, -3}};
    Bytes bytes = esq_bytes(bones);
    ASSERT_EQ(bytes.data.size(), 7u + 9230u * bones.size());
    LoadedSkeleton skeleton = load_bytes("five.esq", bytes);
    ASSERT_NE(skeleton, nullptr);
    ASSERT_EQ(skeleton->bone_count, 5);
    for (int b = 0; b < 5; b++) {
        EXPECT_EQ(skeleton->bones[b].parent, bones[b].parent);
        EXPECT_EQ(skeleton->bones[b].pivot[0], bones[b].x);
        EXPECT_EQ(skeleton->bones[b].pivot[2], bones[b].z);
        expect_keys_of(skeleton, b, 7);
    }
    expect_keys_of(skeleton, 4, 255);
    for (int b = 5; b < SKELETON_MAX_BONES; b++) EXPECT_TRUE(is_all_zero(skeleton->bones[b])) << b;
}

TEST(SkeletonLoader, ACountOfZeroOrLessGivesASkeletonWithoutBones) {
    for (int count : {0, -1, -300}) {
        LoadedSkeleton skeleton = load_bytes("none.esq", esq_bytes(count, {}));
        ASSERT_NE(skeleton, nullptr) << count;
        EXPECT_EQ(skeleton->bone_count, 0);
        EXPECT_TRUE(is_all_zero(skeleton->bones[0]));
    }
}

TEST(SkeletonLoader, RefusesMissingAndTruncatedFiles) {
    ensure_allegro();
    EXPECT_EQ(load_skeleton("/nonexistent/none.esq"), nullptr);
    free_skeleton(nullptr);

    Bytes whole = esq_bytes({{0, 0, 0, -1}, {0, 0, 1, 0}});
    const size_t cuts[] = {0, 4, 5, 6, 7, 7 + 13, 7 + 14, 7 + 27, 7 + 28, 7 + 28 + 36 * 100 + 5,
                           7 + 28 + 9216, 7 + 28 + 9216 * 2 - 1};
    for (size_t length : cuts) {
        EXPECT_EQ(load_bytes("cut.esq", whole.first(length)), nullptr) << "cut to " << length;
    }
}

TEST(SkeletonLoader, RefusesMoreBonesThanTheRecordHolds) {
    std::vector<TestBone> bones(SKELETON_MAX_BONES, TestBone{0, 0, 0, -1});
    LoadedSkeleton skeleton = load_bytes("full.esq", esq_bytes(bones));
    ASSERT_NE(skeleton, nullptr);
    EXPECT_EQ(skeleton->bone_count, SKELETON_MAX_BONES);
    expect_keys_of(skeleton, SKELETON_MAX_BONES - 1, 255);

    bones.push_back(TestBone{0, 0, 0, -1});
    EXPECT_EQ(load_bytes("over.esq", esq_bytes(bones)), nullptr);
}

TEST(SkeletonLoader, RefusesAParentThatDoesNotComeBeforeItsBone) {
    EXPECT_EQ(load_bytes("self.esq", esq_bytes({{0, 0, 0, -1}, {0, 0, 0, 1}})), nullptr);
    EXPECT_EQ(load_bytes("later.esq", esq_bytes({{0, 0, 0, -1}, {0, 0, 0, 2}, {0, 0, 0, 0}})), nullptr);
    EXPECT_EQ(load_bytes("root.esq", esq_bytes({{0, 0, 0, 0}})), nullptr);
}

TEST(SkeletonLoader, TwoLoadsOfOneFileAreIndependent) {
    Bytes bytes = esq_bytes({{0, 0, 1, -1}, {0, 0, 2, 0}});
    LoadedSkeleton first = load_bytes("twice.esq", bytes);
    LoadedSkeleton second = load_bytes("twice.esq", bytes);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    first->from_key = 8;
    first->to_key = 9;
    first->blend = 0.5f;
    first->requested_state = 3;
    first->bones[1].rotation_keys[0][2] = 64;
    EXPECT_EQ(second->from_key, 0);
    EXPECT_EQ(second->to_key, 0);
    EXPECT_EQ(second->blend, 0.0f);
    EXPECT_EQ(second->requested_state, 0);
    expect_keys_of(second, 1, 0);
}

TEST(SkeletonLoader, ABlockLoadedAgainIsAFreshSkeleton) {
    ensure_allegro();
    Skeleton* block = static_cast<Skeleton*>(std::calloc(1, sizeof(Skeleton)));
    ASSERT_NE(block, nullptr);
    std::vector<TestBone> five(5, TestBone{1, 2, 3, -1});
    ASSERT_TRUE(load_skeleton_into(write_test_file("five.esq", esq_bytes(five)).c_str(), block));
    // Posed since: the clip state and the matrices of the bones in use.
    block->from_key = 8;
    block->blend = 0.5f;
    block->requested_state = 3;
    for (int b = 0; b < 5; b++) block->bones[b].world.v[0][0] = 2;
    // Refused while reading the keys of its eighth bone, after writing seven.
    std::vector<TestBone> eight(8, TestBone{4, 5, 6, -1});
    Bytes cut = esq_bytes(eight);
    cut = cut.first(cut.data.size() - 100);
    EXPECT_FALSE(load_skeleton_into(write_test_file("cut.esq", cut).c_str(), block));

    const std::string one = write_test_file("one.esq", esq_bytes({{1.5f, -2, 3, -1}}));
    ASSERT_TRUE(load_skeleton_into(one.c_str(), block));
    const LoadedSkeleton fresh(load_skeleton(one.c_str()));
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(std::memcmp(block, fresh.get(), sizeof(Skeleton)), 0);
    std::free(block);
}
