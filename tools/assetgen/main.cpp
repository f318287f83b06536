// Entry of the asset builder: assetgen DIR writes a complete datos/ into DIR.
#include <cstdio>

#include "assetgen.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: assetgen OUTPUT_DIR\n");
        return 2;
    }
    const char* dir = argv[1];
    bool ok = write_figure_assets(dir);
    ok = write_world_assets(dir) && ok;
    ok = write_media_assets(dir) && ok;
    return ok ? 0 : 1;
}
