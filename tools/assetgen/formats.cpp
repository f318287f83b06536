// Byte-exact writers of the EMD, ESQ and RAW formats (little-endian, packed).
#include "formats.h"

#include <cstdio>
#include <cstring>

void ByteWriter::u8(uint8_t v) { bytes.push_back(v); }

void ByteWriter::u16(uint16_t v) {
    u8(static_cast<uint8_t>(v & 0xff));
    u8(static_cast<uint8_t>(v >> 8));
}

void ByteWriter::u32(uint32_t v) {
    u16(static_cast<uint16_t>(v));
    u16(static_cast<uint16_t>(v >> 16));
}

void ByteWriter::f32(float f) {
    uint32_t v;
    std::memcpy(&v, &f, sizeof v);
    u32(v);
}

void ByteWriter::u16_be(uint16_t v) {
    u8(static_cast<uint8_t>(v >> 8));
    u8(static_cast<uint8_t>(v));
}

void ByteWriter::u32_be(uint32_t v) {
    u16_be(static_cast<uint16_t>(v >> 16));
    u16_be(static_cast<uint16_t>(v));
}

void ByteWriter::tag(const char* four_chars) {
    for (int i = 0; i < 4; i++) u8(static_cast<uint8_t>(four_chars[i]));
}

void ByteWriter::zeros(size_t n) { bytes.insert(bytes.end(), n, 0); }

void ByteWriter::append(const std::vector<uint8_t>& more) { bytes.insert(bytes.end(), more.begin(), more.end()); }

bool save_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) std::fprintf(stderr, "assetgen: short write to %s\n", path.c_str());
    return ok;
}

BoneKey rest_key() {
    BoneKey key = {};
    key.scale[0] = key.scale[1] = key.scale[2] = 1.0f;
    return key;
}

SkeletonBone make_bone(float px, float py, float pz, int16_t parent) {
    SkeletonBone bone;
    bone.pivot[0] = px;
    bone.pivot[1] = py;
    bone.pivot[2] = pz;
    bone.parent = parent;
    for (BoneKey& key : bone.keys) key = rest_key();
    return bone;
}

Image make_image(int width, int height) {
    Image image;
    image.width = width;
    image.height = height;
    image.rgba.assign(static_cast<size_t>(width) * height * RAW_BYTES_PER_PIXEL, 0);
    return image;
}

void set_pixel(Image& image, int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) return;
    uint8_t* p = &image.rgba[(static_cast<size_t>(y) * image.width + x) * RAW_BYTES_PER_PIXEL];
    p[0] = r;
    p[1] = g;
    p[2] = b;
    p[3] = a;
}

bool write_emd(const std::string& path, const Mesh& mesh) {
    if (mesh.vertices.size() > EMD_MAX_ENTRIES || mesh.faces.size() > EMD_MAX_ENTRIES) {
        std::fprintf(stderr, "assetgen: %s has too many vertices or faces\n", path.c_str());
        return false;
    }
    ByteWriter w;
    const char header[EMD_HEADER_BYTES] = {'E', 'M', 'D', '1', 0};
    for (char c : header) w.u8(static_cast<uint8_t>(c));
    w.u8(0);                         // N = 0: one long record follows
    w.zeros(EMD_LONG_RECORD_BYTES);
    w.u16(0);                        // M = 0: no short records
    w.u16(static_cast<uint16_t>(mesh.vertices.size()));
    for (const MeshVertex& v : mesh.vertices) {
        w.u16(0);  // second bone, unused
        w.u16(static_cast<uint16_t>(v.bone));
        w.f32(v.x);
        w.f32(v.y);
        w.f32(v.z);
        w.u16(0);  // extra, unused
    }
    w.u16(static_cast<uint16_t>(mesh.faces.size()));
    for (const MeshFace& f : mesh.faces) {
        for (uint16_t index : f.vertex) {
            if (index >= mesh.vertices.size()) {
                std::fprintf(stderr, "assetgen: %s has a corner index out of range\n", path.c_str());
                return false;
            }
        }
        w.u8(0);                // reserved
        w.u8(f.double_sided);
        w.u16(0);               // reserved
        w.u8(0);                // reserved
        for (uint16_t index : f.vertex) w.u16(index);
        w.u8(f.render_class);
        w.u16(f.texture_offset);
        w.u16(0);               // reserved
        for (int c = 0; c < EMD_FACE_CORNERS; c++) {
            w.f32(f.uv[c][0]);
            w.f32(f.uv[c][1]);
            w.f32(f.uv[c][0]);  // second coordinate set repeats the first
            w.f32(f.uv[c][1]);
        }
    }
    return save_bytes(path, w.bytes);
}

bool write_esq(const std::string& path, const SkeletonData& skeleton) {
    if (skeleton.bones.size() > ESQ_MAX_BONES) {
        std::fprintf(stderr, "assetgen: %s has too many bones\n", path.c_str());
        return false;
    }
    ByteWriter w;
    const char header[ESQ_HEADER_BYTES] = {'E', 'S', 'Q', '1', 0};
    for (char c : header) w.u8(static_cast<uint8_t>(c));
    w.u16(static_cast<uint16_t>(skeleton.bones.size()));
    for (size_t i = 0; i < skeleton.bones.size(); i++) {
        const SkeletonBone& b = skeleton.bones[i];
        if (b.parent >= static_cast<int>(i)) {
            std::fprintf(stderr, "assetgen: %s: bone %zu names a later parent\n", path.c_str(), i);
            return false;
        }
        w.f32(b.pivot[0]);
        w.f32(b.pivot[1]);
        w.f32(b.pivot[2]);
        w.u16(static_cast<uint16_t>(b.parent));
    }
    for (const SkeletonBone& b : skeleton.bones) {
        for (const BoneKey& k : b.keys) {
            for (float v : k.translation) w.f32(v);
            for (float v : k.scale) w.f32(v);
            for (float v : k.rotation) w.f32(v);
        }
    }
    return save_bytes(path, w.bytes);
}

bool write_raw(const std::string& path, const Image& image) {
    if (image.width <= 0 || image.height <= 0 || image.width > RAW_MAX_SIDE || image.height > RAW_MAX_SIDE ||
        image.rgba.size() != static_cast<size_t>(image.width) * image.height * RAW_BYTES_PER_PIXEL) {
        std::fprintf(stderr, "assetgen: %s has a bad image size\n", path.c_str());
        return false;
    }
    ByteWriter w;
    w.u16(static_cast<uint16_t>(image.width));
    w.u16(static_cast<uint16_t>(image.height));
    w.append(image.rgba);
    return save_bytes(path, w.bytes);
}

std::string join_path(const char* dir, const char* name) {
    std::string path(dir);
    if (!path.empty() && path.back() != '/') path += '/';
    return path + name;
}
