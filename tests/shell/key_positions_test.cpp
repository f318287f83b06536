// The walking keys by place: the [xkeymap] text that pins the typing block
// to US places.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cstring>
#include <set>
#include <string>

#include "shell/key_positions.h"

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

    const struct {
        const char* place;
        int allegro_key;
    } walking[] = {{"AD02", KEY_W}, {"AC01", KEY_A}, {"AC02", KEY_S}, {"AC03", KEY_D}};
    for (const auto& key : walking) {
        int found = 0;
        for (int i = 0; i < KEY_POSITION_COUNT; i++) {
            if (std::strcmp(KEY_POSITIONS[i].name, key.place) == 0) found = KEY_POSITIONS[i].allegro_key;
        }
        EXPECT_EQ(found, key.allegro_key) << key.place;
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
    EXPECT_NE(section.find("keycode25 = " + std::to_string(KEY_W) + "\n"), std::string::npos);
    EXPECT_NE(section.find("keycode38 = " + std::to_string(KEY_A) + "\n"), std::string::npos);
    EXPECT_NE(section.find("keycode39 = " + std::to_string(KEY_S) + "\n"), std::string::npos);
    EXPECT_NE(section.find("keycode40 = " + std::to_string(KEY_D) + "\n"), std::string::npos);
    // Dvorak prints W at AB08 and S at AC10: they get their US places' keys.
    EXPECT_NE(section.find("keycode59 = " + std::to_string(KEY_COMMA) + "\n"), std::string::npos);
    EXPECT_NE(section.find("keycode47 = " + std::to_string(KEY_COLON) + "\n"), std::string::npos);
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

}  // namespace
