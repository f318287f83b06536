// In-memory skeletons and models for the animation tests. A Skeleton is
// about 2.4 MB, so it always lives on the heap.
#pragma once

#include <cstdlib>
#include <vector>

#include "assets/assets.h"

struct SkeletonDeleter {
    void operator()(Skeleton* s) const { std::free(s); }
};

// A zero-filled skeleton whose used bones have identity keys everywhere
// (translation 0, rotation 0, scale 1) and no parent.
inline Skeleton* make_skeleton(int bone_count) {
    Skeleton* s = static_cast<Skeleton*>(std::calloc(1, sizeof(Skeleton)));
    s->bone_count = static_cast<int16_t>(bone_count);
    for (int b = 0; b < bone_count; b++) {
        s->bones[b].parent = -1;
        for (int k = 0; k < SKELETON_KEYFRAMES; k++) {
            for (int axis = 0; axis < 3; axis++) s->bones[b].scale_keys[k][axis] = 1.0f;
        }
    }
    return s;
}

// A model of `vertex_count` zeroed vertices, its arrays owned here.
struct TestModel {
    std::vector<int16_t> bones;
    std::vector<float> rest_positions, rest_normals, posed_positions, posed_normals;
    Model model;
    explicit TestModel(int vertex_count)
        : bones(vertex_count), rest_positions(3 * vertex_count), rest_normals(3 * vertex_count),
          posed_positions(3 * vertex_count), posed_normals(3 * vertex_count), model() {
        model.vertex_count = static_cast<uint16_t>(vertex_count);
        model.bone_index = bones.data();
        model.rest_positions = rest_positions.data();
        model.rest_normals = rest_normals.data();
        model.posed_positions = posed_positions.data();
        model.posed_normals = posed_normals.data();
    }
    TestModel(const TestModel&) = delete;
    TestModel& operator=(const TestModel&) = delete;

    void set_vertex(int i, int bone, float x, float y, float z, float nx = 0, float ny = 0, float nz = 1) {
        model.bone_index[i] = static_cast<int16_t>(bone);
        float* p = model.rest_positions + 3 * i;
        float* n = model.rest_normals + 3 * i;
        p[0] = x, p[1] = y, p[2] = z;
        n[0] = nx, n[1] = ny, n[2] = nz;
    }
    const float* posed(int i) const { return model.posed_positions + 3 * i; }
    const float* normal(int i) const { return model.posed_normals + 3 * i; }
};
