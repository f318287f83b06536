// Writes the files of the two animated figures: the player ("hombre.emd",
// "hombre.esq" and the skins "tex1.raw", "tex2.raw", "arma.raw") and the
// enemy ("malo.emd", "morlock.esq" and its skin "malo.raw").
#include "assets/asset_list.h"
#include "assetgen.h"
#include "figures.h"

bool write_figure_assets(const char* dir) {
    bool ok = write_emd(join_path(dir, asset_name(ASSET_PLAYER_MODEL)), build_player_mesh());
    ok = write_esq(join_path(dir, asset_name(ASSET_PLAYER_SKELETON)), build_player_skeleton()) && ok;
    ok = write_emd(join_path(dir, asset_name(ASSET_ENEMY_MODEL)), build_enemy_mesh()) && ok;
    ok = write_esq(join_path(dir, asset_name(ASSET_ENEMY_SKELETON)), build_enemy_skeleton()) && ok;
    ok = write_raw(join_path(dir, asset_name(ASSET_PLAYER_BODY_TEXTURE)), paint_player_body()) && ok;
    ok = write_raw(join_path(dir, asset_name(ASSET_PLAYER_HEAD_TEXTURE)), paint_player_head()) && ok;
    ok = write_raw(join_path(dir, asset_name(ASSET_RIFLE_TEXTURE)), paint_rifle()) && ok;
    ok = write_raw(join_path(dir, asset_name(ASSET_ENEMY_TEXTURE)), paint_enemy_skin()) && ok;
    return ok;
}
