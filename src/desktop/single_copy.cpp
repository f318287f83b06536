// One copy of the game per user and X display: an exclusive flock on a file
// named after both, held until the process ends (the kernel drops it even
// after SIGKILL). When the lock file cannot be made at all, the game runs.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "desktop/desktop_local.h"

static const int LOCK_PATH_CAPACITY = 512;
static const int DISPLAY_KEY_CAPACITY = 128;

// ":0", ":0.0", "unix:0" and "localhost:0" name the same display.
void display_lock_key(const char* display, char* key, int capacity) {
    const char* colon = display ? std::strrchr(display, ':') : nullptr;
    const char* host = display;
    size_t host_length = colon ? static_cast<size_t>(colon - display) : 0;
    if ((host_length == 4 && std::strncmp(host, "unix", 4) == 0) ||
        (host_length == 9 && std::strncmp(host, "localhost", 9) == 0)) {
        host_length = 0;
    }
    int n = 0;
    for (size_t i = 0; i < host_length && n < capacity - 1; i++) {
        char c = host[i];
        key[n++] = (c == '/' || c == '.') ? '_' : c;
    }
    if (colon) {
        if (n < capacity - 1) key[n++] = '_';
        for (const char* c = colon + 1; *c && *c != '.' && n < capacity - 1; c++) {
            key[n++] = (*c == '/') ? '_' : *c;
        }
    }
    key[n] = '\0';
}

bool claim_single_copy() {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return true;  // start-up refuses without a display anyway
    char key[DISPLAY_KEY_CAPACITY];
    display_lock_key(display, key, sizeof key);

    const char* runtime_dir = std::getenv("XDG_RUNTIME_DIR");
    struct stat info;
    bool private_dir = runtime_dir && *runtime_dir && stat(runtime_dir, &info) == 0 && S_ISDIR(info.st_mode) &&
                       info.st_uid == getuid();
    char path[LOCK_PATH_CAPACITY];
    if (private_dir) {
        std::snprintf(path, sizeof path, "%s/sundown-arena-%s.lock", runtime_dir, key);
    } else {
        std::snprintf(path, sizeof path, "/tmp/sundown-arena-%u-%s.lock", static_cast<unsigned>(getuid()), key);
    }

    int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return true;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;  // kept open until the process ends
    bool held_by_another = errno == EWOULDBLOCK;
    close(fd);
    return !held_by_another;
}
