// Little-endian field readers over Allegro's packed files, shared by the
// model and skeleton loaders. Every reader says whether the whole field was
// in the file, so a loader can refuse a truncated file instead of keeping
// whatever happened to be in memory.
#pragma once

#include <allegro.h>

#include <cstdint>
#include <cstring>

inline bool read_bytes(PACKFILE* file, void* out, long byte_count) {
    return byte_count == 0 || pack_fread(out, byte_count, file) == byte_count;
}

// Reads and throws away byte_count bytes.
inline bool skip_bytes(PACKFILE* file, long byte_count) {
    const long SKIP_CHUNK_BYTES = 256;
    uint8_t scratch[SKIP_CHUNK_BYTES];
    while (byte_count > 0) {
        long chunk = byte_count < SKIP_CHUNK_BYTES ? byte_count : SKIP_CHUNK_BYTES;
        if (!read_bytes(file, scratch, chunk)) return false;
        byte_count -= chunk;
    }
    return true;
}

inline uint16_t decode_u16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

inline int16_t decode_s16(const uint8_t* bytes) {
    return static_cast<int16_t>(decode_u16(bytes));
}

inline float decode_f32(const uint8_t* bytes) {
    uint32_t bits = static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
                    (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline bool read_u8(PACKFILE* file, uint8_t* out) {
    return read_bytes(file, out, 1);
}

inline bool read_u16(PACKFILE* file, uint16_t* out) {
    uint8_t bytes[2];
    if (!read_bytes(file, bytes, sizeof bytes)) return false;
    *out = decode_u16(bytes);
    return true;
}

inline bool read_s16(PACKFILE* file, int16_t* out) {
    uint8_t bytes[2];
    if (!read_bytes(file, bytes, sizeof bytes)) return false;
    *out = decode_s16(bytes);
    return true;
}
