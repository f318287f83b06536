// Whole files and RAW pictures (little-endian, packed).
#include "support/asset_reader.h"

#include <cstdio>

std::vector<uint8_t> read_file(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return bytes;
}

RawImage parse_raw(const std::vector<uint8_t>& bytes) {
    RawImage raw;
    if (bytes.size() < RAW_HEADER_BYTES) return raw;
    raw.width = le16_at(&bytes[0]);
    raw.height = le16_at(&bytes[2]);
    raw.expected_size = RAW_HEADER_BYTES + static_cast<size_t>(raw.width) * raw.height * RAW_BYTES_PER_PIXEL;
    raw.rgba.assign(bytes.begin() + RAW_HEADER_BYTES, bytes.end());
    return raw;
}
