// The media group of the asset builder: menu pictures, the font and palette
// datafiles, the sound effects and the music track.
#include <cstdio>

#include "assetgen.h"
#include "media.h"

bool save_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) std::fprintf(stderr, "assetgen: short write to %s\n", path.c_str());
    return ok;
}

bool write_media_assets(const char* dir) {
    bool ok = write_menu_pictures(dir);
    ok = write_font_datafile(dir) && ok;
    ok = write_palette_datafile(dir) && ok;
    ok = write_sound_effects(dir) && ok;
    ok = write_music(dir) && ok;
    return ok;
}
