// The game's own reader of Allegro datafiles, for the HUD font and the
// palette. Allegro's load_datafile trusts every size, count and range in a
// file: a damaged or hostile font crashes it, or makes it ask for gigabytes.
// So the game reads the whole file itself (through Allegro's packed files,
// which also undo whole-file compression), checks every object of it, and
// builds the font and palette from what it checked. Allegro's FONT is built
// here from the same records its font loader would build, so AllegroGL's
// converter only ever sees glyphs whose count, sizes and ranges are sane.
#include <allegro.h>
#include <allegro/internal/aintern.h>

#include <cstdlib>
#include <cstring>

#include "assets/assets.h"

enum {
    DATAFILE_MAX_OBJECTS = 4096,
    DATAFILE_MAX_NESTING = 8,
    DATAFILE_OBJECT_HEADER_BYTES = 12,  // type, size in the file, size unpacked
    FONT_FORMAT_RANGES = 0,             // the font header of Allegro 3.9 and later
    FONT_RANGE_MONO = 1,                // one bit per pixel
    FONT_MAX_RANGES = 16,
    FONT_MAX_GLYPHS = 256,              // in all ranges together
    FONT_MAX_GLYPH_PIXELS = 128,        // either side of one glyph
    FONT_LAST_CHARACTER = 0x10FFFF,     // the last Unicode code point
    PALETTE_BYTES_PER_COLOUR = 4,       // red, green, blue, padding
    PALETTE_MAX_LEVEL = 63,             // six bits a channel
    READ_CHUNK_BYTES = 4096,
};

// ---- Bytes of the file -------------------------------------------------------

// Big-endian fields taken off the front of a byte range; once a field runs
// past the end every later one fails too.
struct ByteCursor {
    const uint8_t* at;
    size_t left;
    bool ok;
};

static ByteCursor make_cursor(const uint8_t* bytes, size_t size) {
    return ByteCursor{bytes, size, true};
}

static const uint8_t* take_bytes(ByteCursor* in, size_t count) {
    if (!in->ok || count > in->left) {
        in->ok = false;
        return nullptr;
    }
    const uint8_t* start = in->at;
    in->at += count;
    in->left -= count;
    return start;
}

static uint32_t take_u32(ByteCursor* in) {
    const uint8_t* b = take_bytes(in, 4);
    if (!b) return 0;
    return (static_cast<uint32_t>(b[0]) << 24) | (static_cast<uint32_t>(b[1]) << 16) |
           (static_cast<uint32_t>(b[2]) << 8) | b[3];
}

static uint16_t take_u16(ByteCursor* in) {
    const uint8_t* b = take_bytes(in, 2);
    if (!b) return 0;
    return static_cast<uint16_t>((b[0] << 8) | b[1]);
}

static uint8_t take_u8(ByteCursor* in) {
    const uint8_t* b = take_bytes(in, 1);
    return b ? b[0] : 0;
}

// The file as Allegro's packed-file layer gives it (after the magic, and
// unpacked when the whole file is compressed), up to DATAFILE_MAX_BYTES.
// Null when the file is missing, unreadable or larger than that.
static uint8_t* read_datafile_bytes(const char* path, size_t* size) {
    PACKFILE* file = pack_fopen(path, F_READ_PACKED);
    if (!file) return nullptr;
    uint8_t* bytes = nullptr;
    size_t capacity = 0, total = 0;
    bool whole = true;
    while (whole) {
        if (total == capacity) {
            // Grown as the file goes, never past the most the game reads.
            if (capacity == DATAFILE_MAX_BYTES) {
                whole = pack_getc(file) == EOF;
                break;
            }
            capacity = capacity == 0 ? READ_CHUNK_BYTES * 4 : capacity * 2;
            if (capacity > DATAFILE_MAX_BYTES) capacity = DATAFILE_MAX_BYTES;
            uint8_t* grown = static_cast<uint8_t*>(std::realloc(bytes, capacity));
            if (!grown) {
                whole = false;
                break;
            }
            bytes = grown;
        }
        long want = static_cast<long>(capacity - total);
        long got = pack_fread(bytes + total, want, file);
        if (got > 0) total += static_cast<size_t>(got);
        if (got < want) break;
    }
    if (pack_ferror(file)) whole = false;
    pack_fclose(file);
    if (!whole) {
        std::free(bytes);
        return nullptr;
    }
    *size = total;
    return bytes;
}

// ---- The object list ---------------------------------------------------------

struct DatafileObject {
    uint32_t type;
    const uint8_t* body;
    size_t size;
    bool packed;  // compressed on its own inside the file
};

