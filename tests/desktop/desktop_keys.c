/* Types keys into a Wayland compositor through its own input path, the way a
 * keyboard would: wlroots' virtual keyboard (with the standard "us" keymap,
 * so X clients see their usual keycodes) or KWin's fake input. Reads lines
 * "press CODE" / "release CODE" (evdev key codes) from standard input and
 * answers each with "ok" once the compositor has handled it. */
#define _GNU_SOURCE
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>
#include "fake-input-client-protocol.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"

static struct wl_seat *seat;
static struct zwp_virtual_keyboard_manager_v1 *keyboard_manager;
static struct org_kde_kwin_fake_input *fake_input;

static void on_global(void *data, struct wl_registry *registry, uint32_t name,
                      const char *interface, uint32_t version)
{
    (void)data;
    if (strcmp(interface, wl_seat_interface.name) == 0 && !seat)
        seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
    else if (strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0)
        keyboard_manager = wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1);
    else if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        fake_input = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4);
}
static void on_global_remove(void *data, struct wl_registry *registry, uint32_t name)
{
    (void)data; (void)registry; (void)name;
}
static const struct wl_registry_listener registry_listener = {on_global, on_global_remove};

static struct zwp_virtual_keyboard_v1 *make_virtual_keyboard(void)
{
    struct xkb_context *context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    struct xkb_rule_names names = {"evdev", "pc105", "us", "", ""};
    struct xkb_keymap *keymap = context ? xkb_keymap_new_from_names(context, &names, 0) : NULL;
    char *text = keymap ? xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1) : NULL;
    if (!text) return NULL;
    size_t size = strlen(text) + 1;
    int fd = memfd_create("keymap", MFD_CLOEXEC);
    if (fd < 0 || write(fd, text, size) != (ssize_t)size) return NULL;
    struct zwp_virtual_keyboard_v1 *keyboard =
        zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboard_manager, seat);
    zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, size);
    close(fd);
    free(text);
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
    return keyboard;
}

int main(void)
{
    struct wl_display *display = wl_display_connect(NULL);
    if (!display) { fprintf(stderr, "desktop_keys: no Wayland display\n"); return 1; }
    struct wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    wl_display_roundtrip(display);

    struct zwp_virtual_keyboard_v1 *keyboard = NULL;
    if (keyboard_manager && seat) {
        keyboard = make_virtual_keyboard();
    } else if (fake_input) {
        org_kde_kwin_fake_input_authenticate(fake_input, "desktop_keys", "desktop tests");
    } else {
        fprintf(stderr, "desktop_keys: the compositor offers no virtual keyboard nor fake input\n");
        return 1;
    }
    if (wl_display_roundtrip(display) < 0 || (!keyboard && !fake_input)) {
        fprintf(stderr, "desktop_keys: the compositor refused the keyboard\n");
        return 1;
    }
    setvbuf(stdout, NULL, _IOLBF, 0);
    char verb[16];
    unsigned code;
    while (scanf("%15s %u", verb, &code) == 2) {
        int pressed = strcmp(verb, "press") == 0;
        struct timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        if (keyboard)
            zwp_virtual_keyboard_v1_key(keyboard, (uint32_t)(now.tv_sec * 1000 + now.tv_nsec / 1000000),
                                        code, pressed);
        else
            org_kde_kwin_fake_input_keyboard_key(fake_input, code, pressed);
        if (wl_display_roundtrip(display) < 0) return 1;
        puts("ok");
    }
    wl_display_disconnect(display);
    return 0;
}
