// EMD model loader: reads a mesh file into a Model, poses a static mesh as
// loaded, and releases a Model. A file that is shorter than its counts say or
// names a corner outside its vertex table is refused as a whole.
#include <cstdlib>
#include <cstring>

#include "assets/assets.h"
#include "assets/file_layouts.h"
#include "assets/packed_reader.h"

enum {
    // The normal pass lists at least this many faces around one vertex; a
    // file with a busier vertex gets longer lists.
    ADJACENT_LIST_MIN_ENTRIES = 100,
    FLOATS_PER_VERTEX = 3,
};

// calloc that never answers a request for nothing with null, so null always
// means the allocation failed.
static void* allocate_zeroed(size_t count, size_t size) {
    return std::calloc(count > 0 ? count : 1, size);
}

static bool read_vertices(PACKFILE* file, Model* model) {
    const size_t count = model->vertex_count;
    model->bone_index = static_cast<int16_t*>(allocate_zeroed(count, sizeof(int16_t)));
    model->second_bone_index = static_cast<uint16_t*>(allocate_zeroed(count, sizeof(uint16_t)));
    model->vertex_extra = static_cast<uint16_t*>(allocate_zeroed(count, sizeof(uint16_t)));
    model->rest_positions = static_cast<float*>(allocate_zeroed(count * FLOATS_PER_VERTEX, sizeof(float)));
    model->posed_positions = static_cast<float*>(allocate_zeroed(count * FLOATS_PER_VERTEX, sizeof(float)));
    model->rest_normals = static_cast<float*>(allocate_zeroed(count * FLOATS_PER_VERTEX, sizeof(float)));
    model->posed_normals = static_cast<float*>(allocate_zeroed(count * FLOATS_PER_VERTEX, sizeof(float)));
    if (!model->bone_index || !model->second_bone_index || !model->vertex_extra ||
        !model->rest_positions || !model->posed_positions || !model->rest_normals ||
        !model->posed_normals) {
        return false;
    }
    uint8_t record[EMD_VERTEX_BYTES];
    for (size_t v = 0; v < count; v++) {
        if (!read_bytes(file, record, sizeof record)) return false;
        model->second_bone_index[v] = decode_u16(record + EMD_VERTEX_SECOND_BONE);
        model->bone_index[v] = decode_s16(record + EMD_VERTEX_BONE);
        for (int axis = 0; axis < FLOATS_PER_VERTEX; axis++) {
            model->rest_positions[v * FLOATS_PER_VERTEX + axis] =
                decode_f32(record + EMD_VERTEX_POSITION + 4 * axis);
        }
        model->vertex_extra[v] = decode_u16(record + EMD_VERTEX_EXTRA);
    }
    return true;
}

static bool read_faces(PACKFILE* file, Model* model) {
    const size_t count = model->face_count;
    model->faces = static_cast<Face*>(allocate_zeroed(count, sizeof(Face)));
    model->blended_faces = static_cast<uint16_t*>(allocate_zeroed(count, sizeof(uint16_t)));
    if (!model->faces || !model->blended_faces) return false;
    uint8_t record[EMD_FACE_BYTES];
    for (size_t f = 0; f < count; f++) {
        if (!read_bytes(file, record, sizeof record)) return false;
        Face* face = &model->faces[f];
        face->reserved_a = record[EMD_FACE_RESERVED_A];
        face->double_sided = record[EMD_FACE_DOUBLE_SIDED];
        face->reserved_b = decode_u16(record + EMD_FACE_RESERVED_B);
        face->reserved_c = record[EMD_FACE_RESERVED_C];
        for (int c = 0; c < EMD_FACE_CORNERS; c++) {
            face->vertex[c] = decode_u16(record + EMD_FACE_VERTEX + 2 * c);
            const uint8_t* uv = record + EMD_FACE_UV + EMD_FACE_CORNER_UV_BYTES * c;
            face->uv[c][0] = decode_f32(uv);
            face->uv[c][1] = decode_f32(uv + 4);
            face->uv2[c][0] = decode_f32(uv + 8);
            face->uv2[c][1] = decode_f32(uv + 12);
        }
        face->render_class = record[EMD_FACE_RENDER_CLASS];
        face->texture_offset = decode_u16(record + EMD_FACE_TEXTURE_OFFSET);
        face->reserved_d = decode_u16(record + EMD_FACE_RESERVED_D);
    }
    return true;
}

