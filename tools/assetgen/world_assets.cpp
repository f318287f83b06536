// The world group of the asset builder: arena, sky, item box, shot mesh and
// all their textures and sprites.
#include "assetgen.h"
#include "world.h"

bool write_world_assets(const char* dir) {
    bool ok = write_arena(dir);
    ok = write_arena_textures(dir) && ok;
    ok = write_sky(dir) && ok;
    ok = write_props(dir) && ok;
    ok = write_sprites(dir) && ok;
    return ok;
}
