// The walking keys by place: the [xkeymap] text that pins the typing block
// to US places, the labels chosen from a layout's keysyms, and where the
// controls screen writes them. The keymaps themselves are tried on the test
// display by keyboard_layouts_e2e.sh.
#include <gtest/gtest.h>

#include <allegro.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>

#include "desktop/desktop_local.h"
#include "shell/hud_lines.h"

namespace {

// The evdev keycodes of the X server (keycode = Linux key code + 8).
KeycodeNames evdev_names() {
    KeycodeNames names = {};
    names.min_keycode = 8;
    names.max_keycode = 255;
    const struct {
        int keycode;
        const char* name;
    } keys[] = {{9, "ESC"},   {22, "BKSP"}, {24, "AD01"}, {25, "AD02"}, {26, "AD03"},
                {36, "RTRN"}, {38, "AC01"}, {39, "AC02"}, {40, "AC03"}, {47, "AC10"},
                {49, "TLDE"}, {51, "BKSL"}, {52, "AB01"}, {59, "AB08"}, {94, "LSGT"}};
    for (const auto& key : keys) std::strcpy(names.name[key.keycode], key.name);
    return names;
}

TEST(KeyPositions, EveryPlaceOfTheBlockHasItsOwnAllegroKeyAndTheFourWalkingKeysAreAmongThem) {
    std::set<std::string> places;
    std::set<int> allegro_keys;
    for (int i = 0; i < KEY_POSITION_COUNT; i++) {
        places.insert(KEY_POSITIONS[i].name);
        allegro_keys.insert(KEY_POSITIONS[i].allegro_key);
    }
    EXPECT_EQ(places.size(), static_cast<size_t>(KEY_POSITION_COUNT));
    EXPECT_EQ(allegro_keys.size(), static_cast<size_t>(KEY_POSITION_COUNT));
    for (int k = KEY_A; k <= KEY_9; k++) EXPECT_EQ(allegro_keys.count(k), 1u) << "KEY_ code " << k;
    EXPECT_EQ(allegro_keys.count(KEY_ESC), 0u);
    EXPECT_EQ(allegro_keys.count(KEY_ENTER), 0u);

    const int walking[MOVEMENT_KEY_COUNT] = {KEY_W, KEY_S, KEY_A, KEY_D};
    for (int m = 0; m < MOVEMENT_KEY_COUNT; m++) {
        const MovementKey key = static_cast<MovementKey>(m);
        int found = 0;
        for (int i = 0; i < KEY_POSITION_COUNT; i++) {
            if (std::strcmp(KEY_POSITIONS[i].name, movement_key_place(key)) == 0) found = KEY_POSITIONS[i].allegro_key;
        }
        EXPECT_EQ(found, walking[m]) << movement_key_place(key);
    }
}

TEST(KeyPositions, OverridesPinEachNamedKeyOfTheBlockAndNothingElse) {
    const KeycodeNames names = evdev_names();
    EXPECT_EQ(keycode_named(names, "AD02"), 25);
    EXPECT_EQ(keycode_named(names, "AE01"), 0);

    char text[4096];
    const int length = format_key_position_overrides(names, text, sizeof text);
    ASSERT_GT(length, 0);
    EXPECT_EQ(length, static_cast<int>(std::strlen(text)));
    const std::string section(text);
    EXPECT_EQ(section.rfind("[xkeymap]\n", 0), 0u);
    // Dvorak prints W at AB08 (59) and S at AC10 (47): they get their US places' keys.
    const int pins[][2] = {{25, KEY_W}, {38, KEY_A}, {39, KEY_S}, {40, KEY_D}, {59, KEY_COMMA}, {47, KEY_COLON}};
    for (const auto& pin : pins) {
        const std::string line = "keycode" + std::to_string(pin[0]) + " = " + std::to_string(pin[1]) + "\n";
        EXPECT_NE(section.find(line), std::string::npos) << line;
    }
    // Escape, Enter and Backspace are not in the block: 12 of the 15 keys.
    int lines = 0;
    for (const char* p = text; *p; p++) lines += *p == '\n';
    EXPECT_EQ(lines, 1 + 12);
    EXPECT_EQ(section.find("keycode9 "), std::string::npos);
    EXPECT_EQ(section.find("keycode36 "), std::string::npos);

    EXPECT_EQ(format_key_position_overrides(names, text, 40), -1);
    KeycodeNames none = {};
    none.min_keycode = 8;
    none.max_keycode = 255;
    EXPECT_EQ(format_key_position_overrides(none, text, sizeof text), 0);
    EXPECT_STREQ(text, "");
}

bool latin_and_cyrillic_capitals(uint32_t c) {
    return (c >= 0x20 && c <= 0x7E) || (c >= 0x391 && c <= 0x3A9) || (c >= 0x400 && c <= 0x42F);
}

std::string label_of(uint32_t plain, uint32_t shifted) {
    char out[KEY_LABEL_BYTES];
    choose_key_label(plain, shifted, "W", latin_and_cyrillic_capitals, out, sizeof out);
    return out;
}

TEST(KeyPositions, LabelsAreTheLayoutsCharactersInCapitalsWhenTheFontHasThem) {
    EXPECT_EQ(label_of(XKB_KEY_z, XKB_KEY_Z), "Z");                      // AZERTY
    EXPECT_EQ(label_of(XKB_KEY_comma, XKB_KEY_less), ",");               // Dvorak
    EXPECT_EQ(label_of(XKB_KEY_Cyrillic_tse, XKB_KEY_Cyrillic_TSE), "\xD0\xA6");  // Russian: Ц
    // Greek prints a final sigma, which has no capital, and a capital sigma
    // shifted: the font has only the capitals.
    EXPECT_EQ(label_of(XKB_KEY_Greek_finalsmallsigma, XKB_KEY_Greek_SIGMA), "\xCE\xA3");
    // Nothing the font can draw, or nothing at all: the US letter.
    EXPECT_EQ(label_of(XKB_KEY_hebrew_finalzade, 0), "W");
    EXPECT_EQ(label_of(XKB_KEY_dead_acute, XKB_KEY_dead_grave), "W");
    EXPECT_EQ(label_of(0, 0), "W");
    // A label that does not fit the caller's room is not cut in half.
    char small[2];
    choose_key_label(XKB_KEY_Cyrillic_tse, 0, "W", latin_and_cyrillic_capitals, small, sizeof small);
    EXPECT_STREQ(small, "W");
}

// Where HUD text lands on the 640 x 480 screen, rows from the top.
double screen_x(double x, double z) {
    return 320.0 + x / (-z * std::tan(22.5 * M_PI / 180.0) * 4.0 / 3.0) * 320.0;
}
double screen_y(double y, double z) {
    return 240.0 - y / (-z * std::tan(22.5 * M_PI / 180.0)) * 240.0;
}

TEST(KeyPositions, TheControlsScreenWritesTheLabelsOnTheKeyboardCardsFourKeycaps) {
    HudLine lines[HUD_MAX_LINES];
    ASSERT_EQ(collect_movement_key_lines(lines, HUD_MAX_LINES), MOVEMENT_KEY_COUNT);
    // The keycaps' legends, measured on a screenshot of the controls screen:
    // centred at x 124, their capitals' middles at y 134, 158, 181 and 205.
    const double middles[MOVEMENT_KEY_COUNT] = {134, 158, 181, 205};
    const double cell = 22.0 / 16, cap_middle = (31 - 25 / 2.0) / 16;
    for (int m = 0; m < MOVEMENT_KEY_COUNT; m++) {
        SCOPED_TRACE(m);
        EXPECT_STREQ(lines[m].text, movement_key_label(static_cast<MovementKey>(m)));
        EXPECT_EQ(lines[m].z, CARD_LABEL_Z);
        EXPECT_EQ(lines[m].r + lines[m].g + lines[m].b, 3 * 255);
        EXPECT_NEAR(screen_x(lines[m].x + cell / 2, lines[m].z), 124, 1.0);
        EXPECT_NEAR(screen_y(lines[m].y - cap_middle, lines[m].z), middles[m], 1.0);
    }
    // Before a keymap is read (and without X), the US letters.
    EXPECT_STREQ(lines[MOVE_FORWARD].text, "W");
    EXPECT_STREQ(lines[MOVE_LEFT].text, "A");
}

}  // namespace
