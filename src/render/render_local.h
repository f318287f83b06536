// Helpers shared by the drawing files of the renderer: texture slots that
// may be missing, and the camera every 3D pass starts from.
#pragma once

#include <GL/gl.h>

#include <cstdint>

// Binds the texture of a slot of the asset table. A slot outside the table
// or one whose load failed (-1) binds no texture (name 0).
void bind_slot_texture(int slot);
void bind_texture_name(int32_t name);  // -1 binds no texture

// Loads the identity into the modelview matrix and applies the camera from
// the camera globals.
void apply_camera();

// The camera's right and up axes in world coordinates, read back from the
// modelview matrix while the camera alone is on it.
struct CameraAxes {
    float right[3];
    float up[3];
};
CameraAxes read_camera_axes();

// One camera-facing quad of half-size `half` around (cx, cy, cz).
void draw_facing_quad(const CameraAxes& axes, float cx, float cy, float cz, float half);

// 1 when (x, y, z) lies on the inner side of all six planes of
// frustum_planes. A point on a plane, or a plane that is not a number,
// counts as outside. Inline for the per-corner test of the model renderer.
inline int point_inside_planes(const float (*planes)[4], float x, float y, float z) {
    for (int i = 0; i < 6; i++) {
        const float* plane = planes[i];
        if (!(plane[0] * x + plane[1] * y + plane[2] * z + plane[3] > 0.0f)) return 0;
    }
    return 1;
}
