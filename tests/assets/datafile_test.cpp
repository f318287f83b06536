// The game's reader of the font and palette datafiles: the generated files
// load, a file cut anywhere is refused, and so is every hostile file kept
// under tests/regression (each once crashed or hung Allegro's own loader).
// The other loaders are run on the regression inputs of their formats too,
// and every loader is seen to close its file and free what it took.
#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "anim/anim.h"
#include "asset_files.h"  // allegro.h, which the internal header needs first
#include "assets/assets.h"

#include <allegro/internal/aintern.h>

namespace {

TEST(Datafile, TheGeneratedFontAndPaletteLoadAndAnyCutIsRefused) {
    ensure_allegro();
    FONT* font = load_font_datafile("datos/fuente.dat");
    ASSERT_NE(font, nullptr) << "the build writes datos/ before the tests";
    ASSERT_TRUE(is_mono_font(font));
    const FONT_MONO_DATA* range = static_cast<const FONT_MONO_DATA*>(font->data);
    EXPECT_EQ(range->begin, ' ');
    EXPECT_EQ(range->end, '~' + 1);
    // Then the capitals of key labels: Latin-1, Greek and Cyrillic.
    int ranges = 0, end = 0;
    for (; range; range = range->next, ranges++) end = range->end;
    EXPECT_EQ(ranges, 4);
    EXPECT_EQ(end, 0x430);
    EXPECT_EQ(font->height, 40);
    EXPECT_EQ(text_length(font, "0123456789"), 220);  // Allegro's own font code reads it
    free_loaded_font(font);

    PALETTE palette;
    ASSERT_TRUE(load_palette_datafile("datos/pal.dat", palette));
    EXPECT_EQ(palette[215].r, 63);  // the last of the colour cube is white
    EXPECT_EQ(palette[215].g, 63);
    EXPECT_EQ(palette[215].b, 63);
    EXPECT_EQ(palette[0].g, 0);

    for (const char* name : {"datos/fuente.dat", "datos/pal.dat"}) {
        SCOPED_TRACE(name);
        Bytes file = read_bytes(name);
        const size_t size = file.data.size();
        file.u8(0);
        // Cut inside the header, a property, the sizes and the body; one
        // byte too many (size + 1) is refused as well.
        for (size_t cut : {size_t{0}, size_t{6}, size_t{13}, size_t{27}, size_t{40}, size / 2, size - 1, size + 1}) {
            SCOPED_TRACE(cut);
            std::string path = write_test_file("cut.dat", file.first(cut));
            EXPECT_EQ(load_font_datafile(path.c_str()), nullptr);
            EXPECT_FALSE(load_palette_datafile(path.c_str(), palette));
        }
    }
    // A file Allegro's tools compressed as a whole loads the same.
    Bytes font_bytes = read_bytes("datos/fuente.dat");
    std::string packed = write_test_file("packed.dat", Bytes{});
    PACKFILE* out = pack_fopen(packed.c_str(), F_WRITE_PACKED);
    ASSERT_NE(out, nullptr);
    pack_fwrite(font_bytes.data.data() + 4, static_cast<long>(font_bytes.data.size() - 4), out);
    pack_fclose(out);
    font = load_font_datafile(packed.c_str());
    EXPECT_NE(font, nullptr);
    free_loaded_font(font);

    EXPECT_EQ(load_font_datafile("datos/no-such-file.dat"), nullptr);
    // The font is no palette and the palette no font.
    EXPECT_EQ(load_font_datafile("datos/pal.dat"), nullptr);
    EXPECT_FALSE(load_palette_datafile("datos/fuente.dat", palette));
}

// Fonts at the reader's limits are read; one glyph more, or one pixel
// larger, is refused.
TEST(Datafile, FontsUpToTheLimitsAreReadAndPastThemRefused) {
    for (const auto& shape : FONTS_AT_THE_LIMITS) {
        const std::vector<uint8_t> bytes = font_datafile(shape);
        FONT* font = parse_font_datafile(bytes.data(), bytes.size());
        EXPECT_NE(font, nullptr) << shape.back().last;
        free_loaded_font(font);
    }
    for (const std::vector<uint8_t>& refused : {font_datafile({{0, 256, 8, 8}}), font_datafile({{65, 65, 129, 8}})})
        EXPECT_EQ(parse_font_datafile(refused.data(), refused.size()), nullptr);
}

// Ids of properties and objects are four characters of the kind Allegro's
// tools write: capitals, small letters, digits, space, '_' and '.'.
TEST(Datafile, IdsOfOtherCharactersAreRefused) {
    const std::vector<uint8_t> font = font_datafile({{65, 66, 8, 8}});
    for (char c : std::string("AZaz09 _.@[`{/:-")) {
        std::vector<uint8_t> bytes = font;
        const uint8_t property[] = {'p', 'r', 'o', 'p', 'N', 'A', 'M', static_cast<uint8_t>(c), 0, 0, 0, 0};
        bytes.insert(bytes.begin() + 8, property, property + sizeof property);  // before the font
        FONT* loaded = parse_font_datafile(bytes.data(), bytes.size());
        EXPECT_EQ(loaded != nullptr, std::strchr("AZaz09 _.", c) != nullptr) << "'" << c << "'";
        free_loaded_font(loaded);
    }
}

// A font followed by a second object.
std::vector<uint8_t> font_then(const std::vector<uint8_t>& second) {
    std::vector<uint8_t> bytes = font_datafile({{65, 66, 8, 8}});
    bytes[7] = 2;  // objects in the file
    bytes.insert(bytes.end(), second.begin(), second.end());
    return bytes;
}

std::vector<uint8_t> font_then_object(size_t stored, int32_t unpacked) {
    return font_then(datafile_object("DATA", std::vector<uint8_t>(stored, 0), unpacked));
}

// Datafiles nest eight deep, no deeper.
TEST(Datafile, NestedFilesAreReadEightDeep) {
    for (int depth : {8, 9}) {
        std::vector<uint8_t> file = {0, 0, 0, 0};  // the innermost: no objects
        for (int level = 0; level < depth; level++) {
            file = datafile_object("FILE", file, static_cast<int32_t>(file.size()));
            if (level + 1 < depth) file.insert(file.begin(), {0, 0, 0, 1});
        }
        const std::vector<uint8_t> bytes = font_then(file);
        FONT* font = parse_font_datafile(bytes.data(), bytes.size());
        EXPECT_EQ(font != nullptr, depth == 8) << depth;
        free_loaded_font(font);
    }
}

// A palette's levels are six bits: 64 in any colour channel is refused; the
// fourth byte of each colour is padding, whatever it holds.
TEST(Datafile, PaletteLevelsAboveSixBitsAreRefused) {
    for (int channel = 0; channel < 4; channel++) {
        std::vector<uint8_t> body;
        for (int c = 0; c < PAL_SIZE; c++) body.insert(body.end(), {uint8_t(c / 4), uint8_t(c / 4), uint8_t(c / 4), 0});
        body[4 * 200 + channel] = channel < 3 ? 64 : 255;
        const std::vector<uint8_t> bytes = one_object_datafile("PAL ", body);
        PALETTE palette;
        EXPECT_EQ(parse_palette_datafile(bytes.data(), bytes.size(), palette), channel == 3) << channel;
    }
}

// An object is its stored size, or compressed to at most 18 bytes in 2 plus
// a flag byte every 8 (4 bytes: 54), never the impossible -2^31.
TEST(Datafile, ObjectsClaimingSizesTheyCannotHaveAreRefused) {
    struct Claim {
        int32_t unpacked;
        bool read;
    };
    for (const Claim& claim : {Claim{4, true}, Claim{5, false}, Claim{-54, true}, Claim{-55, false},
                               Claim{INT32_MIN, false}}) {
        const std::vector<uint8_t> bytes = font_then_object(4, claim.unpacked);
        FONT* font = parse_font_datafile(bytes.data(), bytes.size());
        EXPECT_EQ(font != nullptr, claim.read) << claim.unpacked;
        free_loaded_font(font);
    }
}

// A file is read up to a megabyte past its packed-file magic: a font with a
// second object filling that loads, and one byte more is refused.
TEST(Datafile, FilesAreReadUpToAMegabyte) {
    ensure_allegro();
    const size_t filling = DATAFILE_MAX_BYTES - font_then_object(0, 0).size();
    Bytes file;
    file.data = {'s', 'l', 'h', '.'};
    const std::vector<uint8_t> full = font_then_object(filling, static_cast<int32_t>(filling));
    file.data.insert(file.data.end(), full.begin(), full.end());
    FONT* loaded = load_font_datafile(write_test_file("full.dat", file).c_str());
    EXPECT_NE(loaded, nullptr);
    free_loaded_font(loaded);
    file.u8(0);
    EXPECT_EQ(load_font_datafile(write_test_file("full.dat", file).c_str()), nullptr);
}

TEST(Datafile, EveryRegressionInputIsRefusedOrLoadedSafely) {
    ensure_allegro();
    namespace fs = std::filesystem;
    int inputs = 0;
    // One folder of inputs a loader; tests/regression holds other things too.
    for (const std::string format : {"datafile", "model", "skeleton", "texture"}) {
        const fs::path folder = fs::path(SUNDOWN_SOURCE_DIR "/tests/regression") / format;
        if (!fs::is_directory(folder)) continue;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (!entry.is_regular_file()) continue;
            const std::string path = entry.path().string();
            SCOPED_TRACE(path);
            inputs++;
            if (format == "datafile") {
                PALETTE palette;
                EXPECT_EQ(load_font_datafile(path.c_str()), nullptr);
                EXPECT_FALSE(load_palette_datafile(path.c_str(), palette));
            } else if (format == "model") {
                Model* model = load_model(path.c_str());
                if (model) {
                    for (int v = 0; v < model->vertex_count; v++) compute_vertex_normal(v, model);
                    copy_rest_pose(model);
                }
                free_model(model);
            } else if (format == "skeleton") {
                Skeleton* skeleton = load_skeleton(path.c_str());
                for (int t = 0; t < 8; t++) update_animation(skeleton);
                free_skeleton(skeleton);
            } else if (format == "texture") {
                uint16_t width = 0, height = 0;
                std::free(read_texture_pixels(path.c_str(), &width, &height));
            }
        }
    }
    EXPECT_GE(inputs, 19);
}

