// Helpers for the renderer's display tests: small textures, small in-memory
// models, the work buffers, the camera, screen probes and the resting state
// every drawing routine must leave behind.
#pragma once

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>
#include <vector>

#include "assets/asset_table.h"
#include "game/game.h"
#include "render/render.h"
#include "support/gl_display.h"

struct Rgba {
    unsigned char r, g, b, a;
};
const Rgba RED = {255, 0, 0, 255};
const Rgba GREEN = {0, 255, 0, 255};
const Rgba BLUE = {0, 0, 255, 255};
const Rgba WHITE = {255, 255, 255, 255};

// A 2 x 2 texture, nearest filtering: left half one colour, right half
// another (u below 0.5 and above).
inline GLuint make_split_texture(Rgba left, Rgba right) {
    const Rgba texels[4] = {left, right, left, right};
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    return name;
}

// A 2 x 2 texture of one colour.
inline GLuint make_texture(Rgba colour) { return make_split_texture(colour, colour); }

// The shell allocates these at start-up; tests do it once per process.
inline void ensure_work_buffers() {
    if (!deferred_faces) {
        deferred_faces = static_cast<DeferredFace*>(std::calloc(DEFERRED_FACE_CAPACITY, sizeof(DeferredFace)));
    }
    if (!depth_buckets) {
        depth_buckets = static_cast<int32_t*>(std::calloc(DEPTH_BUCKET_COUNT, sizeof(int32_t)));
    }
    deferred_face_count = 0;
}

// The state between drawing routines, as a frame finds it.
inline void set_resting_state() {
    glMatrixMode(GL_MODELVIEW);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor3f(1, 1, 1);
}

inline void expect_resting_state(const char* after) {
    GLint depth_func = 0, env_mode = 0;
    GLboolean depth_writes = GL_FALSE;
    glGetIntegerv(GL_DEPTH_FUNC, &depth_func);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depth_writes);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env_mode);
    EXPECT_EQ(depth_func, GL_LESS) << after;
    EXPECT_TRUE(depth_writes) << after;
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << after;
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING)) << after;
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0)) << after;
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE)) << after;
    EXPECT_FALSE(glIsEnabled(GL_BLEND)) << after;
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL)) << after;
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D)) << after;
    EXPECT_EQ(env_mode, GL_MODULATE) << after;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << after;
}

inline void set_camera(float ex, float ey, float ez, float tx, float ty, float tz) {
    camera_eye_x = ex, camera_eye_y = ey, camera_eye_z = ez;
    camera_target_x = tx, camera_target_y = ty, camera_target_z = tz;
    camera_up_z = 1.0f;
}

inline void clear_screen(float grey = 0.0f) {
    glClearColor(grey, grey, grey, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
}

// Window position of a world point seen through the camera globals.
struct ScreenPoint {
    int x, y;
};
inline ScreenPoint screen_of(float x, float y, float z) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(camera_eye_x, camera_eye_y, camera_eye_z, camera_target_x, camera_target_y, camera_target_z, 0, 0,
              camera_up_z);
    GLdouble model[16], projection[16], wx, wy, wz;
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    gluProject(x, y, z, model, projection, viewport, &wx, &wy, &wz);
    return ScreenPoint{static_cast<int>(wx), static_cast<int>(wy)};
}

inline Pixel pixel_at(ScreenPoint p) { return read_pixel(p.x, p.y); }
inline bool is_black(Pixel p) { return p.r < 8 && p.g < 8 && p.b < 8; }
inline int brightness(Pixel p) { return p.r + p.g + p.b; }

// A posed in-memory model: posed arrays hold the rest pose.
struct TestMesh {
    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<Face> faces;
    std::vector<uint16_t> blended;
    Model model;

    TestMesh() : model() {}

    int add_vertex(float x, float y, float z, float nx = 0, float ny = -1, float nz = 0) {
        positions.insert(positions.end(), {x, y, z});
        normals.insert(normals.end(), {nx, ny, nz});
        return static_cast<int>(positions.size() / 3 - 1);
    }
    // A triangle with its own three corners; u and v the same at every corner
    // unless given.
    Face& add_triangle(const float a[3], const float b[3], const float c[3], int render_class = 0,
                       int texture_offset = 0, float u = 0.25f, float v = 0.25f) {
        Face face = {};
        face.vertex[0] = static_cast<uint16_t>(add_vertex(a[0], a[1], a[2]));
        face.vertex[1] = static_cast<uint16_t>(add_vertex(b[0], b[1], b[2]));
        face.vertex[2] = static_cast<uint16_t>(add_vertex(c[0], c[1], c[2]));
        for (int k = 0; k < 3; k++) face.uv[k][0] = u, face.uv[k][1] = v;
        face.render_class = static_cast<uint8_t>(render_class);
        face.texture_offset = static_cast<uint16_t>(texture_offset);
        faces.push_back(face);
        return faces.back();
    }
    // A triangle facing -y around (cx, y, cz), about `half` across.
    Face& add_facing(float cx, float y, float cz, float half, int render_class = 0, int texture_offset = 0,
                     float u = 0.25f) {
        const float a[3] = {cx - half, y, cz - half};
        const float b[3] = {cx + half, y, cz - half};
        const float c[3] = {cx, y, cz + half};
        return add_triangle(a, b, c, render_class, texture_offset, u);
    }
    Model* finish() {
        blended.assign(faces.size(), 0);
        model.vertex_count = static_cast<uint16_t>(positions.size() / 3);
        model.face_count = static_cast<uint16_t>(faces.size());
        model.rest_positions = positions.data();
        model.posed_positions = positions.data();
        model.rest_normals = normals.data();
        model.posed_normals = normals.data();
        model.faces = faces.data();
        model.blended_faces = blended.data();
        return &model;
    }
};

// The start of a display test of the renderer: display, buffers, resting
// state, an empty light-preset choice and a camera 10 units in front of the
// origin. Each suite names it for itself (using Effects = RenderTest).
class RenderTest : public testing::Test {
protected:
    void SetUp() override {
        require_test_display();
        ensure_work_buffers();
        set_resting_state();
        apply_dawn_light();
        light_preset = 0;
        set_camera(0, -10, 0, 0, 0, 0);
        clear_screen();
    }
};
