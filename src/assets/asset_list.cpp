// The list of asset files, expanded once into a table.
#include "assets/asset_list.h"

const AssetFile ASSET_FILES[ASSET_FILE_COUNT] = {
#define SUNDOWN_ASSET_ROW(id, name, kind) {name, SUNDOWN_ASSET_FOLDER "/" name, kind},
    SUNDOWN_ASSET_FILES(SUNDOWN_ASSET_ROW)
#undef SUNDOWN_ASSET_ROW
};
