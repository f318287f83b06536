// Start-up and teardown: bring up Allegro, AllegroGL, timer and input, the
// renderer's work buffers, sound, every asset, the full-screen display and
// its fixed OpenGL state, then run the main loop; tear down after Escape.
// Asset results are not examined here: whatever failed to load stays null
// (or -1) and is skipped wherever it would be used.
#include <allegro.h>
#include <alleggl.h>
#include <GL/glu.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assets/asset_table.h"
#include "game/game.h"
#include "render/render.h"
#include "shell/shell.h"
#include "shell/shell_local.h"
#include "sound/sound.h"

FONT* hud_font;

static const int HIGH_SCORE_AT_START = 25000;
static const size_t DEPTH_BUCKET_BYTES = DEPTH_BUCKET_COUNT * sizeof(int32_t);

struct TextureLoad {
    int32_t* target;   // slot or global the texture goes to
    const char* path;
    int mode;          // loader mode
};

// Loading order of the textures; slots 3, 4 and 5 are never loaded.
static const TextureLoad TEXTURE_LOADS[] = {
    {&textures[0], "datos/tex1.raw", TEXTURE_MODE_MIPMAPPED_CLAMPED},
    {&textures[1], "datos/tex2.raw", TEXTURE_MODE_MIPMAPPED_CLAMPED},
    {&textures[2], "datos/arma.raw", TEXTURE_MODE_MIPMAPPED_CLAMPED},
    {&textures[6], "datos/malo.raw", TEXTURE_MODE_MIPMAPPED_CLAMPED},
    {&textures[7], "datos/disparo_malo.raw", TEXTURE_MODE_CLAMPED},
    {&textures[8], "datos/disparo_mono.raw", TEXTURE_MODE_CLAMPED},
    {&textures[9], "datos/muerte_1.raw", TEXTURE_MODE_CLAMPED},
    {&textures[10], "datos/muerte_2.raw", TEXTURE_MODE_CLAMPED},
    {&textures[11], "datos/alba.raw", TEXTURE_MODE_CLAMPED},
    {&textures[12], "datos/atardecer.raw", TEXTURE_MODE_CLAMPED},
    {&textures[13], "datos/noche.raw", TEXTURE_MODE_CLAMPED},
    {&textures[14], "datos/piso1.raw", TEXTURE_MODE_MIPMAPPED_REPEAT},
    {&textures[15], "datos/piso2.raw", TEXTURE_MODE_MIPMAPPED_REPEAT},
    {&textures[16], "datos/pared1.raw", TEXTURE_MODE_MIPMAPPED_REPEAT},
    {&textures[17], "datos/ruina.raw", TEXTURE_MODE_MIPMAPPED_REPEAT},
    {&textures[18], "datos/hangar2.raw", TEXTURE_MODE_MIPMAPPED_REPEAT},
    {&textures[19], "datos/hangar1.raw", TEXTURE_MODE_MIPMAPPED_REPEAT},
    {&textures[20], "datos/techo.raw", TEXTURE_MODE_MIPMAPPED_REPEAT},
    {&textures[21], "datos/torre_1.raw", TEXTURE_MODE_MIPMAPPED_REPEAT},
    {&textures[22], "datos/torre_2.raw", TEXTURE_MODE_MIPMAPPED_REPEAT},
    {&textures[23], "datos/1.raw", TEXTURE_MODE_MIPMAPPED_REPEAT},
    {&textures[24], "datos/armamento.raw", TEXTURE_MODE_CLAMPED},
    {&title_texture, "datos/titulo.raw", TEXTURE_MODE_CLAMPED},
    {&keyboard_controls_texture, "datos/controles_teclado.raw", TEXTURE_MODE_CLAMPED},
    {&mouse_controls_texture, "datos/controles_mouse.raw", TEXTURE_MODE_CLAMPED},
    {&shadow_texture, "datos/destello.raw", TEXTURE_MODE_CLAMPED},
};

static bool allocate_work_buffers() {
    deferred_faces = static_cast<DeferredFace*>(std::calloc(DEFERRED_FACE_CAPACITY, sizeof(DeferredFace)));
    if (!deferred_faces) return false;
    depth_buckets = static_cast<int32_t*>(std::malloc(DEPTH_BUCKET_BYTES));
    return depth_buckets != nullptr;
}

static void load_models_and_skeletons() {
    player_model = load_model("datos/hombre.emd");
    arena_model = load_model("datos/a.emd");
    sky_model = load_model("datos/esfera.emd");
    shot_model = load_model("datos/disparo.emd");
    item_box_model = load_model("datos/armamento.emd");
    for (int i = 0; i < ENEMY_SLOTS; i++) enemy_models[i] = load_model("datos/malo.emd");

    player_skeleton = load_skeleton("datos/hombre.esq");
    enemy_skeleton = load_skeleton("datos/morlock.esq");
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

// A datafile that is missing or cut short is treated as missing.
static DATAFILE* load_whole_datafile(const char* path) {
    return datafile_is_whole(path) ? load_datafile(path) : nullptr;
}

static void load_palette() {
    DATAFILE* palette_data = load_whole_datafile("datos/pal.dat");
    if (!palette_data) return;
    if (palette_data[0].type == DAT_PALETTE) set_palette(static_cast<RGB*>(palette_data[0].dat));
    unload_datafile(palette_data);
}

static void load_textures() {
    for (const TextureLoad& load : TEXTURE_LOADS) *load.target = load_texture(load.path, load.mode);
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

static void convert_hud_font(DATAFILE* font_data) {
    if (!font_data) return;
    if (font_data[0].type == DAT_FONT && font_is_sane(static_cast<FONT*>(font_data[0].dat))) {
        hud_font = allegro_gl_convert_allegro_font(static_cast<FONT*>(font_data[0].dat),
                                                   AGL_FONT_TYPE_TEXTURED, HUD_FONT_SCALE);
    }
    unload_datafile(font_data);
}

void tear_down_game() {
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
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
    LOCK_FUNCTION(request_quit_from_window);
    set_close_button_callback(request_quit_from_window);
    install_allegro_gl();
    install_timer();
    install_mouse();
    install_keyboard();
    max_score = HIGH_SCORE_AT_START;

    if (!allocate_work_buffers()) return START_NO_MEMORY;

    start_sound();
    load_samples();
    load_models_and_skeletons();
    compute_all_normals();

    if (!open_game_display()) return refuse_to_start(allegro_error[0] ? allegro_error : "no OpenGL window");
    show_mouse(nullptr);

    DATAFILE* font_data = load_whole_datafile("datos/fuente.dat");
    load_palette();
    load_textures();
    set_fixed_gl_state();
    convert_hud_font(font_data);

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