int open_file_count() {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) count += !entry.path().empty();
    return count;
}

// Loading and freeing, eight times over, leaves as many files open and as
// much heap in use as the eight times before (the first rounds fill the
// allocator's caches; sanitizer builds count no heap here, their leak check
// does).
TEST(Loaders, CloseTheirFilesAndFreeAllTheyTookLoadedOrRefused) {
    ensure_allegro();
    struct Load {
        const char* file;
        std::function<void(const char*)> load_and_free;
    };
    const Load loads[] = {
        {"hombre.emd", [](const char* path) { free_model(load_model(path)); }},
        {"hombre.esq", [](const char* path) { free_skeleton(load_skeleton(path)); }},
        {"tex1.raw",
         [](const char* path) {
             uint16_t width, height;
             std::free(read_texture_pixels(path, &width, &height));
         }},
        {"fuente.dat", [](const char* path) { free_loaded_font(load_font_datafile(path)); }},
        {"pal.dat",
         [](const char* path) {
             PALETTE palette;
             load_palette_datafile(path, palette);
         }},
    };
    for (const Load& load : loads) {
        const Bytes whole = read_bytes(std::string("datos/") + load.file);
        ASSERT_FALSE(whole.data.empty()) << load.file;
        const std::string refused = write_test_file("refused", whole.first(whole.data.size() / 2));
        for (std::string path : {"datos/" + std::string(load.file), refused}) {
            int files = 0, files_before = 0;
            size_t heap = 0, heap_before = 0;
            for (int round = 0; round < 3; round++) {
                files_before = files;
                heap_before = heap;
                for (int run = 0; run < 8; run++) load.load_and_free(path.c_str());
                files = open_file_count();
                heap = mallinfo2().uordblks;
            }
            EXPECT_EQ(files, files_before) << path << ": a file was left open";
            EXPECT_EQ(heap, heap_before) << path << ": memory was left taken";
        }
    }
}

}  // namespace
