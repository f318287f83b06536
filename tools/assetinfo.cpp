// assetinfo FILE...: prints what the game's own loaders make of EMD model,
// ESQ skeleton and RAW texture files, or why they refuse one. The loaders
// only say "no"; the reasons come from re-checking the size arithmetic and
// indices of the file here. RAW files are checked without OpenGL.
#include <allegro.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "assets/assets.h"
#include "assets/file_layouts.h"

enum {
    ESQ_KEYS_PER_BONE_BYTES = ESQ_KEYFRAMES * ESQ_KEYFRAME_BYTES,
    UNBOUND_FROM = 255,  // bone indices from here up (or negative) bind nothing
};

static bool read_file(const char* path, std::vector<uint8_t>* bytes) {
    FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    uint8_t chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes->insert(bytes->end(), chunk, chunk + got);
    std::fclose(file);
    return true;
}

static unsigned u16_at(const std::vector<uint8_t>& bytes, size_t offset) {
    return bytes[offset] | (bytes[offset + 1] << 8);
}

static void print_truncated(size_t size, size_t promised) {
    std::printf("  refused: truncated, %zu bytes where the counts promise %zu\n", size, promised);
}

static void explain_model_refusal(const std::vector<uint8_t>& bytes) {
    size_t size = bytes.size();
    size_t need = EMD_HEADER_BYTES + EMD_LONG_COUNT_BYTES;
    if (size < need) return print_truncated(size, need);
    need += (bytes[EMD_HEADER_BYTES] + 1) * EMD_LONG_RECORD_BYTES + EMD_COUNT_BYTES;
    if (size < need) return print_truncated(size, need);
    need += u16_at(bytes, need - EMD_COUNT_BYTES) * EMD_SHORT_RECORD_BYTES + EMD_COUNT_BYTES;
    if (size < need) return print_truncated(size, need);
    unsigned vertex_count = u16_at(bytes, need - EMD_COUNT_BYTES);
    need += vertex_count * EMD_VERTEX_BYTES + EMD_COUNT_BYTES;
    if (size < need) return print_truncated(size, need);
    size_t faces_at = need;
    unsigned face_count = u16_at(bytes, need - EMD_COUNT_BYTES);
    need += face_count * EMD_FACE_BYTES;
    if (size < need) return print_truncated(size, need);
    for (unsigned f = 0; f < face_count; f++) {
        for (int c = 0; c < EMD_FACE_CORNERS; c++) {
            unsigned vertex = u16_at(bytes, faces_at + f * EMD_FACE_BYTES + EMD_FACE_VERTEX + 2 * c);
            if (vertex >= vertex_count) {
                std::printf("  refused: face %u names vertex %u of %u\n", f, vertex, vertex_count);
                return;
            }
        }
    }
    std::printf("  refused: out of memory\n");
}

static void print_model(const Model* model) {
    int bound = 0;
    int highest_bone = -1;
    for (int v = 0; v < model->vertex_count; v++) {
        int bone = model->bone_index[v];
        if (bone < 0 || bone >= UNBOUND_FROM) continue;
        bound++;
        if (bone > highest_bone) highest_bone = bone;
    }
    std::printf("  vertices %u (%d bound to bones up to %d, %d unbound), faces %u\n", model->vertex_count, bound,
                highest_bone, model->vertex_count - bound, model->face_count);
    std::map<int, int> per_class;
    std::map<int, int> per_offset;
    int double_sided = 0;
    for (int f = 0; f < model->face_count; f++) {
        per_class[model->faces[f].render_class]++;
        per_offset[model->faces[f].texture_offset]++;
        if (model->faces[f].double_sided == 1) double_sided++;
    }
    std::printf("  faces per render class:");
    for (const auto& entry : per_class) std::printf(" %d:%d", entry.first, entry.second);
    std::printf("\n  faces per texture offset:");
    for (const auto& entry : per_offset) std::printf(" %d:%d", entry.first, entry.second);
    std::printf("\n  double-sided faces: %d\n", double_sided);
    if (model->vertex_count == 0) return;
    float low[3], high[3];
    for (int axis = 0; axis < 3; axis++) low[axis] = high[axis] = model->rest_positions[axis];
    for (int v = 0; v < model->vertex_count; v++) {
        for (int axis = 0; axis < 3; axis++) {
            float value = model->rest_positions[v * 3 + axis];
            if (value < low[axis]) low[axis] = value;
            if (value > high[axis]) high[axis] = value;
        }
    }
    std::printf("  bounds x %.3f .. %.3f, y %.3f .. %.3f, z %.3f .. %.3f\n", low[0], high[0], low[1], high[1],
                low[2], high[2]);
}

