// The media files the build generates into datos/: well-formed WAV sounds of
// the intended length, menu pictures the texture loader accepts, an MP3 that
// decodes to over a minute, and font and palette datafiles that Allegro
// itself loads, with a font that fits the HUD.
#include <gtest/gtest.h>

#include <allegro.h>
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "assets/art_layout.h"
#include "assets/asset_list.h"
#include "support/generated_assets.h"

namespace {

class MediaAssets : public GeneratedAssetTest {};

struct ExpectedSound {
    const char* name;
    int channels;
    double seconds;
};

TEST_F(MediaAssets, SoundsAreAudiblePcmWavesOfTheirLength) {
    const ExpectedSound sounds[] = {
        {"rifle.wav", 2, 0.4}, {"mach.wav", 2, 0.15},      {"laser.wav", 2, 0.35},
        {"groan.wav", 2, 0.6}, {"aditamento.wav", 1, 0.5}, {"blast.wav", 1, 0.8},
    };
    for (const ExpectedSound& expected : sounds) {
        SCOPED_TRACE(expected.name);
        std::vector<uint8_t> b = read_file(path(expected.name));
        ASSERT_GE(b.size(), 44u);
        EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
        EXPECT_EQ(le32_at(&b[4]), b.size() - 8);
        EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
        EXPECT_EQ(le32_at(&b[16]), 16u);
        EXPECT_EQ(le16_at(&b[20]), 1);  // PCM
        EXPECT_EQ(le16_at(&b[22]), expected.channels);
        EXPECT_EQ(le32_at(&b[24]), 44100u);
        EXPECT_EQ(le32_at(&b[28]), 44100u * expected.channels * 2);
        EXPECT_EQ(le16_at(&b[32]), expected.channels * 2);
        EXPECT_EQ(le16_at(&b[34]), 16);
        EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
        uint32_t data_bytes = le32_at(&b[40]);
        ASSERT_EQ(data_bytes, b.size() - 44);
        double seconds = static_cast<double>(data_bytes) / (44100.0 * expected.channels * 2);
        EXPECT_NEAR(seconds, expected.seconds, 0.01);

        // Loud somewhere, and quiet again at the very end (no click).
        int peak = 0;
        double energy = 0;
        size_t samples = data_bytes / 2;
        for (size_t i = 0; i < samples; i++) {
            int v = static_cast<int16_t>(le16_at(&b[44 + i * 2]));
            peak = std::max(peak, std::abs(v));
            energy += static_cast<double>(v) * v;
        }
        EXPECT_GT(peak, 20000);
        EXPECT_GT(std::sqrt(energy / samples), 1000.0);
        for (int c = 0; c < expected.channels; c++)
            EXPECT_LT(std::abs(static_cast<int16_t>(le16_at(&b[b.size() - 2 * (c + 1)]))), 600);
    }
}

// r + g + b over the columns [x0, x1) of the rows [y0, y1): their sum, the
// brightest pixel's and the most green.
struct Light {
    long sum = 0;
    int brightest = 0, greenest = 0;
};

Light light_of(const RawImage& raw, int x0, int x1, int y0, int y1) {
    Light light;
    for (int y = y0; y < y1; y++) {
        for (int x = x0; x < x1; x++) {
            const uint8_t* p = raw.px(x, y);
            light.sum += p[0] + p[1] + p[2];
            light.brightest = std::max(light.brightest, p[0] + p[1] + p[2]);
            light.greenest = std::max(light.greenest, static_cast<int>(p[1]));
        }
    }
    return light;
}

TEST_F(MediaAssets, MenuPicturesHaveSomethingOnThem) {
    for (const char* name : {"titulo.raw", "controles_teclado.raw", "controles_mouse.raw", "controles_mando.raw"}) {
        SCOPED_TRACE(name);
        const RawImage raw = read_picture(path(name));  // sides: with every picture, tests/assets
        ASSERT_GT(raw.width, 0);
        // The screens add the picture to black: mostly dark, with bright paint.
        size_t bright = 0, dark = 0;
        for (size_t p = 0; p < raw.rgba.size(); p += 4) {
            int level = raw.rgba[p] + raw.rgba[p + 1] + raw.rgba[p + 2];
            if (level > 450) bright++;
            if (level < 30) dark++;
        }
        size_t pixels = static_cast<size_t>(raw.width) * raw.height;
        EXPECT_GT(bright, pixels / 50);
        EXPECT_GT(dark, pixels / 4);
    }
    // The title is 2:1 like its quad; its top row (written last) is the dark sky
    // above the letters and its bottom row (written first) the lit grid floor.
    const RawImage title = read_picture(path("titulo.raw"));
    const int width = title.width, height = title.height;
    EXPECT_EQ(width, 2 * height);
    EXPECT_GT(light_of(title, 0, width, 0, 1).sum, 10 * light_of(title, 0, width, height - 1, height).sum + 1000);

    // "Press Enter" is written over the middle of the bottom quarter while
    // the title flies: only the pink grid floor may be there, no letters
    // (whose light colours all carry plenty of green).
    EXPECT_LT(light_of(title, width * 3 / 10, width * 2 / 3, 0, height / 4).greenest, 100);
}

// The controls screen writes the movement keys' labels on their keycaps
// itself (the layout decides them): those keycaps are blank, Enter's and
// Escape's carry their legends.
TEST_F(MediaAssets, KeyboardCardLeavesTheMovementKeycapsBlank) {
    const RawImage card = read_picture(path("controles_teclado.raw"));
    ASSERT_EQ(card.width, KEY_CARD_WIDTH);
    // The brightest pixel on a keycap's top face, away from its light edge.
    auto brightest_on_keycap = [&](int row) {
        const int centre_y = key_card_row_centre_y(row);
        int brightest = 0;
        for (int y = centre_y - 7; y <= centre_y + 4; y++) {
            const int texture_row = card.height - 1 - y * card.height / KEY_CARD_HEIGHT;  // bottom row first
            brightest = std::max(brightest, light_of(card, KEY_CARD_KEYCAP_X - 8, KEY_CARD_KEYCAP_X + 9,
                                                     texture_row, texture_row + 1).brightest);
        }
        return brightest;
    };
    for (int row = 0; row < KEY_CARD_MOVE_ROWS; row++) EXPECT_LT(brightest_on_keycap(row), 400) << "row " << row;
    EXPECT_GT(brightest_on_keycap(KEY_CARD_MOVE_ROWS), 600);      // Enter
    EXPECT_GT(brightest_on_keycap(KEY_CARD_MOVE_ROWS + 1), 600);  // Esc
}

// The controls screen draws the small title over the top sixth of both
// control cards (the last rows of the files), so nothing may be painted there.
TEST_F(MediaAssets, ControlCardsLeaveTheirTopSixthBlack) {
    for (const char* name : {"controles_teclado.raw", "controles_mouse.raw", "controles_mando.raw"}) {
        SCOPED_TRACE(name);
        const RawImage card = read_picture(path(name));
        ASSERT_GT(card.width, 0);
        const int first_clear_row = card.height - card.height / 6 + 2;  // two rows for the stretch's blur
        EXPECT_LT(light_of(card, 0, card.width, first_clear_row, card.height).brightest, 30);
        // And the content is still there just below.
        EXPECT_GT(light_of(card, 0, card.width, card.height / 2, first_clear_row - 2).sum, 1000L * card.width / 16);
    }
}

TEST_F(MediaAssets, MusicDecodesToOverAMinute) {
    std::vector<uint8_t> mp3 = read_file(path("mdf01.mp3"));
    ASSERT_GT(mp3.size(), 100000u);
    EXPECT_NE(std::string(mp3.begin(), mp3.begin() + 3), "ID3");
    EXPECT_EQ(mp3[0], 0xFF);  // starts on an MPEG frame
    if (std::system("command -v mpg123 >/dev/null 2>&1") != 0) GTEST_SKIP() << "mpg123 is not installed";
    std::string command = "mpg123 -q -s '" + path("mdf01.mp3") + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::vector<char> chunk(1 << 16);
    size_t bytes = 0, got;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) bytes += got;
    EXPECT_EQ(pclose(pipe), 0);
    double seconds = static_cast<double>(bytes) / (44100.0 * 2 * 2);  // 16-bit stereo
    EXPECT_GE(seconds, 60.0);
    EXPECT_LT(seconds, 70.0);
}

