// The sky: esfera.emd, a dome of radius 500 seen from inside with a band
// below the horizon, and its three pictures for dawn, sunset and night. The
// pictures have the horizon in their first rows and the zenith in the last,
// and tile across so the dome shows no seam where they repeat.
#include "assets/asset_list.h"
#include <cmath>

#include "mesh_build.h"
#include "procedural.h"
#include "world.h"
#include "world_paint.h"

namespace {

const float SKY_RADIUS = 500.0f;
const int SKY_SEGMENTS = 16;             // around
const int SKY_PICTURE_REPEATS = 2;       // the picture goes round twice
// The band only has to close the gap under the far edge of the open ground,
// about 2 degrees below the horizon from the highest eye; every pixel it
// covers costs a depth test, so it stops not far below that.
const float SKY_BAND_BOTTOM_DEGREES = -6.0f;
const int SKY_DOME_RINGS = 5;            // from the horizon up to the cap
const float SKY_CAP_DEGREES = 84.0f;     // the last ring; a fan closes the top

const int SKY_WIDTH = 512;
const int SKY_HEIGHT = 256;

// The dome's pictures load clamped, so texture coordinates stay half a texel
// inside the picture: at the very edge the filter would mix in the border.
const float SKY_U_MARGIN = 0.5f / SKY_WIDTH;
const float SKY_V_MARGIN = 0.5f / SKY_HEIGHT;

// u of a segment's left (end = 0) or right (end = 1) edge: each repeat of the
// picture spans the same number of segments.
float sky_u(int segment, int end) {
    int per_picture = SKY_SEGMENTS / SKY_PICTURE_REPEATS;
    float t = static_cast<float>(segment % per_picture + end) / per_picture;
    return SKY_U_MARGIN + (1 - 2 * SKY_U_MARGIN) * t;
}

// v runs from the horizon (0) to the zenith (1); below the horizon it stays
// on the horizon row.
float sky_v(float degrees) {
    float t = clamp_unit(degrees / 90.0f);
    return SKY_V_MARGIN + (1 - 2 * SKY_V_MARGIN) * t;
}

Vec3 sky_point(float azimuth, float degrees) {
    float e = degrees * PI / 180;
    return vec3(SKY_RADIUS * std::cos(e) * std::cos(azimuth), SKY_RADIUS * std::cos(e) * std::sin(azimuth),
                SKY_RADIUS * std::sin(e));
}

}  // namespace

Mesh build_sky_mesh() {
    Mesh mesh;
    FaceStyle style = face_style(0);
    const int rings = SKY_DOME_RINGS + 1;  // the band below the horizon, then the dome
    float elevation[rings + 1];
    elevation[0] = SKY_BAND_BOTTOM_DEGREES;
    for (int r = 0; r <= SKY_DOME_RINGS; r++) elevation[r + 1] = SKY_CAP_DEGREES * r / SKY_DOME_RINGS;
    uint16_t ring_vertex[rings + 1][SKY_SEGMENTS];
    for (int r = 0; r <= rings; r++) {
        for (int s = 0; s < SKY_SEGMENTS; s++) {
            ring_vertex[r][s] = add_vertex(mesh, sky_point(2 * PI * s / SKY_SEGMENTS, elevation[r]));
        }
    }
    uint16_t zenith = add_vertex(mesh, vec3(0, 0, SKY_RADIUS));
    for (int r = 0; r < rings; r++) {
        float v0 = sky_v(elevation[r]), v1 = sky_v(elevation[r + 1]);
        for (int s = 0; s < SKY_SEGMENTS; s++) {
            int next = (s + 1) % SKY_SEGMENTS;
            float u0 = sky_u(s, 0), u1 = sky_u(s, 1);
            // Seen from the centre, higher azimuth lies to the left.
            uint16_t bottom_left = ring_vertex[r][next], bottom_right = ring_vertex[r][s];
            uint16_t top_right = ring_vertex[r + 1][s], top_left = ring_vertex[r + 1][next];
            const float a[3][2] = {{u1, v0}, {u0, v0}, {u0, v1}};
            const float b[3][2] = {{u1, v0}, {u0, v1}, {u1, v1}};
            add_triangle(mesh, bottom_left, bottom_right, top_right, a, style);
            add_triangle(mesh, bottom_left, top_right, top_left, b, style);
        }
    }
    float v_top = sky_v(elevation[rings]), v_zenith = sky_v(90.0f);
    for (int s = 0; s < SKY_SEGMENTS; s++) {
        int next = (s + 1) % SKY_SEGMENTS;
        float u0 = sky_u(s, 0), u1 = sky_u(s, 1);
        const float uv[3][2] = {{u1, v_top}, {u0, v_top}, {(u0 + u1) / 2, v_zenith}};
        add_triangle(mesh, ring_vertex[rings][next], ring_vertex[rings][s], zenith, uv, style);
    }
    return mesh;
}

