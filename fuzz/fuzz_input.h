// What every fuzz target shares: Allegro started without a system driver
// (enough for its packed files and memory bitmaps), and each input written
// to a scratch file, since the game's loaders read files by name.
#pragma once

#include <allegro.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

inline const char* write_fuzz_input(const uint8_t* data, size_t size) {
    static std::string path;
    if (path.empty()) {
        if (!system_driver) install_allegro(SYSTEM_NONE, &errno, atexit);
        const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        path = std::string(dir) + "/sundown-fuzz-" + std::to_string(getpid());
        std::atexit([] { std::remove(path.c_str()); });
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
    return path.c_str();
}

// A generated asset the targets pose their inputs with (or against).
inline std::string generated_asset(const char* name) {
    return std::string(SUNDOWN_BUILD_DIR) + "/datos/" + name;
}
