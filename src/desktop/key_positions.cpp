// The typing block by XKB key name, the [xkeymap] text that pins it to US
// places, and the labels of the movement keys. No X here: the keymap reader
// is in keyboard_layout.cpp.
#include <allegro.h>
#include <xkbcommon/xkbcommon.h>

#include <cassert>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "desktop/desktop_local.h"

// Every key a layout may print a letter on: on Dvorak, for one, the key
// right of L prints S, and the key right of M prints W.
const KeyPosition KEY_POSITIONS[] = {
    {"TLDE", KEY_TILDE},      {"AE01", KEY_1},          {"AE02", KEY_2},      {"AE03", KEY_3},
    {"AE04", KEY_4},          {"AE05", KEY_5},          {"AE06", KEY_6},      {"AE07", KEY_7},
    {"AE08", KEY_8},          {"AE09", KEY_9},          {"AE10", KEY_0},      {"AE11", KEY_MINUS},
    {"AE12", KEY_EQUALS},     {"AD01", KEY_Q},          {"AD02", KEY_W},      {"AD03", KEY_E},
    {"AD04", KEY_R},          {"AD05", KEY_T},          {"AD06", KEY_Y},      {"AD07", KEY_U},
    {"AD08", KEY_I},          {"AD09", KEY_O},          {"AD10", KEY_P},      {"AD11", KEY_OPENBRACE},
    {"AD12", KEY_CLOSEBRACE}, {"AC01", KEY_A},          {"AC02", KEY_S},      {"AC03", KEY_D},
    {"AC04", KEY_F},          {"AC05", KEY_G},          {"AC06", KEY_H},      {"AC07", KEY_J},
    {"AC08", KEY_K},          {"AC09", KEY_L},          {"AC10", KEY_COLON},  {"AC11", KEY_QUOTE},
    {"BKSL", KEY_BACKSLASH},  {"LSGT", KEY_BACKSLASH2}, {"AB01", KEY_Z},      {"AB02", KEY_X},
    {"AB03", KEY_C},          {"AB04", KEY_V},          {"AB05", KEY_B},      {"AB06", KEY_N},
    {"AB07", KEY_M},          {"AB08", KEY_COMMA},      {"AB09", KEY_STOP},   {"AB10", KEY_SLASH},
};
const int KEY_POSITION_COUNT = static_cast<int>(sizeof KEY_POSITIONS / sizeof KEY_POSITIONS[0]);

namespace {

struct MovementPlace {
    const char* name;
    const char* us_label;
};

const MovementPlace MOVEMENT_PLACES[MOVEMENT_KEY_COUNT] = {
    {"AD02", "W"},  // MOVE_FORWARD
    {"AC02", "S"},  // MOVE_BACK
    {"AC01", "A"},  // MOVE_LEFT
    {"AC03", "D"},  // MOVE_RIGHT
};

// One code point in UTF-8; false when it does not fit.
bool encode_utf8(uint32_t c, char* out, int capacity) {
    char bytes[4];
    int n = 0;
    if (c < 0x80) {
        bytes[n++] = static_cast<char>(c);
    } else if (c < 0x800) {
        bytes[n++] = static_cast<char>(0xC0 | (c >> 6));
        bytes[n++] = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        bytes[n++] = static_cast<char>(0xE0 | (c >> 12));
        bytes[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        bytes[n++] = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        bytes[n++] = static_cast<char>(0xF0 | (c >> 18));
        bytes[n++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        bytes[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        bytes[n++] = static_cast<char>(0x80 | (c & 0x3F));
    }
    if (n + 1 > capacity) return false;
    std::memcpy(out, bytes, static_cast<size_t>(n));
    out[n] = '\0';
    return true;
}

bool printable(uint32_t c) {
    return c > 0x20 && c != 0x7F && !(c >= 0x80 && c <= 0xA0);
}

}  // namespace

int keycode_named(const KeycodeNames& names, const char* name) {
    for (int k = names.min_keycode; k <= names.max_keycode; k++) {
        if (k >= 0 && k <= MAX_KEYCODE && std::strncmp(names.name[k], name, KEY_NAME_BYTES) == 0) return k;
    }
    return 0;
}

int format_key_position_overrides(const KeycodeNames& names, char* out, int capacity) {
    assert(capacity > 0);
    int length = std::snprintf(out, static_cast<size_t>(capacity), "[xkeymap]\n");
    if (length >= capacity) return -1;
    int pinned = 0;
    for (int i = 0; i < KEY_POSITION_COUNT; i++) {
        const int keycode = keycode_named(names, KEY_POSITIONS[i].name);
        if (keycode == 0) continue;
        const int n = std::snprintf(out + length, static_cast<size_t>(capacity - length), "keycode%d = %d\n", keycode,
                                    KEY_POSITIONS[i].allegro_key);
        if (n >= capacity - length) return -1;
        length += n;
        pinned++;
    }
    if (pinned == 0) {
        out[0] = '\0';
        return 0;
    }
    return length;
}

const char* movement_key_place(MovementKey key) {
    return MOVEMENT_PLACES[key].name;
}

const char* movement_key_us_label(MovementKey key) {
    return MOVEMENT_PLACES[key].us_label;
}

void choose_key_label(uint32_t plain, uint32_t shifted, const char* us_label, bool (*drawable)(uint32_t),
                      char* out, int capacity) {
    for (uint32_t keysym : {plain, shifted}) {
        if (keysym == 0) continue;
        const uint32_t upper = xkb_keysym_to_utf32(xkb_keysym_to_upper(keysym));
        const uint32_t own = xkb_keysym_to_utf32(keysym);
        for (uint32_t c : {upper, own}) {
            if (printable(c) && drawable(c) && encode_utf8(c, out, capacity)) return;
        }
    }
    std::snprintf(out, static_cast<size_t>(capacity), "%s", us_label);
}
