// ESQ skeleton loader: the bone hierarchy and the 256 keyframes of every
// bone, read into one zero-filled Skeleton block. Files that are truncated,
// have more bones than the block holds, or name a parent that does not come
// before its child are refused.
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "assets/assets.h"
#include "assets/file_layouts.h"
#include "assets/packed_reader.h"

enum {
    AXES = 3,
};

static void decode_vector(const uint8_t* bytes, float* out) {
    for (int axis = 0; axis < AXES; axis++) out[axis] = decode_f32(bytes + 4 * axis);
}

static bool read_bones(PACKFILE* file, Skeleton* skeleton) {
    uint8_t record[ESQ_BONE_BYTES];
    for (int b = 0; b < skeleton->bone_count; b++) {
        if (!read_bytes(file, record, sizeof record)) return false;
        Bone* bone = &skeleton->bones[b];
        decode_vector(record + ESQ_BONE_PIVOT, bone->pivot);
        bone->parent = decode_s16(record + ESQ_BONE_PARENT);
        // Bones are posed in file order, so a parent must already be posed.
        if (bone->parent >= b) return false;
    }
    return true;
}

static bool read_keyframes(PACKFILE* file, Skeleton* skeleton) {
    uint8_t keys[SKELETON_KEYFRAMES * ESQ_KEYFRAME_BYTES];  // one bone's worth
    for (int b = 0; b < skeleton->bone_count; b++) {
        if (!read_bytes(file, keys, sizeof keys)) return false;
        Bone* bone = &skeleton->bones[b];
        for (int k = 0; k < SKELETON_KEYFRAMES; k++) {
            const uint8_t* record = keys + k * ESQ_KEYFRAME_BYTES;
            decode_vector(record + ESQ_KEY_TRANSLATION, bone->translation_keys[k]);
            decode_vector(record + ESQ_KEY_SCALE, bone->scale_keys[k]);
            decode_vector(record + ESQ_KEY_ROTATION, bone->rotation_keys[k]);
        }
    }
    return true;
}

static bool read_skeleton(PACKFILE* file, Skeleton* skeleton) {
    int16_t bone_count;
    if (!skip_bytes(file, ESQ_HEADER_BYTES)) return false;
    if (!read_s16(file, &bone_count)) return false;
    if (bone_count > SKELETON_MAX_BONES) return false;
    // A count of zero or less reads nothing and leaves a skeleton without bones.
    skeleton->bone_count = bone_count > 0 ? bone_count : 0;
    return read_bones(file, skeleton) && read_keyframes(file, skeleton);
}

// Back to a zero-filled block. Bones from bone_count on are never written:
// the loader sets the count before it reads the first bone, and playback
// poses only the bones below it. So only those need clearing, which keeps a
// block that is loaded again and again from touching all of its 2.4 MB.
static void clear_skeleton(Skeleton* skeleton) {
    int used = skeleton->bone_count;
    if (used < 0) used = 0;
    if (used > SKELETON_MAX_BONES) used = SKELETON_MAX_BONES;
    std::memset(skeleton->bones, 0, used * sizeof(Bone));
    std::memset(skeleton, 0, offsetof(Skeleton, bones));
}

bool load_skeleton_into(const char* path, Skeleton* skeleton) {
    clear_skeleton(skeleton);
    PACKFILE* file = pack_fopen(path, "r");
    if (!file) return false;
    bool loaded = read_skeleton(file, skeleton);
    pack_fclose(file);
    return loaded;
}

Skeleton* load_skeleton(const char* path) {
    Skeleton* skeleton = static_cast<Skeleton*>(std::calloc(1, sizeof(Skeleton)));
    if (skeleton && !load_skeleton_into(path, skeleton)) {
        std::free(skeleton);
        return nullptr;
    }
    return skeleton;
}

void free_skeleton(Skeleton* skeleton) {
    std::free(skeleton);
}
