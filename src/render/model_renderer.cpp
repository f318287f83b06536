// The model renderer: draws one posed model at a world position and turn, in
// immediate mode, one triangle per glBegin/glEnd. Faces of render class 0-1
// are drawn in the main pass, 2-3 are set aside for the depth-sorted pass,
// 4-5 are drawn additively afterwards with the lighting off.
#include <GL/gl.h>

#include <cassert>

#include "assets/asset_table.h"
#include "game/game.h"
#include "render/render.h"
#include "render/render_local.h"

enum {
    DOUBLE_SIDED = 1,  // only this value turns culling off for a face
};

struct RenderModeInfo {
    unsigned mode;
    int base_slot;
};

static const RenderModeInfo RENDER_MODE_BASE_SLOTS[] = {
    {RENDER_MODE_PLAYER, SLOT_PLAYER_BASE},
    {RENDER_MODE_ENEMY, SLOT_ENEMY_BASE},
    {RENDER_MODE_PLAYER_SHOT, SLOT_PLAYER_SHOT},
    {RENDER_MODE_ENEMY_SHOT, SLOT_ENEMY_SHOT},
    {RENDER_MODE_ARENA, SLOT_ARENA_BASE},
    {RENDER_MODE_ITEM_BOX, SLOT_ITEM_BOX},
};

// The sky follows the light of the round: dawn, sunset, night.
static const int SKY_SLOTS_BY_LIGHT_PRESET[] = {SLOT_SKY_DAWN, SLOT_SKY_SUNSET, SLOT_SKY_NIGHT};
static const int LIGHT_PRESET_COUNT = sizeof SKY_SLOTS_BY_LIGHT_PRESET / sizeof SKY_SLOTS_BY_LIGHT_PRESET[0];

static int base_slot_for_mode(unsigned mode) {
    if (mode == RENDER_MODE_SKY) {
        const int preset = light_preset;
        if (preset >= 0 && preset < LIGHT_PRESET_COUNT) return SKY_SLOTS_BY_LIGHT_PRESET[preset];
        return SLOT_PLAYER_BASE;  // before the first round: no preset chosen yet
    }
    for (const RenderModeInfo& info : RENDER_MODE_BASE_SLOTS) {
        if (info.mode == mode) return info.base_slot;
    }
    return SLOT_PLAYER_BASE;
}

// Tracks GL_CULL_FACE so a run of faces with the same setting costs one call.
struct CullState {
    bool enabled;
};

static inline void set_culling(CullState* state, bool enabled) {
    if (state->enabled == enabled) return;
    state->enabled = enabled;
    if (enabled) {
        glEnable(GL_CULL_FACE);
    } else {
        glDisable(GL_CULL_FACE);
    }
}

// Tracks the face's texture offset; binds only when it changes. A sum of
// base slot and offset outside the table binds no texture.
struct TextureState {
    int base_slot;
    int offset;
};

static inline void use_texture_offset(TextureState* state, int offset) {
    if (offset == state->offset) return;
    state->offset = offset;
    bind_slot_texture(state->base_slot + offset);
}

static inline void draw_triangle(const Model* model, const Face& face) {
    const float* positions = model->posed_positions;
    const float* normals = model->posed_normals;
    glBegin(GL_TRIANGLES);
    for (int k = 0; k < 3; k++) {
        const int v = face.vertex[k];
        assert(v < model->vertex_count);
        glNormal3fv(normals + 3 * v);
        glTexCoord2fv(face.uv[k]);
        glVertex3fv(positions + 3 * v);
    }
    glEnd();
}

static inline bool face_in_view(const Model* model, const Face& face) {
    const float* positions = model->posed_positions;
    for (int k = 0; k < 3; k++) {
        const float* p = positions + 3 * face.vertex[k];
        if (point_inside_planes(frustum_planes, p[0], p[1], p[2])) return true;
    }
    return false;
}

