// Rendering: the model renderer with its render modes, view-frustum culling,
// the depth-sorted pass of deferred faces, the sprite effects and the three
// lighting presets. Every routine sets the OpenGL state it needs and leaves
// the resting state of the frame: depth test GL_LESS with depth writes on,
// lighting and light 0 on, back-face culling on, blending off, texturing on
// with GL_MODULATE. The camera comes from the camera globals of the game.
#pragma once

#include <cstdint>

#include "assets/assets.h"
#include "game/game.h"

enum {
    DEFERRED_FACE_CAPACITY = 8192,
    DEPTH_BUCKET_COUNT = 50000,
};

// Render modes of draw_model.
enum {
    RENDER_MODE_PLAYER = 0,
    RENDER_MODE_ENEMY = 2,
    RENDER_MODE_PLAYER_SHOT = 3,
    RENDER_MODE_ENEMY_SHOT = 4,
    RENDER_MODE_SKY = 6,
    RENDER_MODE_ARENA = 7,
    RENDER_MODE_ITEM_BOX = 8,
};

// One face set aside for the depth-sorted pass: a snapshot, not a reference.
struct DeferredFace {
    float angle_x, angle_y, angle_z;  // degrees, as passed to draw_model
    float x, y, z;
    float corner[3][3];       // posed positions, model coordinates
    float view_corner[3][3];  // camera space, filled by draw_deferred_faces
    float normal[3][3];
    float uv[3][2];
    int32_t next;             // depth-bucket chain link
};

extern DeferredFace* deferred_faces;  // DEFERRED_FACE_CAPACITY records
extern uint16_t deferred_face_count;
extern int32_t* depth_buckets;        // DEPTH_BUCKET_COUNT heads

extern float frustum_planes[6][4];    // right, left, bottom, top, far, near

extern float light_ambient[4];
extern float light_diffuse[4];
extern float light_position[4];

void draw_model(float angle_x, float angle_y, float angle_z,
                float x, float y, float z, Model* model, unsigned mode);

void extract_frustum();
void normalize_plane(int index);
// The renderer's per-corner test inlines the same check (point_inside_planes).
int point_in_frustum(float x, float y, float z);

void draw_deferred_faces();

void draw_shadow(float x, float y);
void draw_shots(const Shot* list, int owner);  // owner 0 player, 1 enemy
void draw_explosion(float x, float y, float k);
void draw_aim_marker();

void apply_dawn_light();
void apply_sunset_light();
void apply_night_light();
// Applies the preset of that number (0 dawn, 1 sunset, 2 night); any other
// value changes nothing.
void apply_light_preset(int preset);