static bool corners_are_valid(const Model* model) {
    for (int f = 0; f < model->face_count; f++) {
        for (int c = 0; c < EMD_FACE_CORNERS; c++) {
            if (model->faces[f].vertex[c] >= model->vertex_count) return false;
        }
    }
    return true;
}

// Sizes the normal pass's work lists to the most faces any one vertex has,
// so the pass never runs past them. Corners must already be valid.
static bool allocate_adjacent_lists(Model* model) {
    int* faces_around = static_cast<int*>(allocate_zeroed(model->vertex_count, sizeof(int)));
    if (!faces_around) return false;
    int most = ADJACENT_LIST_MIN_ENTRIES;
    for (int f = 0; f < model->face_count; f++) {
        const uint16_t* v = model->faces[f].vertex;
        // A face naming a vertex twice counts once for it.
        for (int c = 0; c < EMD_FACE_CORNERS; c++) {
            if ((c >= 1 && v[c] == v[0]) || (c == 2 && v[2] == v[1])) continue;
            int around = ++faces_around[v[c]];
            if (around > most) most = around;
        }
    }
    std::free(faces_around);
    model->adjacent_capacity = most;
    model->adjacent_faces = static_cast<uint16_t*>(allocate_zeroed(most, sizeof(uint16_t)));
    model->adjacent_normals = static_cast<float*>(allocate_zeroed(most * FLOATS_PER_VERTEX, sizeof(float)));
    return model->adjacent_faces && model->adjacent_normals;
}

// file_bytes is the file's length: counts that promise more records than it
// holds are refused before anything is allocated for them.
static bool read_model(PACKFILE* file, uint64_t file_bytes, Model* model) {
    uint8_t long_record_count;
    uint16_t short_record_count;
    if (!skip_bytes(file, EMD_HEADER_BYTES)) return false;
    if (!read_u8(file, &long_record_count)) return false;
    const uint64_t long_records_bytes = (long_record_count + 1ull) * EMD_LONG_RECORD_BYTES;
    if (!skip_bytes(file, static_cast<long>(long_records_bytes))) return false;
    if (!read_u16(file, &short_record_count)) return false;
    if (!skip_bytes(file, short_record_count * static_cast<long>(EMD_SHORT_RECORD_BYTES))) return false;
    if (!read_u16(file, &model->vertex_count)) return false;
    uint64_t used = EMD_HEADER_BYTES + 1 + long_records_bytes + 2 +
                    uint64_t{short_record_count} * EMD_SHORT_RECORD_BYTES + 2;
    used += uint64_t{model->vertex_count} * EMD_VERTEX_BYTES;
    if (used + 2 > file_bytes || !read_vertices(file, model)) return false;
    if (!read_u16(file, &model->face_count)) return false;
    used += 2 + uint64_t{model->face_count} * EMD_FACE_BYTES;
    if (used > file_bytes || !read_faces(file, model)) return false;
    return corners_are_valid(model) && allocate_adjacent_lists(model);
}

Model* load_model(const char* path) {
    PACKFILE* file = pack_fopen(path, "r");
    if (!file) return nullptr;
    Model* model = static_cast<Model*>(std::calloc(1, sizeof(Model)));
    bool loaded = model && read_model(file, file_size_ex(path), model);
    pack_fclose(file);
    if (!loaded) {
        free_model(model);
        return nullptr;
    }
    return model;
}

void copy_rest_pose(Model* model) {
    if (!model) return;  // a model that failed to load is simply not posed
    const size_t bytes = sizeof(float) * FLOATS_PER_VERTEX * model->vertex_count;
    std::memcpy(model->posed_positions, model->rest_positions, bytes);
    std::memcpy(model->posed_normals, model->rest_normals, bytes);
}

void free_model(Model* model) {
    if (!model) return;
    std::free(model->bone_index);
    std::free(model->second_bone_index);
    std::free(model->vertex_extra);
    std::free(model->rest_positions);
    std::free(model->posed_positions);
    std::free(model->blended_faces);
    std::free(model->adjacent_faces);
    std::free(model->adjacent_normals);
    std::free(model->rest_normals);
    std::free(model->posed_normals);
    std::free(model->faces);
    std::free(model);
}
