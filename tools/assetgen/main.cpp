// Entry of the asset builder:
//   assetgen DIR          writes a complete datos/ into DIR
//   assetgen --icons DIR  writes the desktop icon at every size into DIR
//   assetgen --list       prints the name of every asset file, one a line
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "assetgen.h"
#include "assets/asset_list.h"
#include "media.h"

// Every file of the game's list must have been written.
static bool check_every_file_written(const char* dir) {
    bool ok = true;
    for (const AssetFile& file : ASSET_FILES) {
        struct stat info;
        if (stat(join_path(dir, file.name).c_str(), &info) != 0) {
            std::fprintf(stderr, "assetgen: no writer made %s\n", file.name);
            ok = false;
        }
    }
    return ok;
}

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
        for (const AssetFile& file : ASSET_FILES) std::printf("%s\n", file.name);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--icons") == 0) return write_icons(argv[2]) ? 0 : 1;
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: assetgen OUTPUT_DIR | assetgen --icons OUTPUT_DIR | assetgen --list\n");
        return 2;
    }
    const char* dir = argv[1];
    bool ok = write_figure_assets(dir);
    ok = write_world_assets(dir) && ok;
    ok = write_media_assets(dir) && ok;
    ok = check_every_file_written(dir) && ok;
    return ok ? 0 : 1;
}
