// The item box (armamento.emd and its crate picture) and the shot mesh
// disparo.emd, which the game loads but draws as a sprite instead.
#include "assets/asset_list.h"
#include <cmath>

#include "mesh_build.h"
#include "procedural.h"
#include "world.h"
#include "world_paint.h"

namespace {

const float CRATE_HALF_SIZE = 0.45f;
const float CRATE_HEIGHT = 0.9f;
const int CRATE_PICTURE_SIZE = 256;
// The crate picture loads clamped: keep half a texel inside its edge.
const float CRATE_UV_MARGIN = 0.5f / CRATE_PICTURE_SIZE;

const float SHOT_HALF_LENGTH = 0.15f;
const float SHOT_HALF_WIDTH = 0.05f;

// Wooden planks in a dark metal-cornered frame, with a bright supply emblem:
// a white cross on a yellow disc.
Image paint_crate() {
    const int n = CRATE_PICTURE_SIZE;
    const uint32_t seed = 2101;
    const int planks = 5, frame = 22;
    Rgb wood_a = rgb8(170, 118, 62), wood_b = rgb8(120, 78, 38), iron = rgb8(64, 66, 70);
    Rgb disc = rgb8(255, 204, 40), cross = rgb8(255, 255, 250);
    return paint_square(n, [&](int x, int y) {
        int plank = y * planks / n;
        float shade = cell_random(plank, 0, planks, seed);
        float grain = image_noise(x * 0.25f, y * 2.0f, n, 16, 3, seed + 1);
        Rgb c = mix_weighted(wood_b, wood_a, 0.3f + 0.4f * shade + 0.4f * (grain - 0.5f));
        int py = (y * planks) % n;
        if (py < planks * 3) c = c * 0.5f;  // gap between planks
        int edge = std::min(edge_distance(x, n), edge_distance(y, n));
        if (edge < frame) {
            c = mix_weighted(wood_b, wood_a, 0.5f + 0.4f * (grain - 0.5f)) * 0.85f;
            if (edge < 3 || edge >= frame - 3) c = c * 0.55f;
        }
        bool corner = (x < frame * 2 || x >= n - frame * 2) && (y < frame * 2 || y >= n - frame * 2);
        if (corner && edge < frame) {
            c = iron * (0.85f + 0.3f * grain);
            int cx = x < n / 2 ? frame : n - 1 - frame, cy = y < n / 2 ? frame : n - 1 - frame;
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < 16) c = rgb8(180, 180, 176);
        }
        float dx = x + 0.5f - n / 2.0f, dy = y + 0.5f - n / 2.0f;
        float r = std::sqrt(dx * dx + dy * dy);
        if (r < n * 0.3f) {
            c = disc * (0.92f + 0.08f * grain);
            if (r > n * 0.28f) c = c * 0.6f;
            if ((std::fabs(dx) < n * 0.06f || std::fabs(dy) < n * 0.06f) && r < n * 0.22f) c = cross;
        }
        return c;
    });
}

}  // namespace

Mesh build_crate_mesh() {
    Mesh mesh;
    FaceStyle style = face_style(0);
    const float lo = CRATE_UV_MARGIN, hi = 1 - CRATE_UV_MARGIN;
    const float uv[4][2] = {{lo, lo}, {hi, lo}, {hi, hi}, {lo, hi}};
    const float s = CRATE_HALF_SIZE, h = CRATE_HEIGHT;
    // Each side carries the whole picture, corners counter-clockwise from outside.
    const Vec3 sides[6][4] = {
        {vec3(-s, -s, 0), vec3(s, -s, 0), vec3(s, -s, h), vec3(-s, -s, h)},    // -y
        {vec3(s, -s, 0), vec3(s, s, 0), vec3(s, s, h), vec3(s, -s, h)},        // +x
        {vec3(s, s, 0), vec3(-s, s, 0), vec3(-s, s, h), vec3(s, s, h)},        // +y
        {vec3(-s, s, 0), vec3(-s, -s, 0), vec3(-s, -s, h), vec3(-s, s, h)},    // -x
        {vec3(-s, -s, h), vec3(s, -s, h), vec3(s, s, h), vec3(-s, s, h)},      // top
        {vec3(-s, s, 0), vec3(s, s, 0), vec3(s, -s, 0), vec3(-s, -s, 0)},      // bottom
    };
    for (const auto& side : sides) add_quad(mesh, side, uv, style);
    return mesh;
}

// An elongated octahedron along +y, the direction of flight.
Mesh build_shot_mesh() {
    Mesh mesh;
    FaceStyle style = face_style(0);
    uint16_t front = add_vertex(mesh, vec3(0, SHOT_HALF_LENGTH, 0));
    uint16_t back = add_vertex(mesh, vec3(0, -SHOT_HALF_LENGTH, 0));
    uint16_t ring[4] = {
        add_vertex(mesh, vec3(SHOT_HALF_WIDTH, 0, 0)), add_vertex(mesh, vec3(0, 0, SHOT_HALF_WIDTH)),
        add_vertex(mesh, vec3(-SHOT_HALF_WIDTH, 0, 0)), add_vertex(mesh, vec3(0, 0, -SHOT_HALF_WIDTH)),
    };
    for (int k = 0; k < 4; k++) {
        uint16_t a = ring[k], b = ring[(k + 1) % 4];
        const float uv[3][2] = {{0, 0}, {1, 0}, {0.5f, 1}};
        add_triangle(mesh, a, front, b, uv, style);
        add_triangle(mesh, a, b, back, uv, style);
    }
    return mesh;
}

bool write_props(const char* dir) {
    bool ok = write_emd(join_path(dir, asset_name(ASSET_ITEM_BOX_MODEL)), build_crate_mesh());
    ok = write_raw(join_path(dir, asset_name(ASSET_ITEM_BOX_TEXTURE)), paint_crate()) && ok;
    ok = write_emd(join_path(dir, asset_name(ASSET_SHOT_MODEL)), build_shot_mesh()) && ok;
    return ok;
}
