// Placeholder writers until the asset groups land.
#include "assetgen.h"
bool write_world_assets(const char*) { return true; }
bool write_media_assets(const char*) { return true; }
