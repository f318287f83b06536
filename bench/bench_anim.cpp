// Microseconds per game tick of animation and skinning: the player figure,
// and the shared enemy skeleton applied to ten enemy models, as the game
// tick does it. Uses datos/ when it is there (run from the build folder),
// otherwise stand-in figures of the same kind; prints which.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "anim/anim.h"
#include "assets/asset_table.h"
#include "synthetic_assets.h"

namespace {

struct Figures {
    Model* player = nullptr;
    Skeleton* player_skeleton = nullptr;
    Model* enemies[ENEMY_SLOTS] = {};
    Skeleton* enemy_skeleton = nullptr;
    const char* source = "";
};

void compute_normals(Model* model) {
    for (int v = 0; v < model->vertex_count; v++) compute_vertex_normal(v, model);
}

Figures load_figures() {
    Figures f;
    f.player = load_model("datos/hombre.emd");
    f.player_skeleton = load_skeleton("datos/hombre.esq");
    f.enemy_skeleton = load_skeleton("datos/morlock.esq");
    bool complete = f.player && f.player_skeleton && f.enemy_skeleton;
    for (Model*& enemy : f.enemies) {
        enemy = load_model("datos/malo.emd");
        complete = complete && enemy;
    }
    if (complete) {
        compute_normals(f.player);
        for (Model* enemy : f.enemies) compute_normals(enemy);
        f.source = "datos/ (hombre.emd, hombre.esq, malo.emd x10, morlock.esq)";
        return f;
    }
    f.player = synthetic::make_figure_model();
    f.player_skeleton = synthetic::make_figure_skeleton(0.0f);
    f.enemy_skeleton = synthetic::make_figure_skeleton(1.5f);
    for (Model*& enemy : f.enemies) enemy = synthetic::make_figure_model();
    f.source = "synthetic (datos/ missing or incomplete)";
    return f;
}

Figures& figures() {
    static Figures f = [] {
        Figures loaded = load_figures();
        std::printf("figures: %s\nplayer: %d vertices, %d faces, %d bones; enemy: %d vertices, %d faces, %d bones\n",
                    loaded.source, loaded.player->vertex_count, loaded.player->face_count,
                    loaded.player_skeleton->bone_count, loaded.enemies[0]->vertex_count,
                    loaded.enemies[0]->face_count, loaded.enemy_skeleton->bone_count);
        return loaded;
    }();
    return f;
}

// Walking, with a change of state every second so captures are included.
void request_states(Figures& f, int tick) {
    const int state = (tick / 60) % 2 == 0 ? ANIM_WALK_FORWARD : ANIM_STRAFE_LEFT;
    f.player_skeleton->requested_state = state;
    f.enemy_skeleton->requested_state = ANIM_WALK_FORWARD;
}

void BM_player_tick(benchmark::State& state) {
    Figures& f = figures();
    int tick = 0;
    for (auto _ : state) {
        request_states(f, tick++);
        update_animation(f.player_skeleton);
        skin_model(f.player_skeleton, f.player);
        benchmark::ClobberMemory();
    }
}

void BM_ten_enemies_tick(benchmark::State& state) {
    Figures& f = figures();
    int tick = 0;
    for (auto _ : state) {
        request_states(f, tick++);
        update_animation(f.enemy_skeleton);
        for (Model* enemy : f.enemies) skin_model(f.enemy_skeleton, enemy);
        benchmark::ClobberMemory();
    }
}

// The whole animation share of one game tick.
void BM_full_tick_animation(benchmark::State& state) {
    Figures& f = figures();
    int tick = 0;
    for (auto _ : state) {
        request_states(f, tick++);
        update_animation(f.player_skeleton);
        skin_model(f.player_skeleton, f.player);
        update_animation(f.enemy_skeleton);
        for (Model* enemy : f.enemies) skin_model(f.enemy_skeleton, enemy);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_player_tick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ten_enemies_tick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_full_tick_animation)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
