// Frames per second of the full in-game scene of round 14 at 640 x 480:
// the player, ten enemies, arena, item box and sky, the depth-sorted faces,
// the shadow, a full set of shots, two explosions and the aim marker (the
// HUD belongs to the shell and is left out). Needs a display: run it on the
// test display from the build folder, e.g.
//   tests/display/start-x /tmp/d && DISPLAY=$(cat /tmp/d/display) build/bench/bench_frame
// Uses datos/ when present, stand-in assets otherwise; prints figures only.
#include <allegro.h>
#include <alleggl.h>
#include <GL/glu.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "anim/anim.h"
#include "assets/asset_table.h"
#include "desktop/desktop.h"
#include "game/game.h"
#include "render/render.h"
#include "shell/shell.h"
#include "empty_frame.h"
#include "synthetic_assets.h"

namespace {

enum {
    WARM_UP_FRAMES = 60,
    MEASURED_FRAMES = 600,
    BREAKDOWN_FRAMES = 200,
    ROUND_14_ENEMIES = 10,
    TEXTURE_SIZE = 128,
};

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool open_display() {
    if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0) return false;
    install_allegro_gl();
    if (!open_game_display()) return false;
    set_fixed_gl_state();
    glEnable(GL_CULL_FACE);  // as the first HUD pass leaves it in the game
    return true;
}

// A mipmapped checker texture standing in for a missing file.
int32_t make_stand_in_texture(int seed) {
    static unsigned char texels[TEXTURE_SIZE * TEXTURE_SIZE * 3];
    for (int y = 0; y < TEXTURE_SIZE; y++) {
        for (int x = 0; x < TEXTURE_SIZE; x++) {
            unsigned char* t = texels + 3 * (y * TEXTURE_SIZE + x);
            const bool light = ((x / 16) + (y / 16)) % 2 == 0;
            t[0] = static_cast<unsigned char>(light ? 200 : 90 + 20 * (seed % 5));
            t[1] = static_cast<unsigned char>(light ? 180 : 70 + 15 * (seed % 7));
            t[2] = static_cast<unsigned char>(light ? 150 : 60 + 10 * (seed % 3));
        }
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB, TEXTURE_SIZE, TEXTURE_SIZE, GL_RGB, GL_UNSIGNED_BYTE, texels);
    return static_cast<int32_t>(name);
}

// Every texture the game loads, into its slot or global, a stand-in where
// a file is missing.
int load_textures() {
    int from_files = 0;
    for (int slot = 0; slot < TEXTURE_SLOTS; slot++) textures[slot] = 0;
    int seed = 0;
    for (const TextureLoad& load : TEXTURE_LOADS) {
        *load.target = load_texture(asset_path(load.file), load.mode);
        if (*load.target >= 0) {
            from_files++;
        } else {
            *load.target = make_stand_in_texture(seed);
        }
        seed++;
    }
    return from_files;
}

void compute_normals(Model* model) {
    for (int v = 0; v < model->vertex_count; v++) compute_vertex_normal(v, model);
}

Model* load_or_make(const char* path, Model* (*make)(), int* from_files) {
    Model* model = load_model(path);
    if (model) {
        compute_normals(model);
        copy_rest_pose(model);
        ++*from_files;
        return model;
    }
    return make();
}

void describe(const char* name, const Model* m) {
    int classes[3] = {0, 0, 0};
    for (int f = 0; f < m->face_count; f++) {
        const int c = m->faces[f].render_class;
        if (c <= RENDER_CLASS_MAIN_LAST) classes[0]++;
        else if (c <= RENDER_CLASS_DEFERRED_LAST) classes[1]++;
        else if (c <= RENDER_CLASS_BLENDED_LAST) classes[2]++;
    }
    std::printf("  %-9s %5d vertices %5d faces (main %d, deferred %d, blended %d)\n", name, m->vertex_count,
                m->face_count, classes[0], classes[1], classes[2]);
}

