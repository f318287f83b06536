// Lofts, spikes and clip sampling for the figure meshes and skeletons.
#include "figure_builder.h"

#include <cassert>
#include <cmath>

#include "anim/anim.h"
#include "procedural.h"

namespace {

// Axis pair of a ring: `front` is the facing direction flattened onto the
// ring's plane, `across` completes it so that the ring's corners run
// counter-clockwise about the path direction.
struct RingFrame {
    Vec3 front, across;
};

RingFrame frame_for(Vec3 along, Vec3 facing) {
    assert(dot(along, along) > 0);  // two rings (or a spike's ends) in one place
    Vec3 flat = facing - along * dot(facing, along);
    if (dot(flat, flat) < 1e-8f) {
        // Facing straight down the path: any perpendicular will do.
        Vec3 fallback = std::fabs(along.z) < 0.9f ? vec3(0, 0, 1) : vec3(0, -1, 0);
        flat = fallback - along * dot(fallback, along);
    }
    RingFrame frame;
    frame.front = normalized(flat);
    frame.across = cross(frame.front, along);
    return frame;
}

float atlas_u(float x) { return x / FIGURE_ATLAS_PIXELS; }
float atlas_v(float y) { return y / FIGURE_ATLAS_PIXELS; }

// A main-pass, one-sided triangle with its corners' texture coordinates.
void add_textured_triangle(Mesh& mesh, uint16_t texture, uint16_t a, uint16_t b, uint16_t c, float ua, float va,
                           float ub, float vb, float uc, float vc) {
    const float uv[3][2] = {{ua, va}, {ub, vb}, {uc, vc}};
    add_triangle(mesh, a, b, c, uv, face_style(texture));
}

// A flat polygon closing one end of a loft; `outward` tells which way it faces
// relative to the ring's counter-clockwise order.
void add_cap(Mesh& mesh, uint16_t texture, const std::vector<Vec3>& points, int16_t bone, bool facing_along,
             const AtlasRect& rect, const std::vector<float>& angles) {
    size_t n = points.size();
    std::vector<uint16_t> index(n);
    for (size_t i = 0; i < n; i++) index[i] = add_vertex(mesh, points[i], bone);
    float cu = (rect.x0 + rect.x1) * 0.5f, cv = (rect.y0 + rect.y1) * 0.5f;
    float hu = (rect.x1 - rect.x0) * 0.5f, hv = (rect.y1 - rect.y0) * 0.5f;
    std::vector<float> u(n), v(n);
    for (size_t i = 0; i < n; i++) {
        u[i] = atlas_u(cu + hu * std::sin(angles[i]));
        v[i] = atlas_v(cv - hv * std::cos(angles[i]));
    }
    for (size_t i = 1; i + 1 < n; i++) {
        if (facing_along)
            add_textured_triangle(mesh, texture, index[0], index[i], index[i + 1], u[0], v[0], u[i], v[i], u[i + 1],
                                  v[i + 1]);
        else
            add_textured_triangle(mesh, texture, index[0], index[i + 1], index[i], u[0], v[0], u[i + 1], v[i + 1], u[i],
                                  v[i]);
    }
}

// Samples one looping clip, keys first_key to last_key: `pose_at` gets the
// cycle phase of each key.
void fill_clip(SkeletonData& skeleton, int first_key, int last_key, PoseAtPhase pose_at) {
    const int key_count = last_key - first_key + 1;
    assert(first_key >= 1 && key_count > 0 && last_key < ESQ_KEYFRAMES);
    for (int k = 0; k < key_count; k++) {
        Pose pose = pose_at(static_cast<float>(k) / key_count);
        assert(pose.size() == skeleton.bones.size());
        for (size_t b = 0; b < pose.size(); b++) skeleton.bones[b].keys[first_key + k] = pose[b];
    }
}

}  // namespace

Loft make_loft(uint16_t texture, int sides, LoftShape shape, Vec3 facing, AtlasRect strip, AtlasRect cap) {
    Loft loft;
    loft.sides = sides;
    loft.open_ends = CLOSED_ENDS;
    loft.shape = shape;
    loft.facing = facing;
    loft.texture = texture;
    loft.strip = strip;
    loft.cap = cap;
    return loft;
}

