// Fixed-seed generator (splitmix64) and tiling value noise.
#include "procedural.h"

#include <cmath>

Rng make_rng(uint64_t seed) {
    return Rng{seed};
}

uint32_t next_u32(Rng& rng) {
    uint64_t z = (rng.state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
}

float next_unit(Rng& rng) {
    return static_cast<float>(next_u32(rng) >> 8) / 16777216.0f;
}

float next_signed(Rng& rng) {
    return next_unit(rng) * 2.0f - 1.0f;
}

static float lattice(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xffffff) / 16777215.0f;
}

static float smooth(float t) {
    return t * t * (3.0f - 2.0f * t);
}

float value_noise(float x, float y, int period, uint32_t seed) {
    if (period < 1) period = 1;
    float fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = smooth(x - fx), ty = smooth(y - fy);
    auto wrap = [period](int v) { return ((v % period) + period) % period; };
    int x0 = wrap(ix), x1 = wrap(ix + 1), y0 = wrap(iy), y1 = wrap(iy + 1);
    float a = lattice(x0, y0, seed), b = lattice(x1, y0, seed);
    float c = lattice(x0, y1, seed), d = lattice(x1, y1, seed);
    float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float fractal_noise(float x, float y, int period, int octaves, uint32_t seed) {
    float sum = 0, weight = 0, amplitude = 1;
    for (int o = 0; o < octaves; o++) {
        sum += value_noise(x, y, period, seed + static_cast<uint32_t>(o) * 101u) * amplitude;
        weight += amplitude;
        amplitude *= 0.5f;
        x *= 2;
        y *= 2;
        period *= 2;
    }
    return weight > 0 ? sum / weight : 0;
}
