// The arena mesh a.emd: the playing floor, the perimeter wall with its
// pillars, and the ruins, hangars and towers beyond it. Nothing stands on
// the floor itself: the game has no collision with the scenery, so all of it
// lies outside the square the figures and shots move in.
#include "assets/asset_list.h"
#include <cassert>
#include <cmath>

#include "game/game.h"
#include "mesh_build.h"
#include "procedural.h"
#include "world.h"

namespace {

// The playing floor from wall to wall: stone squares in the four quarters,
// framed by concrete along the wall and a concrete cross through the middle.
// It is cut along those lines only, into one grid of large rectangles whose
// corners are shared, so no edge ends in the middle of another and every
// triangle is as large as the pattern allows.
const float FLOOR_HALF_SIZE = 28.0f;     // where the figures may walk
const float FLOOR_TEXTURE_UNITS = 4.0f;  // one floor picture covers 4 x 4 units
const float FLOOR_BORDER = 4.0f;         // width of the concrete along the wall
const float FLOOR_CROSS_HALF_WIDTH = 4.0f;
const int FLOOR_LINES = 6;               // grid lines across each axis

// The perimeter wall, built once for the +y side and turned to the others.
const float WALL_INNER = 29.4f;
const float WALL_OUTER = 30.4f;
const float WALL_HEIGHT = 3.5f;
const float WALL_TEXTURE_UNITS = 4.0f;
const float PILLAR_INNER = 29.0f;
const float PILLAR_OUTER = 30.8f;
const float PILLAR_HALF_WIDTH = 0.6f;
const float PILLAR_HEIGHT = 4.4f;
const float PILLAR_CAP_HALF_WIDTH = 0.8f;
const float PILLAR_CAP_HEIGHT = 0.3f;
const float PILLAR_SPACING = 8.0f;
const int PILLARS_PER_SIDE = 7;  // at -24, -16, ... 24
const float CORNER_PILLAR_LOW = 29.0f;
const float CORNER_PILLAR_HIGH = 31.2f;
const float CORNER_PILLAR_HEIGHT = 5.2f;

// Open ground from the wall out to the horizon, well inside the sky sphere.
const float GROUND_HALF_SIZE = 300.0f;
const float GROUND_TEXTURE_UNITS = 12.0f;  // large apron slabs

const float BUILDING_TEXTURE_UNITS = 4.0f;
const float RUIN_TEXTURE_UNITS = 3.0f;

struct HangarShape {
    float width;        // along the front
    float depth;        // from the front backwards
    float wall_height;
    float roof_rise;    // height of the arched roof above the walls
    int roof_segments;
};
const int MAX_ROOF_SEGMENTS = 12;

struct TowerShape {
    float body_radius_low, body_radius_high, body_height;
    float balcony_radius, balcony_thickness;
    float cabin_radius, cabin_height;
    float roof_radius, roof_height;
    float mast_height;  // 0 for none
    float beacon_size;
};

const int TOWER_SIDES = 8;
const float TOWER_START_ANGLE = PI / TOWER_SIDES;  // flat sides facing the axes
// Doors and glowing windows stand this far off the wall behind them, enough
// for a 16-bit depth buffer to keep them apart at the far side of the arena.
const float SURFACE_GAP = 0.3f;
const float TOWER_BODY_V_UNITS = 4.0f;

const HangarShape LARGE_HANGAR = {18.0f, 16.0f, 7.0f, 4.5f, 6};
const HangarShape SMALL_HANGAR = {15.0f, 13.0f, 6.0f, 4.0f, 6};

const TowerShape WATCHTOWER = {3.2f, 2.6f, 15.0f, 3.6f, 0.5f, 2.9f, 3.5f, 3.6f, 3.0f, 0.0f, 1.6f};
const TowerShape MAIN_TOWER = {5.0f, 4.0f, 30.0f, 5.8f, 0.8f, 4.5f, 5.0f, 5.6f, 4.0f, 6.0f, 2.4f};

struct Placement {
    float x, y;
    float yaw;  // radians; a hangar's front faces -y before turning
};

const Placement LARGE_HANGAR_PLACES[] = {
    {-12.0f, 39.0f, 0.0f},        // north, facing the arena
    {-40.0f, -6.0f, PI / 2},      // west, facing the arena
};
const Placement SMALL_HANGAR_PLACES[] = {
    {13.0f, 43.0f, 0.0f},         // north
};
const Placement WATCHTOWER_PLACES[] = {
    {40.0f, 40.0f, 0.0f},
    {-40.0f, 40.0f, 0.0f},
    {-40.0f, -40.0f, 0.0f},
    {40.0f, -40.0f, 0.0f},
};
const Placement MAIN_TOWER_PLACE = {64.0f, 10.0f, 0.0f};

// A broken wall of the ruins: start point, direction and size.
struct RuinWall {
    float x, y;
    float yaw;
    float length, thickness;
    float low, high;  // range of its broken top
};

const RuinWall RUIN_WALLS[] = {
    {-30.0f, -38.0f, 0.0f, 14.0f, 1.0f, 2.5f, 8.0f},
    {-12.0f, -44.0f, 0.15f, 10.0f, 1.0f, 3.0f, 9.0f},
    {6.0f, -37.0f, 0.0f, 12.0f, 1.2f, 2.0f, 6.5f},
    {24.0f, -42.0f, -0.3f, 9.0f, 1.0f, 3.0f, 10.0f},
    {-22.0f, -54.0f, 0.05f, 16.0f, 1.0f, 4.0f, 11.0f},
    {-22.0f, -54.0f, PI / 2, 8.0f, 1.0f, 3.0f, 9.0f},
    {10.0f, -56.0f, 0.0f, 12.0f, 1.2f, 4.0f, 12.0f},
    {35.0f, -20.0f, PI / 2, 12.0f, 1.0f, 2.5f, 7.0f},
    {44.0f, -28.0f, PI / 2 + 0.2f, 10.0f, 1.0f, 3.0f, 9.0f},
    {36.0f, 18.0f, PI / 2, 8.0f, 1.0f, 2.0f, 6.0f},
    {-36.0f, 14.0f, PI / 2, 10.0f, 1.0f, 2.5f, 7.0f},
    {-52.0f, 22.0f, PI / 2 - 0.2f, 12.0f, 1.0f, 3.5f, 10.0f},
};
const float RUIN_SEGMENT_LENGTH = 2.5f;
// How far a block's top leans towards the next block's height (1 = all the way).
const float RUIN_TOP_SLOPE = 0.35f;

// Standing column stumps of the ruins.
struct RuinColumn {
    float x, y, radius, height;
};

const RuinColumn RUIN_COLUMNS[] = {
    {-26.0f, -33.0f, 0.7f, 5.5f}, {-18.0f, -33.0f, 0.7f, 3.0f}, {-10.0f, -33.0f, 0.7f, 7.0f},
    {14.0f, -33.5f, 0.8f, 4.0f},  {22.0f, -33.5f, 0.8f, 8.5f},  {34.0f, -8.0f, 0.7f, 6.0f},
    {34.0f, 0.0f, 0.7f, 2.5f},    {-34.0f, 26.0f, 0.8f, 6.5f},  {2.0f, -48.0f, 1.0f, 9.0f},
    {-4.0f, -62.0f, 1.0f, 7.0f},
};
const int RUIN_COLUMN_SIDES = 6;

// Fallen blocks scattered in the ruin fields: a field is a rectangle and a count.
struct RubbleField {
    float x0, y0, x1, y1;
    int count;
};

const RubbleField RUBBLE_FIELDS[] = {
    {-34.0f, -60.0f, 30.0f, -32.5f, 22},
    {32.5f, -30.0f, 48.0f, 24.0f, 12},
    {-48.0f, 12.0f, -32.5f, 30.0f, 8},
};
const uint64_t RUBBLE_SEED = 0x5eed0a7e4a11ull;
const float RUBBLE_SIZE_MIN = 0.4f, RUBBLE_SIZE_MAX = 1.4f;

void add_floor(Mesh& mesh) {
    const float edge = WALL_INNER, border = FLOOR_HALF_SIZE - FLOOR_BORDER, cross = FLOOR_CROSS_HALF_WIDTH;
    const float line[FLOOR_LINES] = {-edge, -border, -cross, cross, border, edge};
    uint16_t grid[FLOOR_LINES][FLOOR_LINES];
    for (int j = 0; j < FLOOR_LINES; j++) {
        for (int i = 0; i < FLOOR_LINES; i++) grid[j][i] = add_vertex(mesh, vec3(line[i], line[j], 0.0f));
    }
    for (int j = 0; j + 1 < FLOOR_LINES; j++) {
        for (int i = 0; i + 1 < FLOOR_LINES; i++) {
            const bool stone = i % 2 == 1 && j % 2 == 1;  // the quarters between border and cross
            FaceStyle style = face_style(stone ? ARENA_FLOOR_STONE : ARENA_FLOOR_CONCRETE);
            const float u0 = line[i] / FLOOR_TEXTURE_UNITS, u1 = line[i + 1] / FLOOR_TEXTURE_UNITS;
            const float v0 = line[j] / FLOOR_TEXTURE_UNITS, v1 = line[j + 1] / FLOOR_TEXTURE_UNITS;
            const float a[3][2] = {{u0, v0}, {u1, v0}, {u1, v1}};
            const float b[3][2] = {{u0, v0}, {u1, v1}, {u0, v1}};
            add_triangle(mesh, grid[j][i], grid[j][i + 1], grid[j + 1][i + 1], a, style);
            add_triangle(mesh, grid[j][i], grid[j + 1][i + 1], grid[j + 1][i], b, style);
        }
    }
}

// A flat upward rectangle at z = 0, planar-mapped.
void add_ground_rect(Mesh& mesh, float x0, float y0, float x1, float y1, float tile, FaceStyle style) {
    const Vec3 quad[4] = {vec3(x0, y0, 0), vec3(x1, y0, 0), vec3(x1, y1, 0), vec3(x0, y1, 0)};
    add_planar_quad(mesh, quad, tile, tile, style);
}

// The open ground from the wall's outer face to the horizon, a frame of four
// rectangles.
void add_ground(Mesh& mesh) {
    const float a = WALL_OUTER, b = GROUND_HALF_SIZE, tile = GROUND_TEXTURE_UNITS;
    FaceStyle style = face_style(ARENA_FLOOR_CONCRETE);
    add_ground_rect(mesh, -b, -b, b, -a, tile, style);
    add_ground_rect(mesh, -b, a, b, b, tile, style);
    add_ground_rect(mesh, -b, -a, -a, a, tile, style);
    add_ground_rect(mesh, a, -a, b, a, tile, style);
}

// One side of the perimeter (the +y side), turned four times: the wall face
// towards the arena, its top, the pillars and the corner pillar at +x +y.
void add_perimeter(Mesh& mesh) {
    Mesh side;
    FaceStyle wall = face_style(ARENA_WALL);
    FaceStyle cap = face_style(ARENA_RUIN);
    // The face and the top run from corner to corner in one piece each: the
    // texture repeats along them and the light is the same all the way.
    const float x0 = -WALL_INNER, x1 = WALL_INNER;
    const Vec3 face[4] = {vec3(x0, WALL_INNER, 0), vec3(x1, WALL_INNER, 0), vec3(x1, WALL_INNER, WALL_HEIGHT),
                          vec3(x0, WALL_INNER, WALL_HEIGHT)};
    add_planar_quad(side, face, WALL_TEXTURE_UNITS, WALL_TEXTURE_UNITS, wall);
    const Vec3 top[4] = {vec3(x0, WALL_INNER, WALL_HEIGHT), vec3(x1, WALL_INNER, WALL_HEIGHT),
                         vec3(x1, WALL_OUTER, WALL_HEIGHT), vec3(x0, WALL_OUTER, WALL_HEIGHT)};
    add_planar_quad(side, top, WALL_TEXTURE_UNITS, WALL_TEXTURE_UNITS, wall);
    for (int k = 0; k < PILLARS_PER_SIDE; k++) {
        float x = (k - (PILLARS_PER_SIDE - 1) / 2) * PILLAR_SPACING;
        add_box(side, vec3(x - PILLAR_HALF_WIDTH, PILLAR_INNER, 0), vec3(x + PILLAR_HALF_WIDTH, PILLAR_OUTER, PILLAR_HEIGHT),
                BOX_NEG_X | BOX_POS_X | BOX_NEG_Y, WALL_TEXTURE_UNITS, wall);
        add_box(side, vec3(x - PILLAR_CAP_HALF_WIDTH, PILLAR_INNER, PILLAR_HEIGHT),
                vec3(x + PILLAR_CAP_HALF_WIDTH, PILLAR_OUTER, PILLAR_HEIGHT + PILLAR_CAP_HEIGHT),
                BOX_NEG_X | BOX_POS_X | BOX_NEG_Y | BOX_TOP, WALL_TEXTURE_UNITS, cap);
    }
    add_box(side, vec3(CORNER_PILLAR_LOW, CORNER_PILLAR_LOW, 0),
            vec3(CORNER_PILLAR_HIGH, CORNER_PILLAR_HIGH, CORNER_PILLAR_HEIGHT), BOX_SIDES, WALL_TEXTURE_UNITS, wall);
    add_box(side, vec3(CORNER_PILLAR_LOW, CORNER_PILLAR_LOW, CORNER_PILLAR_HEIGHT),
            vec3(CORNER_PILLAR_HIGH, CORNER_PILLAR_HIGH, CORNER_PILLAR_HEIGHT + PILLAR_CAP_HEIGHT), BOX_SIDES | BOX_TOP,
            WALL_TEXTURE_UNITS, cap);
    for (int turn = 0; turn < 4; turn++) append_mesh(mesh, side, turn * PI / 2, vec3(0, 0, 0));
}

// A hangar with an arched roof; its front (with the door) faces -y at y = 0.
void add_hangar(Mesh& mesh, const HangarShape& shape, Placement place) {
    Mesh part;
    FaceStyle walls = face_style(ARENA_HANGAR_WALL);
    FaceStyle roof = face_style(ARENA_ROOF, RENDER_CLASS_MAIN, 1);  // the eaves show their underside
    FaceStyle door = face_style(ARENA_HANGAR_DOOR, RENDER_CLASS_DEFERRED);
    float hw = shape.width / 2, d = shape.depth, h = shape.wall_height;
    add_box(part, vec3(-hw, 0, 0), vec3(hw, d, h), BOX_SIDES, BUILDING_TEXTURE_UNITS, walls);

    // The arch: the roof starts a little below the wall top outside the side
    // walls (so no gap opens under it) and rises to the ridge; the gable ends
    // follow it just inside, never below the wall top.
    const float eave = 0.4f, eave_drop = 1.0f;
    Vec3 arch[MAX_ROOF_SEGMENTS + 1];
    assert(shape.roof_segments <= MAX_ROOF_SEGMENTS);
    float roof_radius = hw + eave;
    for (int k = 0; k <= shape.roof_segments; k++) {
        float a = PI * k / shape.roof_segments;
        arch[k] = vec3(roof_radius * std::cos(a), 0, h - eave_drop + (shape.roof_rise + eave_drop) * std::sin(a));
    }
    for (int end = 0; end < 2; end++) {
        float y = end == 0 ? 0.0f : d;
        uint16_t centre = add_vertex(part, vec3(0, y, h));
        for (int k = 0; k < shape.roof_segments; k++) {
            Vec3 p = arch[k], q = arch[k + 1];
            p.x *= hw / roof_radius;
            q.x *= hw / roof_radius;
            p.z = std::fmax(p.z, h);
            q.z = std::fmax(q.z, h);
            p.y = q.y = y;
            uint16_t vp = add_vertex(part, p), vq = add_vertex(part, q);
            const float uv_c[2] = {0, h / BUILDING_TEXTURE_UNITS};
            const float uv_p[2] = {p.x / BUILDING_TEXTURE_UNITS, p.z / BUILDING_TEXTURE_UNITS};
            const float uv_q[2] = {q.x / BUILDING_TEXTURE_UNITS, q.z / BUILDING_TEXTURE_UNITS};
            if (end == 0) {
                const float uv[3][2] = {{uv_c[0], uv_c[1]}, {uv_p[0], uv_p[1]}, {uv_q[0], uv_q[1]}};
                add_triangle(part, centre, vp, vq, uv, walls);
            } else {
                const float uv[3][2] = {{uv_c[0], uv_c[1]}, {uv_q[0], uv_q[1]}, {uv_p[0], uv_p[1]}};
                add_triangle(part, centre, vq, vp, uv, walls);
            }
        }
    }
    for (int k = 0; k < shape.roof_segments; k++) {
        Vec3 a = arch[k], b = arch[k], c = arch[k + 1], e = arch[k + 1];
        a.y = e.y = -eave;
        b.y = c.y = d + eave;
        const Vec3 quad[4] = {a, b, c, e};
        add_planar_quad(part, quad, BUILDING_TEXTURE_UNITS, BUILDING_TEXTURE_UNITS, roof);
    }

    // The sliding door: three panels of the door picture across, one high.
    const float door_half_width = hw * 0.7f, door_height = h * 0.85f;
    const int door_panels = 3;
    const Vec3 quad[4] = {vec3(-door_half_width, -SURFACE_GAP, 0), vec3(door_half_width, -SURFACE_GAP, 0),
                          vec3(door_half_width, -SURFACE_GAP, door_height),
                          vec3(-door_half_width, -SURFACE_GAP, door_height)};
    const float uv[4][2] = {{0, 0}, {static_cast<float>(door_panels), 0}, {static_cast<float>(door_panels), 1}, {0, 1}};
    add_quad(part, quad, uv, door);

    append_mesh(mesh, part, place.yaw, vec3(place.x, place.y, 0));
}

// A watchtower: tapering shaft, balcony, windowed cabin with its glowing
// windows, pointed roof, an optional mast, and a beacon on top.
void add_tower(Mesh& mesh, const TowerShape& shape, Placement place) {
    Mesh part;
    FaceStyle body = face_style(ARENA_TOWER);
    FaceStyle ledge = face_style(ARENA_RUIN);
    FaceStyle cabin = face_style(ARENA_TOWER_CABIN);
    FaceStyle glow = face_style(ARENA_TOWER_CABIN, RENDER_CLASS_BLENDED);
    FaceStyle roof = face_style(ARENA_ROOF);
    FaceStyle beacon = face_style(ARENA_BEACON, RENDER_CLASS_BLENDED, 1);
    const int n = TOWER_SIDES;
    const float a0 = TOWER_START_ANGLE;

    float z = 0;
    add_prism(part, 0, 0, z, shape.body_radius_low, shape.body_height, shape.body_radius_high, n, a0, n, 0,
              shape.body_height / TOWER_BODY_V_UNITS, body);
    z = shape.body_height;
    float balcony_top = z + shape.balcony_thickness;
    add_prism(part, 0, 0, z, shape.balcony_radius, balcony_top, shape.balcony_radius, n, a0, n, 0, 0.25f, ledge);
    add_polygon_cap(part, 0, 0, z, shape.balcony_radius, n, a0, false, BUILDING_TEXTURE_UNITS, ledge);
    add_polygon_cap(part, 0, 0, balcony_top, shape.balcony_radius, n, a0, true, BUILDING_TEXTURE_UNITS, ledge);

    float cabin_top = balcony_top + shape.cabin_height;
    add_prism(part, 0, 0, balcony_top, shape.cabin_radius, cabin_top, shape.cabin_radius, n, a0, n,
              TOWER_CABIN_V_LOW, TOWER_CABIN_V_HIGH, cabin);
    float glow_radius = shape.cabin_radius + SURFACE_GAP / std::cos(PI / n);
    add_prism(part, 0, 0, balcony_top, glow_radius, cabin_top, glow_radius, n, a0, n,
              TOWER_CABIN_V_LOW + TOWER_GLOW_V_SHIFT, TOWER_CABIN_V_HIGH + TOWER_GLOW_V_SHIFT, glow);

    float roof_top = cabin_top + shape.roof_height;
    add_prism(part, 0, 0, cabin_top, shape.roof_radius, roof_top, 0, n, a0, n, 0, 1, roof);
    add_polygon_cap(part, 0, 0, cabin_top, shape.roof_radius, n, a0, false, BUILDING_TEXTURE_UNITS, roof);

    float top = roof_top;
    if (shape.mast_height > 0) {
        const float mast_radius = 0.15f;
        const int mast_sides = 4;
        top = roof_top - 0.5f + shape.mast_height;
        add_prism(part, 0, 0, roof_top - 0.5f, mast_radius, top, mast_radius, mast_sides, 0, 1, 0, 4, ledge);
    }
    // Two crossed quads carry the beacon so it shows from every side.
    float s = shape.beacon_size / 2;
    for (int k = 0; k < 2; k++) {
        float cx = k == 0 ? s : 0, cy = k == 0 ? 0 : s;
        const Vec3 quad[4] = {vec3(-cx, -cy, top - s * 0.2f), vec3(cx, cy, top - s * 0.2f),
                              vec3(cx, cy, top + s * 1.8f), vec3(-cx, -cy, top + s * 1.8f)};
        const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        add_quad(part, quad, uv, beacon);
    }
    append_mesh(mesh, part, place.yaw, vec3(place.x, place.y, 0));
}

// A wall broken into segments of uneven height, from (x, y) along yaw.
void add_ruin_wall(Mesh& mesh, const RuinWall& ruin, Rng& rng) {
    Mesh part;
    FaceStyle stone = face_style(ARENA_RUIN);
    int segments = static_cast<int>(std::ceil(ruin.length / RUIN_SEGMENT_LENGTH));
    float step = ruin.length / segments, t = ruin.thickness / 2;
    float previous_height = ruin.low + (ruin.high - ruin.low) * next_unit(rng);
    for (int k = 0; k < segments; k++) {
        float x0 = k * step, x1 = (k + 1) * step;
        float next_height = ruin.low + (ruin.high - ruin.low) * next_unit(rng);
        // Each block's top slopes from a chipped left edge to the next one.
        float left = previous_height * (0.8f + 0.2f * next_unit(rng));
        float right = left + (next_height - left) * RUIN_TOP_SLOPE;
        Vec3 corner[8];
        for (int i = 0; i < 8; i++) {
            float x = (i & 1) ? x1 : x0;
            float y = (i & 2) ? t : -t;
            float z = (i & 4) ? ((i & 1) ? right : left) * ((i & 2) ? 0.95f : 1.0f) : 0.0f;
            corner[i] = vec3(x, y, z);
        }
        int mask = BOX_NEG_Y | BOX_POS_Y | BOX_TOP;
        if (k == 0) mask |= BOX_NEG_X;
        if (k == segments - 1) mask |= BOX_POS_X;
        // Neighbouring tops differ, so the step between them shows an end face.
        if (k > 0) mask |= BOX_NEG_X;
        add_hexahedron(part, corner, mask, RUIN_TEXTURE_UNITS, stone);
        previous_height = next_height;
    }
    append_mesh(mesh, part, ruin.yaw, vec3(ruin.x, ruin.y, 0));
}

void add_ruin_column(Mesh& mesh, const RuinColumn& column, Rng& rng) {
    FaceStyle stone = face_style(ARENA_RUIN);
    float start = next_unit(rng) * PI;
    add_prism(mesh, column.x, column.y, 0, column.radius * 1.1f, column.height, column.radius, RUIN_COLUMN_SIDES,
              start, 2, 0, column.height / RUIN_TEXTURE_UNITS, stone);
    add_polygon_cap(mesh, column.x, column.y, column.height, column.radius, RUIN_COLUMN_SIDES, start, true,
                    RUIN_TEXTURE_UNITS, stone);
}

// Loose blocks: boxes turned at random with their top corners knocked about.
void add_rubble(Mesh& mesh, const RubbleField& field, Rng& rng) {
    FaceStyle stone = face_style(ARENA_RUIN);
    for (int k = 0; k < field.count; k++) {
        float x = field.x0 + (field.x1 - field.x0) * next_unit(rng);
        float y = field.y0 + (field.y1 - field.y0) * next_unit(rng);
        float size = RUBBLE_SIZE_MIN + (RUBBLE_SIZE_MAX - RUBBLE_SIZE_MIN) * next_unit(rng);
        float yaw = next_unit(rng) * PI;
        float hx = size * (0.6f + 0.6f * next_unit(rng)), hy = size * (0.5f + 0.4f * next_unit(rng));
        float height = size * (0.5f + 0.6f * next_unit(rng));
        float c = std::cos(yaw), s = std::sin(yaw);
        Vec3 corner[8];
        for (int i = 0; i < 8; i++) {
            float lx = (i & 1) ? hx : -hx, ly = (i & 2) ? hy : -hy;
            float z = 0;
            if (i & 4) z = height * (0.6f + 0.4f * next_unit(rng));
            if (i & 4) {
                lx *= 0.85f;
                ly *= 0.85f;
            }
            corner[i] = vec3(x + lx * c - ly * s, y + lx * s + ly * c, z);
        }
        add_hexahedron(mesh, corner, BOX_SIDES | BOX_TOP, RUIN_TEXTURE_UNITS, stone);
    }
}

}  // namespace

