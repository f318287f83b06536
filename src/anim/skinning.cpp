// Bone matrices for the current blend of two keyframes, and posing of a mesh
// with them. Matrices are Allegro's MATRIX_f; matrix_mul_f(a, b) applies a
// first and b second, and rotations are in Allegro's 256 units per turn.
#include <cassert>

#include "anim/anim.h"

enum {
    BONE_INDEX_FIRST_BOUND = 0,
    BONE_INDEX_LAST_BOUND = 254,  // 255 and negative values leave a vertex unbound
};

// key[f] + (key[g] - key[f]) * t for the three axes of one channel. Angles are
// blended as plain numbers: 250 -> 10 turns the long way round through 130.
static void blend_channel(const float (*keys)[3], int from_key, int to_key, float t, float out[3]) {
    for (int axis = 0; axis < 3; axis++) {
        const float from = keys[from_key][axis];
        out[axis] = from + (keys[to_key][axis] - from) * t;
    }
}

void compute_bone_local(Skeleton* skeleton, int bone_number) {
    assert(bone_number >= 0 && bone_number < SKELETON_MAX_BONES);
    const int from_key = skeleton->from_key;
    const int to_key = skeleton->to_key;
    assert(from_key >= 0 && from_key < SKELETON_KEYFRAMES);
    assert(to_key >= 0 && to_key < SKELETON_KEYFRAMES);
    const float t = skeleton->blend;
    Bone* bone = &skeleton->bones[bone_number];

    float move[3], turn[3], size[3];
    blend_channel(bone->translation_keys, from_key, to_key, t, move);
    blend_channel(bone->rotation_keys, from_key, to_key, t, turn);
    blend_channel(bone->scale_keys, from_key, to_key, t, size);

    MATRIX_f to_pivot, turn_x, turn_y, turn_z, translation, scaling, from_pivot;
    get_translation_matrix_f(&to_pivot, -bone->pivot[0], -bone->pivot[1], -bone->pivot[2]);
    get_x_rotate_matrix_f(&turn_x, turn[0]);
    get_y_rotate_matrix_f(&turn_y, turn[1]);
    get_z_rotate_matrix_f(&turn_z, turn[2]);
    get_translation_matrix_f(&translation, move[0], move[1], move[2]);
    get_scaling_matrix_f(&scaling, size[0], size[1], size[2]);
    get_translation_matrix_f(&from_pivot, bone->pivot[0], bone->pivot[1], bone->pivot[2]);

    // Turn about x first, then z, then y.
    MATRIX_f turn_xz, rotation;
    matrix_mul_f(&turn_x, &turn_z, &turn_xz);
    matrix_mul_f(&turn_xz, &turn_y, &rotation);

    // About the pivot: turn, move by the key, scale (turned point and move
    // together), back to the pivot.
    MATRIX_f turned, moved, scaled;
    matrix_mul_f(&to_pivot, &rotation, &turned);
    matrix_mul_f(&turned, &translation, &moved);
    matrix_mul_f(&moved, &scaling, &scaled);
    matrix_mul_f(&scaled, &from_pivot, &bone->world);
    bone->normal_matrix = rotation;
}

// Slots beyond the 256 of the record cannot be computed; a count above that
// is refused by the loader, this only keeps the loop inside the record.
static int used_bone_count(const Skeleton* skeleton) {
    int count = skeleton->bone_count;
    if (count > SKELETON_MAX_BONES) count = SKELETON_MAX_BONES;
    return count;
}

void compute_bone_matrices(Skeleton* skeleton) {
    const int count = used_bone_count(skeleton);
    for (int b = 0; b < count; b++) {
        compute_bone_local(skeleton, b);
        Bone* bone = &skeleton->bones[b];
        const int parent = bone->parent;
        // The own transform first, the parent's full transform second. A
        // parent outside the record is treated as no parent at all.
        if (parent < 0 || parent >= SKELETON_MAX_BONES) continue;
        const Bone* up = &skeleton->bones[parent];
        MATRIX_f own = bone->world;
        matrix_mul_f(&own, &up->world, &bone->world);
        MATRIX_f own_turn = bone->normal_matrix;
        matrix_mul_f(&own_turn, &up->normal_matrix, &bone->normal_matrix);
    }
}

void skin_model(Skeleton* skeleton, Model* model) {
    if (!skeleton || !model) return;
    compute_bone_matrices(skeleton);

    const int16_t* bone_index = model->bone_index;
    const float* rest_position = model->rest_positions;
    const float* rest_normal = model->rest_normals;
    float* posed_position = model->posed_positions;
    float* posed_normal = model->posed_normals;
    for (int i = 0; i < model->vertex_count; i++) {
        const int p = 3 * i;
        const int b = bone_index[i];
        if (b >= BONE_INDEX_FIRST_BOUND && b <= BONE_INDEX_LAST_BOUND) {
            // A slot at or above bone_count has all-zero matrices: the vertex
            // goes to the origin. That is how an unposed bone shows.
            const Bone* bone = &skeleton->bones[b];
            apply_matrix_f(&bone->world, rest_position[p], rest_position[p + 1], rest_position[p + 2],
                           &posed_position[p], &posed_position[p + 1], &posed_position[p + 2]);
            apply_matrix_f(&bone->normal_matrix, rest_normal[p], rest_normal[p + 1], rest_normal[p + 2],
                           &posed_normal[p], &posed_normal[p + 1], &posed_normal[p + 2]);
        } else {
            for (int axis = 0; axis < 3; axis++) {
                posed_position[p + axis] = rest_position[p + axis];
                posed_normal[p + axis] = rest_normal[p + axis];
            }
        }
    }
}
