// Whole files and RAW pictures for the tests of the asset builder and the
// end-to-end tests. Meshes and skeletons are read with the game's own
// loaders (tests/support/generated_assets.h), which the loaders' tests in
// tests/assets check against files whose bytes they spell out by hand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "assets/file_layouts.h"

// Little-endian fields, as every file of the game and a WAV file store them.
inline uint16_t le16_at(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t le32_at(const uint8_t* p) { return le16_at(p) | static_cast<uint32_t>(le16_at(p + 2)) << 16; }

// The whole file; empty when it cannot be read.
std::vector<uint8_t> read_file(const std::string& path);

struct RawImage {
    int width = 0;
    int height = 0;
    size_t expected_size = 0;  // header and the pixels its size promises
    std::vector<uint8_t> rgba;  // what follows the header
    const uint8_t* px(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * RAW_BYTES_PER_PIXEL]; }
};

// A file shorter than the header gives width and height 0.
RawImage parse_raw(const std::vector<uint8_t>& bytes);
