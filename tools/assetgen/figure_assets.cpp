// Writes the files of the two animated figures: the player ("hombre.emd",
// "hombre.esq" and the skins "tex1.raw", "tex2.raw", "arma.raw") and the
// enemy ("malo.emd", "morlock.esq" and its skin "malo.raw").
#include "assetgen.h"
#include "figures.h"

bool write_figure_assets(const char* dir) {
    bool ok = write_emd(join_path(dir, "hombre.emd"), build_player_mesh());
    ok = write_esq(join_path(dir, "hombre.esq"), build_player_skeleton()) && ok;
    ok = write_emd(join_path(dir, "malo.emd"), build_enemy_mesh()) && ok;
    ok = write_esq(join_path(dir, "morlock.esq"), build_enemy_skeleton()) && ok;
    ok = write_raw(join_path(dir, "tex1.raw"), paint_player_body()) && ok;
    ok = write_raw(join_path(dir, "tex2.raw"), paint_player_head()) && ok;
    ok = write_raw(join_path(dir, "arma.raw"), paint_rifle()) && ok;
    ok = write_raw(join_path(dir, "malo.raw"), paint_enemy_skin()) && ok;
    return ok;
}
