// Checks of Allegro datafiles before the game trusts them. Allegro's own
// loader does not notice a file cut short: it reads past the end and builds a
// font from whatever comes back, which later crashes the font conversion. So
// the shell checks that every object's bytes are really there, and that a
// loaded font's glyphs have sane sizes, before it uses either.
#include <allegro.h>
#include <allegro/internal/aintern.h>

#include <cstdint>

#include "assets/assets.h"

static const int32_t MAX_DATAFILE_OBJECTS = 4096;
static const int32_t MAX_NESTING = 8;
static const int MAX_GLYPH_PIXELS = 512;  // a side of one glyph
static const int SKIP_CHUNK_BYTES = 4096;

// Reads and drops n bytes; false when the file ends first.
static bool skip_bytes(PACKFILE* file, int32_t n) {
    static char scratch[SKIP_CHUNK_BYTES];
    while (n > 0) {
        int32_t chunk = n < SKIP_CHUNK_BYTES ? n : SKIP_CHUNK_BYTES;
        if (pack_fread(scratch, chunk, file) != chunk) return false;
        n -= chunk;
    }
    return true;
}

static bool read_long(PACKFILE* file, int32_t* value) {
    int32_t v = pack_mgetl(file);
    if (pack_feof(file) || pack_ferror(file)) return false;
    *value = v;
    return true;
}

// The object list of a datafile (after its "ALL." magic): every property and
// object body present in full.
static bool objects_are_whole(PACKFILE* file, int depth) {
    int32_t count;
    if (!read_long(file, &count) || count < 0 || count > MAX_DATAFILE_OBJECTS) return false;
    for (int32_t i = 0; i < count; i++) {
        int32_t type;
        if (!read_long(file, &type)) return false;
        while (type == DAT_PROPERTY) {
            int32_t property, size;
            if (!read_long(file, &property) || !read_long(file, &size) || size < 0) return false;
            if (!skip_bytes(file, size) || !read_long(file, &type)) return false;
        }
        int32_t stored_size, unpacked_size;
        if (!read_long(file, &stored_size) || !read_long(file, &unpacked_size)) return false;
        if (type == DAT_FILE && stored_size >= 0) {
            // A nested datafile: its own object list follows in place.
            if (depth >= MAX_NESTING || !objects_are_whole(file, depth + 1)) return false;
            continue;
        }
        int32_t body = stored_size < 0 ? -stored_size : stored_size;
        if (body < 0 || !skip_bytes(file, body)) return false;
    }
    return true;
}

bool datafile_is_whole(const char* path) {
    PACKFILE* file = pack_fopen(path, F_READ_PACKED);
    if (!file) return false;
    int32_t magic;
    bool whole = read_long(file, &magic) && magic == DAT_MAGIC && objects_are_whole(file, 0);
    pack_fclose(file);
    return whole;
}

static bool glyph_size_is_sane(int w, int h) {
    return w >= 0 && h >= 0 && w <= MAX_GLYPH_PIXELS && h <= MAX_GLYPH_PIXELS;
}

bool font_is_sane(const FONT* font) {
    if (!font || !font->data || font->height <= 0 || font->height > MAX_GLYPH_PIXELS) return false;
    if (is_mono_font(const_cast<FONT*>(font))) {
        for (const FONT_MONO_DATA* range = static_cast<const FONT_MONO_DATA*>(font->data); range;
             range = range->next) {
            if (range->begin >= range->end || !range->glyphs) return false;
            for (int c = 0; c < range->end - range->begin; c++) {
                const FONT_GLYPH* glyph = range->glyphs[c];
                if (!glyph || !glyph_size_is_sane(glyph->w, glyph->h)) return false;
            }
        }
        return true;
    }
    if (is_color_font(const_cast<FONT*>(font))) {
        for (const FONT_COLOR_DATA* range = static_cast<const FONT_COLOR_DATA*>(font->data); range;
             range = range->next) {
            if (range->begin >= range->end || !range->bitmaps) return false;
            for (int c = 0; c < range->end - range->begin; c++) {
                const BITMAP* glyph = range->bitmaps[c];
                if (!glyph || !glyph_size_is_sane(glyph->w, glyph->h)) return false;
            }
        }
        return true;
    }
    return false;
}
