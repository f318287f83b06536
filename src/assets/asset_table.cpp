// Storage of the asset table; the shell's start-up fills it.
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
int32_t shadow_texture;
