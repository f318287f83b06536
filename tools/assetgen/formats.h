// Writers of the game's three asset formats (EMD meshes, ESQ skeletons, RAW
// textures) and the small in-memory shapes the asset builder fills before
// writing them. The layouts are the game's own, from assets/file_layouts.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "assets/file_layouts.h"

struct MeshVertex {
    int16_t bone;  // bone the vertex follows; -1 for none
    float x, y, z;
};

struct MeshFace {
    uint16_t vertex[3];       // counter-clockwise seen from the front
    float uv[3][2];
    uint8_t render_class;     // RENDER_CLASS_* (file_layouts.h)
    uint16_t texture_offset;  // added to the render mode's base slot
    uint8_t double_sided;     // 1 turns back-face culling off
};

struct Mesh {
    std::vector<MeshVertex> vertices;
    std::vector<MeshFace> faces;
};

struct BoneKey {
    float translation[3];
    float scale[3];
    float rotation[3];  // 256 units per full turn, about x, y, z
};

struct SkeletonBone {
    float pivot[3];
    int16_t parent;  // -1 for a root; always below the bone's own index
    BoneKey keys[ESQ_KEYFRAMES];
};

struct SkeletonData {
    std::vector<SkeletonBone> bones;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;  // row by row; the first row lands at t = 0
};

// The rest pose key: scale 1, no rotation, no translation.
BoneKey rest_key();
SkeletonBone make_bone(float px, float py, float pz, int16_t parent);

Image make_image(int width, int height);
void set_pixel(Image& image, int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255);

// The bytes of a file being built: numbers little-endian unless named _be
// (big-endian, as Allegro datafiles store them), floats as IEEE single.
struct ByteWriter {
    std::vector<uint8_t> bytes;
    void u8(uint8_t v);
    void u16(uint16_t v);
    void u32(uint32_t v);
    void f32(float f);
    void u16_be(uint16_t v);
    void u32_be(uint32_t v);
    void tag(const char* four_chars);  // the four characters, no terminator
    void zeros(size_t n);
    void append(const std::vector<uint8_t>& more);
};

// Writes the whole file; false (and why on stderr) when it cannot.
bool save_bytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Each writer returns false (and says why on stderr) when the file cannot be
// written or the data breaks the format's limits.
bool write_emd(const std::string& path, const Mesh& mesh);
bool write_esq(const std::string& path, const SkeletonData& skeleton);
bool write_raw(const std::string& path, const Image& image);

std::string join_path(const char* dir, const char* name);