static bool show_model(const char* path, const std::vector<uint8_t>& bytes) {
    std::printf("%s: EMD model, %zu bytes\n", path, bytes.size());
    Model* model = load_model(path);
    if (!model) {
        explain_model_refusal(bytes);
        return false;
    }
    print_model(model);
    free_model(model);
    return true;
}

static void explain_skeleton_refusal(const std::vector<uint8_t>& bytes) {
    size_t size = bytes.size();
    const size_t bones_at = ESQ_HEADER_BYTES + ESQ_BONE_COUNT_BYTES;
    if (size < bones_at) return print_truncated(size, bones_at);
    int count = static_cast<int16_t>(u16_at(bytes, ESQ_HEADER_BYTES));
    if (count > SKELETON_MAX_BONES) {
        std::printf("  refused: %d bones, more than %d\n", count, SKELETON_MAX_BONES);
        return;
    }
    size_t need = bones_at + static_cast<size_t>(count) * (ESQ_BONE_BYTES + ESQ_KEYS_PER_BONE_BYTES);
    if (size < need) return print_truncated(size, need);
    for (int b = 0; b < count; b++) {
        int parent = static_cast<int16_t>(u16_at(bytes, bones_at + b * ESQ_BONE_BYTES + ESQ_BONE_PARENT));
        if (parent >= b) {
            std::printf("  refused: bone %d has parent %d, which does not come before it\n", b, parent);
            return;
        }
    }
    std::printf("  refused: out of memory\n");
}

static bool show_skeleton(const char* path, const std::vector<uint8_t>& bytes) {
    std::printf("%s: ESQ skeleton, %zu bytes\n", path, bytes.size());
    Skeleton* skeleton = load_skeleton(path);
    if (!skeleton) {
        explain_skeleton_refusal(bytes);
        return false;
    }
    std::printf("  bones %d\n", skeleton->bone_count);
    for (int b = 0; b < skeleton->bone_count; b++) {
        const Bone& bone = skeleton->bones[b];
        std::printf("  bone %3d: pivot (%.3f, %.3f, %.3f), parent %d\n", b, bone.pivot[0], bone.pivot[1],
                    bone.pivot[2], bone.parent);
    }
    free_skeleton(skeleton);
    return true;
}

static bool is_power_of_two(unsigned value) {
    return value != 0 && (value & (value - 1)) == 0;
}

// The same checks load_texture makes before it touches OpenGL.
static bool show_texture(const char* path, const std::vector<uint8_t>& bytes) {
    std::printf("%s: RAW texture, %zu bytes\n", path, bytes.size());
    if (bytes.size() < RAW_HEADER_BYTES) {
        print_truncated(bytes.size(), RAW_HEADER_BYTES);
        return false;
    }
    unsigned width = u16_at(bytes, 0);
    unsigned height = u16_at(bytes, 2);  // after the 16-bit width
    std::printf("  width %u, height %u\n", width, height);
    if (width == 0 || height == 0) {
        std::printf("  refused: zero width or height\n");
        return false;
    }
    if (!is_power_of_two(width) || !is_power_of_two(height)) {
        std::printf("  sides are not powers of two: mode 0 cannot upload it\n");
    }
    size_t need = RAW_HEADER_BYTES + static_cast<size_t>(width) * height * RAW_BYTES_PER_PIXEL;
    if (bytes.size() < need) {
        print_truncated(bytes.size(), need);
        return false;
    }
    if (bytes.size() > need) std::printf("  %zu bytes after the picture, not read\n", bytes.size() - need);
    return true;
}

static bool has_extension(const char* path, const char* extension) {
    size_t length = std::strlen(path);
    size_t ext_length = std::strlen(extension);
    return length >= ext_length && strcasecmp(path + length - ext_length, extension) == 0;
}

static bool show_file(const char* path) {
    std::vector<uint8_t> bytes;
    if (!read_file(path, &bytes)) {
        std::printf("%s: cannot be opened\n", path);
        return false;
    }
    if (has_extension(path, ".emd")) return show_model(path, bytes);
    if (has_extension(path, ".esq")) return show_skeleton(path, bytes);
    if (has_extension(path, ".raw")) return show_texture(path, bytes);
    std::printf("%s: not an .emd, .esq or .raw file\n", path);
    return false;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: assetinfo FILE...\n");
        return 2;
    }
    // The packed-file layer needs Allegro started; no drivers are needed.
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) return 1;
    int refused = 0;
    for (int i = 1; i < argc; i++) {
        if (!show_file(argv[i])) refused++;
    }
    return refused > 0 ? 1 : 0;
}