namespace {

struct SkyStop {
    float height;  // 0 horizon .. 1 zenith
    Rgb colour;
};

struct SkyLook {
    const char* file;
    SkyStop stops[4];
    Rgb cloud_lit, cloud_shade;
    float cloud_cover;    // 0..1, how much of the sky the clouds take
    float cloud_opacity;
    int star_count;
    uint32_t seed;
};

const SkyLook SKY_LOOKS[] = {
    {asset_name(ASSET_DAWN_SKY_TEXTURE),
     {{0.0f, rgb8(248, 184, 136)}, {0.1f, rgb8(222, 168, 160)}, {0.3f, rgb8(116, 146, 204)}, {1.0f, rgb8(48, 92, 176)}},
     rgb8(244, 204, 184), rgb8(150, 118, 146), 0.45f, 0.7f, 0, 1101},
    {asset_name(ASSET_SUNSET_SKY_TEXTURE),
     {{0.0f, rgb8(250, 110, 30)}, {0.12f, rgb8(214, 70, 56)}, {0.4f, rgb8(122, 48, 108)}, {1.0f, rgb8(44, 22, 76)}},
     rgb8(255, 150, 80), rgb8(84, 36, 70), 0.5f, 0.85f, 0, 1201},
    {asset_name(ASSET_NIGHT_SKY_TEXTURE),
     {{0.0f, rgb8(46, 56, 96)}, {0.1f, rgb8(22, 30, 66)}, {0.45f, rgb8(8, 12, 38)}, {1.0f, rgb8(2, 4, 16)}},
     rgb8(40, 48, 78), rgb8(12, 16, 32), 0.35f, 0.7f, 900, 1301},
};

Rgb gradient(const SkyStop stops[4], float t) {
    for (int i = 0; i < 3; i++) {
        if (t <= stops[i + 1].height) {
            float f = (t - stops[i].height) / (stops[i + 1].height - stops[i].height);
            return mix_weighted(stops[i].colour, stops[i + 1].colour, smoothstep(0, 1, f));
        }
    }
    return stops[3].colour;
}

Image paint_sky(const SkyLook& look) {
    const int w = SKY_WIDTH, h = SKY_HEIGHT;
    Image image = make_image(w, h);
    for (int y = 0; y < h; y++) {
        float t = static_cast<float>(y) / (h - 1);
        // Clouds thin out towards the zenith and flatten towards the horizon.
        float band = smoothstep(0.0f, 0.08f, t) * smoothstep(0.85f, 0.35f, t);
        for (int x = 0; x < w; x++) {
            Rgb c = gradient(look.stops, t);
            float squash = 2.5f;  // cloud shapes are wider than tall
            float shape = image_noise(x, y * squash, w, 8, 5, look.seed);
            float detail = image_noise(x, y * squash, w, 32, 3, look.seed + 1);
            float density = smoothstep(1 - look.cloud_cover, 1 - look.cloud_cover + 0.25f, shape + 0.15f * (detail - 0.5f));
            // Lit from below at the horizon: the lower part of a cloud is brighter.
            float lit = clamp_unit(0.4f + 0.8f * (detail - 0.3f) + 0.4f * (1 - t));
            Rgb cloud = mix_weighted(look.cloud_shade, look.cloud_lit, lit);
            c = mix_weighted(c, cloud, density * band * look.cloud_opacity);
            put(image, x, y, c);
        }
    }
    // Stars: scattered points, more and brighter away from the horizon, hidden
    // behind the clouds.
    Rng rng = make_rng(look.seed + 7);
    for (int k = 0; k < look.star_count; k++) {
        int x = static_cast<int>(next_unit(rng) * w);
        int y = static_cast<int>(next_unit(rng) * h);
        float t = static_cast<float>(y) / (h - 1);
        float bright = (0.3f + 0.7f * next_unit(rng) * next_unit(rng)) * smoothstep(0.05f, 0.3f, t);
        float tint = next_unit(rng);
        Rgb star = mix_weighted(rgb8(200, 210, 255), rgb8(255, 240, 210), tint) * bright;
        Rgb under = get(image, x, y);
        float seen = 1 - clamp_unit((under.r + under.g + under.b) * 2.5f - 0.2f);
        put(image, x, y, under + star * seen);
        if (bright > 0.7f) {  // the brightest get a small cross
            for (int d = -1; d <= 1; d += 2) {
                int sx = (x + d + w) % w;
                put(image, sx, y, get(image, sx, y) + star * (0.4f * seen));
                if (y + d >= 0 && y + d < h) put(image, x, y + d, get(image, x, y + d) + star * (0.4f * seen));
            }
        }
    }
    return image;
}

}  // namespace

bool write_sky(const char* dir) {
    bool ok = write_emd(join_path(dir, asset_name(ASSET_SKY_MODEL)), build_sky_mesh());
    for (const SkyLook& look : SKY_LOOKS) ok = write_raw(join_path(dir, look.file), paint_sky(look)) && ok;
    return ok;
}
