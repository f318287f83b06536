// Storage of the asset table and where each file goes; the shell's
// start-up fills it.
#include "assets/asset_table.h"

Model* player_model;
Model* arena_model;
Model* sky_model;
Model* shot_model;
Model* item_box_model;
Model* enemy_models[ENEMY_SLOTS];

Skeleton* player_skeleton;
Skeleton* enemy_skeleton;

int32_t textures[TEXTURE_SLOTS];
int32_t title_texture;
int32_t keyboard_controls_texture;
int32_t mouse_controls_texture;
int32_t pad_controls_texture;
int32_t shadow_texture;

const ModelLoad MODEL_LOADS[MODEL_LOAD_COUNT] = {
    {&player_model, ASSET_PLAYER_MODEL, 1},
    {&arena_model, ASSET_ARENA_MODEL, 1},
    {&sky_model, ASSET_SKY_MODEL, 1},
    {&shot_model, ASSET_SHOT_MODEL, 1},
    {&item_box_model, ASSET_ITEM_BOX_MODEL, 1},
    {enemy_models, ASSET_ENEMY_MODEL, ENEMY_SLOTS},
};

const SkeletonLoad SKELETON_LOADS[SKELETON_LOAD_COUNT] = {
    {&player_skeleton, ASSET_PLAYER_SKELETON},
    {&enemy_skeleton, ASSET_ENEMY_SKELETON},
};

const TextureLoad TEXTURE_LOADS[TEXTURE_LOAD_COUNT] = {
    {&textures[0], ASSET_PLAYER_BODY_TEXTURE, TEXTURE_MODE_MIPMAPPED_CLAMPED},
    {&textures[1], ASSET_PLAYER_HEAD_TEXTURE, TEXTURE_MODE_MIPMAPPED_CLAMPED},
    {&textures[2], ASSET_RIFLE_TEXTURE, TEXTURE_MODE_MIPMAPPED_CLAMPED},
    {&textures[6], ASSET_ENEMY_TEXTURE, TEXTURE_MODE_MIPMAPPED_CLAMPED},
    {&textures[7], ASSET_PLAYER_SHOT_TEXTURE, TEXTURE_MODE_CLAMPED},
    {&textures[8], ASSET_ENEMY_SHOT_TEXTURE, TEXTURE_MODE_CLAMPED},
    {&textures[9], ASSET_FIREBALL_TEXTURE, TEXTURE_MODE_CLAMPED},
    {&textures[10], ASSET_SHOCK_RING_TEXTURE, TEXTURE_MODE_CLAMPED},
    {&textures[11], ASSET_DAWN_SKY_TEXTURE, TEXTURE_MODE_CLAMPED},
    {&textures[12], ASSET_SUNSET_SKY_TEXTURE, TEXTURE_MODE_CLAMPED},
    {&textures[13], ASSET_NIGHT_SKY_TEXTURE, TEXTURE_MODE_CLAMPED},
    {&textures[14], ASSET_STONE_FLOOR_TEXTURE, TEXTURE_MODE_MIPMAPPED_REPEAT},
    {&textures[15], ASSET_CONCRETE_FLOOR_TEXTURE, TEXTURE_MODE_MIPMAPPED_REPEAT},
    {&textures[16], ASSET_WALL_TEXTURE, TEXTURE_MODE_MIPMAPPED_REPEAT},
    {&textures[17], ASSET_RUIN_TEXTURE, TEXTURE_MODE_MIPMAPPED_REPEAT},
    {&textures[18], ASSET_HANGAR_DOOR_TEXTURE, TEXTURE_MODE_MIPMAPPED_REPEAT},
    {&textures[19], ASSET_HANGAR_WALL_TEXTURE, TEXTURE_MODE_MIPMAPPED_REPEAT},
    {&textures[20], ASSET_ROOF_TEXTURE, TEXTURE_MODE_MIPMAPPED_REPEAT},
    {&textures[21], ASSET_TOWER_TEXTURE, TEXTURE_MODE_MIPMAPPED_REPEAT},
    {&textures[22], ASSET_TOWER_CABIN_TEXTURE, TEXTURE_MODE_MIPMAPPED_REPEAT},
    {&textures[23], ASSET_MARK_TEXTURE, TEXTURE_MODE_MIPMAPPED_REPEAT},
    {&textures[24], ASSET_ITEM_BOX_TEXTURE, TEXTURE_MODE_CLAMPED},
    {&title_texture, ASSET_TITLE_TEXTURE, TEXTURE_MODE_CLAMPED},
    {&keyboard_controls_texture, ASSET_KEYBOARD_CONTROLS_TEXTURE, TEXTURE_MODE_CLAMPED},
    {&mouse_controls_texture, ASSET_MOUSE_CONTROLS_TEXTURE, TEXTURE_MODE_CLAMPED},
    {&pad_controls_texture, ASSET_PAD_CONTROLS_TEXTURE, TEXTURE_MODE_CLAMPED},
    {&shadow_texture, ASSET_SHADOW_TEXTURE, TEXTURE_MODE_CLAMPED},
};
