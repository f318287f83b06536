// Kit shared by the two animated figures: lofted rings (tapered boxes and
// cylinders that may bend and may span two bones), spikes for claws and
// horns, texture-atlas rectangles, and the keyframe helpers that fill the
// animation clips of a skeleton.
#pragma once

#include <cstdint>
#include <vector>

#include "formats.h"
#include "mesh_build.h"

// Model space of both figures: z up, feet on z = 0, facing -y, the right
// hand on the -x side.
const Vec3 UP = {0, 0, 1};
const Vec3 FRONT = {0, -1, 0};
const Vec3 BACK = {0, 1, 0};

// The figures are symmetric: parts are laid out on the right side (-x) and
// placed on either side with `side` RIGHT (kept) or LEFT (mirrored).
const float RIGHT = -1.0f;
const float LEFT = 1.0f;
inline Vec3 on_side(Vec3 right_side_point, float side) {
    return Vec3{-right_side_point.x * side, right_side_point.y, right_side_point.z};
}

// The figure textures are 256 x 256 atlases; regions are given in pixels.
const int FIGURE_ATLAS_PIXELS = 256;

// A region of the atlas. Around a loft the strip runs from x0 to x1; along
// it, y0 lies at the first ring and y1 at the last (y0 > y1 keeps the image
// upright on a loft that is built from the bottom up).
struct AtlasRect {
    float x0, y0, x1, y1;
};

// One cross-section of a loft: an ellipse (or a rectangle, for box lofts)
// around `center`, perpendicular to the loft's path there.
struct Ring {
    Vec3 center;
    float side;     // half-width across the facing direction
    float depth;    // half-width along the facing direction
    int16_t bone;   // bone the ring's vertices follow
};

enum LoftShape {
    LOFT_ROUND,  // smooth shading around and along
    LOFT_BOX,    // four flat sides with sharp edges
};

// Ends of a loft left open because they lie buried inside the neighbouring
// part (and stay buried in every pose): their caps could never be seen.
enum LoftEnds {
    CLOSED_ENDS = 0,
    OPEN_FIRST = 1 << 0,  // no cap at the first ring
    OPEN_LAST = 1 << 1,   // no cap at the last ring
    OPEN_BOTH = OPEN_FIRST | OPEN_LAST,
};

struct Loft {
    std::vector<Ring> rings;  // at least two
    int sides;                // corners per ring (4 for a box)
    int open_ends;            // LoftEnds; make_loft closes both
    LoftShape shape;
    Vec3 facing;              // the middle of the strip (and the depth axis) faces this way
    uint16_t texture;         // texture offset of every face
    AtlasRect strip;          // wrapped around the sides
    AtlasRect cap;            // both end caps
};

// A loft without its rings (fill `rings` before adding it).
Loft make_loft(uint16_t texture, int sides, LoftShape shape, Vec3 facing, AtlasRect strip, AtlasRect cap);

// Adds a solid: the sides between the rings and a flat cap at each end not
// left open, all wound counter-clockwise seen from outside.
void add_loft(Mesh& mesh, const Loft& loft);

// A two-ring loft between two points, the usual tapered limb or box.
void add_segment(Mesh& mesh, int16_t bone, uint16_t texture, LoftShape shape, int sides, Vec3 from,
                 Vec3 to, float side_from, float depth_from, float side_to, float depth_to, Vec3 facing,
                 AtlasRect strip, AtlasRect cap, int open_ends = CLOSED_ENDS);

// A pointed solid (claw, horn, spike) from a polygon around `base` to `tip`.
void add_spike(Mesh& mesh, int16_t bone, uint16_t texture, Vec3 base, Vec3 tip, float radius, int sides,
               Vec3 facing, AtlasRect rect);

// Ends a figure's mesh: lifts or lowers it so its lowest point lies exactly
// on the floor (z = 0; ring tilts leave the soles a hair off it otherwise)
// and groups the faces by texture.
void finish_figure_mesh(Mesh& mesh);

// ---- skeletons and clips ----------------------------------------------------

// Angles of the bone keys: 256 units per full turn.
const float KEY_UNITS_PER_DEGREE = 256.0f / 360.0f;

// A full pose: one key per bone, all starting at rest.
typedef std::vector<BoneKey> Pose;
Pose make_rest_pose(size_t bone_count);
// Adds a turn given in degrees about x, y and z (applied x, then z, then y).
void turn_bone(Pose& pose, int bone, float x_degrees, float y_degrees, float z_degrees);
void move_bone(Pose& pose, int bone, float x, float y, float z);

inline float positive(float v) { return v > 0 ? v : 0; }
// The phase of a cycle played backwards (phase 0 stays the first key).
inline float reversed_phase(float phase) { return phase > 0 ? 1.0f - phase : 0.0f; }

// Sets bone `index` of a skeleton whose bones are allocated: its pivot (a
// joint of the mesh) and its parent (-1 for the root).
void set_bone(SkeletonData& skeleton, int index, Vec3 pivot, int parent);

// The pose of a looping clip at the cycle phase in [0, 1).
typedef Pose (*PoseAtPhase)(float phase);

// The pose function of each animation state.
struct FigureClips {
    PoseAtPhase walk;
    PoseAtPhase stand;
    PoseAtPhase strafe_left;
    PoseAtPhase strafe_right;
    PoseAtPhase backward;
};

// Samples every clip into its keys; each clip's last key flows back into its
// first.
void fill_clips(SkeletonData& skeleton, const FigureClips& clips);