// The arena is drawn in the order of its faces, and the depth test turns a
// hidden pixel away before it is textured only when the surface hiding it
// came first. So the mesh holds, in this order: the perimeter wall and the
// floor, which hide most of the rest from the figures' height; the scenery
// beyond the wall; and last the open ground, which the wall hides almost
// wholly. Each part has its faces grouped by texture.
Mesh build_arena_mesh() {
    Mesh near, scenery, ground;
    add_perimeter(near);
    add_floor(near);
    for (const Placement& p : LARGE_HANGAR_PLACES) add_hangar(scenery, LARGE_HANGAR, p);
    for (const Placement& p : SMALL_HANGAR_PLACES) add_hangar(scenery, SMALL_HANGAR, p);
    for (const Placement& p : WATCHTOWER_PLACES) add_tower(scenery, WATCHTOWER, p);
    add_tower(scenery, MAIN_TOWER, MAIN_TOWER_PLACE);
    Rng rng = make_rng(RUBBLE_SEED);
    for (const RuinWall& ruin : RUIN_WALLS) add_ruin_wall(scenery, ruin, rng);
    for (const RuinColumn& column : RUIN_COLUMNS) add_ruin_column(scenery, column, rng);
    for (const RubbleField& field : RUBBLE_FIELDS) add_rubble(scenery, field, rng);
    add_ground(ground);
    Mesh mesh;
    for (Mesh* part : {&near, &scenery, &ground}) {
        sort_faces_by_texture(*part);
        append_mesh(mesh, *part, 0.0f, vec3(0, 0, 0));
    }
    // Every camera stays inside the perimeter wall (the tally's orbit comes
    // nearest, to 29 units) and never rises above the intro's start.
    drop_faces_turned_away(mesh, vec3(-WALL_INNER, -WALL_INNER, 0), vec3(WALL_INNER, WALL_INNER, INTRO_EYE_HEIGHT));
    return mesh;
}

bool write_arena(const char* dir) {
    return write_emd(join_path(dir, asset_name(ASSET_ARENA_MODEL)), build_arena_mesh());
}
