// Skeletal animation: bone matrices from the current blend of two keyframes,
// skinning of a mesh with them, and clip playback with blended state changes.
#pragma once

#include "assets/assets.h"

// Animation states the game asks for through Skeleton::requested_state.
enum {
    ANIM_STAND = 0,
    ANIM_WALK_FORWARD = 1,
    ANIM_STRAFE_LEFT = 2,
    ANIM_STRAFE_RIGHT = 3,
    ANIM_WALK_BACKWARD = 4,
    ANIM_STATE_COUNT = 5,
};

// The keyframes of each state's clip, first and last included, as the
// figure builder keys them and playback loops through them. Keyframe 0
// holds the pose captured at a change of state; 7 and those after the last
// clip keep the rest pose.
enum {
    ANIM_WALK_FORWARD_FIRST_KEY = 1,
    ANIM_WALK_FORWARD_LAST_KEY = 6,
    ANIM_STAND_FIRST_KEY = 8,
    ANIM_STAND_LAST_KEY = 12,
    ANIM_STRAFE_LEFT_FIRST_KEY = 13,
    ANIM_STRAFE_LEFT_LAST_KEY = 18,
    ANIM_STRAFE_RIGHT_FIRST_KEY = 19,
    ANIM_STRAFE_RIGHT_LAST_KEY = 24,
    ANIM_WALK_BACKWARD_FIRST_KEY = 25,
    ANIM_WALK_BACKWARD_LAST_KEY = 30,
    ANIM_LAST_CLIP_KEY = ANIM_WALK_BACKWARD_LAST_KEY,
};

void compute_bone_local(Skeleton* skeleton, int bone);
void compute_bone_matrices(Skeleton* skeleton);
void skin_model(Skeleton* skeleton, Model* model);  // skips null arguments
void update_animation(Skeleton* skeleton);          // skips null