// An object type is four characters of the kind Allegro's tools write.
static bool is_type_id(uint32_t type) {
    for (int shift = 0; shift < 32; shift += 8) {
        int c = static_cast<int>((type >> shift) & 0xFF);
        bool fits = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    c == ' ' || c == '_' || c == '.';
        if (!fits) return false;
    }
    return true;
}

// Compression turns at most 18 bytes into 2 and spends one flag byte on
// every 8 items, so an object can never unpack to more than this.
static size_t most_unpacked_bytes(size_t packed) {
    return packed * 9 + 18;
}

// One object with its properties; its body is checked for size, and a nested
// datafile is read as a whole.
static bool read_object(ByteCursor* in, DatafileObject* out) {
    uint32_t type = take_u32(in);
    while (in->ok && type == static_cast<uint32_t>(DAT_PROPERTY)) {
        uint32_t property = take_u32(in);
        uint32_t size = take_u32(in);
        if (!is_type_id(property)) return false;
        take_bytes(in, size);
        type = take_u32(in);
    }
    uint32_t stored = take_u32(in);
    int32_t unpacked = static_cast<int32_t>(take_u32(in));
    const uint8_t* body = take_bytes(in, stored);
    if (!in->ok || !is_type_id(type)) return false;
    out->type = type;
    out->body = body;
    out->size = stored;
    out->packed = unpacked < 0;
    if (!out->packed) return static_cast<uint32_t>(unpacked) == stored;
    // A compressed object: it must claim a size it can really unpack to and
    // the game could hold; -INT32_MIN does not exist.
    if (unpacked == INT32_MIN) return false;
    size_t claimed = static_cast<size_t>(-static_cast<int64_t>(unpacked));
    if (claimed > DATAFILE_MAX_BYTES || claimed > most_unpacked_bytes(stored)) return false;
    if (type == static_cast<uint32_t>(DAT_FILE)) return false;  // a nested file unread is no check
    return true;
}

static bool read_object_list(ByteCursor* in, int depth, DatafileObject* first) {
    uint32_t count = take_u32(in);
    if (!in->ok || count > DATAFILE_MAX_OBJECTS || count * size_t{DATAFILE_OBJECT_HEADER_BYTES} > in->left) {
        return false;
    }
    for (uint32_t i = 0; i < count; i++) {
        DatafileObject object;
        if (!read_object(in, &object)) return false;
        if (object.type == static_cast<uint32_t>(DAT_FILE)) {
            if (depth >= DATAFILE_MAX_NESTING) return false;
            ByteCursor nested = make_cursor(object.body, object.size);
            if (!read_object_list(&nested, depth + 1, nullptr) || nested.left != 0) return false;
        }
        if (i == 0 && first) *first = object;
    }
    return true;
}

// The first object of a whole, well-formed datafile in bytes (from just
// after the packed-file magic); false for anything else.
static bool find_first_object(const uint8_t* bytes, size_t size, DatafileObject* first) {
    ByteCursor in = make_cursor(bytes, size);
    if (take_u32(&in) != static_cast<uint32_t>(DAT_MAGIC)) return false;
    first->type = 0;
    if (!read_object_list(&in, 0, first) || in.left != 0) return false;
    return first->type != 0 && !first->packed;
}

// ---- Font ----------------------------------------------------------------------

void free_loaded_font(FONT* font) {
    if (!font) return;
    FONT_MONO_DATA* range = static_cast<FONT_MONO_DATA*>(font->data);
    while (range) {
        FONT_MONO_DATA* next = range->next;
        if (range->glyphs) {
            for (int c = 0; c < range->end - range->begin; c++) std::free(range->glyphs[c]);
            std::free(range->glyphs);
        }
        std::free(range);
        range = next;
    }
    std::free(font);
}

static int glyph_row_bytes(int width) {
    return (width + 7) / 8;
}

// The glyphs of one range, copied into Allegro's records; false when a glyph
// is missing, too small or too large, or an allocation fails.
static bool read_mono_range(ByteCursor* in, FONT_MONO_DATA* range, int* height) {
    int count = range->end - range->begin;
    range->glyphs = static_cast<FONT_GLYPH**>(std::calloc(count, sizeof(FONT_GLYPH*)));
    if (!range->glyphs) return false;
    for (int c = 0; c < count; c++) {
        int w = take_u16(in);
        int h = take_u16(in);
        if (!in->ok || w < 1 || h < 1 || w > FONT_MAX_GLYPH_PIXELS || h > FONT_MAX_GLYPH_PIXELS) return false;
        size_t data_bytes = static_cast<size_t>(glyph_row_bytes(w)) * h;
        const uint8_t* data = take_bytes(in, data_bytes);
        if (!data) return false;
        FONT_GLYPH* glyph = static_cast<FONT_GLYPH*>(std::malloc(sizeof(FONT_GLYPH) + data_bytes));
        if (!glyph) return false;
        glyph->w = static_cast<short>(w);
        glyph->h = static_cast<short>(h);
        std::memcpy(glyph->dat, data, data_bytes);
        range->glyphs[c] = glyph;
        if (h > *height) *height = h;
    }
    return true;
}

