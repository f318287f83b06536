// The X server's keymap as the walking keys need it: the keycode of every key
// of the typing block (by XKB name) for Allegro's [xkeymap] section. Allegro's
// event thread shares the display connection, so every call holds its lock.
//
// A new layout while the game runs (setxkbmap, a desktop's layout switch)
// sends MappingNotify, on which Allegro rebuilds its table and applies the
// [xkeymap] section again; the keycodes of the block stay the same, so the
// keys keep their places. A group switch changes no keycode, and Allegro does
// not even see it.
#include <allegro.h>
#include <xalleg.h>
#include <X11/XKBlib.h>

#include <cstring>

#include "shell/key_positions.h"

namespace {

char override_text[4096];

// The key names of the server's keymap; false when it has no XKB.
bool read_keymap(KeycodeNames& names) {
    Display* display = _xwin.display;
    XkbDescPtr xkb = XkbGetMap(display, 0, XkbUseCoreKbd);
    if (!xkb) return false;
    const bool read = XkbGetNames(display, XkbKeyNamesMask, xkb) == Success && xkb->names && xkb->names->keys;
    if (read) {
        names.min_keycode = xkb->min_key_code;
        names.max_keycode = xkb->max_key_code;
        std::memset(names.name, 0, sizeof names.name);
        for (int k = names.min_keycode; k <= names.max_keycode; k++)
            std::memcpy(names.name[k], xkb->names->keys[k].name, XkbKeyNameLength);
    }
    XkbFreeKeyboard(xkb, 0, True);
    return read;
}

// Sets the [xkeymap] section for these names (Allegro parses the text into
// its own override table, which has no file and is never saved). Called
// with the X lock held: Allegro's event thread reads the section under it
// when a MappingNotify comes.
void pin(const KeycodeNames& names) {
    const int length = format_key_position_overrides(names, override_text, sizeof override_text);
    if (length < 0) return;
    override_config_data(override_text, length);
}

}  // namespace

void pin_keys_to_positions() {
    if (!_xwin.display) return;
    static KeycodeNames names;
    XLOCK();
    if (read_keymap(names)) pin(names);
    XUNLOCK();
}
