// The media group of the asset builder: menu pictures, the font and palette
// datafiles, the sound effects and the music track.
#include "assetgen.h"
#include "media.h"

bool write_media_assets(const char* dir) {
    bool ok = write_menu_pictures(dir);
    ok = write_font_datafile(dir) && ok;
    ok = write_palette_datafile(dir) && ok;
    ok = write_sound_effects(dir) && ok;
    ok = write_music(dir) && ok;
    return ok;
}
