// Deterministic noise for procedural textures and sounds: a fixed-seed
// generator and smooth value noise, and the few numeric helpers every part of
// the builder uses. The same seed gives the same bytes on every machine and
// every run.
#pragma once

#include <cstdint>

const float PI = 3.14159265f;
const float TWO_PI = 2 * PI;

struct Rng {
    uint64_t state;
};

Rng make_rng(uint64_t seed);
uint32_t next_u32(Rng& rng);
float next_unit(Rng& rng);  // 0 <= value < 1
float next_signed(Rng& rng);  // -1 <= value < 1

// Value noise in 0..1, smooth, tiling with the given period (in lattice cells).
float value_noise(float x, float y, int period, uint32_t seed);
// Sum of octaves of value noise, 0..1; period doubles each octave so it tiles.
float fractal_noise(float x, float y, int period, int octaves, uint32_t seed);

inline float clamp_unit(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline uint8_t to_byte(float unit) { return static_cast<uint8_t>(clamp_unit(unit) * 255.0f + 0.5f); }
