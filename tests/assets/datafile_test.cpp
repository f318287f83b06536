// The checks that keep a damaged font or palette datafile from crashing the
// game: a file cut anywhere is refused before Allegro reads it, and a font
// with impossible glyph sizes is refused before it is converted.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "asset_files.h"  // allegro.h, which the internal header needs first
#include "assets/assets.h"

#include <allegro/internal/aintern.h>

namespace {

Bytes read_whole(const char* path) {
    std::ifstream in(path, std::ios::binary);
    Bytes bytes;
    bytes.data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return bytes;
}

TEST(DatafileCheck, TheGeneratedFontAndPaletteAreWholeAndAnyCutIsRefused) {
    ensure_allegro();
    for (const char* name : {"datos/fuente.dat", "datos/pal.dat"}) {
        SCOPED_TRACE(name);
        Bytes whole = read_whole(name);
        ASSERT_GT(whole.data.size(), 32u) << "the build writes datos/ before the tests";
        EXPECT_TRUE(datafile_is_whole(name));
        // Cut inside the header, a property, the sizes and the body.
        for (size_t cut : {size_t{0}, size_t{6}, size_t{13}, size_t{27}, size_t{40},
                           whole.data.size() / 2, whole.data.size() - 1}) {
            SCOPED_TRACE(cut);
            EXPECT_FALSE(datafile_is_whole(write_test_file("cut.dat", whole.first(cut)).c_str()));
        }
    }
    EXPECT_FALSE(datafile_is_whole("datos/no-such-file.dat"));
}

TEST(DatafileCheck, AFontIsSaneOnlyWithSensibleGlyphSizes) {
    ensure_allegro();
    DATAFILE* data = load_datafile("datos/fuente.dat");
    ASSERT_NE(data, nullptr);
    FONT* font = static_cast<FONT*>(data[0].dat);
    EXPECT_TRUE(font_is_sane(font));

    FONT_MONO_DATA* range = static_cast<FONT_MONO_DATA*>(font->data);
    ASSERT_TRUE(is_mono_font(font));
    FONT_GLYPH* glyph = range->glyphs[0];
    short width = glyph->w;
    glyph->w = -1;  // what a cut file leaves behind
    EXPECT_FALSE(font_is_sane(font));
    glyph->w = width;
    int height = font->height;
    font->height = 0;
    EXPECT_FALSE(font_is_sane(font));
    font->height = height;
    EXPECT_TRUE(font_is_sane(font));
    EXPECT_FALSE(font_is_sane(nullptr));
    unload_datafile(data);
}

}  // namespace
