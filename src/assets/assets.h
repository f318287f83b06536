// Asset formats: the in-memory records of meshes and skeletons, and the
// loaders for the three file formats the game reads from datos/ (EMD models,
// ESQ skeletons, RAW textures). Loaders return null (or -1 for a texture) on
// any failure and report nothing; the caller keeps whatever comes back.
#pragma once

#include <allegro.h>  // MATRIX_f
#include <cstddef>
#include <cstdint>

#include "assets/file_layouts.h"

struct Face {
    uint8_t reserved_a;
    uint8_t double_sided;     // 1: draw without back-face culling
    uint8_t reserved_c;
    uint16_t reserved_b;
    uint16_t vertex[3];       // corner indices, counter-clockwise from the front
    float uv[3][2];           // texture coordinates used for drawing
    float uv2[3][2];          // second set, kept but unused
    uint8_t render_class;
    uint16_t texture_offset;  // added to the render mode's base texture slot
    uint16_t reserved_d;
};

struct Model {
    int16_t* bone_index;          // 0..254 binds a vertex to a bone; else unbound
    uint16_t* second_bone_index;
    uint16_t* vertex_extra;
    uint16_t vertex_count;
    uint16_t face_count;
    float* rest_positions;        // 3 floats a vertex, never changed after loading
    float* posed_positions;       // written by skinning or copy_rest_pose
    uint16_t* blended_faces;      // renderer scratch list, face_count entries
    uint16_t* adjacent_faces;     // normal-pass scratch list
    float* adjacent_normals;      // normal-pass scratch list, 3 floats an entry
    int adjacent_capacity;        // entries in the two normal-pass lists
    float* rest_normals;
    float* posed_normals;
    Face* faces;
};

// A skeleton holds as many bones as a file may name, and all its keyframes.
enum {
    SKELETON_MAX_BONES = ESQ_MAX_BONES,
    SKELETON_KEYFRAMES = ESQ_KEYFRAMES,
};

struct Bone {
    float pivot[3];
    MATRIX_f world;          // full transform of the current pose
    MATRIX_f normal_matrix;  // rotation alone, through the ancestors
    float translation_keys[SKELETON_KEYFRAMES][3];
    float rotation_keys[SKELETON_KEYFRAMES][3];  // 256 units per full turn
    float scale_keys[SKELETON_KEYFRAMES][3];
    int16_t parent;          // negative for a root
};

struct Skeleton {
    float step_duration;
    float blend;
    int16_t from_key;
    int16_t previous_from_key;
    int16_t previous_to_key;
    int16_t to_key;
    int16_t applied_state;
    int16_t stepped_to_key;
    int32_t requested_state;
    int16_t bone_count;
    Bone bones[SKELETON_MAX_BONES];
};

// Texture loader modes.
enum {
    TEXTURE_MODE_CLAMPED = 0,           // single level, clamped
    TEXTURE_MODE_MIPMAPPED_CLAMPED = 1,
    TEXTURE_MODE_MIPMAPPED_ALPHA = 2,
    TEXTURE_MODE_MIPMAPPED_REPEAT = 3,
};

Model* load_model(const char* path);
void compute_vertex_normal(int vertex, Model* model);
void copy_rest_pose(Model* model);  // null is allowed
void free_model(Model* model);  // null is allowed

Skeleton* load_skeleton(const char* path);
// The same into a block of the caller's that is zero-filled or was last
// filled by this function (and maybe posed since). It is made a fresh
// skeleton again first; on false it holds nothing usable.
bool load_skeleton_into(const char* path, Skeleton* skeleton);
void free_skeleton(Skeleton* skeleton);  // null is allowed

// Needs a current OpenGL context. Returns the texture name, or -1.
int32_t load_texture(const char* path, int mode);
// The file's pixels (width x height RGBA, to free with free()), or null for
// a missing, empty or short file; no OpenGL needed.
uint8_t* read_texture_pixels(const char* path, uint16_t* width, uint16_t* height);

// The HUD font and the palette come from Allegro datafiles, read whole and
// checked object by object by the game itself: a file that is missing, cut,
// larger than DATAFILE_MAX_BYTES, or holds anything out of shape counts as
// missing. The font is an Allegro one-bit FONT, built from checked glyphs.
enum { DATAFILE_MAX_BYTES = 1 << 20 };
FONT* load_font_datafile(const char* path);               // its first object; null if none
bool load_palette_datafile(const char* path, RGB* palette);  // PAL_SIZE entries
void free_loaded_font(FONT* font);                        // null is allowed
// The same from a file's bytes as Allegro's packed files give them, from the
// "ALL." magic on.
FONT* parse_font_datafile(const uint8_t* bytes, size_t size);
bool parse_palette_datafile(const uint8_t* bytes, size_t size, RGB* palette);
