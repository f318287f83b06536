// Helpers shared by the loader tests: a tiny little-endian byte writer to
// build asset files by hand, font datafiles of any shape and a scratch folder
// to put them in; the Allegro start-up the packed-file layer needs comes with
// support/generated_assets.h.
#pragma once

#include <allegro.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "support/asset_reader.h"
#include "support/generated_assets.h"
#include "support/scratch_dir.h"

struct Bytes {
    std::vector<uint8_t> data;

    Bytes& u8(unsigned value) {
        data.push_back(static_cast<uint8_t>(value));
        return *this;
    }
    Bytes& u16(unsigned value) {
        u8(value & 0xFF);
        return u8((value >> 8) & 0xFF);
    }
    Bytes& s16(int value) { return u16(static_cast<uint16_t>(static_cast<int16_t>(value))); }
    Bytes& f32(float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        for (int i = 0; i < 4; i++) u8((bits >> (8 * i)) & 0xFF);
        return *this;
    }
    Bytes& fill(size_t count, uint8_t value) {
        data.insert(data.end(), count, value);
        return *this;
    }
    Bytes first(size_t count) const {
        Bytes cut;
        cut.data.assign(data.begin(), data.begin() + count);
        return cut;
    }
};

// A whole file as bytes; none when it cannot be read.
inline Bytes read_bytes(const std::string& path) { return Bytes{read_file(path)}; }

// The loader tests' files, made before and gone after every test of the process.
inline ScratchDir loader_test_files;

// Writes the bytes to a file in the scratch folder and returns its path.
inline std::string write_test_file(const std::string& name, const Bytes& bytes) {
    std::string path = loader_test_files.file(name);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file) {
        if (!bytes.data.empty()) std::fwrite(bytes.data.data(), 1, bytes.data.size(), file);
        std::fclose(file);
    }
    return path;
}

// An object of the datafile format: type, stored size, unpacked size (below
// 0: compressed on its own), body.
inline std::vector<uint8_t> datafile_object(const char* type, const std::vector<uint8_t>& body, int32_t unpacked) {
    std::vector<uint8_t> bytes(type, type + 4);
    for (uint32_t field : {static_cast<uint32_t>(body.size()), static_cast<uint32_t>(unpacked)}) {
        for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(field >> shift));
    }
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

// A datafile of one object stored whole, in bytes as the packed-file layer
// gives them.
inline std::vector<uint8_t> one_object_datafile(const char* type, const std::vector<uint8_t>& body) {
    std::vector<uint8_t> file = {'A', 'L', 'L', '.', 0, 0, 0, 1};
    const std::vector<uint8_t> object = datafile_object(type, body, static_cast<int32_t>(body.size()));
    file.insert(file.end(), object.begin(), object.end());
    return file;
}

// A font datafile in bytes as the packed-file layer gives them: ranges of
// {first, last, glyph width, glyph height}, every glyph the same size.
struct FontRange {
    int first, last, width, height;
};

inline std::vector<uint8_t> font_datafile(const std::vector<FontRange>& ranges) {
    std::vector<uint8_t> body;
    auto be = [](std::vector<uint8_t>& out, uint32_t value, int bytes) {
        for (int i = bytes - 1; i >= 0; i--) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    be(body, 0, 2);
    be(body, static_cast<uint32_t>(ranges.size()), 2);
    for (const FontRange& range : ranges) {
        be(body, 1, 1);
        be(body, range.first, 4);
        be(body, range.last, 4);
        for (int c = range.first; c <= range.last; c++) {
            be(body, range.width, 2);
            be(body, range.height, 2);
            body.insert(body.end(), static_cast<size_t>((range.width + 7) / 8) * range.height, 0x5A);
        }
    }
    return one_object_datafile("FONT", body);
}

// Fonts at the reader's limits, which it accepts: the most glyphs of the
// largest size, several ranges with gaps, one-pixel glyphs, a range of one
// character, the last code points.
inline const std::vector<FontRange> FONTS_AT_THE_LIMITS[] = {
    {{0, 255, 128, 128}},
    {{32, 90, 9, 17}, {160, 255, 30, 12}, {1000, 1010, 1, 1}, {1020, 1020, 8, 8}},
    {{0x10FF00, 0x10FFFF, 5, 40}},
};