void add_loft(Mesh& mesh, const Loft& loft) {
    const size_t ring_count = loft.rings.size();
    const int n = loft.sides;
    assert(ring_count >= 2 && n >= 3);

    // Corner angles: a box turns by half a step so its sides, not its
    // corners, face front, back and across; its corners then lie further
    // out so the half-widths are met on the flat sides.
    const float step = 2.0f * PI / n;
    const float start = loft.shape == LOFT_BOX ? step * 0.5f : 0.0f;
    const float reach = loft.shape == LOFT_BOX ? 1.0f / std::cos(step * 0.5f) : 1.0f;
    std::vector<float> angles(n);
    for (int i = 0; i < n; i++) angles[i] = start + step * i;

    std::vector<std::vector<Vec3>> points(ring_count, std::vector<Vec3>(n));
    for (size_t j = 0; j < ring_count; j++) {
        const Ring& ring = loft.rings[j];
        Vec3 ahead = loft.rings[j + 1 < ring_count ? j + 1 : j].center;
        Vec3 behind = loft.rings[j > 0 ? j - 1 : j].center;
        RingFrame frame = frame_for(normalized(ahead - behind), loft.facing);
        for (int i = 0; i < n; i++) {
            // Angle 0 is the back of the ring; the strip's middle faces front.
            float back = -std::cos(angles[i]) * ring.depth * reach;
            float across = std::sin(angles[i]) * ring.side * reach;
            points[j][i] = ring.center + frame.front * back + frame.across * across;
        }
    }

    const AtlasRect& s = loft.strip;
    auto strip_u = [&](int i) { return atlas_u(s.x0 + (s.x1 - s.x0) * i / n); };
    auto strip_v = [&](size_t j) { return atlas_v(s.y0 + (s.y1 - s.y0) * j / (ring_count - 1)); };

    if (loft.shape == LOFT_ROUND) {
        std::vector<std::vector<uint16_t>> index(ring_count, std::vector<uint16_t>(n));
        for (size_t j = 0; j < ring_count; j++)
            for (int i = 0; i < n; i++) index[j][i] = add_vertex(mesh, points[j][i], loft.rings[j].bone);
        for (size_t j = 0; j + 1 < ring_count; j++) {
            for (int i = 0; i < n; i++) {
                int k = (i + 1) % n;
                uint16_t a = index[j][i], b = index[j][k], c = index[j + 1][k], d = index[j + 1][i];
                float u0 = strip_u(i), u1 = strip_u(i + 1), v0 = strip_v(j), v1 = strip_v(j + 1);
                add_textured_triangle(mesh, loft.texture, a, b, c, u0, v0, u1, v0, u1, v1);
                add_textured_triangle(mesh, loft.texture, a, c, d, u0, v0, u1, v1, u0, v1);
            }
        }
    } else {
        for (size_t j = 0; j + 1 < ring_count; j++) {
            for (int i = 0; i < n; i++) {
                int k = (i + 1) % n;
                uint16_t a = add_vertex(mesh, points[j][i], loft.rings[j].bone);
                uint16_t b = add_vertex(mesh, points[j][k], loft.rings[j].bone);
                uint16_t c = add_vertex(mesh, points[j + 1][k], loft.rings[j + 1].bone);
                uint16_t d = add_vertex(mesh, points[j + 1][i], loft.rings[j + 1].bone);
                float u0 = strip_u(i), u1 = strip_u(i + 1), v0 = strip_v(j), v1 = strip_v(j + 1);
                add_textured_triangle(mesh, loft.texture, a, b, c, u0, v0, u1, v0, u1, v1);
                add_textured_triangle(mesh, loft.texture, a, c, d, u0, v0, u1, v1, u0, v1);
            }
        }
    }

    if (!(loft.open_ends & OPEN_FIRST))
        add_cap(mesh, loft.texture, points.front(), loft.rings.front().bone, false, loft.cap, angles);
    if (!(loft.open_ends & OPEN_LAST))
        add_cap(mesh, loft.texture, points.back(), loft.rings.back().bone, true, loft.cap, angles);
}

