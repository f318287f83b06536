// Small mesh-building helpers for the asset builder: vertices, triangles,
// quads, boxes and prisms appended to a Mesh, with texture coordinates laid
// out in world units so repeating textures keep one scale across pieces.
// Every piece gets its own vertices (flat shading), since the game averages
// the normals of all faces that share a vertex.
#pragma once

#include <cstdint>

#include "formats.h"

struct Vec3 {
    float x, y, z;
};

inline Vec3 vec3(float x, float y, float z) { return Vec3{x, y, z}; }
inline Vec3 operator+(Vec3 a, Vec3 b) { return Vec3{a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return Vec3{a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return Vec3{a.x * s, a.y * s, a.z * s}; }
inline float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(Vec3 a, Vec3 b);
Vec3 normalized(Vec3 v);  // the zero vector stays zero

// How a face is drawn: which texture (added to the model's base slot), which
// pass, and whether both sides show.
struct FaceStyle {
    uint16_t texture_offset;
    uint8_t render_class;  // RENDER_CLASS_MAIN, _DEFERRED or _BLENDED
    uint8_t double_sided;  // 1 draws both sides
};

FaceStyle face_style(uint16_t texture_offset, uint8_t render_class = RENDER_CLASS_MAIN, uint8_t double_sided = 0);

uint16_t add_vertex(Mesh& mesh, Vec3 p, int16_t bone = -1);
// Corners counter-clockwise seen from the visible side.
void add_triangle(Mesh& mesh, uint16_t a, uint16_t b, uint16_t c, const float uv[3][2], FaceStyle style);

// A quad as two triangles on four new vertices; corners counter-clockwise
// seen from the visible side, uv given per corner.
void add_quad(Mesh& mesh, const Vec3 corner[4], const float uv[4][2], FaceStyle style);

// A quad whose texture coordinates are the world position projected on the
// quad's own axes (corner 0 to 1 gives u, the rest of corner 0 to 3 gives v),
// divided by the tile size: coplanar neighbours continue the same pattern.
void add_planar_quad(Mesh& mesh, const Vec3 corner[4], float tile_u, float tile_v, FaceStyle style);

// Sides of a box, for the mask of add_hexahedron and add_box.
enum {
    BOX_NEG_X = 1 << 0,
    BOX_POS_X = 1 << 1,
    BOX_NEG_Y = 1 << 2,
    BOX_POS_Y = 1 << 3,
    BOX_BOTTOM = 1 << 4,
    BOX_TOP = 1 << 5,
    BOX_SIDES = BOX_NEG_X | BOX_POS_X | BOX_NEG_Y | BOX_POS_Y,
    BOX_ALL = BOX_SIDES | BOX_BOTTOM | BOX_TOP,
};

// A six-sided solid seen from outside. corner[i] is the corner at
// x = i & 1, y = (i >> 1) & 1, z = (i >> 2) & 1 of a unit cube, so the
// corners may be moved (tilted boxes, broken tops) as long as each side
// stays roughly planar. Sides are planar-mapped with the tile size.
void add_hexahedron(Mesh& mesh, const Vec3 corner[8], int side_mask, float tile, FaceStyle style);
void add_box(Mesh& mesh, Vec3 lo, Vec3 hi, int side_mask, float tile, FaceStyle style);
// A box turned about the vertical through its centre by yaw radians.
void add_turned_box(Mesh& mesh, Vec3 centre, Vec3 half_size, float yaw, int side_mask, float tile,
                    FaceStyle style);

// The sides of an upright prism or truncated cone with `sides` flat sides
// around (cx, cy), from z0 with radius r0 to z1 with radius r1 (r1 = 0 gives
// a pointed cone). Seen from outside. u runs around the prism, `u_repeats`
// times over the full turn; v goes from v0 at z0 to v1 at z1. The first side
// starts at angle `start_angle` (radians from +x, counter-clockwise seen
// from above).
void add_prism(Mesh& mesh, float cx, float cy, float z0, float r0, float z1, float r1, int sides,
               float start_angle, float u_repeats, float v0, float v1, FaceStyle style);
// A flat polygonal cap at height z facing up (or down when facing_up is false),
// planar-mapped in x and y with the tile size.
void add_polygon_cap(Mesh& mesh, float cx, float cy, float z, float r, int sides, float start_angle,
                     bool facing_up, float tile, FaceStyle style);

// Leaves out every one-sided face of the main or additive pass whose front
// no eye inside the box from `lo` to `hi` can see (back-face culling would
// drop it wherever the camera stood), and the vertices no face uses any more.
// Depth-sorted faces show both sides and are kept.
void drop_faces_turned_away(Mesh& mesh, Vec3 lo, Vec3 hi);

// Stable sort of the faces by texture offset, so the renderer rebinds a
// texture only when the offset changes.
void sort_faces_by_texture(Mesh& mesh);

// Appends every vertex and face of `part`, turned about z by `yaw` radians
// and then moved by `offset`. Texture coordinates are kept as built.
void append_mesh(Mesh& mesh, const Mesh& part, float yaw, Vec3 offset);