TEST_F(MediaAssets, SoundLayerOpensEverySoundAndTheMusic) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    Mix_Init(MIX_INIT_MP3);
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024), 0) << Mix_GetError();
    for (const char* name : {"rifle.wav", "mach.wav", "laser.wav", "groan.wav", "aditamento.wav", "blast.wav"}) {
        Mix_Chunk* chunk = Mix_LoadWAV(path(name).c_str());
        EXPECT_NE(chunk, nullptr) << name << ": " << Mix_GetError();
        if (chunk) Mix_FreeChunk(chunk);
    }
    Mix_Music* music = Mix_LoadMUS(path("mdf01.mp3").c_str());
    EXPECT_NE(music, nullptr) << Mix_GetError();
    if (music) {
        EXPECT_EQ(Mix_GetMusicType(music), MUS_MP3);
        EXPECT_GE(Mix_MusicDuration(music), 60.0);
        Mix_FreeMusic(music);
    }
    Mix_CloseAudio();
    Mix_Quit();
    SDL_Quit();
}

// ---- datafiles, read by Allegro's own loader --------------------------------

TEST_F(MediaAssets, PaletteDatafileHoldsSixBitColours) {
    ASSERT_TRUE(ensure_allegro());
    DATAFILE* data = load_datafile(path("pal.dat").c_str());
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data[0].type, DAT_PALETTE);
    EXPECT_STREQ(get_datafile_property(&data[0], DAT_ID('N', 'A', 'M', 'E')), "GAME_PALETTE");
    const RGB* palette = static_cast<const RGB*>(data[0].dat);
    int distinct_greys = 0;
    for (int i = 0; i < PAL_SIZE; i++) {
        EXPECT_LE(palette[i].r, 63);
        EXPECT_LE(palette[i].g, 63);
        EXPECT_LE(palette[i].b, 63);
        if (palette[i].r == palette[i].g && palette[i].g == palette[i].b) distinct_greys++;
    }
    EXPECT_EQ(palette[0].r + palette[0].g + palette[0].b, 0);
    EXPECT_EQ(palette[255].r + palette[255].g + palette[255].b, 3 * 63);
    EXPECT_GT(distinct_greys, 32);
    EXPECT_EQ(data[1].type, DAT_END);
    unload_datafile(data);
}

