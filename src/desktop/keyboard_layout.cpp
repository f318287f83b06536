// The X server's keymap as the walking keys need it: the keycode of every key
// of the typing block (by XKB name) for Allegro's [xkeymap] section, and what
// the current layout and group print on the four movement keys. Allegro's
// event thread shares the display connection, so every call holds its lock.
//
// Following a change while the game runs: a new layout (setxkbmap, a desktop's
// layout switch) sends MappingNotify, on which Allegro rebuilds its table and
// applies the [xkeymap] section again; the keycodes of the block stay the
// same, so the keys keep their places. A group switch changes no keycode and
// Allegro does not even see it. Only the labels change, and the controls
// screen reads them again twice a second. Should the block's keycodes
// themselves change, the section is rewritten and the keyboard installed anew.
#include <allegro.h>
#include <xalleg.h>
#include <X11/XKBlib.h>

#include <cstdio>
#include <cstring>

#include "desktop/desktop_local.h"
#include "desktop/x11.h"

namespace {

const int64_t LABEL_REFRESH_MS = 500;

char labels[MOVEMENT_KEY_COUNT][KEY_LABEL_BYTES] = {"W", "S", "A", "D"};
int pinned_keycodes[MAX_KEYCODE + 1];  // by KEY_POSITIONS index; 0 for none
bool pinned;
bool labels_read;  // since start-up, when the HUD font was not there yet
bool (*label_font_can_draw)(uint32_t);  // null until the shell names its font

bool no_font_can_draw(uint32_t) {
    return false;
}
int64_t last_refresh_ms;
char override_text[4096];

// The keysym at a shift level of a key in a group, the group brought into the
// key's range the way the key's type says (as the X server does).
KeySym keysym_at(XkbDescPtr xkb, int keycode, int group, int level) {
    const int groups = XkbKeyNumGroups(xkb, keycode);
    if (groups == 0) return NoSymbol;
    if (group >= groups) {
        const unsigned char info = XkbKeyGroupInfo(xkb, keycode);
        switch (XkbOutOfRangeGroupAction(info)) {
        case XkbRedirectIntoRange:
            group = XkbOutOfRangeGroupNumber(info);
            if (group >= groups) group = 0;
            break;
        case XkbClampIntoRange:
            group = groups - 1;
            break;
        default:
            group %= groups;
            break;
        }
    }
    if (level >= XkbKeyGroupWidth(xkb, keycode, group)) return NoSymbol;
    return XkbKeySymEntry(xkb, keycode, level, group);
}

// The key names and the movement keys' labels, read in one go. False when
// the server has no XKB (the labels then stay as they were).
bool read_keymap(const LockedX& x, KeycodeNames& names) {
    Display* display = x.display;
    XkbDescPtr xkb = XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (!xkb) return false;
    XkbStateRec state;
    const bool read = XkbGetNames(display, XkbKeyNamesMask, xkb) == Success && xkb->names && xkb->names->keys &&
                      XkbGetState(display, XkbUseCoreKbd, &state) == Success;
    if (read) {
        names.min_keycode = xkb->min_key_code;
        names.max_keycode = xkb->max_key_code;
        std::memset(names.name, 0, sizeof names.name);
        for (int k = names.min_keycode; k <= names.max_keycode; k++)
            std::memcpy(names.name[k], xkb->names->keys[k].name, XkbKeyNameLength);
        for (int m = 0; m < MOVEMENT_KEY_COUNT; m++) {
            const MovementKey key = static_cast<MovementKey>(m);
            const int keycode = keycode_named(names, movement_key_place(key));
            KeySym plain = NoSymbol, shifted = NoSymbol;
            if (keycode) {
                plain = keysym_at(xkb, keycode, state.group, 0);
                shifted = keysym_at(xkb, keycode, state.group, 1);
            }
            choose_key_label(static_cast<uint32_t>(plain), static_cast<uint32_t>(shifted),
                             movement_key_us_label(key), label_font_can_draw ? label_font_can_draw : no_font_can_draw, labels[m], KEY_LABEL_BYTES);
        }
    }
    XkbFreeKeyboard(xkb, 0, True);
    return read;
}

// Sets the [xkeymap] section for these names (Allegro parses the text into
// its own override table, which has no file and is never saved) and
// remembers the keycodes. Called with the X lock held: Allegro's event thread
// reads the section under it when a MappingNotify comes.
void pin(const KeycodeNames& names) {
    const int length = format_key_position_overrides(names, override_text, sizeof override_text);
    if (length < 0) return;
    override_config_data(override_text, length);
    for (int i = 0; i < KEY_POSITION_COUNT; i++) pinned_keycodes[i] = keycode_named(names, KEY_POSITIONS[i].name);
    pinned = true;
}

bool same_keycodes(const KeycodeNames& names) {
    for (int i = 0; i < KEY_POSITION_COUNT; i++) {
        if (pinned_keycodes[i] != keycode_named(names, KEY_POSITIONS[i].name)) return false;
    }
    return true;
}

}  // namespace

void pin_keys_to_positions() {
    static KeycodeNames names;
    const LockedX x;
    if (x && read_keymap(x, names)) pin(names);
}

void use_font_for_key_labels(bool (*can_draw)(uint32_t code_point)) {
    label_font_can_draw = can_draw;
    labels_read = false;  // read again with the font at the next look
}

void follow_keyboard_layout() {
    if (!pinned) return;
    const int64_t now = monotonic_ms();
    if (labels_read && now - last_refresh_ms < LABEL_REFRESH_MS) return;
    labels_read = true;
    last_refresh_ms = now;
    static KeycodeNames names;
    bool moved;
    {
        const LockedX x;
        moved = x && read_keymap(x, names) && !same_keycodes(names);
        if (moved) pin(names);
    }
    if (!moved) return;
    remove_keyboard();
    if (install_keyboard() != 0) std::fprintf(stderr, "sundown: the keyboard could not be installed again\n");
}

const char* movement_key_label(MovementKey key) {
    return labels[key];
}
