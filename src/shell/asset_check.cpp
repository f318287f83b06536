// What start-up says about the asset files. The game plays on without any
// file it could not load, so it names each one on standard error, once; and
// when there is no datos/ folder at all it says that instead, in one line,
// with the folder it looked in.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>

#include "shell/shell_local.h"

static bool folder_missing;
static bool reported[ASSET_FILE_COUNT];

bool find_asset_folder() {
    struct stat info;
    folder_missing = stat(SUNDOWN_ASSET_FOLDER, &info) != 0 || !S_ISDIR(info.st_mode);
    if (folder_missing) {
        char here[PATH_MAX];
        const char* where = getcwd(here, sizeof here) ? here : ".";
        const char* slash = where[0] == '/' && where[1] == '\0' ? "" : "/";
        std::fprintf(stderr,
                     "Sundown Arena: no data folder %s%s" SUNDOWN_ASSET_FOLDER
                     " (the game reads its files from there; the sundown command starts it beside its installed data)\n",
                     where, slash);
    }
    return !folder_missing;
}

void report_unloaded_asset(AssetId file) {
    if (folder_missing || reported[file]) return;
    reported[file] = true;
    std::fprintf(stderr, "Sundown Arena: cannot load %s (missing or damaged); playing on without it\n",
                 asset_path(file));
}

void check_asset_readable(AssetId file) {
    FILE* opened = std::fopen(asset_path(file), "rb");
    if (opened) {
        std::fclose(opened);
    } else {
        report_unloaded_asset(file);
    }
}
