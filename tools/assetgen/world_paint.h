// Painting helpers for the world's procedural textures: tiling noise over a
// whole image, a tiling cell pattern for stones, square pictures painted
// pixel by pixel, the black frame that additive sprites need, and the writer
// of a list of pictures.
#pragma once

#include <algorithm>
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

// A square picture `n` pixels wide, colour_at(x, y) giving each pixel.
template <typename ColourAt>
Image paint_square(int n, ColourAt colour_at) {
    Image image = make_image(n, n);
    for (int y = 0; y < n; y++)
        for (int x = 0; x < n; x++) put(image, x, y, colour_at(x, y));
    return image;
}

// An additive sprite: a square picture with two pixels of exact black all
// round, so nothing shows at the edges of its quad.
template <typename ColourAt>
Image paint_sprite(int n, ColourAt colour_at) {
    Image image = paint_square(n, colour_at);
    clear_border(image, 2);
    return image;
}

// A picture file and the painter that makes it.
struct NamedPicture {
    const char* file;
    Image (*paint)();
};

// Paints and writes every picture of the list into dir; false when any fails
// (the others are still written).
bool write_pictures(const char* dir, const NamedPicture* pictures, size_t count);

// Pixels from v to the nearest edge of its cell, for cells `cell` pixels wide
// starting at 0 (the joints of slabs, blocks and panels).
inline int edge_distance(int v, int cell) { return std::min(v % cell, cell - 1 - v % cell); }
