// Every file the game reads from datos/, each named once. Start-up, the
// sound service, the round start, the asset builder, the install rules'
// check and the tests all take the names from this list, so adding or
// renaming an asset file starts here. Listed in the order the game first
// opens them: the samples, the models, the skeletons, the font and palette
// datafiles, the textures, and the music that every round start opens.
#pragma once

//      id                         file name under datos/     kind
#define SUNDOWN_ASSET_FILES(ROW) \
    ROW(RIFLE_SOUND,               "rifle.wav",               ASSET_SOUND)    \
    ROW(MACHINE_GUN_SOUND,         "mach.wav",                ASSET_SOUND)    \
    ROW(LASER_SOUND,               "laser.wav",               ASSET_SOUND)    \
    ROW(GROAN_SOUND,               "groan.wav",               ASSET_SOUND)    \
    ROW(PICKUP_SOUND,              "aditamento.wav",          ASSET_SOUND)    \
    ROW(BLAST_SOUND,               "blast.wav",               ASSET_SOUND)    \
    ROW(PLAYER_MODEL,              "hombre.emd",              ASSET_MODEL)    \
    ROW(ARENA_MODEL,               "a.emd",                   ASSET_MODEL)    \
    ROW(SKY_MODEL,                 "esfera.emd",              ASSET_MODEL)    \
    ROW(SHOT_MODEL,                "disparo.emd",             ASSET_MODEL)    \
    ROW(ITEM_BOX_MODEL,            "armamento.emd",           ASSET_MODEL)    \
    ROW(ENEMY_MODEL,               "malo.emd",                ASSET_MODEL)    \
    ROW(PLAYER_SKELETON,           "hombre.esq",              ASSET_SKELETON) \
    ROW(ENEMY_SKELETON,            "morlock.esq",             ASSET_SKELETON) \
    ROW(HUD_FONT,                  "fuente.dat",              ASSET_DATAFILE) \
    ROW(PALETTE,                   "pal.dat",                 ASSET_DATAFILE) \
    ROW(PLAYER_BODY_TEXTURE,       "tex1.raw",                ASSET_TEXTURE)  \
    ROW(PLAYER_HEAD_TEXTURE,       "tex2.raw",                ASSET_TEXTURE)  \
    ROW(RIFLE_TEXTURE,             "arma.raw",                ASSET_TEXTURE)  \
    ROW(ENEMY_TEXTURE,             "malo.raw",                ASSET_TEXTURE)  \
    ROW(PLAYER_SHOT_TEXTURE,       "disparo_malo.raw",        ASSET_TEXTURE)  \
    ROW(ENEMY_SHOT_TEXTURE,        "disparo_mono.raw",        ASSET_TEXTURE)  \
    ROW(FIREBALL_TEXTURE,          "muerte_1.raw",            ASSET_TEXTURE)  \
    ROW(SHOCK_RING_TEXTURE,        "muerte_2.raw",            ASSET_TEXTURE)  \
    ROW(DAWN_SKY_TEXTURE,          "alba.raw",                ASSET_TEXTURE)  \
    ROW(SUNSET_SKY_TEXTURE,        "atardecer.raw",           ASSET_TEXTURE)  \
    ROW(NIGHT_SKY_TEXTURE,         "noche.raw",               ASSET_TEXTURE)  \
    ROW(STONE_FLOOR_TEXTURE,       "piso1.raw",               ASSET_TEXTURE)  \
    ROW(CONCRETE_FLOOR_TEXTURE,    "piso2.raw",               ASSET_TEXTURE)  \
    ROW(WALL_TEXTURE,              "pared1.raw",              ASSET_TEXTURE)  \
    ROW(RUIN_TEXTURE,              "ruina.raw",               ASSET_TEXTURE)  \
    ROW(HANGAR_DOOR_TEXTURE,       "hangar2.raw",             ASSET_TEXTURE)  \
    ROW(HANGAR_WALL_TEXTURE,       "hangar1.raw",             ASSET_TEXTURE)  \
    ROW(ROOF_TEXTURE,              "techo.raw",               ASSET_TEXTURE)  \
    ROW(TOWER_TEXTURE,             "torre_1.raw",             ASSET_TEXTURE)  \
    ROW(TOWER_CABIN_TEXTURE,       "torre_2.raw",             ASSET_TEXTURE)  \
    ROW(MARK_TEXTURE,              "1.raw",                   ASSET_TEXTURE)  \
    ROW(ITEM_BOX_TEXTURE,          "armamento.raw",           ASSET_TEXTURE)  \
    ROW(TITLE_TEXTURE,             "titulo.raw",              ASSET_TEXTURE)  \
    ROW(KEYBOARD_CONTROLS_TEXTURE, "controles_teclado.raw",   ASSET_TEXTURE)  \
    ROW(MOUSE_CONTROLS_TEXTURE,    "controles_mouse.raw",     ASSET_TEXTURE)  \
    ROW(PAD_CONTROLS_TEXTURE,      "controles_mando.raw",     ASSET_TEXTURE)  \
    ROW(SHADOW_TEXTURE,            "destello.raw",            ASSET_TEXTURE)  \
    ROW(ROUND_MUSIC,               "mdf01.mp3",               ASSET_MUSIC)

// The folder the game reads them from, relative to its working directory.
#define SUNDOWN_ASSET_FOLDER "datos"

enum AssetKind {
    ASSET_SOUND,     // a sample the sound service preloads
    ASSET_MODEL,     // EMD model
    ASSET_SKELETON,  // ESQ skeleton with its keyframes
    ASSET_DATAFILE,  // Allegro datafile (font, palette)
    ASSET_TEXTURE,   // RAW texture
    ASSET_MUSIC,     // streamed anew at every round start
};

enum AssetId {
#define SUNDOWN_ASSET_ID(id, name, kind) ASSET_##id,
    SUNDOWN_ASSET_FILES(SUNDOWN_ASSET_ID)
#undef SUNDOWN_ASSET_ID
    ASSET_FILE_COUNT
};

struct AssetFile {
    const char* name;  // file name alone, "tex1.raw"
    const char* path;  // as the game opens it, "datos/tex1.raw"
    AssetKind kind;
};

extern const AssetFile ASSET_FILES[ASSET_FILE_COUNT];

inline const char* asset_name(AssetId id) { return ASSET_FILES[id].name; }
inline const char* asset_path(AssetId id) { return ASSET_FILES[id].path; }
