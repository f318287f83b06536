// The tests' own reader of EMD and RAW files (little-endian, packed).
#include "support/asset_reader.h"

#include <cstdio>
#include <cstring>

namespace {

// Reads little-endian numbers; past the end it gives zeros and notes it.
struct ByteReader {
    const std::vector<uint8_t>& bytes;
    size_t at = 0;
    bool overran = false;

    bool need(size_t n) {
        if (at + n > bytes.size()) overran = true;
        return !overran;
    }
    uint8_t u8() { return need(1) ? bytes[at++] : 0; }
    uint16_t u16() {
        if (!need(2)) return 0;
        uint16_t v = static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
        at += 2;
        return v;
    }
    float f32() {
        if (!need(4)) return 0;
        uint32_t v = bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
                     (static_cast<uint32_t>(bytes[at + 3]) << 24);
        at += 4;
        float f;
        std::memcpy(&f, &v, sizeof f);
        return f;
    }
    void skip(size_t n) {
        if (need(n)) at += n;
    }
};

}  // namespace

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

EmdModel parse_emd(const std::vector<uint8_t>& bytes) {
    EmdModel m;
    ByteReader r{bytes};
    r.skip(EMD_HEADER_BYTES);
    size_t names = r.u8() + 1;
    r.skip(EMD_LONG_RECORD_BYTES * names);
    size_t extras = r.u16();
    r.skip(EMD_SHORT_RECORD_BYTES * extras);
    size_t vertex_count = r.u16();
    for (size_t i = 0; i < vertex_count; i++) {
        EmdVertex v;
        r.u16();  // second bone, unused
        v.bone = static_cast<int16_t>(r.u16());
        v.p.x = r.f32();
        v.p.y = r.f32();
        v.p.z = r.f32();
        r.u16();
        m.vertices.push_back(v);
    }
    size_t face_count = r.u16();
    for (size_t i = 0; i < face_count; i++) {
        EmdFace face;
        r.u8();
        face.double_sided = r.u8();
        r.u16();
        r.u8();
        for (int& c : face.corner) c = r.u16();
        face.render_class = r.u8();
        face.texture_offset = r.u16();
        r.u16();
        for (auto& uv : face.uv) {
            uv[0] = r.f32();
            uv[1] = r.f32();
            r.f32();  // the second set repeats the first
            r.f32();
        }
        m.faces.push_back(face);
    }
    m.expected_size = EMD_HEADER_BYTES + EMD_LONG_COUNT_BYTES + EMD_LONG_RECORD_BYTES * names + EMD_COUNT_BYTES +
                      EMD_SHORT_RECORD_BYTES * extras + EMD_COUNT_BYTES + EMD_VERTEX_BYTES * vertex_count +
                      EMD_COUNT_BYTES + EMD_FACE_BYTES * face_count;
    m.complete = !r.overran;
    return m;
}

RawImage parse_raw(const std::vector<uint8_t>& bytes) {
    RawImage raw;
    if (bytes.size() < RAW_HEADER_BYTES) return raw;
    raw.width = bytes[0] | (bytes[1] << 8);
    raw.height = bytes[2] | (bytes[3] << 8);
    raw.expected_size = RAW_HEADER_BYTES + static_cast<size_t>(raw.width) * raw.height * RAW_BYTES_PER_PIXEL;
    raw.rgba.assign(bytes.begin() + RAW_HEADER_BYTES, bytes.end());
    return raw;
}
