// Clip playback: each animation state loops through its own run of
// keyframes; a change of state captures the pose of the moment into
// keyframe 0 and blends from there into the new clip, so figures never jump.
#include <cassert>
#include <cmath>

#include "anim/anim.h"

enum {
    CAPTURE_KEY = 0,  // keyframe that holds the captured pose
};

static const float BLEND_AFTER_CAPTURE = 2.0f;  // past 1: the same update steps at once
static const float BLEND_STEP_THRESHOLD = 1.0f;

struct AnimClip {
    int16_t first_key;
    int16_t last_key;
    float step_duration_ticks;   // blend += 1 / this per update inside the clip
    float entry_duration_ticks;  // the same for the blend from the captured pose
};

static const AnimClip ANIM_CLIPS[ANIM_STATE_COUNT] = {
    // first, last, step, entry
    {ANIM_STAND_FIRST_KEY, ANIM_STAND_LAST_KEY, 15.0f, 6.0f},
    {ANIM_WALK_FORWARD_FIRST_KEY, ANIM_WALK_FORWARD_LAST_KEY, 5.0f, 5.0f},
    {ANIM_STRAFE_LEFT_FIRST_KEY, ANIM_STRAFE_LEFT_LAST_KEY, 5.0f, 5.0f},
    {ANIM_STRAFE_RIGHT_FIRST_KEY, ANIM_STRAFE_RIGHT_LAST_KEY, 5.0f, 5.0f},
    {ANIM_WALK_BACKWARD_FIRST_KEY, ANIM_WALK_BACKWARD_LAST_KEY, 5.0f, 5.0f},
};

static bool key_in_clip(int key, const AnimClip& clip) {
    return key >= clip.first_key && key <= clip.last_key;
}

// Keyframe 0 of every channel of every bone becomes the pose at `blend`. Each
// channel is read before it is written, so from_key or to_key 0 is fine.
static void capture_pose(Skeleton* skeleton) {
    const int from_key = skeleton->from_key;
    const int to_key = skeleton->to_key;
    assert(from_key >= 0 && from_key < SKELETON_KEYFRAMES);
    assert(to_key >= 0 && to_key < SKELETON_KEYFRAMES);
    // The first update of a fresh skeleton has an infinite blend (its step
    // duration is still 0); the pose of from_key is the one on screen then.
    float t = skeleton->blend;
    if (!std::isfinite(t)) t = 0.0f;

    int count = skeleton->bone_count;
    if (count > SKELETON_MAX_BONES) count = SKELETON_MAX_BONES;
    for (int b = 0; b < count; b++) {
        Bone* bone = &skeleton->bones[b];
        float (*tables[3])[3] = {bone->translation_keys, bone->rotation_keys, bone->scale_keys};
        for (float (*keys)[3] : tables) {
            for (int axis = 0; axis < 3; axis++) {
                const float from = keys[from_key][axis];
                keys[CAPTURE_KEY][axis] = from + (keys[to_key][axis] - from) * t;
            }
        }
    }
}

static void step_clip(Skeleton* skeleton, const AnimClip& clip) {
    if (key_in_clip(skeleton->to_key, clip)) {
        if (!key_in_clip(skeleton->from_key, clip)) {
            skeleton->from_key = clip.first_key;
            skeleton->to_key = clip.first_key + 1;
        }
        skeleton->step_duration = clip.step_duration_ticks;
        skeleton->from_key += 1;
        skeleton->to_key += 1;
        if (skeleton->from_key > clip.last_key) skeleton->from_key = clip.first_key;
        if (skeleton->to_key > clip.last_key) skeleton->to_key = clip.first_key;
    } else {
        // Entering: from the captured pose (or wherever we were) to the
        // clip's first keyframe.
        skeleton->step_duration = clip.entry_duration_ticks;
        skeleton->from_key = skeleton->to_key;
        skeleton->to_key = clip.first_key;
    }
}

void update_animation(Skeleton* skeleton) {
    if (!skeleton) return;
    // Single precision on purpose: with durations 5, 6 and 15 the blend lands
    // exactly on 1.0, so a step lasts duration + 1 ticks.
    skeleton->blend = skeleton->blend + 1.0f / skeleton->step_duration;

    if (skeleton->applied_state != skeleton->requested_state) {
        capture_pose(skeleton);
        skeleton->blend = BLEND_AFTER_CAPTURE;
        skeleton->to_key = CAPTURE_KEY;
        skeleton->applied_state = static_cast<int16_t>(skeleton->requested_state);
    }
    if (!(skeleton->blend > BLEND_STEP_THRESHOLD)) return;

    skeleton->blend = 0.0f;
    skeleton->previous_from_key = skeleton->from_key;
    skeleton->previous_to_key = skeleton->to_key;
    skeleton->stepped_to_key = skeleton->to_key;

    const int state = skeleton->requested_state;
    // Outside every clip the same pair is simply blended again.
    if (state < 0 || state >= ANIM_STATE_COUNT) return;
    step_clip(skeleton, ANIM_CLIPS[state]);
}
