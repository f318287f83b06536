// Stand-in assets for the benchmarks when datos/ has not been generated: a
// figure of 16 bones and 576 triangles with a keyed skeleton, an arena of
// about 2000 triangles (some set aside for the depth-sorted pass), a sky
// sphere and an item box. Sizes follow the game's own assets roughly.
#pragma once

#include <cmath>
#include <cstdlib>
#include <vector>

#include "assets/assets.h"

namespace synthetic {

enum {
    FIGURE_BONES = 16,
    TUBE_SIDES = 10,
};

struct MeshBuilder {
    std::vector<float> positions, normals;
    std::vector<int16_t> bones;
    std::vector<Face> faces;

    int vertex(float x, float y, float z, float nx, float ny, float nz, int bone = -1) {
        positions.insert(positions.end(), {x, y, z});
        normals.insert(normals.end(), {nx, ny, nz});
        bones.push_back(static_cast<int16_t>(bone));
        return static_cast<int>(bones.size() - 1);
    }
    void face(int a, int b, int c, int render_class = 0, int texture_offset = 0) {
        Face f = {};
        f.vertex[0] = static_cast<uint16_t>(a);
        f.vertex[1] = static_cast<uint16_t>(b);
        f.vertex[2] = static_cast<uint16_t>(c);
        const int corners[3] = {a, b, c};
        for (int k = 0; k < 3; k++) {
            f.uv[k][0] = positions[3 * corners[k]] * 0.25f;
            f.uv[k][1] = positions[3 * corners[k] + 2] * 0.25f + positions[3 * corners[k] + 1] * 0.25f;
        }
        f.render_class = static_cast<uint8_t>(render_class);
        f.texture_offset = static_cast<uint16_t>(texture_offset);
        faces.push_back(f);
    }
    // A flat quad a-b-c-d, counter-clockwise from the front.
    void quad(const float a[3], const float b[3], const float c[3], const float d[3], int render_class = 0,
              int texture_offset = 0) {
        const float ux = b[0] - a[0], uy = b[1] - a[1], uz = b[2] - a[2];
        const float vx = d[0] - a[0], vy = d[1] - a[1], vz = d[2] - a[2];
        float nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
        const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
        nx /= length, ny /= length, nz /= length;
        const int i = vertex(a[0], a[1], a[2], nx, ny, nz), j = vertex(b[0], b[1], b[2], nx, ny, nz);
        const int k = vertex(c[0], c[1], c[2], nx, ny, nz), l = vertex(d[0], d[1], d[2], nx, ny, nz);
        face(i, j, k, render_class, texture_offset);
        face(i, k, l, render_class, texture_offset);
    }
    template <typename T>
    static T* copy_out(const std::vector<T>& v) {
        T* out = static_cast<T*>(std::calloc(v.size() + 1, sizeof(T)));
        for (size_t i = 0; i < v.size(); i++) out[i] = v[i];
        return out;
    }
    Model* finish() {
        Model* m = static_cast<Model*>(std::calloc(1, sizeof(Model)));
        m->vertex_count = static_cast<uint16_t>(bones.size());
        m->face_count = static_cast<uint16_t>(faces.size());
        m->bone_index = copy_out(bones);
        m->second_bone_index = static_cast<uint16_t*>(std::calloc(bones.size() + 1, sizeof(uint16_t)));
        m->vertex_extra = static_cast<uint16_t*>(std::calloc(bones.size() + 1, sizeof(uint16_t)));
        m->rest_positions = copy_out(positions);
        m->posed_positions = copy_out(positions);
        m->rest_normals = copy_out(normals);
        m->posed_normals = copy_out(normals);
        m->faces = copy_out(faces);
        m->blended_faces = static_cast<uint16_t*>(std::calloc(faces.size() + 1, sizeof(uint16_t)));
        return m;
    }
};

// Pivots of a standing figure about 1.8 units tall; parents come first.
struct FigurePivot {
    float x, z;  // the pivot in the figure's y = 0 plane
    int parent;
};
static const FigurePivot FIGURE_PIVOTS[FIGURE_BONES] = {
    {0, 1.0f, -1},      // hips
    {0, 1.2f, 0},       // spine
    {0, 1.4f, 1},       // chest
    {0, 1.6f, 2},       // neck
    {0, 1.7f, 3},       // head
    {-0.2f, 1.5f, 2},   // left shoulder
    {-0.45f, 1.5f, 5},  // left elbow
    {-0.7f, 1.5f, 6},   // left hand
    {0.2f, 1.5f, 2},    // right shoulder
    {0.45f, 1.5f, 8},   // right elbow
    {0.7f, 1.5f, 9},    // right hand
    {-0.1f, 1.0f, 0},   // left hip
    {-0.1f, 0.5f, 11},  // left knee
    {-0.1f, 0.1f, 12},  // left foot
    {0.1f, 1.0f, 0},    // right hip
    {0.1f, 0.5f, 14},   // right knee
};

// One closed tube per bone: two rings of TUBE_SIDES and two caps.
inline Model* make_figure_model() {
    MeshBuilder mesh;
    const float radius = 0.09f, length = 0.22f;
    for (int b = 0; b < FIGURE_BONES; b++) {
        const int first = static_cast<int>(mesh.bones.size());
        for (int ring = 0; ring < 2; ring++) {
            for (int s = 0; s < TUBE_SIDES; s++) {
                const float a = 6.2831853f * static_cast<float>(s) / TUBE_SIDES;
                const float c = std::cos(a), si = std::sin(a);
                mesh.vertex(FIGURE_PIVOTS[b].x + radius * c, radius * si, FIGURE_PIVOTS[b].z - length * static_cast<float>(ring), c,
                            si, 0, b);
            }
        }
        for (int s = 0; s < TUBE_SIDES; s++) {
            const int t0 = first + s, t1 = first + (s + 1) % TUBE_SIDES;
            const int b0 = t0 + TUBE_SIDES, b1 = t1 + TUBE_SIDES;
            mesh.face(b0, b1, t1, 0, b % 3);
            mesh.face(b0, t1, t0, 0, b % 3);
        }
        for (int s = 1; s + 1 < TUBE_SIDES; s++) {
            mesh.face(first, first + s, first + s + 1, 0, b % 3);
            mesh.face(first + TUBE_SIDES, first + TUBE_SIDES + s + 1, first + TUBE_SIDES + s, 0, b % 3);
        }
    }
    return mesh.finish();
}

inline Skeleton* make_figure_skeleton(float phase) {
    Skeleton* s = static_cast<Skeleton*>(std::calloc(1, sizeof(Skeleton)));
    s->bone_count = FIGURE_BONES;
    for (int b = 0; b < FIGURE_BONES; b++) {
        Bone& bone = s->bones[b];
        bone.pivot[0] = FIGURE_PIVOTS[b].x;
        bone.pivot[2] = FIGURE_PIVOTS[b].z;
        bone.parent = static_cast<int16_t>(FIGURE_PIVOTS[b].parent);
        for (int k = 0; k < SKELETON_KEYFRAMES; k++) {
            const float t = static_cast<float>(k) + phase + static_cast<float>(b);
            bone.rotation_keys[k][0] = 12.0f * std::sin(0.7f * t);
            bone.rotation_keys[k][1] = 4.0f * std::cos(0.3f * t);
            bone.rotation_keys[k][2] = 6.0f * std::sin(0.5f * t);
            bone.translation_keys[k][2] = b == 0 ? 0.03f * std::sin(1.3f * t) : 0.0f;
            for (int axis = 0; axis < 3; axis++) bone.scale_keys[k][axis] = 1.0f;
        }
    }
    s->from_key = 8;
    s->to_key = 9;
    return s;
}

// Floor, four walls, towers, and translucent hangar panels (render class 2).
inline Model* make_arena_model() {
    MeshBuilder mesh;
    const float edge = 28.0f, cell = 2.8f;
    const int cells = 20;
    for (int i = 0; i < cells; i++) {
        for (int j = 0; j < cells; j++) {
            const float x0 = -edge + cell * i, y0 = -edge + cell * j;
            const float a[3] = {x0, y0, 0}, b[3] = {x0 + cell, y0, 0}, c[3] = {x0 + cell, y0 + cell, 0},
                        d[3] = {x0, y0 + cell, 0};
            mesh.quad(a, b, c, d, 0, 0);
        }
    }
    const float wall_row = 1.5f;
    for (int side = 0; side < 4; side++) {
        for (int i = 0; i < cells; i++) {
            for (int row = 0; row < 4; row++) {
                const float s0 = -edge + cell * i, s1 = s0 + cell, z0 = wall_row * row, z1 = z0 + wall_row;
                float a[3], b[3], c[3], d[3];
                // Each wall faces the middle of the arena.
                switch (side) {
                case 0: a[0] = s0, a[1] = edge, b[0] = s1, b[1] = edge; break;
                case 1: a[0] = s1, a[1] = -edge, b[0] = s0, b[1] = -edge; break;
                case 2: a[0] = edge, a[1] = s1, b[0] = edge, b[1] = s0; break;
                default: a[0] = -edge, a[1] = s0, b[0] = -edge, b[1] = s1; break;
                }
                c[0] = b[0], c[1] = b[1], d[0] = a[0], d[1] = a[1];
                a[2] = z0, b[2] = z0, c[2] = z1, d[2] = z1;
                mesh.quad(b, a, d, c, 0, 2);
            }
        }
    }
    for (int t = 0; t < 12; t++) {  // towers of 5 storeys, 4 sides each
        const float cx = -20.0f + 8.0f * static_cast<float>(t % 6), cy = t < 6 ? -20.0f : 20.0f, h = 1.2f;
        for (int storey = 0; storey < 5; storey++) {
            const float z0 = h * storey, z1 = z0 + h;
            const float corners[4][2] = {{cx - 1, cy - 1}, {cx + 1, cy - 1}, {cx + 1, cy + 1}, {cx - 1, cy + 1}};
            for (int side = 0; side < 4; side++) {
                const float* p = corners[side];
                const float* q = corners[(side + 1) % 4];
                const float a[3] = {p[0], p[1], z0}, b[3] = {q[0], q[1], z0}, c[3] = {q[0], q[1], z1},
                            d[3] = {p[0], p[1], z1};
                mesh.quad(a, b, c, d, 0, 7);
            }
        }
    }
    for (int p = 0; p < 24; p++) {  // translucent panels in two rows
        const float x0 = -22.0f + 2.0f * static_cast<float>(p % 12), y = p < 12 ? 10.0f : -4.0f;
        const float a[3] = {x0, y, 0.5f}, b[3] = {x0 + 1.5f, y, 0.5f}, c[3] = {x0 + 1.5f, y, 2.5f},
                    d[3] = {x0, y, 2.5f};
        mesh.quad(a, b, c, d, 2, 4);
    }
    return mesh.finish();
}

// Seen from inside: faces wound counter-clockwise from the centre.
inline Model* make_sky_model() {
    MeshBuilder mesh;
    const int slices = 24, stacks = 12;
    const float radius = 400.0f;
    for (int i = 0; i <= stacks; i++) {
        const float polar = 3.1415927f * static_cast<float>(i) / stacks;
        for (int j = 0; j <= slices; j++) {
            const float around = 6.2831853f * static_cast<float>(j) / slices;
            const float x = std::sin(polar) * std::cos(around), y = std::sin(polar) * std::sin(around),
                        z = std::cos(polar);
            mesh.vertex(radius * x, radius * y, radius * z, -x, -y, -z);
        }
    }
    for (int i = 0; i < stacks; i++) {
        for (int j = 0; j < slices; j++) {
            const int a = i * (slices + 1) + j, b = a + 1, c = a + slices + 1, d = c + 1;
            mesh.face(a, b, d);
            mesh.face(a, d, c);
        }
    }
    for (Face& f : mesh.faces) {
        for (int k = 0; k < 3; k++) f.uv[k][0] *= 0.01f, f.uv[k][1] *= 0.01f;
    }
    return mesh.finish();
}

inline Model* make_item_box_model() {
    MeshBuilder mesh;
    const float h = 0.5f;
    const float v[8][3] = {{-h, -h, 0}, {h, -h, 0}, {h, h, 0}, {-h, h, 0},
                           {-h, -h, 2 * h}, {h, -h, 2 * h}, {h, h, 2 * h}, {-h, h, 2 * h}};
    const int sides[6][4] = {{0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}, {4, 5, 6, 7}, {3, 2, 1, 0}};
    for (const auto& s : sides) mesh.quad(v[s[0]], v[s[1]], v[s[2]], v[s[3]]);
    return mesh.finish();
}

}  // namespace synthetic