// A font object: the 3.9 header, then one-bit ranges in rising order that do
// not overlap, with no more glyphs in all than a HUD font needs.
static FONT* build_font(const uint8_t* body, size_t size) {
    ByteCursor in = make_cursor(body, size);
    if (take_u16(&in) != FONT_FORMAT_RANGES) return nullptr;
    int range_count = take_u16(&in);
    if (!in.ok || range_count < 1 || range_count > FONT_MAX_RANGES) return nullptr;

    FONT* font = static_cast<FONT*>(std::calloc(1, sizeof(FONT)));
    if (!font) return nullptr;
    font->vtable = font_vtable_mono;
    FONT_MONO_DATA** link = reinterpret_cast<FONT_MONO_DATA**>(&font->data);
    int64_t previous_end = 0;
    int glyph_total = 0;
    bool sound = true;
    for (int r = 0; r < range_count && sound; r++) {
        int kind = take_u8(&in);
        int64_t begin = static_cast<int32_t>(take_u32(&in));
        int64_t last = static_cast<int32_t>(take_u32(&in));
        sound = in.ok && kind == FONT_RANGE_MONO && begin >= previous_end && begin <= last &&
                last <= FONT_LAST_CHARACTER && glyph_total + (last - begin + 1) <= FONT_MAX_GLYPHS;
        if (!sound) break;
        FONT_MONO_DATA* range = static_cast<FONT_MONO_DATA*>(std::calloc(1, sizeof(FONT_MONO_DATA)));
        if (!range) {
            sound = false;
            break;
        }
        range->begin = static_cast<int>(begin);
        range->end = static_cast<int>(last + 1);
        *link = range;
        link = &range->next;
        sound = read_mono_range(&in, range, &font->height);
        previous_end = last + 1;
        glyph_total += range->end - range->begin;
    }
    if (!sound || in.left != 0) {
        free_loaded_font(font);
        return nullptr;
    }
    return font;
}

FONT* parse_font_datafile(const uint8_t* bytes, size_t size) {
    DatafileObject first;
    if (!find_first_object(bytes, size, &first) || first.type != static_cast<uint32_t>(DAT_FONT)) {
        return nullptr;
    }
    return build_font(first.body, first.size);
}

FONT* load_font_datafile(const char* path) {
    size_t size = 0;
    uint8_t* bytes = read_datafile_bytes(path, &size);
    if (!bytes) return nullptr;
    FONT* font = parse_font_datafile(bytes, size);
    std::free(bytes);
    return font;
}

// ---- Palette ---------------------------------------------------------------------

bool parse_palette_datafile(const uint8_t* bytes, size_t size, RGB* palette) {
    DatafileObject first;
    if (!find_first_object(bytes, size, &first) || first.type != static_cast<uint32_t>(DAT_PALETTE) ||
        first.size != PAL_SIZE * PALETTE_BYTES_PER_COLOUR) {
        return false;
    }
    for (int c = 0; c < PAL_SIZE; c++) {
        const uint8_t* entry = first.body + c * PALETTE_BYTES_PER_COLOUR;
        if (entry[0] > PALETTE_MAX_LEVEL || entry[1] > PALETTE_MAX_LEVEL || entry[2] > PALETTE_MAX_LEVEL) {
            return false;
        }
    }
    for (int c = 0; c < PAL_SIZE; c++) {
        const uint8_t* entry = first.body + c * PALETTE_BYTES_PER_COLOUR;
        palette[c].r = entry[0];
        palette[c].g = entry[1];
        palette[c].b = entry[2];
        palette[c].filler = 0;
    }
    return true;
}

bool load_palette_datafile(const char* path, RGB* palette) {
    size_t size = 0;
    uint8_t* bytes = read_datafile_bytes(path, &size);
    if (!bytes) return false;
    bool loaded = parse_palette_datafile(bytes, size, palette);
    std::free(bytes);
    return loaded;
}
