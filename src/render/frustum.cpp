// The six planes of the view volume, taken from the current OpenGL matrices.
// The model renderer extracts them with the model transform applied, so the
// planes are in the model's own coordinates and posed vertices are tested
// as they are.
#include <GL/gl.h>

#include <cassert>
#include <cmath>

#include "render/render.h"
#include "render/render_local.h"

enum {
    FRUSTUM_PLANE_COUNT = 6,
    PLANE_RIGHT = 0,
    PLANE_LEFT = 1,
    PLANE_BOTTOM = 2,
    PLANE_TOP = 3,
    PLANE_FAR = 4,
    PLANE_NEAR = 5,
};

float frustum_planes[6][4];

static void set_plane(int index, const float* k, int row, float sign) {
    // Plane = column 3 of K plus or minus column `row`, in OpenGL storage order.
    for (int c = 0; c < 4; c++) frustum_planes[index][c] = k[4 * c + 3] + sign * k[4 * c + row];
}

void extract_frustum() {
    float m[16], p[16], k[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    for (int r = 0; r < 4; r++) {
        for (int j = 0; j < 4; j++) {
            k[4 * r + j] = m[4 * r] * p[j] + m[4 * r + 1] * p[4 + j] + m[4 * r + 2] * p[8 + j] +
                           m[4 * r + 3] * p[12 + j];
        }
    }
    set_plane(PLANE_RIGHT, k, 0, -1.0f);
    set_plane(PLANE_LEFT, k, 0, 1.0f);
    set_plane(PLANE_BOTTOM, k, 1, 1.0f);
    set_plane(PLANE_TOP, k, 1, -1.0f);
    set_plane(PLANE_FAR, k, 2, -1.0f);
    set_plane(PLANE_NEAR, k, 2, 1.0f);
    for (int i = 0; i < FRUSTUM_PLANE_COUNT; i++) normalize_plane(i);
}

void normalize_plane(int index) {
    assert(index >= 0 && index < FRUSTUM_PLANE_COUNT);
    float* plane = frustum_planes[index];
    const float length = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
    for (int c = 0; c < 4; c++) plane[c] /= length;
}

int point_in_frustum(float x, float y, float z) {
    return point_inside_planes(frustum_planes, x, y, z);
}
