// Start-up and teardown: bring up Allegro, AllegroGL, timer and input, the
// renderer's work buffers, sound, every asset, the full-screen display and
// its fixed OpenGL state, then run the main loop; tear down after Escape.
// Whatever failed to load stays null (or -1) and is skipped wherever it
// would be used; each such file is named once on standard error.
#include <allegro.h>
#include <alleggl.h>
#include <GL/glu.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assets/asset_table.h"
#include "desktop/desktop.h"
#include "game/game.h"
#include "render/render.h"
#include "shell/shell.h"
#include "shell/shell_local.h"
#include "sound/sound.h"

FONT* hud_font;

static const int HIGH_SCORE_AT_START = 25000;
static const size_t DEPTH_BUCKET_BYTES = DEPTH_BUCKET_COUNT * sizeof(int32_t);

static bool allocate_work_buffers() {
    deferred_faces = static_cast<DeferredFace*>(std::calloc(DEFERRED_FACE_CAPACITY, sizeof(DeferredFace)));
    if (!deferred_faces) return false;
    depth_buckets = static_cast<int32_t*>(std::malloc(DEPTH_BUCKET_BYTES));
    return depth_buckets != nullptr;
}

static void report_unloaded_samples() {
    for (int i = 0; i < SAMPLE_COUNT; i++) {
        SampleId sample = static_cast<SampleId>(i);
        // Without an audio device nothing is loaded; then only a file that
        // cannot be read is worth a word.
        if (!sound_is_open()) {
            check_asset_readable(SAMPLE_FILES[i]);
        } else if (!sample_is_loaded(sample)) {
            report_unloaded_asset(SAMPLE_FILES[i]);
        }
    }
}

static void load_models_and_skeletons() {
    for (const ModelLoad& load : MODEL_LOADS) {
        for (int copy = 0; copy < load.copies; copy++) {
            load.target[copy] = load_model(asset_path(load.file));
            if (!load.target[copy]) report_unloaded_asset(load.file);
        }
    }
    for (const SkeletonLoad& load : SKELETON_LOADS) {
        *load.target = load_skeleton(asset_path(load.file));
        if (!*load.target) report_unloaded_asset(load.file);
    }
}

static void compute_model_normals(Model* model) {
    if (!model) return;
    for (int v = 0; v < model->vertex_count; v++) compute_vertex_normal(v, model);
}

static void compute_all_normals() {
    compute_model_normals(player_model);
    compute_model_normals(shot_model);
    compute_model_normals(sky_model);
    for (int i = 0; i < ENEMY_SLOTS; i++) compute_model_normals(enemy_models[i]);
    compute_model_normals(arena_model);
    compute_model_normals(item_box_model);
}

// A palette file that is missing or out of shape leaves the default palette.
static void load_palette() {
    PALETTE palette;
    if (load_palette_datafile(asset_path(ASSET_PALETTE), palette)) {
        set_palette(palette);
    } else {
        report_unloaded_asset(ASSET_PALETTE);
    }
}

static void load_textures() {
    for (const TextureLoad& load : TEXTURE_LOADS) {
        *load.target = load_texture(asset_path(load.file), load.mode);
        if (*load.target < 0) report_unloaded_asset(load.file);
    }
}

void set_fixed_gl_state() {
    glClearColor(0, 0, 0, 1);
    glShadeModel(GL_SMOOTH);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDepthFunc(GL_LESS);
    glEnable(GL_DEPTH_TEST);
    glCullFace(GL_BACK);  // culling itself is enabled by the first HUD or menu pass
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    apply_dawn_light();
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DITHER);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    glViewport(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, 1.3333333730697632, 0.5, 1000);
    glMatrixMode(GL_MODELVIEW);
}

// The code points the HUD font has glyphs for, kept from the font file's
// ranges (the converted font does not tell).
struct GlyphRange {
    uint32_t first, last;
};
static const int HUD_FONT_MAX_RANGES = 16;
static GlyphRange hud_font_ranges[HUD_FONT_MAX_RANGES];
static int hud_font_range_count;

