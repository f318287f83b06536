// Bone matrices and skinning: blending of keys, the order of the transforms
// about a bone's pivot, the hierarchy, and vertices without a usable bone.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "anim/anim.h"
#include "anim_fixtures.h"

namespace {

using SkeletonPtr = std::unique_ptr<Skeleton, SkeletonDeleter>;

void set_key(float (*keys)[3], int key, float x, float y, float z) {
    keys[key][0] = x;
    keys[key][1] = y;
    keys[key][2] = z;
}

void expect_point(const float* p, float x, float y, float z) {
    EXPECT_NEAR(p[0], x, 1e-4f);
    EXPECT_NEAR(p[1], y, 1e-4f);
    EXPECT_NEAR(p[2], z, 1e-4f);
}

bool same_matrix(const MATRIX_f& a, const MATRIX_f& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(Skinning, BlendEndsGiveExactlyTheKeyframes) {
    SkeletonPtr blended(make_skeleton(1));
    Bone& bone = blended->bones[0];
    bone.pivot[0] = 1, bone.pivot[1] = 2, bone.pivot[2] = 3;
    set_key(bone.translation_keys, 3, 1, 0, 0.5f);
    set_key(bone.rotation_keys, 3, 10, 0, 0);
    set_key(bone.scale_keys, 3, 1, 1, 1);
    set_key(bone.translation_keys, 4, 0, 2, 0);
    set_key(bone.rotation_keys, 4, 0, 20, 5);
    set_key(bone.scale_keys, 4, 1, 2, 1.5f);

    SkeletonPtr single(static_cast<Skeleton*>(std::malloc(sizeof(Skeleton))));
    std::memcpy(single.get(), blended.get(), sizeof(Skeleton));

    for (int end = 0; end < 2; end++) {
        blended->from_key = 3;
        blended->to_key = 4;
        blended->blend = static_cast<float>(end);
        compute_bone_matrices(blended.get());
        single->from_key = single->to_key = static_cast<int16_t>(3 + end);
        single->blend = 0.5f;
        compute_bone_matrices(single.get());
        EXPECT_TRUE(same_matrix(blended->bones[0].world, single->bones[0].world)) << "blend " << end;
        EXPECT_TRUE(same_matrix(blended->bones[0].normal_matrix, single->bones[0].normal_matrix));
    }
}

TEST(Skinning, IdentityKeysKeepTheRestPoseAndUnboundVerticesAreCopied) {
    SkeletonPtr s(make_skeleton(2));
    s->bones[0].pivot[0] = 3, s->bones[0].pivot[1] = -2, s->bones[0].pivot[2] = 7;
    s->bones[1].parent = 0;
    s->bones[1].pivot[0] = -1;
    s->from_key = 8, s->to_key = 9, s->blend = 0.3f;
    TestModel m(4);
    m.set_vertex(0, 0, 1.5f, 2.5f, -3.0f, 0, 1, 0);
    m.set_vertex(1, 1, -4, 0.25f, 9, 1, 0, 0);
    m.set_vertex(2, 255, 5, 6, 7, 0.6f, 0.8f, 0);
    m.set_vertex(3, -1, -5, -6, -7, 0, 0.6f, 0.8f);
    skin_model(s.get(), &m.model);
    for (int i = 0; i < 4; i++) {
        expect_point(m.posed(i), m.model.rest_positions[3 * i], m.model.rest_positions[3 * i + 1],
                     m.model.rest_positions[3 * i + 2]);
        expect_point(m.normal(i), m.model.rest_normals[3 * i], m.model.rest_normals[3 * i + 1],
                     m.model.rest_normals[3 * i + 2]);
    }
    // Unbound vertices are copied bit for bit.
    EXPECT_EQ(0, std::memcmp(m.posed(2), m.model.rest_positions + 6, 6 * sizeof(float)));
    EXPECT_EQ(0, std::memcmp(m.normal(2), m.model.rest_normals + 6, 6 * sizeof(float)));
}

TEST(Skinning, RotationBlendsAsPlainNumbersTheLongWayRound) {
    SkeletonPtr s(make_skeleton(1));
    set_key(s->bones[0].rotation_keys, 1, 0, 0, 250);
    set_key(s->bones[0].rotation_keys, 2, 0, 0, 10);
    s->from_key = 1, s->to_key = 2;
    TestModel m(1);
    m.set_vertex(0, 0, 1, 0, 0, 1, 0, 0);

    s->blend = 0.5f;  // 130 units: about half a turn, not 0
    skin_model(s.get(), &m.model);
    EXPECT_LT(m.posed(0)[0], -0.99f);
    EXPECT_LT(m.normal(0)[0], -0.99f);

    s->blend = 0.25f;  // 190 units: three quarters of a turn, not 254
    skin_model(s.get(), &m.model);
    EXPECT_NEAR(m.posed(0)[0], 0.0f, 0.06f);
    EXPECT_LT(m.posed(0)[1], -0.99f);
}

TEST(Skinning, RotationTurnsAboutXThenZThenY) {
    SkeletonPtr s(make_skeleton(1));
    set_key(s->bones[0].rotation_keys, 0, 64, 0, 64);  // x and z a quarter turn each
    TestModel m(1);
    m.set_vertex(0, 0, 0, 1, 0, 0, 1, 0);
    skin_model(s.get(), &m.model);
    // x first takes +y to +z, which z then leaves alone (z first would give -x).
    expect_point(m.posed(0), 0, 0, 1);
    expect_point(m.normal(0), 0, 0, 1);

    // All three: x takes +y to +z, z leaves it, y then takes it to +x
    // (z last would give +y).
    set_key(s->bones[0].rotation_keys, 0, 64, 64, 64);
    skin_model(s.get(), &m.model);
    expect_point(m.posed(0), 1, 0, 0);
}

TEST(Skinning, ScaleActsAboutThePivotOnTheTurnedPointAndTheMoveTogether) {
    SkeletonPtr s(make_skeleton(1));
    Bone& bone = s->bones[0];
    bone.pivot[0] = 1, bone.pivot[1] = 1, bone.pivot[2] = 0;
    set_key(bone.translation_keys, 0, 1, 0, 0);
    set_key(bone.scale_keys, 0, 2, 2, 2);
    TestModel m(2);
    m.set_vertex(0, 0, 1, 1, 0, 0, 0, 1);  // at the pivot
    m.set_vertex(1, 0, 2, 1, 0, 0, 0, 1);  // one unit from it
    skin_model(s.get(), &m.model);
    expect_point(m.posed(0), 3, 1, 0);  // moved by twice the key
    expect_point(m.posed(1), 5, 1, 0);  // and twice as far from the pivot
    expect_point(m.normal(1), 0, 0, 1);  // normals are only turned, never scaled
}

TEST(Skinning, ChildTurnsAboutItsOwnPivotAndIsCarriedByItsParent) {
    SkeletonPtr s(make_skeleton(2));
    set_key(s->bones[0].rotation_keys, 0, 0, 0, 64);  // parent: quarter turn about z at the origin
    s->bones[1].parent = 0;
    s->bones[1].pivot[0] = 1;
    set_key(s->bones[1].rotation_keys, 0, 0, 0, 64);  // child: the same about (1, 0, 0)
    TestModel m(1);
    m.set_vertex(0, 1, 2, 0, 0, 1, 0, 0);
    skin_model(s.get(), &m.model);
    // Child: (2,0,0) -> (1,1,0); then the parent: -> (-1,1,0).
    expect_point(m.posed(0), -1, 1, 0);
    expect_point(m.normal(0), -1, 0, 0);
}

TEST(Skinning, BoneSlotAboveTheBoneCountSendsItsVerticesToTheOrigin) {
    SkeletonPtr s(make_skeleton(1));
    set_key(s->bones[0].translation_keys, 0, 5, 5, 5);
    TestModel m(2);
    m.set_vertex(0, 0, 1, 1, 1);
    m.set_vertex(1, 7, 1, 1, 1);  // bone 7 does not exist: its matrices are zero
    skin_model(s.get(), &m.model);
    expect_point(m.posed(0), 6, 6, 6);
    expect_point(m.posed(1), 0, 0, 0);
    expect_point(m.normal(1), 0, 0, 0);
}

TEST(Skinning, MissingSkeletonOrModelIsSkipped) {
    SkeletonPtr s(make_skeleton(1));
    TestModel m(1);
    m.set_vertex(0, 0, 1, 2, 3);
    skin_model(nullptr, &m.model);
    skin_model(s.get(), nullptr);
    skin_model(nullptr, nullptr);
    expect_point(m.posed(0), 0, 0, 0);  // untouched
}

}  // namespace
