// Additive sprites: the two kinds of shot, the explosion's fireball and
// ground ring, and the player's shadow. They are drawn on quads whose black
// adds nothing (the shadow darkens where it is bright), so each fades to
// exact black well inside its border.
#include "assets/asset_list.h"
#include <cmath>
#include <iterator>

#include "procedural.h"
#include "world.h"
#include "world_paint.h"

namespace {

const int SHOT_SIZE = 128;
const int EXPLOSION_SIZE = 256;
const int SHADOW_SIZE = 128;

// Distance from the picture's centre in units of half its side (0 centre, 1
// the middle of an edge), and the angle around the centre.
float radius_at(int x, int y, int n) {
    float dx = (x + 0.5f) / n * 2 - 1, dy = (y + 0.5f) / n * 2 - 1;
    return std::sqrt(dx * dx + dy * dy);
}

float angle_at(int x, int y, int n) {
    return std::atan2((y + 0.5f) / n - 0.5f, (x + 0.5f) / n - 0.5f);
}

// The player's tracer: a small white-hot core in a yellow glow, with four
// short flare spikes.
Image paint_player_shot() {
    const int n = SHOT_SIZE;
    Rgb core = rgb8(255, 255, 236), glow = rgb8(255, 200, 40);
    return paint_sprite(n, [&](int x, int y) {
        float r = radius_at(x, y, n), a = angle_at(x, y, n);
        float spikes = std::pow(std::fabs(std::cos(2 * a)), 24.0f) * std::exp(-r * 4.0f);
        Rgb c = core * std::exp(-std::pow(r / 0.12f, 2.0f)) + glow * (0.9f * std::exp(-std::pow(r / 0.3f, 2.0f)) + 0.7f * spikes);
        return c * smoothstep(0.95f, 0.7f, r);
    });
}

// The enemy's plasma orb: a magenta core inside a rippling green shell.
Image paint_enemy_shot() {
    const int n = SHOT_SIZE;
    const uint32_t seed = 3101;
    Rgb core = rgb8(255, 150, 255), shell = rgb8(70, 255, 110);
    return paint_sprite(n, [&](int x, int y) {
        float r = radius_at(x, y, n);
        float swirl = image_noise(x, y, n, 8, 3, seed);
        float shell_r = 0.42f + 0.08f * (swirl - 0.5f);
        float shell_glow = std::exp(-std::pow((r - shell_r) / 0.1f, 2.0f)) * (0.7f + 0.5f * swirl);
        float inner = std::exp(-std::pow(r / 0.22f, 2.0f));
        Rgb c = shell * (shell_glow + 0.25f * std::exp(-std::pow(r / 0.45f, 2.0f))) + core * inner;
        return c * smoothstep(0.95f, 0.7f, r);
    });
}

// Heat ramp of the fireball: black, red, orange, yellow, white.
Rgb fire(float heat) {
    const Rgb ramp[5] = {rgb8(0, 0, 0), rgb8(170, 24, 0), rgb8(255, 110, 10), rgb8(255, 210, 60),
                         rgb8(255, 250, 220)};
    float t = clamp_unit(heat) * 4;
    int i = std::min(static_cast<int>(t), 3);
    return mix_weighted(ramp[i], ramp[i + 1], t - i);
}

// The fireball: a turbulent ball, hottest in the middle, frayed at the edge.
Image paint_fireball() {
    const int n = EXPLOSION_SIZE;
    const uint32_t seed = 3201;
    return paint_sprite(n, [&](int x, int y) {
        float r = radius_at(x, y, n);
        float turbulence = image_noise(x, y, n, 6, 5, seed);
        float billow = image_noise(x, y, n, 16, 3, seed + 1);
        float edge = 0.62f + 0.35f * (turbulence - 0.5f);
        float body = smoothstep(edge + 0.12f, edge - 0.25f, r);
        float heat = body * (0.55f + 0.6f * turbulence + 0.25f * (billow - 0.5f)) + 0.35f * std::exp(-std::pow(r / 0.25f, 2.0f));
        return fire(heat) * smoothstep(0.98f, 0.85f, r);
    });
}

// The shock ring on the ground: a bright frayed ring, black inside and out.
Image paint_shock_ring() {
    const int n = EXPLOSION_SIZE;
    const uint32_t seed = 3301;
    return paint_sprite(n, [&](int x, int y) {
        float r = radius_at(x, y, n), a = angle_at(x, y, n);
        float wobble = image_noise((a + PI) / (2 * PI) * n, r * n * 0.25f, n, 16, 3, seed);
        float ring_r = 0.72f + 0.05f * (wobble - 0.5f);
        float ring = std::exp(-std::pow((r - ring_r) / 0.06f, 2.0f));
        float trail = std::exp(-std::pow((r - ring_r + 0.12f) / 0.12f, 2.0f)) * 0.35f;
        float heat = (ring * (0.75f + 0.4f * wobble) + trail * wobble) * 0.95f;
        return fire(heat) * smoothstep(0.98f, 0.88f, r);
    });
}

// The shadow: bright (dark on the ground) in the middle, soft to black.
Image paint_shadow() {
    const int n = SHADOW_SIZE;
    const float depth = 0.7f;  // how much the middle darkens the ground
    return paint_sprite(n, [&](int x, int y) {
        float r = radius_at(x, y, n);
        float v = depth * smoothstep(0.9f, 0.25f, r);
        return Rgb{v, v, v};
    });
}

const NamedPicture SPRITES[] = {
    {asset_name(ASSET_PLAYER_SHOT_TEXTURE), paint_player_shot},
    {asset_name(ASSET_ENEMY_SHOT_TEXTURE), paint_enemy_shot},
    {asset_name(ASSET_FIREBALL_TEXTURE), paint_fireball},
    {asset_name(ASSET_SHOCK_RING_TEXTURE), paint_shock_ring},
    {asset_name(ASSET_SHADOW_TEXTURE), paint_shadow},
};

}  // namespace

bool write_sprites(const char* dir) {
    return write_pictures(dir, SPRITES, std::size(SPRITES));
}
