// Shared names of the world asset writers: the arena's texture offsets (the
// arena is drawn from base slot 14, so offset k shows slot 14 + k) and the
// writers of each group of files.
#pragma once

#include <cstdint>

#include "formats.h"

enum ArenaTexture : uint16_t {
    ARENA_FLOOR_STONE = 0,   // piso1.raw
    ARENA_FLOOR_CONCRETE,    // piso2.raw
    ARENA_WALL,              // pared1.raw
    ARENA_RUIN,              // ruina.raw
    ARENA_HANGAR_DOOR,       // hangar2.raw, also every depth-sorted face
    ARENA_HANGAR_WALL,       // hangar1.raw
    ARENA_ROOF,              // techo.raw
    ARENA_TOWER,             // torre_1.raw
    ARENA_TOWER_CABIN,       // torre_2.raw: windowed wall below, its lit windows above
    ARENA_BEACON,            // 1.raw, the ring-and-cross mark, bright on black
    ARENA_TEXTURE_COUNT,
};

// The window band of torre_2.raw: the cabin wall uses v in the lower half,
// the glow overlay the same picture shifted up by half the image.
const float TOWER_CABIN_V_LOW = 0.02f;
const float TOWER_CABIN_V_HIGH = 0.48f;
const float TOWER_GLOW_V_SHIFT = 0.5f;

// The meshes, built in memory (the writers below save them).
Mesh build_arena_mesh();
Mesh build_sky_mesh();
Mesh build_crate_mesh();
Mesh build_shot_mesh();

bool write_arena(const char* dir);           // a.emd
bool write_arena_textures(const char* dir);  // piso1 ... torre_2, 1.raw
bool write_sky(const char* dir);             // esfera.emd and the three skies
bool write_props(const char* dir);           // armamento.emd/.raw, disparo.emd
bool write_sprites(const char* dir);         // shots, explosion, shadow