int load_scene() {
    int from_files = 0;
    player_model = load_or_make(asset_path(ASSET_PLAYER_MODEL), synthetic::make_figure_model, &from_files);
    arena_model = load_or_make(asset_path(ASSET_ARENA_MODEL), synthetic::make_arena_model, &from_files);
    sky_model = load_or_make(asset_path(ASSET_SKY_MODEL), synthetic::make_sky_model, &from_files);
    item_box_model = load_or_make(asset_path(ASSET_ITEM_BOX_MODEL), synthetic::make_item_box_model, &from_files);
    for (Model*& enemy : enemy_models) enemy = load_or_make(asset_path(ASSET_ENEMY_MODEL), synthetic::make_figure_model, &from_files);
    player_skeleton = load_skeleton(asset_path(ASSET_PLAYER_SKELETON));
    if (player_skeleton) from_files++; else player_skeleton = synthetic::make_figure_skeleton(0.0f);
    enemy_skeleton = load_skeleton(asset_path(ASSET_ENEMY_SKELETON));
    if (enemy_skeleton) from_files++; else enemy_skeleton = synthetic::make_figure_skeleton(1.5f);
    return from_files;
}

// Round 14 in full swing: ten enemies spread over the arena, the player in
// the south half looking north, every shot slot busy, two explosions.
void set_up_round_14() {
    light_preset = 2;
    apply_night_light();
    player_x = 0;
    player_y = -12;
    player_heading = 0.1f;
    camera_eye_x = player_x - 5 * std::sin(player_heading);
    camera_eye_y = player_y - 5 * std::cos(player_heading);
    camera_eye_z = 2.5f;
    camera_target_x = player_x;
    camera_target_y = player_y;
    camera_target_z = 1;
    camera_up_z = 1;
    enemy_count = ROUND_14_ENEMIES;
    for (int i = 0; i < ROUND_14_ENEMIES; i++) {
        enemies[i].x = -20.0f + 4.5f * static_cast<float>(i);
        enemies[i].y = (i % 3 == 0) ? -20.0f : 4.0f + 2.0f * static_cast<float>(i % 4);
        enemies[i].heading = 3.0f + 0.3f * static_cast<float>(i);
        enemies[i].health = 100;
        for (int s = 0; s < SHOT_SLOTS; s++) {
            enemy_shots[i][s] = Shot{0, static_cast<int8_t>(s < 2), enemies[i].x, enemies[i].y - 2.0f * s, 3.1f};
        }
    }
    for (int s = 0; s < SHOT_SLOTS; s++) player_shots[s] = Shot{0, 1, 0.2f * s, -8.0f + 2.5f * s, 0.1f};
    item_box_active = 1;
    item_box_x = 6;
    item_box_y = -4;
    item_box_spin = 30;
    player_skeleton->requested_state = ANIM_WALK_FORWARD;
    enemy_skeleton->requested_state = ANIM_WALK_FORWARD;
}

const float EXPLOSION_AT[2][3] = {{-6, 2, 0.7f}, {8, 10, 0.3f}};  // x, y, strength

float figure_turn(float heading) { return (heading + 3.1415f) * -57.2957f; }

// One frame in the game's order; `finish_after` measures each part alone.
struct PartTimes {
    double figures, arena, sky_and_box, deferred, effects;
};

void mark(bool finish, Clock::time_point* since, double* into) {
    if (!finish) return;
    glFinish();
    *into += seconds_since(*since);
    *since = Clock::now();
}