// Sets the face aside for the depth-sorted pass as a snapshot of its posed
// corners, so the model may be posed again before that pass. Faces beyond
// the capacity of the buffer are dropped for this frame.
static void set_face_aside(const Model* model, const Face& face, const float angles[3],
                           const float position[3]) {
    if (!deferred_faces || deferred_face_count >= DEFERRED_FACE_CAPACITY) return;
    DeferredFace* record = &deferred_faces[deferred_face_count];
    record->angle_x = angles[0];
    record->angle_y = angles[1];
    record->angle_z = angles[2];
    record->x = position[0];
    record->y = position[1];
    record->z = position[2];
    for (int k = 0; k < 3; k++) {
        const int v = face.vertex[k];
        assert(v < model->vertex_count);
        for (int axis = 0; axis < 3; axis++) {
            record->corner[k][axis] = model->posed_positions[3 * v + axis];
            record->normal[k][axis] = model->posed_normals[3 * v + axis];
        }
        record->uv[k][0] = face.uv[k][0];
        record->uv[k][1] = face.uv[k][1];
    }
    deferred_face_count = static_cast<uint16_t>(deferred_face_count + 1);
}

void draw_model(float angle_x, float angle_y, float angle_z, float x, float y, float z, Model* model,
                unsigned mode) {
    if (!model) return;
    const int base_slot = base_slot_for_mode(mode);
    const bool sky = mode == RENDER_MODE_SKY;
    // The sky and the arena surround the camera: no per-face view test.
    const bool test_view = !sky && mode != RENDER_MODE_ARENA;

    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    bind_slot_texture(base_slot);
    glEnable(GL_TEXTURE_2D);
    if (sky) glDisable(GL_LIGHTING);

    apply_camera();
    glLightfv(GL_LIGHT0, GL_POSITION, light_position);
    glTranslatef(x, y, z);
    glRotatef(angle_z, 0, 0, 1);
    glRotatef(angle_y, 0, 1, 0);
    glRotatef(angle_x, 1, 0, 0);
    extract_frustum();

    const float angles[3] = {angle_x, angle_y, angle_z};
    const float position[3] = {x, y, z};
    CullState cull = {true};
    glEnable(GL_CULL_FACE);
    TextureState texture = {base_slot, 0};
    int blended_count = 0;

    const Face* faces = model->faces;
    for (int f = 0; f < model->face_count; f++) {
        const Face& face = faces[f];
        const int render_class = face.render_class;
        if (render_class <= RENDER_CLASS_MAIN_LAST) {
            // The binding follows the face even when the view test skips it.
            use_texture_offset(&texture, face.texture_offset);
            if (test_view && !face_in_view(model, face)) continue;
            set_culling(&cull, face.double_sided != DOUBLE_SIDED);
            draw_triangle(model, face);
        } else if (render_class <= RENDER_CLASS_DEFERRED_LAST) {
            set_face_aside(model, face, angles, position);
        } else if (render_class <= RENDER_CLASS_BLENDED_LAST) {
            model->blended_faces[blended_count++] = static_cast<uint16_t>(f);
        }
        // Render class 6 and up is never drawn.
    }

    // Blended pass: added onto the picture, never hiding what comes later.
    bind_slot_texture(base_slot);
    texture.offset = 0;
    glDisable(GL_LIGHTING);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR);
    glEnable(GL_BLEND);
    glDepthMask(GL_FALSE);
    glColor3f(1, 1, 1);
    for (int i = 0; i < blended_count; i++) {
        const Face& face = faces[model->blended_faces[i]];
        use_texture_offset(&texture, face.texture_offset);
        set_culling(&cull, face.double_sided != DOUBLE_SIDED);
        draw_triangle(model, face);
    }

    glDisable(GL_BLEND);
    glEnable(GL_LIGHTING);
    glDepthMask(GL_TRUE);
    set_culling(&cull, true);
}
