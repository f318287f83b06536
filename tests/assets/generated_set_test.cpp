// The asset set the build generates into datos/, through the game's own
// loaders: every file of the game's list is there and loads, and every
// picture has power-of-two sides (what the files hold is checked byte by
// byte in tests/figures, tests/world and tests/media). Also the builder
// itself, which run again writes the same bytes, and where start-up puts
// each picture.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <utility>
#include <vector>

#include "assetgen.h"
#include "assets/asset_list.h"
#include "assets/asset_table.h"
#include "assets/assets.h"
#include "support/generated_assets.h"
#include "support/scratch_dir.h"

namespace {

// The files of one kind in the game's list, as the game opens them.
std::vector<const char*> paths_of(AssetKind kind) {
    std::vector<const char*> paths;
    for (const AssetFile& file : ASSET_FILES) {
        if (file.kind == kind) paths.push_back(file.path);
    }
    return paths;
}

long file_size_of(const char* path) {
    struct stat info;
    return stat(path, &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

class GeneratedSet : public GeneratedAssetTest {};

}  // namespace

TEST_F(GeneratedSet, EveryModelAndSkeletonLoads) {
    for (const AssetFile& file : ASSET_FILES) EXPECT_GT(file_size_of(file.path), 0) << file.path;
    for (const char* path : paths_of(ASSET_MODEL)) {
        const LoadedModel model = load_generated_model(path);
        ASSERT_NE(model, nullptr) << path;
        EXPECT_GT(model->face_count, 0) << path;
        for (int f = 0; f < model->face_count; f++) {
            for (int c = 0; c < 3; c++) ASSERT_LT(model->faces[f].vertex[c], model->vertex_count) << path;
        }
    }
    for (const char* path : paths_of(ASSET_SKELETON)) {
        const LoadedSkeleton skeleton = load_generated_skeleton(path);
        ASSERT_NE(skeleton, nullptr) << path;
        EXPECT_GT(skeleton->bone_count, 0) << path;
        EXPECT_EQ(file_size_of(path), 7 + 9230L * skeleton->bone_count) << path;
    }
}

// Every picture of the game's list, of the figures, the world and the menus.
TEST_F(GeneratedSet, EveryPictureHasPowerOfTwoSidesAndItsFullSize) {
    for (const char* path : paths_of(ASSET_TEXTURE)) {
        const RawImage raw = read_picture(path);  // as long as its header promises
        for (int side : {raw.width, raw.height}) {
            EXPECT_TRUE(side == 128 || side == 256 || side == 512) << path << " side " << side;
        }
    }
}

// The whole builder run again writes every file as the build's run did, and
// a folder it cannot write is reported.
TEST_F(GeneratedSet, TheBuilderWritesTheSameBytesEveryRun) {
    ScratchDir again;
    ASSERT_FALSE(again.path.empty());
    ASSERT_TRUE(write_figure_assets(again.path.c_str()));
    ASSERT_TRUE(write_world_assets(again.path.c_str()));
    ASSERT_TRUE(write_media_assets(again.path.c_str()));
    for (const AssetFile& file : ASSET_FILES) {
        const std::vector<uint8_t> first = read_file(generated_asset(file.name));
        EXPECT_FALSE(first.empty()) << file.name;
        EXPECT_TRUE(first == read_file(again.file(file.name))) << file.name << " differs between two runs";
    }
    EXPECT_FALSE(write_figure_assets("/nonexistent/figure/dir"));
}

// Start-up loads every picture of the game's list once, each into its own
// slot or global, and the slots the frame draws a given picture from hold
// it; slots 3 to 5 are never loaded.
TEST(AssetTable, EveryPictureGoesToTheSlotThatDrawsIt) {
    int slot_loads[TEXTURE_SLOTS] = {};
    int file_loads[ASSET_FILE_COUNT] = {};
    for (const TextureLoad& load : TEXTURE_LOADS) {
        file_loads[load.file]++;
        const long slot = load.target - textures;
        if (slot >= 0 && slot < TEXTURE_SLOTS) slot_loads[slot]++;
    }
    for (int slot = 0; slot < TEXTURE_SLOTS; slot++) EXPECT_EQ(slot_loads[slot], slot >= 3 && slot <= 5 ? 0 : 1) << slot;
    for (int file = 0; file < ASSET_FILE_COUNT; file++) {
        EXPECT_EQ(file_loads[file], ASSET_FILES[file].kind == ASSET_TEXTURE ? 1 : 0) << ASSET_FILES[file].name;
    }
    const std::pair<int, AssetId> drawn[] = {
        {SLOT_PLAYER_BASE, ASSET_PLAYER_BODY_TEXTURE}, {SLOT_ENEMY_BASE, ASSET_ENEMY_TEXTURE},
        {SLOT_PLAYER_SHOT, ASSET_PLAYER_SHOT_TEXTURE}, {SLOT_ENEMY_SHOT, ASSET_ENEMY_SHOT_TEXTURE},
        {SLOT_EXPLOSION_FIREBALL, ASSET_FIREBALL_TEXTURE}, {SLOT_EXPLOSION_RING, ASSET_SHOCK_RING_TEXTURE},
        {SLOT_SKY_DAWN, ASSET_DAWN_SKY_TEXTURE}, {SLOT_SKY_SUNSET, ASSET_SUNSET_SKY_TEXTURE},
        {SLOT_SKY_NIGHT, ASSET_NIGHT_SKY_TEXTURE}, {SLOT_ARENA_BASE, ASSET_STONE_FLOOR_TEXTURE},
        {SLOT_DEFERRED_FACES, ASSET_HANGAR_DOOR_TEXTURE}, {SLOT_AIM_MARKER, ASSET_MARK_TEXTURE},
        {SLOT_ITEM_BOX, ASSET_ITEM_BOX_TEXTURE},
    };
    for (const auto& slot : drawn) {
        bool found = false;
        for (const TextureLoad& load : TEXTURE_LOADS) {
            found = found || (load.target == &textures[slot.first] && load.file == slot.second);
        }
        EXPECT_TRUE(found) << "slot " << slot.first << " holds no " << asset_name(slot.second);
    }
}
