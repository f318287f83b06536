/* A weston module that gives the headless backend (which has no input
 * devices) a seat with a keyboard, and presses its keys as told by lines
 * "press CODE" / "release CODE" (evdev codes) written to the FIFO named by
 * WESTON_KEYS_FIFO. The keys then follow weston's own focus and grabs, as a
 * real keyboard's would. Loaded with weston --modules=.../weston_keys.so. */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <libweston/libweston.h>

/* Input entry points of libweston that only its backend header declares. */
void weston_seat_init(struct weston_seat *seat, struct weston_compositor *ec, const char *seat_name);
int weston_seat_init_keyboard(struct weston_seat *seat, struct xkb_keymap *keymap);
void notify_key(struct weston_seat *seat, const struct timespec *time, uint32_t key,
                enum wl_keyboard_key_state state, enum weston_key_state_update update_state);

static struct weston_seat seat;
static char pending[256];
static size_t pending_length;

static int on_fifo(int fd, uint32_t mask, void *data)
{
    (void)mask; (void)data;
    ssize_t n = read(fd, pending + pending_length, sizeof pending - 1 - pending_length);
    if (n <= 0) return 0;
    pending_length += (size_t)n;
    pending[pending_length] = '\0';
    char *line = pending, *end;
    while ((end = strchr(line, '\n'))) {
        *end = '\0';
        char verb[16];
        unsigned code;
        if (sscanf(line, "%15s %u", verb, &code) == 2) {
            struct timespec now;
            weston_compositor_get_time(&now);
            notify_key(&seat, &now, code,
                       strcmp(verb, "press") == 0 ? WL_KEYBOARD_KEY_STATE_PRESSED
                                                  : WL_KEYBOARD_KEY_STATE_RELEASED,
                       STATE_UPDATE_AUTOMATIC);
        }
        line = end + 1;
    }
    pending_length = strlen(line);
    memmove(pending, line, pending_length);
    return 0;
}

WL_EXPORT int wet_module_init(struct weston_compositor *compositor, int *argc, char *argv[])
{
    (void)argc; (void)argv;
    const char *path = getenv("WESTON_KEYS_FIFO");
    int fd = path ? open(path, O_RDWR | O_NONBLOCK | O_CLOEXEC) : -1;
    if (fd < 0) {
        weston_log("weston_keys: cannot open WESTON_KEYS_FIFO\n");
        return -1;
    }
    weston_seat_init(&seat, compositor, "default");
    if (weston_seat_init_keyboard(&seat, NULL) < 0) return -1;
    wl_event_loop_add_fd(wl_display_get_event_loop(compositor->wl_display), fd,
                         WL_EVENT_READABLE, on_fifo, NULL);
    return 0;
}
