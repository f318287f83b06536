// The asset table: every model, skeleton and texture the game loads at
// start-up. Written once by the shell's start-up, read by everything else.
// A failed load leaves a null pointer (or -1 for a texture); every user must
// skip what is missing.
#pragma once

#include "assets/asset_list.h"
#include "assets/assets.h"

enum {
    ENEMY_SLOTS = 10,
    TEXTURE_SLOTS = 25,
};

// Texture slots with a fixed meaning outside the render-mode bases.
enum {
    SLOT_PLAYER_BASE = 0,
    SLOT_ENEMY_BASE = 6,
    SLOT_PLAYER_SHOT = 7,
    SLOT_ENEMY_SHOT = 8,
    SLOT_EXPLOSION_FIREBALL = 9,
    SLOT_EXPLOSION_RING = 10,
    SLOT_SKY_DAWN = 11,
    SLOT_SKY_SUNSET = 12,
    SLOT_SKY_NIGHT = 13,
    SLOT_ARENA_BASE = 14,
    SLOT_DEFERRED_FACES = 18,
    SLOT_AIM_MARKER = 23,
    SLOT_ITEM_BOX = 24,
};

extern Model* player_model;
extern Model* arena_model;
extern Model* sky_model;
extern Model* shot_model;
extern Model* item_box_model;
extern Model* enemy_models[ENEMY_SLOTS];

extern Skeleton* player_skeleton;
extern Skeleton* enemy_skeleton;

extern int32_t textures[TEXTURE_SLOTS];
extern int32_t title_texture;
extern int32_t keyboard_controls_texture;
extern int32_t mouse_controls_texture;
extern int32_t pad_controls_texture;
extern int32_t shadow_texture;

// Where start-up puts each model, skeleton and texture file, in loading
// order. The enemy model is read once for every enemy slot; texture slots
// 3, 4 and 5 are never loaded and stay 0.
struct ModelLoad {
    Model** target;  // first global filled
    AssetId file;
    int copies;      // independent copies, one global after another
};

struct SkeletonLoad {
    Skeleton** target;
    AssetId file;
};

struct TextureLoad {
    int32_t* target;  // slot or global the texture goes to
    AssetId file;
    int mode;         // loader mode
};

enum {
    MODEL_LOAD_COUNT = 6,
    SKELETON_LOAD_COUNT = 2,
    TEXTURE_LOAD_COUNT = 27,
};

extern const ModelLoad MODEL_LOADS[MODEL_LOAD_COUNT];
extern const SkeletonLoad SKELETON_LOADS[SKELETON_LOAD_COUNT];
extern const TextureLoad TEXTURE_LOADS[TEXTURE_LOAD_COUNT];
