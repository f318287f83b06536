// Clip playback timelines: looping, entering a clip from a captured pose, the
// tick counts that single-precision blending gives, and the capture itself.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "anim/anim.h"
#include "anim_fixtures.h"

namespace {

using SkeletonPtr = std::unique_ptr<Skeleton, SkeletonDeleter>;
using KeyPair = std::pair<int, int>;

enum { TEST_BONES = 3 };

// Every key of every channel distinct, so a capture shows where it came from.
float key_value(int bone, int channel, int axis, int key) {
    return static_cast<float>(key * 8 + bone * 2 + channel) + 0.25f * static_cast<float>(axis);
}

float (*channel_keys(Bone& bone, int channel))[3] {
    if (channel == 0) return bone.translation_keys;
    if (channel == 1) return bone.rotation_keys;
    return bone.scale_keys;
}

// TEST_BONES bones keyed with key_value everywhere, stepping from `from_key`
// to `to_key`.
Skeleton* make_keyed_skeleton(int from_key, int to_key) {
    Skeleton* s = make_skeleton(TEST_BONES);
    for (int b = 0; b < TEST_BONES; b++) {
        for (int c = 0; c < 3; c++) {
            float (*keys)[3] = channel_keys(s->bones[b], c);
            for (int k = 0; k < SKELETON_KEYFRAMES; k++) {
                for (int axis = 0; axis < 3; axis++) keys[k][axis] = key_value(b, c, axis, k);
            }
        }
    }
    s->from_key = static_cast<int16_t>(from_key);
    s->to_key = static_cast<int16_t>(to_key);
    return s;
}

// Runs `ticks` updates and returns the key pair after each.
std::vector<KeyPair> run(Skeleton* s, int ticks) {
    std::vector<KeyPair> pairs;
    for (int i = 0; i < ticks; i++) {
        update_animation(s);
        pairs.emplace_back(s->from_key, s->to_key);
    }
    return pairs;
}

// Collapses a per-tick list into (pair, number of ticks) runs.
std::vector<std::pair<KeyPair, int>> runs_of(const std::vector<KeyPair>& pairs) {
    std::vector<std::pair<KeyPair, int>> runs;
    for (const KeyPair& p : pairs) {
        if (!runs.empty() && runs.back().first == p) {
            runs.back().second++;
        } else {
            runs.emplace_back(p, 1);
        }
    }
    return runs;
}

void expect_runs(const std::vector<KeyPair>& pairs, const std::vector<KeyPair>& expected_pairs,
                 int ticks_each) {
    const auto runs = runs_of(pairs);
    ASSERT_GE(runs.size(), expected_pairs.size());
    for (size_t i = 0; i < expected_pairs.size(); i++) {
        EXPECT_EQ(runs[i].first, expected_pairs[i]) << "run " << i;
        EXPECT_EQ(runs[i].second, ticks_each) << "run " << i;
    }
}

// Key 0 of every bone, channel and axis, where a capture lands, against
// want(bone, channel, axis), within `tolerance`.
template <typename Want>
void expect_key_zero(Skeleton* s, Want want, float tolerance = 0) {
    for (int b = 0; b < TEST_BONES; b++) {
        for (int c = 0; c < 3; c++) {
            for (int axis = 0; axis < 3; axis++) {
                const float got = channel_keys(s->bones[b], c)[0][axis];
                EXPECT_TRUE(std::isfinite(got));
                EXPECT_NEAR(got, want(b, c, axis), tolerance) << "bone " << b << ", channel " << c << ", axis " << axis;
            }
        }
    }
}

TEST(Playback, StandingLoopFromAFreshSkeletonSteps16TicksAPairAndKeepsKeyframeZero) {
    SkeletonPtr s(make_keyed_skeleton(8, 9));
    const auto pairs = run(s.get(), 16 * 6);
    expect_runs(pairs, {{9, 10}, {10, 11}, {11, 12}, {12, 8}, {8, 9}, {9, 10}}, 16);
    expect_key_zero(s.get(), [](int b, int c, int axis) { return key_value(b, c, axis, 0); });
}

TEST(Playback, ChangeHalfwayCapturesThatPoseAndEntersTheWalkOverSixTicks) {
    SkeletonPtr s(make_keyed_skeleton(9, 10));
    s->step_duration = 4;
    s->blend = 0.25f;  // the next update lands halfway
    s->requested_state = ANIM_WALK_FORWARD;
    const auto pairs = run(s.get(), 6 * 7);
    expect_key_zero(
        s.get(), [](int b, int c, int axis) { return (key_value(b, c, axis, 9) + key_value(b, c, axis, 10)) / 2; },
        1e-5f);
    EXPECT_EQ(s->applied_state, ANIM_WALK_FORWARD);
    expect_runs(pairs, {{0, 1}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 1}, {1, 2}}, 6);
}

TEST(Playback, EnteringTheStandingClipTakesSevenTicksThenLoops) {
    SkeletonPtr s(make_keyed_skeleton(8, 9));
    s->requested_state = ANIM_WALK_FORWARD;
    run(s.get(), 20);
    s->requested_state = ANIM_STAND;
    const auto pairs = run(s.get(), 7 + 16 * 2);
    expect_runs(pairs, {{0, 8}}, 7);
    const auto runs = runs_of(pairs);
    ASSERT_GE(runs.size(), 3u);
    EXPECT_EQ(runs[1], std::make_pair(KeyPair{9, 10}, 16));
    EXPECT_EQ(runs[2].first, (KeyPair{10, 11}));
}

TEST(Playback, ChangeOnTheVeryFirstUpdateCapturesTheFromKeyPose) {
    SkeletonPtr s(make_keyed_skeleton(8, 9));  // step duration 0: the first blend is infinite
    s->requested_state = ANIM_STRAFE_LEFT;
    update_animation(s.get());
    expect_key_zero(s.get(), [](int b, int c, int axis) { return key_value(b, c, axis, 8); });
    EXPECT_EQ(s->from_key, 0);
    EXPECT_EQ(s->to_key, 13);
    EXPECT_FLOAT_EQ(s->step_duration, 5.0f);
}

TEST(Playback, StateOutsideEveryClipRepeatsThePairAndMissingSkeletonIsSkipped) {
    SkeletonPtr s(make_keyed_skeleton(0, 0));
    for (int state : {-1, static_cast<int>(ANIM_STATE_COUNT), 9}) {
        s->from_key = 3;
        s->to_key = 4;
        s->step_duration = 5;
        s->requested_state = state;
        s->applied_state = static_cast<int16_t>(state);
        const auto pairs = run(s.get(), 20);
        for (const KeyPair& p : pairs) EXPECT_EQ(p, (KeyPair{3, 4})) << "state " << state;
    }
    update_animation(nullptr);
}

}  // namespace