void draw_scene(bool finish, PartTimes* times) {
    Clock::time_point since = Clock::now();
    deferred_face_count = 0;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    mark(finish, &since, &times->sky_and_box);
    draw_model(0, 0, figure_turn(player_heading), player_x, player_y, 0, player_model, RENDER_MODE_PLAYER);
    for (int i = 0; i < enemy_count; i++) {
        draw_model(0, 0, figure_turn(enemies[i].heading), enemies[i].x, enemies[i].y, 0, enemy_models[i],
                   RENDER_MODE_ENEMY);
    }
    mark(finish, &since, &times->figures);
    draw_model(0, 0, 0, 0, 0, 0, arena_model, RENDER_MODE_ARENA);
    mark(finish, &since, &times->arena);
    draw_model(0, 0, item_box_spin, item_box_x, item_box_y, 0, item_box_model, RENDER_MODE_ITEM_BOX);
    draw_model(0, 0, 0, 0, 0, 0, sky_model, RENDER_MODE_SKY);
    mark(finish, &since, &times->sky_and_box);
    draw_deferred_faces();
    mark(finish, &since, &times->deferred);
    draw_shadow(player_x, player_y);
    draw_shots(player_shots, 0);
    for (int i = 0; i < enemy_count; i++) draw_shots(enemy_shots[i], 1);
    for (const auto& e : EXPLOSION_AT) draw_explosion(e[0], e[1], e[2]);
    draw_aim_marker();
    mark(finish, &since, &times->effects);
}

void animate_tick() {
    update_animation(player_skeleton);
    skin_model(player_skeleton, player_model);
    update_animation(enemy_skeleton);
    for (int i = 0; i < enemy_count; i++) skin_model(enemy_skeleton, enemy_models[i]);
}

}  // namespace

int main() {
    if (!open_display()) {
        std::printf("bench_frame: no display (set DISPLAY to the test display)\n");
        return 0;
    }
    deferred_faces = static_cast<DeferredFace*>(std::calloc(DEFERRED_FACE_CAPACITY, sizeof(DeferredFace)));
    depth_buckets = static_cast<int32_t*>(std::calloc(DEPTH_BUCKET_COUNT, sizeof(int32_t)));
    const int model_files = load_scene();
    const int texture_files = load_textures();
    std::printf("assets: %d of 16 model/skeleton files and %d of %d textures from datos/, the rest synthetic\n",
                model_files, texture_files, static_cast<int>(TEXTURE_LOAD_COUNT));
    describe("player", player_model);
    describe("enemy", enemy_models[0]);
    describe("arena", arena_model);
    describe("sky", sky_model);
    describe("item box", item_box_model);
    set_up_round_14();
    for (int i = 0; i < 30; i++) animate_tick();

    PartTimes unused = {};
    for (int i = 0; i < WARM_UP_FRAMES; i++) {
        draw_scene(false, &unused);
        glFlush();
        allegro_gl_flip();
    }

    // As the game runs: a frame, flush, flip; one animation tick every
    // other frame stands in for the 60 Hz logic at about 120 frames a second.
    // The empty frame is measured before and after, and the mean taken.
    const double empty_before = bench::empty_frame_seconds();
    const double cpu_start = bench::process_cpu_seconds();
    int frame = 0;
    const double seconds = bench::seconds_per_frame(
        [&] {
            if (frame++ % 2 == 0) animate_tick();
            draw_scene(false, &unused);
        },
        MEASURED_FRAMES);
    const double cpu_seconds = bench::process_cpu_seconds() - cpu_start;
    const double empty = 0.5 * (empty_before + bench::empty_frame_seconds());
    std::printf("full scene, round 14, 640x480, %d frames, %d deferred faces\n", MEASURED_FRAMES,
                static_cast<int>(deferred_face_count));
    bench::print_against_empty("full scene", seconds, empty);
    bench::print_cpu_time(cpu_seconds, seconds, MEASURED_FRAMES);

    PartTimes parts = {};
    for (int i = 0; i < BREAKDOWN_FRAMES; i++) {
        draw_scene(true, &parts);
        allegro_gl_flip();
    }
    const double per = 1000.0 / BREAKDOWN_FRAMES;
    std::printf("breakdown with glFinish after each part (ms a frame): figures %.2f, arena %.2f, "
                "clear+sky+item box %.2f, deferred %.2f, effects %.2f\n",
                parts.figures * per, parts.arena * per, parts.sky_and_box * per, parts.deferred * per,
                parts.effects * per);
    return 0;
}
