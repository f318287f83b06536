// The two animated figures of the asset builder: the texture atlas layout
// their meshes and skins share (regions are pixels of a 256 x 256 image; y0
// is the row at a loft's first ring, see AtlasRect), the texture offsets and
// the builders of every figure file.
#pragma once

#include "figure_builder.h"
#include "formats.h"

// ---- the player, body skin "tex1.raw" (texture offset 0) -------------------
const AtlasRect BODY_JACKET = {0, 96, 128, 0};        // torso from waist up; back at both edges
const AtlasRect BODY_TROUSERS = {128, 48, 256, 0};    // pelvis from crotch up; belt at the top
const AtlasRect BODY_THIGH = {128, 48, 192, 128};     // hip down to knee
const AtlasRect BODY_SHIN = {192, 48, 256, 128};      // knee down to ankle; boot leather below
const AtlasRect BODY_SLEEVE = {0, 96, 64, 160};       // shoulder down to elbow
const AtlasRect BODY_FORESLEEVE = {64, 96, 128, 160}; // elbow to wrist; cuff at the end
const AtlasRect BODY_GLOVE = {128, 128, 192, 160};
const AtlasRect BODY_BOOT = {192, 128, 256, 160};     // heel to toe
const AtlasRect BODY_PACK = {0, 224, 128, 160};       // backpack from the bottom up
const AtlasRect BODY_ROLL = {128, 160, 256, 192};     // bedroll
const AtlasRect BODY_WEBBING = {128, 192, 192, 256};  // canvas with a flap: the backpack's ends
const AtlasRect BODY_CAP = {192, 192, 256, 256};      // ends of limbs and torso

// ---- the player, head skin "tex2.raw" (texture offset 1) -------------------
const AtlasRect HEAD_FACE = {0, 128, 256, 0};         // chin up to crown; face in the middle
const AtlasRect HEAD_HELMET = {0, 224, 256, 128};     // brim up to the top
const AtlasRect HEAD_HELMET_TOP = {0, 224, 64, 256};
const AtlasRect HEAD_HAIR = {64, 224, 128, 256};
const AtlasRect HEAD_SKIN = {128, 224, 192, 256};     // neck, chin, nose

// ---- the player's rifle "arma.raw" (texture offset 2) ----------------------
const AtlasRect GUN_RECEIVER = {0, 0, 128, 64};
const AtlasRect GUN_STOCK = {128, 0, 256, 64};
const AtlasRect GUN_HANDGUARD = {0, 64, 128, 128};
const AtlasRect GUN_BARREL = {128, 64, 256, 128};
const AtlasRect GUN_MAGAZINE = {0, 128, 128, 192};
const AtlasRect GUN_GRIP = {128, 128, 256, 192};
const AtlasRect GUN_DARK = {0, 192, 128, 256};        // end caps
const AtlasRect GUN_MUZZLE = {128, 192, 256, 256};

// ---- the enemy, "malo.raw" (texture offset 0) ------------------------------
const AtlasRect BEAST_TORSO = {0, 96, 256, 0};        // belly up to the neck; spine at both edges
const AtlasRect BEAST_FACE = {0, 160, 256, 96};       // chin up to crown; face in the middle
const AtlasRect BEAST_UPPER_ARM = {0, 160, 64, 224};
const AtlasRect BEAST_FOREARM = {64, 160, 128, 224};
const AtlasRect BEAST_THIGH = {128, 160, 192, 224};
const AtlasRect BEAST_SHIN = {192, 160, 256, 224};
const AtlasRect BEAST_HIDE = {0, 224, 128, 256};      // hands, feet, jaw and end caps
const AtlasRect BEAST_CLAW = {128, 224, 192, 256};    // base at the top, tip at the bottom
const AtlasRect BEAST_RAG = {192, 224, 256, 256};     // loincloth

// ---- texture offsets -------------------------------------------------------
const uint16_t PLAYER_TEXTURE_BODY = 0;
const uint16_t PLAYER_TEXTURE_HEAD = 1;
const uint16_t PLAYER_TEXTURE_WEAPON = 2;
const uint16_t ENEMY_TEXTURE_SKIN = 0;

// ---- builders of the figure files ------------------------------------------
Mesh build_player_mesh();
SkeletonData build_player_skeleton();
Mesh build_enemy_mesh();
SkeletonData build_enemy_skeleton();

Image paint_player_body();
Image paint_player_head();
Image paint_rifle();
Image paint_enemy_skin();
