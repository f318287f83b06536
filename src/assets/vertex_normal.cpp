// The vertex-normal pass run once per vertex after a model is loaded: the
// area-weighted mean of the normals of the faces around the vertex.
#include <cassert>
#include <cmath>

#include "assets/assets.h"

enum {
    FLOATS_PER_NORMAL = 3,
};

static bool face_uses_vertex(const Face* face, int vertex) {
    return face->vertex[0] == vertex || face->vertex[1] == vertex || face->vertex[2] == vertex;
}

// (P0 - P1) x (P1 - P2): twice the face's area long, pointing out of the
// counter-clockwise side.
static void compute_face_normal(const Model* model, const Face* face, float* normal) {
    const float* p0 = &model->rest_positions[face->vertex[0] * FLOATS_PER_NORMAL];
    const float* p1 = &model->rest_positions[face->vertex[1] * FLOATS_PER_NORMAL];
    const float* p2 = &model->rest_positions[face->vertex[2] * FLOATS_PER_NORMAL];
    cross_product_f(p0[0] - p1[0], p0[1] - p1[1], p0[2] - p1[2],
                    p1[0] - p2[0], p1[1] - p2[1], p1[2] - p2[2],
                    &normal[0], &normal[1], &normal[2]);
}

void compute_vertex_normal(int vertex, Model* model) {
    assert(vertex >= 0 && vertex < model->vertex_count);
    int listed = 0;
    for (int f = 0; f < model->face_count; f++) {
        if (!face_uses_vertex(&model->faces[f], vertex)) continue;
        assert(listed < model->adjacent_capacity);
        model->adjacent_faces[listed++] = static_cast<uint16_t>(f);
    }
    if (listed == 0) return;

    float sum[FLOATS_PER_NORMAL] = {0, 0, 0};
    for (int i = 0; i < listed; i++) {
        float* normal = &model->adjacent_normals[i * FLOATS_PER_NORMAL];
        compute_face_normal(model, &model->faces[model->adjacent_faces[i]], normal);
        for (int axis = 0; axis < FLOATS_PER_NORMAL; axis++) sum[axis] += normal[axis];
    }
    float x = sum[0] / listed;
    float y = sum[1] / listed;
    float z = sum[2] / listed;
    // Faces that cancel out (or are all degenerate) give no direction; the
    // normal then stays as loaded, zero, rather than becoming NaN.
    float length = vector_length_f(x, y, z);
    if (!(length > 0) || !std::isfinite(length)) return;
    normalize_vector_f(&x, &y, &z);
    float* rest = &model->rest_normals[vertex * FLOATS_PER_NORMAL];
    rest[0] = x;
    rest[1] = y;
    rest[2] = z;
}
