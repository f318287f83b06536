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

void compute_bone_local(Skeleton* skeleton, int bone);
void compute_bone_matrices(Skeleton* skeleton);
void skin_model(Skeleton* skeleton, Model* model);  // skips null arguments
void update_animation(Skeleton* skeleton);          // skips null
