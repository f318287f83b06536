// Byte layouts of the three asset file formats of datos/: EMD models, ESQ
// skeletons and RAW textures. Numbers are little-endian, floats IEEE single,
// records packed. The game's loaders, the asset builder's writers, assetinfo
// and the tests' reader all take their sizes, offsets and limits from here.
// Plain numbers only, so the builder and the tools need no Allegro for it.
#pragma once

// ---- EMD model --------------------------------------------------------------
// A header, a long-record count N (u8) and N + 1 long records, a short-record
// count M (u16) and M short records (header and records not interpreted),
// then a vertex count (u16) with the vertex records and a face count (u16)
// with the face records.
enum {
    EMD_HEADER_BYTES = 5,
    EMD_LONG_COUNT_BYTES = 1,
    EMD_LONG_RECORD_BYTES = 256,
    EMD_COUNT_BYTES = 2,  // the short-record, vertex and face counts
    EMD_SHORT_RECORD_BYTES = 20,
    EMD_VERTEX_BYTES = 18,
    EMD_FACE_BYTES = 64,
    EMD_FACE_CORNERS = 3,
    EMD_FACE_CORNER_UV_BYTES = 16,  // u, v of the first set, then of the second
    EMD_MAX_ENTRIES = 65535,        // vertices or faces a 16-bit count can hold
};

// Field offsets inside a vertex record.
enum {
    EMD_VERTEX_SECOND_BONE = 0,  // u16, not used
    EMD_VERTEX_BONE = 2,         // s16
    EMD_VERTEX_POSITION = 4,     // x, y, z
    EMD_VERTEX_EXTRA = 16,       // u16, not used
};

// Field offsets inside a face record.
enum {
    EMD_FACE_RESERVED_A = 0,      // u8
    EMD_FACE_DOUBLE_SIDED = 1,    // u8
    EMD_FACE_RESERVED_B = 2,      // u16
    EMD_FACE_RESERVED_C = 4,      // u8
    EMD_FACE_VERTEX = 5,          // three u16 corners
    EMD_FACE_RENDER_CLASS = 11,   // u8
    EMD_FACE_TEXTURE_OFFSET = 12, // u16
    EMD_FACE_RESERVED_D = 14,     // u16
    EMD_FACE_UV = 16,             // EMD_FACE_CORNER_UV_BYTES a corner
};

// Render classes a face can carry; see the model renderer for their meaning.
// 6 and up is never drawn.
enum {
    RENDER_CLASS_MAIN = 0,
    RENDER_CLASS_MAIN_LAST = 1,      // 0..1 drawn in the model's main pass
    RENDER_CLASS_DEFERRED = 2,
    RENDER_CLASS_DEFERRED_LAST = 3,  // 2..3 set aside for the depth-sorted pass
    RENDER_CLASS_BLENDED = 4,
    RENDER_CLASS_BLENDED_LAST = 5,   // 4..5 drawn additively after the main pass
};

// ---- ESQ skeleton -----------------------------------------------------------
// A header and a bone count (s16), the bone records, then ESQ_KEYFRAMES
// keyframe records for each bone in turn.
enum {
    ESQ_HEADER_BYTES = 5,
    ESQ_BONE_COUNT_BYTES = 2,
    ESQ_MAX_BONES = 256,
    ESQ_BONE_BYTES = 14,
    ESQ_BONE_PIVOT = 0,   // x, y, z
    ESQ_BONE_PARENT = 12, // s16, negative for a root
    ESQ_KEYFRAMES = 256,
    ESQ_KEY_FLOATS = 9,   // translation, scale, rotation; x, y, z each
    ESQ_KEYFRAME_BYTES = ESQ_KEY_FLOATS * 4,
    // Offsets inside a keyframe record.
    ESQ_KEY_TRANSLATION = 0,
    ESQ_KEY_SCALE = 12,
    ESQ_KEY_ROTATION = 24,
};

// ---- RAW texture ------------------------------------------------------------
// Width and height (u16 each), then the RGBA rows, the first row at t = 0.
enum {
    RAW_HEADER_BYTES = 4,
    RAW_BYTES_PER_PIXEL = 4,
    RAW_MAX_SIDE = 65535,
};
