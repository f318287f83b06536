// Painting helpers for the world textures.
#include "world_paint.h"

#include <cmath>

#include "procedural.h"

Rgb get(const Image& image, int x, int y) {
    const uint8_t* p = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
    return rgb8(p[0], p[1], p[2]);
}

float image_noise(float x, float y, int image_width, int cells, int octaves, uint32_t seed) {
    float scale = static_cast<float>(cells) / image_width;
    return fractal_noise(x * scale, y * scale, cells, octaves, seed);
}

float cell_random(int i, int j, int period, uint32_t seed) {
    return value_noise(static_cast<float>(i), static_cast<float>(j), period, seed);
}

StonePattern make_stone_pattern(int size, int cells, uint64_t seed) {
    StonePattern pattern;
    pattern.cells = cells;
    pattern.size = size;
    Rng rng = make_rng(seed);
    float cell = static_cast<float>(size) / cells;
    for (int j = 0; j < cells; j++) {
        for (int i = 0; i < cells; i++) {
            pattern.points.push_back((i + 0.15f + 0.7f * next_unit(rng)) * cell);
            pattern.points.push_back((j + 0.15f + 0.7f * next_unit(rng)) * cell);
        }
    }
    return pattern;
}

StoneSample sample_stones(const StonePattern& pattern, float x, float y) {
    float cell = static_cast<float>(pattern.size) / pattern.cells;
    int ci = static_cast<int>(std::floor(x / cell)), cj = static_cast<int>(std::floor(y / cell));
    float best = 1e9f, second = 1e9f;
    int best_id = 0;
    for (int dj = -1; dj <= 1; dj++) {
        for (int di = -1; di <= 1; di++) {
            int i = ci + di, j = cj + dj;
            int wi = ((i % pattern.cells) + pattern.cells) % pattern.cells;
            int wj = ((j % pattern.cells) + pattern.cells) % pattern.cells;
            // The neighbour's point, moved by whole images where the grid wraps.
            float px = pattern.points[(wj * pattern.cells + wi) * 2] + (i - wi) * cell;
            float py = pattern.points[(wj * pattern.cells + wi) * 2 + 1] + (j - wj) * cell;
            float d = std::sqrt((px - x) * (px - x) + (py - y) * (py - y));
            if (d < best) {
                second = best;
                best = d;
                best_id = wj * pattern.cells + wi;
            } else if (d < second) {
                second = d;
            }
        }
    }
    return StoneSample{best, second - best, best_id};
}

void clear_border(Image& image, int width) {
    for (int y = 0; y < image.height; y++) {
        for (int x = 0; x < image.width; x++) {
            if (x < width || y < width || x >= image.width - width || y >= image.height - width) {
                set_pixel(image, x, y, 0, 0, 0, 255);
            }
        }
    }
}

bool write_pictures(const char* dir, const NamedPicture* pictures, size_t count) {
    bool ok = true;
    for (size_t i = 0; i < count; i++) ok = write_raw(join_path(dir, pictures[i].file), pictures[i].paint()) && ok;
    return ok;
}
