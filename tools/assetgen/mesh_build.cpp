// Mesh-building helpers: flat-shaded pieces appended to a Mesh.
#include "mesh_build.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "procedural.h"

namespace {

const size_t MAX_MESH_VERTICES = 65535;

// Corner order of each side of a hexahedron (corner bits x, y, z), counter-
// clockwise seen from outside, starting at the lower left so that the first
// edge runs horizontally and the last one upwards.
const int HEXAHEDRON_SIDES[6][4] = {
    {2, 0, 4, 6},  // -x
    {1, 3, 7, 5},  // +x
    {0, 1, 5, 4},  // -y
    {3, 2, 6, 7},  // +y
    {0, 2, 3, 1},  // bottom
    {4, 5, 7, 6},  // top
};
const int HEXAHEDRON_SIDE_BITS[6] = {BOX_NEG_X, BOX_POS_X, BOX_NEG_Y, BOX_POS_Y, BOX_BOTTOM, BOX_TOP};

}  // namespace

Vec3 cross(Vec3 a, Vec3 b) {
    return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3 normalized(Vec3 v) {
    float length = std::sqrt(dot(v, v));
    return length > 0 ? v * (1.0f / length) : v;
}

FaceStyle face_style(uint16_t texture_offset, uint8_t render_class, uint8_t double_sided) {
    return FaceStyle{texture_offset, render_class, double_sided};
}

uint16_t add_vertex(Mesh& mesh, Vec3 p, int16_t bone) {
    assert(mesh.vertices.size() < MAX_MESH_VERTICES);
    mesh.vertices.push_back(MeshVertex{bone, p.x, p.y, p.z});
    return static_cast<uint16_t>(mesh.vertices.size() - 1);
}

void add_triangle(Mesh& mesh, uint16_t a, uint16_t b, uint16_t c, const float uv[3][2], FaceStyle style) {
    MeshFace face = {};
    face.vertex[0] = a;
    face.vertex[1] = b;
    face.vertex[2] = c;
    for (int i = 0; i < 3; i++) {
        face.uv[i][0] = uv[i][0];
        face.uv[i][1] = uv[i][1];
    }
    face.render_class = style.render_class;
    face.texture_offset = style.texture_offset;
    face.double_sided = style.double_sided;
    mesh.faces.push_back(face);
}

void add_quad(Mesh& mesh, const Vec3 corner[4], const float uv[4][2], FaceStyle style) {
    uint16_t v[4];
    for (int i = 0; i < 4; i++) v[i] = add_vertex(mesh, corner[i]);
    const float first[3][2] = {{uv[0][0], uv[0][1]}, {uv[1][0], uv[1][1]}, {uv[2][0], uv[2][1]}};
    const float second[3][2] = {{uv[0][0], uv[0][1]}, {uv[2][0], uv[2][1]}, {uv[3][0], uv[3][1]}};
    add_triangle(mesh, v[0], v[1], v[2], first, style);
    add_triangle(mesh, v[0], v[2], v[3], second, style);
}

void add_planar_quad(Mesh& mesh, const Vec3 corner[4], float tile_u, float tile_v, FaceStyle style) {
    Vec3 axis_u = normalized(corner[1] - corner[0]);
    Vec3 up = corner[3] - corner[0];
    Vec3 axis_v = normalized(up - axis_u * dot(up, axis_u));
    float uv[4][2];
    for (int i = 0; i < 4; i++) {
        uv[i][0] = dot(corner[i], axis_u) / tile_u;
        uv[i][1] = dot(corner[i], axis_v) / tile_v;
    }
    add_quad(mesh, corner, uv, style);
}

void add_hexahedron(Mesh& mesh, const Vec3 corner[8], int side_mask, float tile, FaceStyle style) {
    for (int side = 0; side < 6; side++) {
        if (!(side_mask & HEXAHEDRON_SIDE_BITS[side])) continue;
        Vec3 quad[4];
        for (int i = 0; i < 4; i++) quad[i] = corner[HEXAHEDRON_SIDES[side][i]];
        add_planar_quad(mesh, quad, tile, tile, style);
    }
}

void add_box(Mesh& mesh, Vec3 lo, Vec3 hi, int side_mask, float tile, FaceStyle style) {
    Vec3 corner[8];
    for (int i = 0; i < 8; i++) {
        corner[i] = Vec3{(i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z};
    }
    add_hexahedron(mesh, corner, side_mask, tile, style);
}

void add_turned_box(Mesh& mesh, Vec3 centre, Vec3 half_size, float yaw, int side_mask, float tile,
                    FaceStyle style) {
    float c = std::cos(yaw), s = std::sin(yaw);
    Vec3 corner[8];
    for (int i = 0; i < 8; i++) {
        float lx = (i & 1) ? half_size.x : -half_size.x;
        float ly = (i & 2) ? half_size.y : -half_size.y;
        float lz = (i & 4) ? half_size.z : -half_size.z;
        corner[i] = Vec3{centre.x + lx * c - ly * s, centre.y + lx * s + ly * c, centre.z + lz};
    }
    add_hexahedron(mesh, corner, side_mask, tile, style);
}

void add_prism(Mesh& mesh, float cx, float cy, float z0, float r0, float z1, float r1, int sides,
               float start_angle, float u_repeats, float v0, float v1, FaceStyle style) {
    assert(sides >= 3);
    for (int k = 0; k < sides; k++) {
        float a0 = start_angle + TWO_PI * k / sides;
        float a1 = start_angle + TWO_PI * (k + 1) / sides;
        float u0 = u_repeats * k / sides, u1 = u_repeats * (k + 1) / sides;
        Vec3 b0 = {cx + r0 * std::cos(a0), cy + r0 * std::sin(a0), z0};
        Vec3 b1 = {cx + r0 * std::cos(a1), cy + r0 * std::sin(a1), z0};
        if (r1 <= 0) {
            uint16_t left = add_vertex(mesh, b0), right = add_vertex(mesh, b1);
            uint16_t apex = add_vertex(mesh, Vec3{cx, cy, z1});
            const float uv[3][2] = {{u0, v0}, {u1, v0}, {(u0 + u1) * 0.5f, v1}};
            add_triangle(mesh, left, right, apex, uv, style);
            continue;
        }
        Vec3 t0 = {cx + r1 * std::cos(a0), cy + r1 * std::sin(a0), z1};
        Vec3 t1 = {cx + r1 * std::cos(a1), cy + r1 * std::sin(a1), z1};
        const Vec3 quad[4] = {b0, b1, t1, t0};
        const float uv[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
        add_quad(mesh, quad, uv, style);
    }
}

void add_polygon_cap(Mesh& mesh, float cx, float cy, float z, float r, int sides, float start_angle,
                     bool facing_up, float tile, FaceStyle style) {
    assert(sides >= 3);
    uint16_t centre = add_vertex(mesh, Vec3{cx, cy, z});
    uint16_t first = 0, previous = 0;
    for (int k = 0; k <= sides; k++) {
        uint16_t v;
        if (k == sides) {
            v = first;
        } else {
            float a = start_angle + TWO_PI * k / sides;
            v = add_vertex(mesh, Vec3{cx + r * std::cos(a), cy + r * std::sin(a), z});
            if (k == 0) first = v;
        }
        if (k > 0) {
            const MeshVertex& p = mesh.vertices[previous];
            const MeshVertex& q = mesh.vertices[v];
            float uv_centre[2] = {cx / tile, cy / tile};
            float uv_p[2] = {p.x / tile, p.y / tile};
            float uv_q[2] = {q.x / tile, q.y / tile};
            if (facing_up) {
                const float uv[3][2] = {{uv_centre[0], uv_centre[1]}, {uv_p[0], uv_p[1]}, {uv_q[0], uv_q[1]}};
                add_triangle(mesh, centre, previous, v, uv, style);
            } else {
                const float uv[3][2] = {{uv_centre[0], uv_centre[1]}, {uv_q[0], uv_q[1]}, {uv_p[0], uv_p[1]}};
                add_triangle(mesh, centre, v, previous, uv, style);
            }
        }
        previous = v;
    }
}

namespace {

Vec3 vertex_position(const Mesh& mesh, uint16_t index) {
    const MeshVertex& v = mesh.vertices[index];
    return vec3(v.x, v.y, v.z);
}

// True when some corner of the box lies in front of the face's plane (the
// farthest point in front of a plane is always a corner of the box).
bool front_seen_from_box(const Mesh& mesh, const MeshFace& face, Vec3 lo, Vec3 hi) {
    Vec3 a = vertex_position(mesh, face.vertex[0]);
    Vec3 normal = cross(vertex_position(mesh, face.vertex[1]) - a, vertex_position(mesh, face.vertex[2]) - a);
    if (dot(normal, normal) == 0) return true;  // no plane to be behind
    Vec3 farthest = vec3(normal.x > 0 ? hi.x : lo.x, normal.y > 0 ? hi.y : lo.y, normal.z > 0 ? hi.z : lo.z);
    return dot(normal, farthest - a) > 0;
}

}  // namespace

void drop_faces_turned_away(Mesh& mesh, Vec3 lo, Vec3 hi) {
    std::vector<MeshFace> kept;
    for (const MeshFace& face : mesh.faces) {
        bool both_sides = face.double_sided == 1 ||
                          (face.render_class >= RENDER_CLASS_DEFERRED && face.render_class <= RENDER_CLASS_DEFERRED_LAST);
        if (both_sides || front_seen_from_box(mesh, face, lo, hi)) kept.push_back(face);
    }
    // Renumber the vertices still in use, in their old order.
    const uint16_t UNUSED = 0xffff;
    std::vector<uint16_t> new_index(mesh.vertices.size(), UNUSED);
    for (const MeshFace& face : kept)
        for (uint16_t v : face.vertex) new_index[v] = 0;
    std::vector<MeshVertex> vertices;
    for (size_t v = 0; v < mesh.vertices.size(); v++) {
        if (new_index[v] == UNUSED) continue;
        new_index[v] = static_cast<uint16_t>(vertices.size());
        vertices.push_back(mesh.vertices[v]);
    }
    for (MeshFace& face : kept)
        for (uint16_t& v : face.vertex) v = new_index[v];
    mesh.vertices = vertices;
    mesh.faces = kept;
}

void sort_faces_by_texture(Mesh& mesh) {
    std::stable_sort(mesh.faces.begin(), mesh.faces.end(), [](const MeshFace& a, const MeshFace& b) {
        return a.texture_offset < b.texture_offset;
    });
}

void append_mesh(Mesh& mesh, const Mesh& part, float yaw, Vec3 offset) {
    assert(mesh.vertices.size() + part.vertices.size() <= MAX_MESH_VERTICES);
    float c = std::cos(yaw), s = std::sin(yaw);
    uint16_t base = static_cast<uint16_t>(mesh.vertices.size());
    for (const MeshVertex& v : part.vertices) {
        mesh.vertices.push_back(MeshVertex{v.bone, offset.x + v.x * c - v.y * s, offset.y + v.x * s + v.y * c,
                                           offset.z + v.z});
    }
    for (MeshFace f : part.faces) {
        for (uint16_t& index : f.vertex) index = static_cast<uint16_t>(index + base);
        mesh.faces.push_back(f);
    }
}
