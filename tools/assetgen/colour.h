// Colours of the builder's painted pictures (figure skins, world textures,
// menu pictures): linear 0..1 channels and the operations every painter uses.
#pragma once

#include "formats.h"
#include "procedural.h"

struct Rgb {
    float r, g, b;
};

inline Rgb rgb8(int r, int g, int b) { return Rgb{r / 255.0f, g / 255.0f, b / 255.0f}; }
inline Rgb operator*(Rgb c, float s) { return Rgb{c.r * s, c.g * s, c.b * s}; }
inline Rgb operator+(Rgb a, Rgb b) { return Rgb{a.r + b.r, a.g + b.g, a.b + b.b}; }
// From a (t = 0) to b (t = 1).
inline Rgb mix(Rgb a, Rgb b, float t) {
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// 0 below edge0, 1 past edge1 (either may be the larger), smooth between.
inline float smoothstep(float edge0, float edge1, float x) {
    float t = clamp_unit((x - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

// An opaque pixel, each channel clamped to 0..1 and rounded to a byte.
inline void put(Image& image, int x, int y, Rgb c) {
    set_pixel(image, x, y, to_byte(c.r), to_byte(c.g), to_byte(c.b), 255);
}