void add_segment(Mesh& mesh, int16_t bone, uint16_t texture, LoftShape shape, int sides, Vec3 from, Vec3 to,
                 float side_from, float depth_from, float side_to, float depth_to, Vec3 facing, AtlasRect strip,
                 AtlasRect cap, int open_ends) {
    Loft loft = make_loft(texture, sides, shape, facing, strip, cap);
    loft.open_ends = open_ends;
    loft.rings = {Ring{from, side_from, depth_from, bone}, Ring{to, side_to, depth_to, bone}};
    add_loft(mesh, loft);
}

void add_spike(Mesh& mesh, int16_t bone, uint16_t texture, Vec3 base, Vec3 tip, float radius, int sides,
               Vec3 facing, AtlasRect rect) {
    assert(sides >= 3);
    RingFrame frame = frame_for(normalized(tip - base), facing);
    std::vector<Vec3> ring(sides);
    std::vector<float> angles(sides);
    for (int i = 0; i < sides; i++) {
        angles[i] = 2.0f * PI * i / sides;
        ring[i] = base + frame.front * (-std::cos(angles[i]) * radius) + frame.across * (std::sin(angles[i]) * radius);
    }
    uint16_t apex = add_vertex(mesh, tip, bone);
    std::vector<uint16_t> index(sides);
    for (int i = 0; i < sides; i++) index[i] = add_vertex(mesh, ring[i], bone);
    float mid_u = atlas_u((rect.x0 + rect.x1) * 0.5f);
    for (int i = 0; i < sides; i++) {
        int k = (i + 1) % sides;
        float u0 = atlas_u(rect.x0 + (rect.x1 - rect.x0) * i / sides);
        float u1 = atlas_u(rect.x0 + (rect.x1 - rect.x0) * (i + 1) / sides);
        add_textured_triangle(mesh, texture, index[i], index[k], apex, u0, atlas_v(rect.y0), u1, atlas_v(rect.y0),
                              mid_u, atlas_v(rect.y1));
    }
    add_cap(mesh, texture, ring, bone, false, rect, angles);
}

void finish_figure_mesh(Mesh& mesh) {
    if (!mesh.vertices.empty()) {
        float lowest = mesh.vertices[0].z;
        for (const MeshVertex& v : mesh.vertices) lowest = std::fmin(lowest, v.z);
        for (MeshVertex& v : mesh.vertices) v.z -= lowest;
    }
    sort_faces_by_texture(mesh);
}

Pose make_rest_pose(size_t bone_count) {
    return Pose(bone_count, rest_key());
}

void turn_bone(Pose& pose, int bone, float x_degrees, float y_degrees, float z_degrees) {
    assert(bone >= 0 && static_cast<size_t>(bone) < pose.size());
    BoneKey& key = pose[bone];
    key.rotation[0] += x_degrees * KEY_UNITS_PER_DEGREE;
    key.rotation[1] += y_degrees * KEY_UNITS_PER_DEGREE;
    key.rotation[2] += z_degrees * KEY_UNITS_PER_DEGREE;
}

void move_bone(Pose& pose, int bone, float x, float y, float z) {
    assert(bone >= 0 && static_cast<size_t>(bone) < pose.size());
    BoneKey& key = pose[bone];
    key.translation[0] += x;
    key.translation[1] += y;
    key.translation[2] += z;
}

void set_bone(SkeletonData& skeleton, int index, Vec3 pivot, int parent) {
    assert(index >= 0 && static_cast<size_t>(index) < skeleton.bones.size());
    skeleton.bones[index] = make_bone(pivot.x, pivot.y, pivot.z, static_cast<int16_t>(parent));
}

void fill_clips(SkeletonData& skeleton, const FigureClips& clips) {
    fill_clip(skeleton, ANIM_WALK_FORWARD_FIRST_KEY, ANIM_WALK_FORWARD_LAST_KEY, clips.walk);
    fill_clip(skeleton, ANIM_STAND_FIRST_KEY, ANIM_STAND_LAST_KEY, clips.stand);
    fill_clip(skeleton, ANIM_STRAFE_LEFT_FIRST_KEY, ANIM_STRAFE_LEFT_LAST_KEY, clips.strafe_left);
    fill_clip(skeleton, ANIM_STRAFE_RIGHT_FIRST_KEY, ANIM_STRAFE_RIGHT_LAST_KEY, clips.strafe_right);
    fill_clip(skeleton, ANIM_WALK_BACKWARD_FIRST_KEY, ANIM_WALK_BACKWARD_LAST_KEY, clips.backward);
}
