// The arena's surface textures (floors, walls, ruins, hangars, roofs,
// towers) and the ring-and-cross mark 1.raw. All tile seamlessly in both
// directions, since the arena loads them in repeat mode.
#include "assets/asset_list.h"
#include <cmath>

#include "procedural.h"
#include "world.h"
#include "world_paint.h"

namespace {

const int SURFACE_SIZE = 256;
const int MARK_SIZE = 128;

// Sandstone floor: 2 x 2 slabs per picture, each slab its own shade,
// speckled, with worn dark joints.
Image paint_stone_floor() {
    const int n = SURFACE_SIZE, slabs = 2, slab = n / slabs;
    const uint32_t seed = 101;
    Rgb light = rgb8(214, 186, 140), dark = rgb8(168, 136, 96), joint = rgb8(92, 74, 54);
    return paint_square(n, [&](int x, int y) {
        int i = x / slab, j = y / slab;
        float shade = cell_random(i, j, slabs, seed);
        float grain = image_noise(x, y, n, 32, 3, seed + 1);
        float blotch = image_noise(x, y, n, 4, 3, seed + 2);
        Rgb c = mix_weighted(dark, light, 0.35f + 0.4f * shade + 0.35f * (blotch - 0.5f));
        c = c * (0.88f + 0.24f * grain);
        // Joints: distance to the slab edge, a little ragged.
        float edge = static_cast<float>(std::min(edge_distance(x, slab), edge_distance(y, slab)));
        float ragged = 1.5f + 1.5f * image_noise(x, y, n, 16, 2, seed + 3);
        if (edge < ragged) c = mix_weighted(joint, c, edge / ragged * 0.5f);
        else if (edge < ragged + 3) c = c * (0.92f + 0.08f * (edge - ragged) / 3);
        // Fine cracks where a high-frequency noise crosses a narrow band.
        float crack = std::fabs(image_noise(x, y, n, 8, 4, seed + 4) - 0.5f);
        if (crack < 0.006f) c = c * 0.85f;
        return c;
    });
}

// Worn concrete: one cast slab with expansion joints at its edges, stains,
// aggregate speckle and a few oil spots.
Image paint_concrete_floor() {
    const int n = SURFACE_SIZE;
    const uint32_t seed = 201;
    Rgb base = rgb8(150, 148, 142), stain = rgb8(98, 96, 92), oil = rgb8(50, 48, 46);
    return paint_square(n, [&](int x, int y) {
        float wash = image_noise(x, y, n, 4, 4, seed);
        float speck = image_noise(x, y, n, 64, 2, seed + 1);
        Rgb c = mix_weighted(base, stain, 0.7f * smoothstep(0.4f, 0.85f, wash));
        c = c * (0.85f + 0.3f * speck);
        float spots = image_noise(x, y, n, 8, 3, seed + 2);
        c = mix_weighted(c, oil, 0.35f * smoothstep(0.72f, 0.85f, spots));
        int edge = std::min(edge_distance(x, n), edge_distance(y, n));
        if (edge < 2) c = c * 0.45f;
        else if (edge < 4) c = c * 1.08f;  // chipped lip along the joint
        return c;
    });
}

// Perimeter wall: courses of dressed stone blocks in running bond, eight
// courses of 0.5 units and blocks of 1 unit on a 4-unit picture.
Image paint_wall() {
    const int n = SURFACE_SIZE, courses = 8, blocks = 4;
    const int course = n / courses, block = n / blocks;
    const uint32_t seed = 301;
    Rgb stone_a = rgb8(186, 160, 124), stone_b = rgb8(150, 124, 96), mortar = rgb8(86, 78, 66);
    return paint_square(n, [&](int x, int y) {
        int row = y / course;
        int shifted = (x + (row % 2) * block / 2) % n;
        int col = shifted / block;
        float shade = cell_random(col, row, blocks * courses, seed);
        float grain = image_noise(x, y, n, 32, 3, seed + 1);
        float weather = image_noise(x, y, n, 4, 3, seed + 2);
        Rgb c = mix_weighted(stone_b, stone_a, 0.3f + 0.6f * shade);
        c = c * (0.85f + 0.25f * grain) * (0.85f + 0.3f * weather);
        int edge = std::min(edge_distance(shifted, block), edge_distance(y, course));
        if (edge < 2) c = mortar * (0.9f + 0.2f * grain);
        else if (edge < 4) c = c * 0.85f;
        // Soot rising from the bottom course.
        float soot = 1.0f - 0.25f * smoothstep(0.4f, 0.0f, static_cast<float>(y) / n) * weather;
        return c * soot;
    });
}

// Ruined masonry: irregular broken stones, deep cracks, moss in the joints.
Image paint_ruin() {
    const int n = SURFACE_SIZE;
    const uint32_t seed = 401;
    StonePattern stones = make_stone_pattern(n, 6, seed);
    Rgb rock_a = rgb8(140, 130, 116), rock_b = rgb8(96, 90, 84), gap = rgb8(36, 34, 30), moss = rgb8(78, 92, 52);
    return paint_square(n, [&](int x, int y) {
        float warp_x = (image_noise(x, y, n, 8, 2, seed + 1) - 0.5f) * 14;
        float warp_y = (image_noise(x, y, n, 8, 2, seed + 2) - 0.5f) * 14;
        StoneSample s = sample_stones(stones, x + warp_x, y + warp_y);
        float shade = cell_random(s.id % 6, s.id / 6, 6, seed + 3);
        float grain = image_noise(x, y, n, 64, 3, seed + 4);
        Rgb c = mix_weighted(rock_b, rock_a, 0.2f + 0.7f * shade) * (0.8f + 0.35f * grain);
        // Chipped faces: darker towards the stone's rim.
        c = c * (0.75f + 0.25f * smoothstep(2.0f, 14.0f, s.edge));
        if (s.edge < 2.5f) c = gap;
        float green = image_noise(x, y, n, 4, 3, seed + 5);
        if (s.edge < 7.0f) c = mix_weighted(c, moss, 0.6f * smoothstep(0.55f, 0.75f, green));
        return c;
    });
}

// Corrugated sliding-door panel: vertical ribs, a frame, a rail band, rust
// streaks and hazard stripes along the bottom (row 0 is the door's foot).
Image paint_hangar_door() {
    const int n = SURFACE_SIZE;
    const uint32_t seed = 501;
    const float ribs = 16;
    Rgb metal = rgb8(118, 132, 128), rust = rgb8(128, 72, 40), frame = rgb8(70, 76, 74);
    Rgb hazard_yellow = rgb8(222, 178, 40), hazard_black = rgb8(30, 30, 28);
    return paint_square(n, [&](int x, int y) {
        float rib = 0.5f + 0.5f * std::sin(2 * PI * ribs * x / n);
        Rgb c = metal * (0.7f + 0.4f * rib);
        // Rust runs downwards: noise stretched along the rows.
        float streak = image_noise(x, y * 0.125f, n, 32, 3, seed);
        float patch = image_noise(x, y, n, 4, 3, seed + 1);
        c = mix_weighted(c, rust * (0.7f + 0.4f * rib), 0.8f * smoothstep(0.55f, 0.8f, 0.6f * streak + 0.5f * patch));
        c = c * (0.9f + 0.15f * image_noise(x, y, n, 64, 2, seed + 2));
        bool edge = x < 6 || x >= n - 6 || y >= n - 10;
        bool rail = y >= n / 2 - 4 && y < n / 2 + 4;
        if (edge || rail) c = frame * (0.9f + 0.2f * patch);
        if (y < 22) c = ((x + y) / 16) % 2 ? hazard_yellow : hazard_black;
        if (y >= 22 && y < 26) c = frame * 0.6f;
        // The handle on the rail band.
        if (std::abs(x - n * 3 / 4) < 10 && std::abs(y - n / 2) < 2) c = rgb8(190, 190, 180);
        return c;
    });
}

// Hangar walls: 2 x 2 riveted sheet panels, weathered and grimed at the foot.
Image paint_hangar_wall() {
    const int n = SURFACE_SIZE, panels = 2, panel = n / panels;
    const uint32_t seed = 601;
    Rgb sheet_a = rgb8(120, 128, 110), sheet_b = rgb8(96, 104, 92), seam = rgb8(44, 48, 42);
    return paint_square(n, [&](int x, int y) {
        int i = x / panel, j = y / panel;
        float shade = cell_random(i, j, panels, seed);
        float grime = image_noise(x, y, n, 4, 4, seed + 1);
        float fine = image_noise(x, y, n, 64, 2, seed + 2);
        Rgb c = mix_weighted(sheet_b, sheet_a, 0.3f + 0.5f * shade) * (0.8f + 0.3f * grime) * (0.92f + 0.12f * fine);
        int edge = std::min(edge_distance(x, panel), edge_distance(y, panel));
        if (edge < 2) c = seam;
        else if (edge < 5) c = c * 1.12f;
        // Rivets every 16 pixels along each seam.
        int rx = x % panel, ry = y % panel;
        bool near_vertical = std::abs(rx - 8) < 2 || std::abs(rx - (panel - 9)) < 2;
        bool near_horizontal = std::abs(ry - 8) < 2 || std::abs(ry - (panel - 9)) < 2;
        if ((near_vertical && (ry % 16) >= 7 && (ry % 16) <= 9) || (near_horizontal && (rx % 16) >= 7 && (rx % 16) <= 9)) {
            c = rgb8(168, 172, 160);
        }
        return c;
    });
}

// Roof: corrugated sheets, ribs running down the slope, rust and lichen.
Image paint_roof() {
    const int n = SURFACE_SIZE;
    const uint32_t seed = 701;
    const float ribs = 12;
    Rgb sheet = rgb8(128, 84, 62), faded = rgb8(150, 128, 108), dirt = rgb8(64, 52, 44);
    return paint_square(n, [&](int x, int y) {
        float rib = 0.5f + 0.5f * std::sin(2 * PI * ribs * x / n);
        float fade = image_noise(x, y, n, 4, 4, seed);
        float speck = image_noise(x, y, n, 64, 2, seed + 1);
        Rgb c = mix_weighted(sheet, faded, smoothstep(0.4f, 0.8f, fade)) * (0.7f + 0.4f * rib) * (0.9f + 0.15f * speck);
        c = mix_weighted(c, dirt, 0.5f * smoothstep(0.6f, 0.85f, image_noise(x, y, n, 8, 3, seed + 2)));
        // Sheet overlaps: a shadowed line across the middle of each half.
        int oy = (y + n / 4) % (n / 2);
        if (oy < 3) c = c * 0.55f;
        return c;
    });
}

// Tower shaft: one side of the tower per picture, 4 units high: cast concrete
// with a seam at the foot and a slit window in the middle.
Image paint_tower() {
    const int n = SURFACE_SIZE;
    const uint32_t seed = 801;
    Rgb concrete = rgb8(168, 162, 150), stain = rgb8(110, 104, 96), glass = rgb8(26, 30, 38);
    return paint_square(n, [&](int x, int y) {
        float wash = image_noise(x, y, n, 8, 4, seed);
        float fine = image_noise(x, y, n, 64, 2, seed + 1);
        Rgb c = mix_weighted(concrete, stain, smoothstep(0.4f, 0.85f, wash)) * (0.88f + 0.2f * fine);
        // Edges of the side: darker corner strips.
        int ex = edge_distance(x, n);
        if (ex < 10) c = c * (0.7f + 0.03f * ex);
        if (y < 4 || y >= n - 2) c = c * 0.6f;
        // Slit window with a sill below it.
        bool slit = std::abs(x - n / 2) < 12 && y > n * 0.4f && y < n * 0.75f;
        bool frame = std::abs(x - n / 2) < 16 && y > n * 0.4f - 4 && y < n * 0.75f + 4;
        if (frame) c = c * 0.75f;
        if (slit) c = glass * (0.8f + 0.6f * (static_cast<float>(y) / n));
        if (std::abs(x - n / 2) < 20 && y > n * 0.4f - 10 && y <= n * 0.4f - 4) c = rgb8(190, 184, 172);
        return c;
    });
}

// Window panes of the tower cabin, shared by both halves of torre_2.raw so
// the glow lands exactly on the dark panes.
bool in_cabin_pane(int x, int y_in_half, int width) {
    const int pane_count = 2;
    int pane_width = width / pane_count;
    int px = x % pane_width;
    bool mullion = std::abs(px - pane_width / 2) < 2 || std::abs(y_in_half - 69) < 2;
    return px >= 10 && px < pane_width - 10 && y_in_half >= 34 && y_in_half < 104 && !mullion;
}

// Tower cabin: the lower half is the cabin wall with dark panes (mapped on
// the walls), the upper half black with the panes lit (mapped on the glow
// faces and added on top).
Image paint_tower_cabin() {
    const int n = SURFACE_SIZE, half = n / 2;
    const uint32_t seed = 901;
    Image image = make_image(n, n);
    Rgb frame = rgb8(92, 96, 104), glass = rgb8(20, 28, 40), lamp = rgb8(255, 206, 120);
    for (int y = 0; y < half; y++) {
        for (int x = 0; x < n; x++) {
            float grime = image_noise(x, y, n, 8, 3, seed);
            Rgb c = frame * (0.8f + 0.3f * grime);
            if (y < 12 || y >= half - 10) c = c * 0.7f;  // sill and lintel bands
            if (in_cabin_pane(x, y, n)) {
                // A sky reflection across the glass.
                float sheen = smoothstep(0.0f, 1.0f, static_cast<float>((x % (n / 2)) + y) / (n / 2 + half));
                c = glass + rgb8(30, 40, 60) * sheen;
            }
            put(image, x, y, c);
        }
    }
    for (int y = 0; y < half; y++) {
        for (int x = 0; x < n; x++) {
            Rgb c = rgb8(0, 0, 0);
            if (in_cabin_pane(x, y, n)) {
                int pane = x / (n / 2);
                float bright = 0.55f + 0.45f * cell_random(pane, 0, 2, seed + 1);
                float flicker = 0.85f + 0.3f * image_noise(x, y, n, 16, 2, seed + 2);
                // Brighter towards the middle of each pane.
                float lower = 0.75f + 0.25f * smoothstep(104.0f, 60.0f, static_cast<float>(y));
                c = lamp * (bright * flicker * lower);
            }
            put(image, x, y + half, c);
        }
    }
    return image;
}

// 1.raw: the aim mark and the beacons: glowing red-orange rings and a cross
// on pure black, fading out well before the border.
Image paint_mark() {
    const int n = MARK_SIZE;
    Rgb ring = rgb8(255, 96, 40), core = rgb8(255, 236, 200);
    Image image = paint_square(n, [&](int x, int y) {
        float dx = (x + 0.5f) / n - 0.5f, dy = (y + 0.5f) / n - 0.5f;
        float r = std::sqrt(dx * dx + dy * dy);
        float outer = std::exp(-std::pow((r - 0.38f) / 0.018f, 2.0f));
        float inner = std::exp(-std::pow((r - 0.2f) / 0.014f, 2.0f));
        float dot = std::exp(-std::pow(r / 0.05f, 2.0f));
        float arm = std::min(std::fabs(dx), std::fabs(dy));
        float cross = std::exp(-std::pow(arm / 0.01f, 2.0f)) * smoothstep(0.46f, 0.3f, r) *
                      smoothstep(0.06f, 0.1f, r);
        float halo = 0.25f * std::exp(-std::pow(r / 0.25f, 2.0f));
        Rgb c = ring * (outer + 0.8f * inner + halo) + core * (dot + 0.8f * cross);
        c = c * smoothstep(0.5f, 0.44f, r);
        return c;
    });
    clear_border(image, 1);
    return image;
}

// In the order of the arena's texture offsets 0 to 9.
const NamedPicture ARENA_TEXTURES[ARENA_TEXTURE_COUNT] = {
    {asset_name(ASSET_STONE_FLOOR_TEXTURE), paint_stone_floor},
    {asset_name(ASSET_CONCRETE_FLOOR_TEXTURE), paint_concrete_floor},
    {asset_name(ASSET_WALL_TEXTURE), paint_wall},
    {asset_name(ASSET_RUIN_TEXTURE), paint_ruin},
    {asset_name(ASSET_HANGAR_DOOR_TEXTURE), paint_hangar_door},
    {asset_name(ASSET_HANGAR_WALL_TEXTURE), paint_hangar_wall},
    {asset_name(ASSET_ROOF_TEXTURE), paint_roof},
    {asset_name(ASSET_TOWER_TEXTURE), paint_tower},
    {asset_name(ASSET_TOWER_CABIN_TEXTURE), paint_tower_cabin},
    {asset_name(ASSET_MARK_TEXTURE), paint_mark},
};

}  // namespace

bool write_arena_textures(const char* dir) {
    return write_pictures(dir, ARENA_TEXTURES, ARENA_TEXTURE_COUNT);
}
