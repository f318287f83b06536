// The figure skins: the soldier's uniform and gear ("tex1.raw"), his face
// and helmet ("tex2.raw"), the rifle ("arma.raw") and the creature's scaly
// hide ("malo.raw"). Each is a 256 x 256 atlas painted region by region
// (see figures.h) from fixed-seed noise, so every run paints the same bytes.
// First the painting vocabulary (regions, grain, cells, stripes), then for
// each figure its palette, its surfaces (camouflage, leather, metal, scales),
// the tables of where its features sit, and one painter per region.
#include <cmath>

#include "colour.h"
#include "figures.h"
#include "procedural.h"

namespace {

// The corners no mesh uses are painted too, so no pixel is left transparent
// black: plain camouflage below the backpack, skin beside the neck.
const AtlasRect BODY_SPARE_CORNER = {0, 224, 128, 256};
const AtlasRect HEAD_SPARE_CORNER = {192, 224, 256, 256};

// Local coordinates handed to a region painter: pixel position inside the
// region (px, py from its top-left corner), its size, and the position
// relative to the size (u, v in 0..1, v growing down the image).
struct Spot {
    float px, py, w, h, u, v;
    int x, y;  // absolute pixel
};

template <typename Painter>
void paint_region(Image& image, const AtlasRect& rect, Painter painter) {
    int x0 = static_cast<int>(std::fmin(rect.x0, rect.x1)), x1 = static_cast<int>(std::fmax(rect.x0, rect.x1));
    int y0 = static_cast<int>(std::fmin(rect.y0, rect.y1)), y1 = static_cast<int>(std::fmax(rect.y0, rect.y1));
    for (int y = y0; y < y1; y++) {
        for (int x = x0; x < x1; x++) {
            Spot s;
            s.x = x;
            s.y = y;
            s.px = static_cast<float>(x - x0) + 0.5f;
            s.py = static_cast<float>(y - y0) + 0.5f;
            s.w = static_cast<float>(x1 - x0);
            s.h = static_cast<float>(y1 - y0);
            s.u = s.px / s.w;
            s.v = s.py / s.h;
            put(image, x, y, painter(s));
        }
    }
}

// Fine grain shared by every surface: a little per-pixel jitter.
float grain(int x, int y, uint32_t seed, float amount) {
    return 1.0f + (value_noise(x * 0.9f, y * 0.9f, 231, seed) - 0.5f) * amount;
}

// Distance to the nearest and second-nearest jittered cell centre (cells of
// `cell` pixels): a pattern of scales or pebbles.
void cell_distances(float x, float y, float cell, uint32_t seed, float& nearest, float& second) {
    float gx = std::floor(x / cell), gy = std::floor(y / cell);
    nearest = second = 1e9f;
    for (int dy = -1; dy <= 1; dy++) {
        for (int dx = -1; dx <= 1; dx++) {
            float cx = gx + dx, cy = gy + dy;
            float jx = value_noise(cx * 7.31f + 0.5f, cy * 3.17f + 0.5f, 4096, seed);
            float jy = value_noise(cx * 5.11f + 0.5f, cy * 9.43f + 0.5f, 4096, seed + 17);
            float fx = (cx + 0.15f + 0.7f * jx) * cell, fy = (cy + 0.15f + 0.7f * jy) * cell;
            float d = std::sqrt((fx - x) * (fx - x) + (fy - y) * (fy - y));
            if (d < nearest) {
                second = nearest;
                nearest = d;
            } else if (d < second) {
                second = d;
            }
        }
    }
}

// A blank atlas for one skin.
Image make_atlas() {
    return make_image(FIGURE_ATLAS_PIXELS, FIGURE_ATLAS_PIXELS);
}

// Whether a coordinate falls in the first `width` pixels of every `period`:
// ribs, seams, buckles and treads repeating along a region.
bool in_stripe(float coordinate, int period, int width) {
    return static_cast<int>(coordinate) % period < width;
}

// ---- cloth and gear -----------------------------------------------------------

// The soldier's palette.
const Rgb CAMO_KHAKI = {0.56f, 0.53f, 0.38f};
const Rgb CAMO_GREEN = {0.29f, 0.36f, 0.19f};
const Rgb CAMO_BROWN = {0.40f, 0.29f, 0.17f};
const Rgb CAMO_BLACK = {0.13f, 0.13f, 0.10f};
const Rgb OLIVE_DRAB = {0.33f, 0.34f, 0.21f};
const Rgb LEATHER_BLACK = {0.11f, 0.09f, 0.08f};
const Rgb GLOVE_LEATHER = {0.16f, 0.13f, 0.10f};
const Rgb SKIN_TONE = {0.80f, 0.61f, 0.47f};
const Rgb SKIN_BLOTCH = {0.74f, 0.50f, 0.40f};
const Rgb STITCH_THREAD = {0.7f, 0.68f, 0.55f};
const Rgb STRAP_BUCKLE = {0.45f, 0.45f, 0.42f};
const Rgb BELT_BUCKLE = {0.55f, 0.53f, 0.45f};
const Rgb PACK_BUCKLE = {0.5f, 0.5f, 0.45f};
const Rgb BOOT_LACE = {0.35f, 0.30f, 0.22f};
const Rgb BOOT_EYELET = {0.5f, 0.5f, 0.48f};
const Rgb SOLE_RUBBER = {0.08f, 0.08f, 0.08f};
const Rgb SOLE_TREAD = {0.15f, 0.15f, 0.14f};
const Rgb BLANKET_BROWN = {0.38f, 0.30f, 0.22f};
const Rgb PACK_SNAP = {0.2f, 0.2f, 0.18f};
const Rgb HAIR_BROWN = {0.20f, 0.15f, 0.10f};
const Rgb STUBBLE = {0.42f, 0.34f, 0.28f};
const Rgb EYE_WHITE = {0.92f, 0.90f, 0.86f};
const Rgb IRIS_GREEN = {0.22f, 0.30f, 0.20f};
const Rgb PUPIL_BLACK = {0.03f, 0.03f, 0.03f};
const Rgb BROW_BROWN = {0.18f, 0.13f, 0.09f};
const Rgb LIP_RED = {0.42f, 0.20f, 0.18f};
const Rgb GOGGLE_LENS = {0.25f, 0.32f, 0.30f};
const Rgb GOGGLE_GLINT = {0.6f, 0.7f, 0.7f};
const Rgb GOGGLE_RIM = {0.12f, 0.12f, 0.12f};

// Woodland camouflage on a twill weave.
Rgb camouflage(int x, int y, uint32_t seed) {
    float blobs = fractal_noise(x / 28.0f, y / 28.0f, 256, 3, seed);
    float streaks = fractal_noise(x / 20.0f + 3.7f, y / 34.0f + 1.3f, 256, 3, seed + 5);
    float specks = fractal_noise(x / 9.0f, y / 9.0f, 256, 2, seed + 11);
    Rgb c = CAMO_KHAKI;
    if (blobs > 0.53f) c = CAMO_GREEN;
    if (streaks > 0.58f) c = CAMO_BROWN;
    if (specks > 0.66f && blobs > 0.45f) c = CAMO_BLACK;
    float twill = ((x + y) % 3 == 0) ? 0.92f : 1.0f;
    return c * (twill * grain(x, y, seed + 23, 0.18f));
}

// A stitched seam: a dark fold with lighter stitches along it.
Rgb seam(Rgb c, float distance, float along) {
    if (distance < 1.0f) return c * 0.6f;
    if (distance < 2.0f) return (static_cast<int>(along) % 4 < 2) ? mix(c, STITCH_THREAD, 0.5f) : c;
    return c;
}

// A seam running down the region at a share of its width.
Rgb seam_across(Rgb c, const Spot& s, float across) {
    return seam(c, std::fabs(s.px - s.w * across), s.py);
}

// A rectangle outline (pocket, flap) with a shadow below it.
Rgb pocket(Rgb c, float px, float py, float x0, float y0, float x1, float y1) {
    if (px < x0 || px > x1 || py < y0 || py > y1 + 2) return c;
    if (py > y1) return c * 0.7f;  // shadow under the pocket
    if (px < x0 + 1 || px > x1 - 1 || py < y0 + 1 || py > y1 - 1) return c * 0.65f;
    if (py < y0 + (y1 - y0) * 0.3f) return c * (py < y0 + (y1 - y0) * 0.3f - 1 ? 1.08f : 0.6f);  // flap
    return c;
}

// Where pockets sit on a region: the centre at a share of the width plus an
// offset, the half width, and the top and bottom rows, in pixels.
struct PocketPlace {
    float across, offset, half_width, top, bottom;
};

const PocketPlace CHEST_POCKETS[] = {
    {0.5f, -17, 9, 26, 46},  // either side of the zip
    {0.5f, 17, 9, 26, 46},
};
const PocketPlace CARGO_POCKETS[] = {
    {0.25f, 0, 9, 20, 46},  // on both sides of the thigh
    {0.75f, 0, 9, 20, 46},
};

template <size_t N>
Rgb add_pockets(Rgb c, const Spot& s, const PocketPlace (&places)[N]) {
    for (const PocketPlace& place : places) {
        const float centre = s.w * place.across + place.offset;
        c = pocket(c, s.px, s.py, centre - place.half_width, place.top, centre + place.half_width, place.bottom);
    }
    return c;
}

Rgb leather(int x, int y, uint32_t seed, Rgb base) {
    float crease = fractal_noise(x / 6.0f, y / 14.0f, 256, 3, seed);
    float sheen = fractal_noise(x / 30.0f, y / 30.0f, 256, 2, seed + 3);
    return base * ((0.75f + 0.5f * crease) * (0.85f + 0.4f * sheen) * grain(x, y, seed + 9, 0.1f));
}

void paint_jacket(Image& image) {
    paint_region(image, BODY_JACKET, [](const Spot& s) {
        Rgb c = camouflage(s.x, s.y, 101);
        const float front = s.w * 0.5f;
        // Zip down the front, side seams, collar.
        if (std::fabs(s.px - front) < 1.5f) c = c * 0.55f;
        else if (std::fabs(s.px - front) < 3.0f) c = c * 1.1f;
        c = seam_across(c, s, 0.25f);
        c = seam_across(c, s, 0.75f);
        if (s.py < 7) c = c * 0.75f;
        c = add_pockets(c, s, CHEST_POCKETS);
        // Pack straps over the shoulders, front and back.
        for (float strap : {front - 34.0f, front + 34.0f, 12.0f, s.w - 12.0f}) {
            float d = std::fabs(s.px - strap);
            if (d < 4.5f && s.py < 70) {
                c = OLIVE_DRAB * ((d > 3.5f ? 0.7f : 1.0f) * grain(s.x, s.y, 7, 0.2f));
                if (in_stripe(s.py, 18, 2)) c = STRAP_BUCKLE;
            }
        }
        return c;
    });
}

void paint_trousers(Image& image) {
    paint_region(image, BODY_TROUSERS, [](const Spot& s) {
        Rgb c = camouflage(s.x, s.y, 202);
        // Web belt along the top with a buckle at the front.
        if (s.py < 11) {
            c = OLIVE_DRAB * ((s.py < 1.5f || s.py > 9.5f ? 0.6f : 1.0f) * grain(s.x, s.y, 3, 0.25f));
            if (std::fabs(s.px - s.w * 0.5f) < 7 && s.py > 1.5f && s.py < 9.5f) c = BELT_BUCKLE;
        } else if (std::fabs(s.px - s.w * 0.5f) < 1.0f) {
            c = c * 0.6f;  // fly seam
        }
        return c;
    });
}

void paint_thigh(Image& image) {
    paint_region(image, BODY_THIGH, [](const Spot& s) {
        Rgb c = camouflage(s.x, s.y, 303);
        c = seam_across(c, s, 0.5f);
        return add_pockets(c, s, CARGO_POCKETS);
    });
}

void paint_shin(Image& image) {
    paint_region(image, BODY_SHIN, [](const Spot& s) {
        const float boot_top = s.h * 0.58f;
        if (s.py < boot_top) {
            Rgb c = camouflage(s.x, s.y, 404);
            if (s.py > boot_top - 5) c = c * 0.8f;  // trousers bloused over the boot
            return seam_across(c, s, 0.5f);
        }
        Rgb c = leather(s.x, s.y, 41, LEATHER_BLACK);
        if (s.py < boot_top + 2) c = c * 0.5f;
        // Laces criss-crossing up the front.
        float dx = std::fabs(s.px - s.w * 0.5f);
        if (dx < 7) {
            float phase = std::fmod(s.py, 6.0f);
            if (std::fabs(dx - phase) < 1.0f) c = BOOT_LACE;
            if (dx > 5.5f && std::fmod(s.py, 6.0f) < 1.5f) c = BOOT_EYELET;
        }
        return c;
    });
}

void paint_sleeves(Image& image) {
    paint_region(image, BODY_SLEEVE, [](const Spot& s) {
        Rgb c = camouflage(s.x, s.y, 505);
        // A flag patch on the outer side of each upper sleeve.
        for (float across : {0.25f, 0.75f}) {
            float dx = std::fabs(s.px - s.w * across), dy = std::fabs(s.py - 16);
            if (dx < 8 && dy < 5) c = (dx > 7 || dy > 4) ? OLIVE_DRAB * 0.6f : mix(OLIVE_DRAB, CAMO_BLACK, 0.3f);
        }
        return seam(c, std::fabs(s.px - 1), s.py);
    });
    paint_region(image, BODY_FORESLEEVE, [](const Spot& s) {
        Rgb c = camouflage(s.x, s.y, 606);
        if (s.py < 10) c = c * (0.85f + 0.1f * std::sin(s.py));  // rolled folds at the elbow
        if (s.py > s.h - 9) c = c * (s.py > s.h - 8 ? 0.8f : 0.55f);  // cuff
        return c;
    });
}

void paint_gear(Image& image) {
    paint_region(image, BODY_GLOVE, [](const Spot& s) {
        Rgb c = leather(s.x, s.y, 51, GLOVE_LEATHER);
        if (in_stripe(s.px, 16, 1)) c = c * 0.6f;  // finger seams
        if (s.py > s.h - 6) c = c * 0.75f;                  // knuckle pad
        return c;
    });
    paint_region(image, BODY_BOOT, [](const Spot& s) {
        Rgb c = leather(s.x, s.y, 61, LEATHER_BLACK);
        float side = s.u * 4.0f;
        if (side >= 3.0f) {  // the sole: rubber tread
            c = SOLE_RUBBER;
            if (in_stripe(s.py, 5, 2)) c = SOLE_TREAD;
        } else if (side >= 1.0f && side < 2.0f) {  // the top: laces
            float dx = std::fabs(s.px - s.w * 0.375f);
            if (dx < 5 && std::fabs(dx - std::fmod(s.py, 5.0f)) < 1.0f && s.py < s.h * 0.6f)
                c = BOOT_LACE;
        }
        if (std::fmod(side, 1.0f) < 0.06f) c = c * 0.6f;
        return c;
    });
    paint_region(image, BODY_PACK, [](const Spot& s) {
        Rgb c = OLIVE_DRAB * ((0.85f + 0.3f * fractal_noise(s.x / 10.0f, s.y / 10.0f, 256, 3, 71)) *
                                      grain(s.x, s.y, 72, 0.2f));
        if ((s.x + s.y) % 2 == 0) c = c * 0.95f;
        float side = s.u * 4.0f;
        if (std::fmod(side, 1.0f) < 0.05f) c = c * 0.6f;  // box edges
        if (side >= 1.0f && side < 2.0f) {                       // the outer face
            float fx = (side - 1.0f) * s.w * 0.25f, fy = s.py;
            if (fy < 26) c = c * (fy > 24 ? 0.55f : 1.1f);  // top flap
            for (float strap : {8.0f, 24.0f}) {
                if (std::fabs(fx - strap) < 2.5f && fy < 40) {
                    c = OLIVE_DRAB * 0.7f;
                    if (fy > 24 && fy < 30) c = PACK_BUCKLE;
                }
            }
            c = pocket(c, fx, fy, 5, 36, 27, 58);
        }
        return c;
    });
    paint_region(image, BODY_ROLL, [](const Spot& s) {
        Rgb c = BLANKET_BROWN * (0.8f + 0.4f * fractal_noise(s.x / 5.0f, s.y / 12.0f, 256, 2, 81));
        if (in_stripe(s.px, 21, 2)) c = c * 0.6f;  // roll layers
        bool strap = std::fabs(s.v - 0.2f) < 0.06f || std::fabs(s.v - 0.8f) < 0.06f;
        if (strap) c = LEATHER_BLACK * 1.6f;
        return c;
    });
    paint_region(image, BODY_WEBBING, [](const Spot& s) {
        Rgb c = OLIVE_DRAB * ((0.9f + 0.2f * fractal_noise(s.x / 6.0f, s.y / 6.0f, 256, 2, 91)) *
                                      grain(s.x, s.y, 92, 0.2f));
        if (std::fmod(s.u * 4.0f, 1.0f) < 0.08f) c = c * 0.6f;
        if (s.py > s.h * 0.6f && s.py < s.h * 0.65f) c = c * 0.55f;  // flap edge
        if (std::fabs(s.px - s.w * 0.375f) < 2 && std::fabs(s.py - s.h * 0.75f) < 2) c = PACK_SNAP;
        return c;
    });
    paint_region(image, BODY_CAP, [](const Spot& s) { return camouflage(s.x, s.y, 111) * 0.8f; });
}

// ---- the soldier's head ---------------------------------------------------------

Rgb skin(int x, int y, uint32_t seed) {
    float blotch = fractal_noise(x / 12.0f, y / 12.0f, 256, 3, seed);
    return mix(SKIN_TONE, SKIN_BLOTCH, blotch * 0.6f) * grain(x, y, seed + 1, 0.08f);
}

float ellipse(float px, float py, float cx, float cy, float rx, float ry) {
    float dx = (px - cx) / rx, dy = (py - cy) / ry;
    return dx * dx + dy * dy;
}

// Where the soldier's features sit on his face strip, in pixels: rows from
// the crown down, widths and spreads from the middle of the face.
struct SoldierFace {
    float hairline_row;        // hair above it all the way round
    float jaw_row;             // hair at the sides above it, stubble below
    float hair_side;           // hair this far out from the middle
    float stubble_half_width;
    float ear_spread;          // the ears' centres either side of the middle
    float ear_row;
    float ear_half_width, ear_half_height;
    float brow_row;
    float eye_row;
    float eye_spread;          // the eyes' centres either side of the middle
    float nose_row;
    float mouth_row;
};

const SoldierFace SOLDIER_FACE = {16, 78, 88, 60, 64, 52, 7, 14, 35, 43, 15, 60, 92};

void paint_face(Image& image) {
    paint_region(image, HEAD_FACE, [](const Spot& s) {
        const SoldierFace& f = SOLDIER_FACE;
        const float mid = s.w * 0.5f;
        Rgb c = skin(s.x, s.y, 121);
        float dx = s.px - mid, ax = std::fabs(dx);
        // Short dark hair at the back and top; stubble along the jaw.
        Rgb hair = HAIR_BROWN * (0.8f + 0.4f * value_noise(s.px, s.py * 0.5f, 256, 122));
        if ((ax > f.hair_side && s.py < f.jaw_row) || s.py < f.hairline_row) c = hair;
        else if (s.py > f.jaw_row && ax < f.stubble_half_width)
            c = mix(c, STUBBLE, 0.35f * value_noise(s.px * 0.8f, s.py * 0.8f, 256, 123));
        // Ears on both sides.
        for (float ear : {mid - f.ear_spread, mid + f.ear_spread}) {
            float e = ellipse(s.px, s.py, ear, f.ear_row, f.ear_half_width, f.ear_half_height);
            if (e < 1) c = skin(s.x, s.y, 124) * (e > 0.6f ? 0.75f : 0.95f);
        }
        // Camouflage face paint across the cheeks.
        if (ax < 44 && ax > 22 && std::fabs(s.py - (40 + ax * 0.5f)) < 3) c = mix(c, CAMO_GREEN, 0.7f);
        if (ax < 34 && std::fabs(s.py - 24) < 3) c = mix(c, CAMO_BROWN, 0.6f);
        // Eyes, brows, nose shadow, mouth.
        for (float side : {-1.0f, 1.0f}) {
            float ex = mid + side * f.eye_spread;
            float e = ellipse(s.px, s.py, ex, f.eye_row, 7, 3.2f);
            if (e < 1.6f && e >= 1.0f) c = c * 0.7f;
            if (e < 1.0f) c = EYE_WHITE;
            if (ellipse(s.px, s.py, ex, f.eye_row, 2.6f, 2.6f) < 1) c = IRIS_GREEN;
            if (ellipse(s.px, s.py, ex, f.eye_row, 1.2f, 1.2f) < 1) c = PUPIL_BLACK;
            if (ellipse(s.px, s.py, ex, f.brow_row, 9, 1.8f) < 1) c = BROW_BROWN;
        }
        if (ax < 5 && s.py > f.eye_row + 3 && s.py < f.nose_row + 4) c = c * (0.9f + 0.02f * ax);
        if (ax < 8 && std::fabs(s.py - f.nose_row - 4) < 1.5f) c = c * 0.7f;
        if (ax < 14 && std::fabs(s.py - f.mouth_row) < 1.6f) c = LIP_RED;
        if (ax < 11 && s.py > f.mouth_row + 1.6f && s.py < f.mouth_row + 4) c = c * 1.05f;
        return c;
    });
}

void paint_helmet(Image& image) {
    paint_region(image, HEAD_HELMET, [](const Spot& s) {
        Rgb c = mix(camouflage(s.x, s.y, 131), OLIVE_DRAB, 0.35f);
        // Net over the cover.
        float gx = std::fmod(s.px + s.py * 0.5f, 9.0f), gy = std::fmod(s.px - s.py * 0.5f + 256, 9.0f);
        if (gx < 1.0f || gy < 1.0f) c = c * 0.65f;
        const float band_top = 56, band_bottom = 66;
        if (s.py > band_top && s.py < band_bottom) c = LEATHER_BLACK * 1.4f;
        // Goggles on the band above the face.
        const float mid = s.w * 0.5f;
        for (float side : {-1.0f, 1.0f}) {
            float e = ellipse(s.px, s.py, mid + side * 14, 61, 11, 8);
            Rgb lens = mix(GOGGLE_LENS, GOGGLE_GLINT, s.py < 59 ? 0.5f : 0.0f);  // glint on top
            if (e < 1) c = e > 0.65f ? GOGGLE_RIM : lens;
        }
        if (s.py > s.h - 4) c = c * 0.6f;  // rim
        return c;
    });
    paint_region(image, HEAD_HELMET_TOP,
                 [](const Spot& s) { return mix(camouflage(s.x, s.y, 141), OLIVE_DRAB, 0.35f); });
    paint_region(image, HEAD_HAIR, [](const Spot& s) {
        return HAIR_BROWN * (0.8f + 0.4f * value_noise(s.px, s.py, 256, 151));
    });
    paint_region(image, HEAD_SKIN, [](const Spot& s) { return skin(s.x, s.y, 161); });
}

// ---- the rifle ------------------------------------------------------------------

const Rgb GUNMETAL = {0.20f, 0.21f, 0.22f};
const Rgb POLYMER = {0.11f, 0.11f, 0.10f};
const Rgb WORN_STEEL = {0.55f, 0.56f, 0.58f};
const Rgb MAGAZINE_STEEL = {0.26f, 0.25f, 0.22f};
const Rgb PIN_STEEL = {0.45f, 0.46f, 0.47f};
const Rgb RUBBER_BLACK = {0.05f, 0.05f, 0.05f};  // the ejection port and the butt pad
const Rgb HOLE_BLACK = {0.02f, 0.02f, 0.02f};    // vents and muzzle slots

// Brushed metal: fine streaks along the barrel and worn, lighter edges at
// the box corners.
Rgb metal(const Spot& s, Rgb base, uint32_t seed) {
    float brush = value_noise(s.px * 0.15f, s.py * 2.0f, 256, seed);
    float wear = fractal_noise(s.px / 8.0f, s.py / 8.0f, 256, 3, seed + 1);
    Rgb c = base * (0.85f + 0.3f * brush);
    float edge = std::fmod(s.u * 4.0f, 1.0f);
    if (edge < 0.05f || edge > 0.95f) c = mix(c, WORN_STEEL, 0.5f * wear + 0.2f);
    return c;
}

void paint_gun(Image& image) {
    paint_region(image, GUN_RECEIVER, [](const Spot& s) {
        Rgb c = metal(s, GUNMETAL, 171);
        // Ejection port on the right side, pins and the rail on top.
        float side = s.u * 4.0f;
        if (side < 1.0f && s.v > 0.2f && s.v < 0.5f && std::fabs(side - 0.5f) < 0.25f) c = RUBBER_BLACK;
        if (ellipse(std::fmod(s.px, 32.0f), s.py, 16, 48, 2, 2) < 1) c = PIN_STEEL;
        if (side >= 1.0f && side < 2.0f && in_stripe(s.py, 4, 1)) c = c * 0.6f;
        return c;
    });
    paint_region(image, GUN_STOCK, [](const Spot& s) {
        Rgb c = POLYMER * (0.9f + 0.25f * fractal_noise(s.px / 4.0f, s.py / 4.0f, 256, 2, 181));
        if (s.py < 8 && in_stripe(s.py, 2, 1)) c = RUBBER_BLACK;  // rubber butt pad
        if (std::fmod(s.u * 4.0f, 1.0f) < 0.04f) c = c * 1.6f;
        return c;
    });
    paint_region(image, GUN_HANDGUARD, [](const Spot& s) {
        Rgb c = POLYMER * (1.1f + 0.2f * fractal_noise(s.px / 3.0f, s.py / 3.0f, 256, 2, 191));
        // Rows of cooling vents.
        float vx = std::fmod(s.px, 16.0f), vy = std::fmod(s.py, 12.0f);
        if (ellipse(vx, vy, 8, 6, 5, 2.2f) < 1) c = HOLE_BLACK;
        return c;
    });
    paint_region(image, GUN_BARREL, [](const Spot& s) {
        Rgb c = metal(s, GUNMETAL * 0.8f, 201);
        if (std::fabs(s.u - 0.5f) < 0.08f) c = c * 1.5f;  // highlight along the top
        return c;
    });
    paint_region(image, GUN_MAGAZINE, [](const Spot& s) {
        Rgb c = metal(s, MAGAZINE_STEEL, 211);
        if (in_stripe(s.py, 10, 2)) c = c * 0.6f;  // ribs
        return c;
    });
    paint_region(image, GUN_GRIP, [](const Spot& s) {
        Rgb c = POLYMER;
        if ((in_stripe(s.px, 4, 2)) != (in_stripe(s.py, 4, 2))) c = c * 1.5f;  // stippling
        return c * grain(s.x, s.y, 221, 0.3f);
    });
    paint_region(image, GUN_DARK, [](const Spot& s) { return metal(s, GUNMETAL * 0.7f, 231); });
    paint_region(image, GUN_MUZZLE, [](const Spot& s) {
        Rgb c = metal(s, GUNMETAL * 0.75f, 241);
        if (std::fmod(s.px, 21.0f) < 5 && s.v > 0.25f && s.v < 0.75f) c = HOLE_BLACK;  // slots
        return c;
    });
}

// ---- the creature ---------------------------------------------------------------

const Rgb HIDE_GREEN = {0.33f, 0.38f, 0.27f};
const Rgb HIDE_DARK = {0.16f, 0.19f, 0.14f};
const Rgb BELLY_PALE = {0.62f, 0.58f, 0.40f};
const Rgb BONE_IVORY = {0.85f, 0.80f, 0.64f};
const Rgb VEIN_PURPLE = {0.30f, 0.25f, 0.30f};
const Rgb CLAW_TIP = {0.18f, 0.14f, 0.10f};
const Rgb RAG_BROWN = {0.30f, 0.21f, 0.13f};
const Rgb BLOOD_STAIN = {0.25f, 0.06f, 0.05f};
const Rgb EYE_GLOW_CORE = {1.0f, 0.85f, 0.15f};
const Rgb EYE_GLOW_RIM = {0.9f, 0.2f, 0.05f};
const Rgb SLIT_PUPIL = {0.05f, 0.02f, 0.02f};
const Rgb NOSTRIL_BLACK = {0.06f, 0.04f, 0.04f};
const Rgb MOUTH_RED = {0.20f, 0.03f, 0.03f};

// A region and the noise seed it is painted with.
struct SeededRegion {
    const AtlasRect* rect;
    uint32_t seed;
};

// The limbs share one painter; each gets its own scales.
const SeededRegion CREATURE_LIMBS[] = {
    {&BEAST_UPPER_ARM, 261},
    {&BEAST_FOREARM, 271},
    {&BEAST_THIGH, 281},
    {&BEAST_SHIN, 291},
};

// Scaly hide: cells with dark crevices, blotches, paler towards `pale`.
Rgb scales(int x, int y, float cell, float pale, uint32_t seed) {
    float nearest, second;
    cell_distances(static_cast<float>(x), static_cast<float>(y), cell, seed, nearest, second);
    float crevice = smoothstep(0.0f, cell * 0.18f, second - nearest);
    float blotch = fractal_noise(x / 24.0f, y / 24.0f, 256, 3, seed + 1);
    Rgb c = mix(HIDE_GREEN, HIDE_DARK, smoothstep(0.45f, 0.7f, blotch));
    c = mix(c, BELLY_PALE, pale);
    float dome = 1.1f - 0.25f * clamp_unit(nearest / cell);  // each scale bulges
    return c * ((0.45f + 0.55f * crevice) * dome * grain(x, y, seed + 2, 0.12f));
}

void paint_creature_body(Image& image) {
    paint_region(image, BEAST_TORSO, [](const Spot& s) {
        // Belly at the front (middle of the strip), spine at the edges.
        float from_front = std::fabs(s.u - 0.5f) * 2.0f;
        float pale = 1.0f - smoothstep(0.25f, 0.5f, from_front);
        Rgb c = scales(s.x, s.y, pale > 0.5f ? 9.0f : 7.0f, pale * 0.8f, 251);
        if (pale > 0.5f && std::fmod(s.py, 11.0f) < 1.5f) c = c * 0.6f;  // belly plates
        float spine = std::fmin(s.u, 1.0f - s.u) * s.w;
        if (spine < 10) c = c * (0.6f + 0.04f * spine);
        return c;
    });
    for (const SeededRegion& limb : CREATURE_LIMBS) {
        const uint32_t seed = limb.seed;
        paint_region(image, *limb.rect, [seed](const Spot& s) {
            // Paler on the inside face of the limb, darker behind.
            float pale = 0.25f * (0.5f + 0.5f * std::cos((s.u - 0.5f) * 6.2832f));
            Rgb c = scales(s.x, s.y, 6.0f, pale, seed);
            // A raised vein winding down the front.
            float vein = std::fabs(s.px - s.w * 0.5f - 6.0f * std::sin(s.py * 0.15f));
            if (vein < 1.5f) c = mix(c, VEIN_PURPLE, 0.6f);
            return c;
        });
    }
    paint_region(image, BEAST_HIDE, [](const Spot& s) {
        float knob = fractal_noise(s.px / 3.0f, s.py / 3.0f, 256, 2, 301);
        return scales(s.x, s.y, 5.0f, 0.0f, 302) * (0.75f + 0.4f * knob);
    });
    paint_region(image, BEAST_CLAW, [](const Spot& s) {
        // Ivory at the root darkening to a blackened tip, with growth streaks.
        Rgb c = mix(BONE_IVORY, CLAW_TIP, smoothstep(0.3f, 1.0f, s.v));
        return c * (0.85f + 0.3f * value_noise(s.px * 0.5f, s.py * 0.05f, 256, 311));
    });
    paint_region(image, BEAST_RAG, [](const Spot& s) {
        Rgb c = RAG_BROWN * (0.7f + 0.5f * fractal_noise(s.px / 5.0f, s.py / 5.0f, 256, 3, 321));
        float stain = fractal_noise(s.px / 10.0f, s.py / 10.0f, 256, 2, 322);
        if (stain > 0.62f) c = mix(c, BLOOD_STAIN, 0.6f);
        if (static_cast<int>(s.px + s.py) % 7 == 0) c = c * 0.85f;  // coarse weave
        return c;
    });
}

// Where the creature's features sit on its face strip, in pixels: rows from
// the crown down, widths and spreads from the middle of the face.
struct CreatureFace {
    float brow_row;
    float brow_half_width;
    float eye_row;
    float eye_spread;          // the eyes' centres either side of the middle
    float socket_half_width, socket_half_height;
    float eye_half_width, eye_half_height;
    float nostril_row;
    float nostril_spread;
    float nostril_half_width, nostril_half_height;
    float mouth_row;
    float mouth_half_width;
};

const CreatureFace CREATURE_FACE = {16, 46, 31, 19, 13, 8, 8, 4.5f, 46, 7, 2.5f, 1.5f, 53, 38};

void paint_creature_face(Image& image) {
    paint_region(image, BEAST_FACE, [](const Spot& s) {
        const CreatureFace& f = CREATURE_FACE;
        const float mid = s.w * 0.5f;
        float dx = s.px - mid, ax = std::fabs(dx);
        float front = 1.0f - smoothstep(30, 70, ax);
        Rgb c = scales(s.x, s.y, 6.0f, 0.15f * front, 331);
        // Heavy brow ridge casting a shadow over deep sockets.
        if (ax < f.brow_half_width && std::fabs(s.py - f.brow_row) < 4)
            c = c * (std::fabs(s.py - f.brow_row) < 2 ? 1.2f : 0.8f);
        for (float side : {-1.0f, 1.0f}) {
            float ex = mid + side * f.eye_spread;
            float socket = ellipse(s.px, s.py, ex, f.eye_row, f.socket_half_width, f.socket_half_height);
            if (socket < 1) c = c * (0.35f + 0.5f * socket);
            float eye = ellipse(s.px, s.py, ex, f.eye_row, f.eye_half_width, f.eye_half_height);
            if (eye < 1) {
                c = mix(EYE_GLOW_CORE, EYE_GLOW_RIM, eye);  // glowing iris
                if (std::fabs(s.px - ex) < 1.2f) c = SLIT_PUPIL;  // slit pupil
            }
        }
        // Nostril slits and a wide mouth full of teeth.
        for (float side : {-1.0f, 1.0f})
            if (ellipse(s.px, s.py, mid + side * f.nostril_spread, f.nostril_row, f.nostril_half_width,
                        f.nostril_half_height) < 1)
                c = NOSTRIL_BLACK;
        float lip = f.mouth_row + 2.0f * std::cos(dx * 0.08f);
        if (ax < f.mouth_half_width && std::fabs(s.py - lip) < 3.5f) {
            c = MOUTH_RED;
            float tooth = std::fmod(ax, 6.0f);
            float into = s.py < lip ? (s.py - (lip - 3.5f)) : ((lip + 3.5f) - s.py);
            if (into < 3.0f - std::fabs(tooth - 3.0f)) c = BONE_IVORY;
        }
        return c;
    });
}

}  // namespace

Image paint_player_body() {
    Image image = make_atlas();
    paint_region(image, BODY_SPARE_CORNER, [](const Spot& s) { return camouflage(s.x, s.y, 99); });
    paint_jacket(image);
    paint_trousers(image);
    paint_thigh(image);
    paint_shin(image);
    paint_sleeves(image);
    paint_gear(image);
    return image;
}

Image paint_player_head() {
    Image image = make_atlas();
    paint_face(image);
    paint_helmet(image);
    paint_region(image, HEAD_SPARE_CORNER, [](const Spot& s) { return skin(s.x, s.y, 171); });
    return image;
}

Image paint_rifle() {
    Image image = make_atlas();
    paint_gun(image);
    return image;
}

Image paint_enemy_skin() {
    Image image = make_atlas();
    paint_creature_body(image);
    paint_creature_face(image);
    return image;
}