static void remember_font_ranges(FONT* font) {
    hud_font_range_count = 0;
    const int ranges = get_font_ranges(font);
    for (int r = 0; r < ranges && hud_font_range_count < HUD_FONT_MAX_RANGES; r++) {
        hud_font_ranges[hud_font_range_count++] = {static_cast<uint32_t>(get_font_range_begin(font, r)),
                                                   static_cast<uint32_t>(get_font_range_end(font, r))};
    }
}

// Whether the HUD font has a glyph for a Unicode code point (false without it).
static bool hud_font_can_draw(uint32_t code_point) {
    if (!hud_font) return false;
    for (int r = 0; r < hud_font_range_count; r++) {
        if (code_point >= hud_font_ranges[r].first && code_point <= hud_font_ranges[r].last) return true;
    }
    return false;
}

static void convert_hud_font(FONT* font) {
    if (font) {
        remember_font_ranges(font);
        hud_font = allegro_gl_convert_allegro_font(font, AGL_FONT_TYPE_TEXTURED, HUD_FONT_SCALE);
        free_loaded_font(font);
    }
    if (!hud_font) report_unloaded_asset(ASSET_HUD_FONT);  // the game plays on without text
    use_font_for_key_labels(hud_font_can_draw);
}

void tear_down_game() {
    close_game_display();
    free_model(player_model);
    free_model(shot_model);
    for (int i = 0; i < ENEMY_SLOTS; i++) free_model(enemy_models[i]);
    free_model(arena_model);
    free_model(sky_model);
    free_model(item_box_model);
    free_skeleton(player_skeleton);
    free_skeleton(enemy_skeleton);
    std::free(deferred_faces);
    std::free(depth_buckets);
    stop_music_stream(music_stream);
    close_music_stream(music_stream);
    music_stream = nullptr;
    close_sound();
    stop_gamepads();
}

// The message goes to standard error too: a box can sit unseen behind
// another program's grab, and without a display there is no box at all.
static StartResult refuse_to_start(const char* reason) {
    std::fprintf(stderr, "Error al inicializar: %s\n", reason);
    allegro_message("Error al inicializar");
    return START_NO_DISPLAY;
}

StartResult start_game() {
    // A second copy leaves the first one's window, grabs and desktop alone:
    // it says so and ends before it opens anything.
    if (!claim_single_copy()) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr, "Error al inicializar: the game is already running on display %s\n",
                     display ? display : "");
        return START_NO_DISPLAY;
    }
    // Without any X display Allegro has no system driver at all; going on
    // would crash in the timer set-up, so this is the display failure too.
    if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0) {
        return refuse_to_start("no X display (is DISPLAY set?)");
    }
    install_quit_signal_handlers();
    install_allegro_gl();
    // Without the timer there are no ticks, without the keyboard no Escape,
    // and without the mouse no turning or firing: a full screen the player
    // could not play or leave. So each of them failing is the display
    // failure too.
    if (install_timer() != 0 || !install_input_devices()) return refuse_to_start("no timer, mouse or keyboard driver");
    max_score = HIGH_SCORE_AT_START;

    if (!allocate_work_buffers()) return START_NO_MEMORY;

    find_asset_folder();
    start_sound(monotonic_ms);
    load_samples();
    report_unloaded_samples();
    load_models_and_skeletons();
    compute_all_normals();

    if (!open_game_display()) return refuse_to_start(allegro_error[0] ? allegro_error : "no OpenGL window");
    show_mouse(nullptr);

    FONT* font = load_font_datafile(asset_path(ASSET_HUD_FONT));
    load_palette();
    load_textures();
    set_fixed_gl_state();
    finish_gl_drawing();  // AllegroGL's font conversion starts scenes of its own
    convert_hud_font(font);
    finish_gl_drawing();
    check_asset_readable(ASSET_ROUND_MUSIC);  // opened by every round start

    LOCK_VARIABLE(pending_ticks);
    LOCK_FUNCTION(tick_callback);
    install_int_ex(tick_callback, TICK_TIMER_UNITS);
    pending_ticks = 0;
    new_game();
    return START_OK;
}

int run_game() {
    switch (start_game()) {
    case START_NO_DISPLAY:
        return -1;
    case START_NO_MEMORY:
        return 0;
    case START_OK:
        break;
    }
    run_main_loop();
    int status = quit_exit_status(quit_request.load());
    tear_down_game();
    return status;
}