TEST_F(MediaAssets, FontDatafileLoadsFitsTheHudLineAndHasTheCapitalsOfKeyLabels) {
    ASSERT_TRUE(ensure_allegro());
    DATAFILE* data = load_datafile(path("fuente.dat").c_str());
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(data[0].type, DAT_FONT);
    EXPECT_STREQ(get_datafile_property(&data[0], DAT_ID('N', 'A', 'M', 'E')), "HUD_FONT");
    FONT* font = static_cast<FONT*>(data[0].dat);
    EXPECT_TRUE(is_mono_font(font));
    EXPECT_EQ(text_height(font), 40);
    // Monospaced: the HUD lays out its score line with blanks.
    const int cell = text_length(font, "0");
    EXPECT_GE(cell, 18);
    EXPECT_LE(cell, 26);
    for (int c = 32; c <= 126; c++) {
        char text[2] = {static_cast<char>(c), 0};
        EXPECT_EQ(text_length(font, text), cell) << "char " << c;
    }

    // Where HUD text lands on the 640-pixel screen: 1/16 unit per font pixel,
    // the 45-degree 4:3 view reaching x = |z| tan(22.5 deg) 4/3 either side.
    auto screen_x = [](double x, double z) {
        const double half_width_units = -z * std::tan(22.5 * M_PI / 180.0) * 4.0 / 3.0;
        return 320.0 + x / half_width_units * 320.0;
    };
    const double score_z = -80, clock_x = -2, clock_z = -45;
    const double clock_left = screen_x(clock_x, clock_z);
    const double clock_right = screen_x(clock_x + text_length(font, "99") / 16.0, clock_z);
    for (int value : {0, 25000, 999999999}) {
        SCOPED_TRACE(value);
        char part[128];
        std::snprintf(part, sizeof part, "P1 %12d", value);
        const double score_end = screen_x(-40 + text_length(font, part) / 16.0, score_z);
        std::snprintf(part, sizeof part, "P1 %12d                  ", value);
        const double max_start = screen_x(-40 + text_length(font, part) / 16.0, score_z);
        std::snprintf(part, sizeof part, "P1 %12d                  Max %12d", value, value);
        const double line_end = screen_x(-40 + text_length(font, part) / 16.0, score_z);
        // The round clock sits in the gap between the score and "Max".
        EXPECT_LT(score_end + 20, clock_left);
        EXPECT_GT(max_start - 20, clock_right);
        EXPECT_LT(line_end, 630);
    }
    // The big health and ammunition numbers at the bottom stay on screen.
    EXPECT_LT(screen_x(7.5 + text_length(font, "100") / 16.0, -25), 630);
    const double units_per_pixel_at_25 = 2.0 * 25 * std::tan(22.5 * M_PI / 180.0) / 480;
    EXPECT_LT(240 + (7 + text_height(font) / 16.0) / units_per_pixel_at_25, 480);

    // Glyph bits: an 'L' has its stem on the left from top to bottom and its
    // foot along the bottom, not mirrored within each byte.
    BITMAP* canvas = create_bitmap_ex(8, 64, 48);
    ASSERT_NE(canvas, nullptr);
    clear_to_color(canvas, 0);
    textout_ex(canvas, font, "L", 0, 0, 255, 0);
    int width = text_length(font, "L");
    int stem_x = -1;
    for (int x = 0; x < width && stem_x < 0; x++)
        if (getpixel(canvas, x, 14) == 255) stem_x = x;
    ASSERT_GE(stem_x, 0);
    EXPECT_LT(stem_x, width / 3);
    EXPECT_NE(getpixel(canvas, stem_x + 1, 9), 0);
    EXPECT_EQ(getpixel(canvas, width - 5, 12), 0);  // nothing at the top right
    int foot_row = -1;
    for (int y = 39; y >= 0 && foot_row < 0; y--)
        if (getpixel(canvas, width / 2, y) == 255) foot_row = y;
    EXPECT_GE(foot_row, 24);
    EXPECT_LE(foot_row, 31);

    // Besides ASCII, the capitals a keyboard layout may print on the
    // movement keys (Latin-1, Greek, Cyrillic), in the same cells; capitals
    // stand 25 pixels above the baseline, which the controls screen centres
    // them by.
    EXPECT_EQ(cell, HUD_FONT_CELL_WIDTH);
    EXPECT_EQ(text_height(font), HUD_FONT_CELL_HEIGHT);
    // Top and bottom ink rows of one character.
    auto ink_rows = [&](const char* utf8, int* top, int* bottom) {
        clear_to_color(canvas, 0);
        textout_ex(canvas, font, utf8, 0, 0, 255, 0);
        *top = -1;
        *bottom = -1;
        for (int y = 0; y < HUD_FONT_CELL_HEIGHT; y++) {
            for (int x = 0; x < cell; x++) {
                if (getpixel(canvas, x, y) != 255) continue;
                if (*top < 0) *top = y;
                *bottom = y;
            }
        }
    };
    int top = 0, bottom = 0;
    ink_rows("H", &top, &bottom);
    EXPECT_EQ(HUD_FONT_BASELINE_ROW - top, HUD_FONT_CAP_HEIGHT);
    EXPECT_EQ(bottom, HUD_FONT_BASELINE_ROW - 1);
    // É (French bepo), Σ (Greek), Ц and Ы (Russian), Њ (Serbian).
    for (const char* capital : {"\xC3\x89", "\xCE\xA3", "\xD0\xA6", "\xD0\xAB", "\xD0\x8A"}) {
        SCOPED_TRACE(capital);
        EXPECT_EQ(text_length(font, capital), cell);
        ink_rows(capital, &top, &bottom);
        EXPECT_GE(top, 0);
        EXPECT_GE(bottom, HUD_FONT_BASELINE_ROW - 2);
    }
    // The small Cyrillic letters are left out (labels are capitals).
    EXPECT_EQ(get_font_range_end(font, -1), 0x42F);
    destroy_bitmap(canvas);
    unload_datafile(data);
}

}  // namespace
