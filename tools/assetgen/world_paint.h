// Painting helpers for the world's procedural textures: tiling noise over a
// whole image, a tiling cell pattern for stones, and the black frame that
// additive sprites need.
#pragma once

#include <cstdint>
#include <vector>

#include "colour.h"
#include "formats.h"

// The world textures blend as a weighted sum, which rounds a little
// differently from mix(); they keep it so that their pictures stay as they are.
inline Rgb mix_weighted(Rgb a, Rgb b, float t) { return a * (1 - t) + b * t; }

Rgb get(const Image& image, int x, int y);

// Fractal noise that tiles over an image of the given size: `cells` lattice
// cells across the image on both axes (the image must be square for both
// axes to tile; a wide image tiles across only).
float image_noise(float x, float y, int image_width, int cells, int octaves, uint32_t seed);
// A fixed random value 0..1 for a cell (i, j), wrapping with the period.
float cell_random(int i, int j, int period, uint32_t seed);

// Irregular stones: for a point, the distance to the nearest feature point of
// a tiling grid of `cells` x `cells` jittered points, the gap to the second
// nearest (small near a crack between stones) and the nearest point's id.
struct StoneSample {
    float nearest;
    float edge;
    int id;
};
struct StonePattern {
    int cells;
    int size;  // image side in pixels
    std::vector<float> points;  // x, y in pixels per cell
};
StonePattern make_stone_pattern(int size, int cells, uint64_t seed);
StoneSample sample_stones(const StonePattern& pattern, float x, float y);

// Sets every pixel within `width` of the border to exact black.
void clear_border(Image& image, int width);
