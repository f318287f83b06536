// A small reader of the game's asset formats (EMD meshes and RAW pictures)
// for the tests of the asset builder. Its parsing is written apart from the
// game's loaders, so the builder's tests see every byte of a mesh without
// leaning on them (ESQ skeletons are fixed records, read with the loader);
// the sizes and offsets are the shared ones of assets/file_layouts.h, which
// the loaders' own tests (tests/assets) check against files whose bytes
// they spell out by hand. Parsing never reads past the end: a short file
// shows as `complete` false and as a length different from `expected_size`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "assets/file_layouts.h"

// The whole file; empty when it cannot be read.
std::vector<uint8_t> read_file(const std::string& path);

struct AssetPoint {
    float x, y, z;
};

struct EmdVertex {
    int bone;  // -1 for none
    AssetPoint p;
};

struct EmdFace {
    int corner[3];
    float uv[3][2];  // the first of the two coordinate sets
    int render_class;
    int texture_offset;
    int double_sided;
};

struct EmdModel {
    bool complete = false;     // every count was followed by its records
    size_t expected_size = 0;  // the file length its counts promise
    std::vector<EmdVertex> vertices;
    std::vector<EmdFace> faces;
};

EmdModel parse_emd(const std::vector<uint8_t>& bytes);

struct RawImage {
    int width = 0;
    int height = 0;
    size_t expected_size = 0;  // header and the pixels its size promises
    std::vector<uint8_t> rgba;  // what follows the header
    const uint8_t* px(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * RAW_BYTES_PER_PIXEL]; }
};

// A file shorter than the header gives width and height 0.
RawImage parse_raw(const std::vector<uint8_t>& bytes);
