// Sprite effects drawn after the meshes: the player's ground shadow, the
// shots, the explosion of a dying figure and the aim marker. Shots, the
// explosion and the marker are camera-facing quads.
#include <GL/gl.h>

#include <cmath>

#include "assets/asset_table.h"
#include "game/game.h"
#include "render/render.h"
#include "render/render_local.h"

enum {
    SHOT_OWNER_PLAYER = 0,
};

static const float SHADOW_HEIGHT = 0.02f;  // just above the floor
static const float SHADOW_HALF_SIZE = 0.5f;
static const float SHADOW_OFFSET_FACTOR = 1.0f;
static const float SHADOW_OFFSET_UNITS = -20.0f;  // wins the depth test against the floor
static const float SHOT_HEIGHT = 1.0f;
static const float SHOT_HALF_SIZE = 1.0f;
static const float EXPLOSION_HEIGHT = 0.5f;
static const float EXPLOSION_FIREBALL_HALF_SIZE_PER_K = 4.0f;  // 8 x 8 at full strength
static const float EXPLOSION_RING_MAX_HALF_SIZE = 10.0f;       // 20 x 20 as it fades
static const float AIM_MARKER_DISTANCE = 20.0f;
static const float AIM_MARKER_HEIGHT = 1.5f;
static const float AIM_MARKER_HALF_SIZE = 0.5f;

// The state each effect sets, and the restore to the resting state.
static void begin_additive_sprites(GLenum depth_func) {
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glDepthFunc(depth_func);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_TEXTURE_2D);
}

static void end_sprites() {
    glDepthFunc(GL_LESS);
    glDisable(GL_BLEND);
    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
}

void draw_shadow(float x, float y) {
    apply_camera();
    glTranslatef(x, y, SHADOW_HEIGHT);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(SHADOW_OFFSET_FACTOR, SHADOW_OFFSET_UNITS);
    glDisable(GL_CULL_FACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_TEXTURE_2D);
    bind_texture_name(shadow_texture);
    // Multiplies the picture by (1 - texture): bright parts darken the floor.
    glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    glEnable(GL_BLEND);
    glDisable(GL_LIGHTING);

    const float h = SHADOW_HALF_SIZE;
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(h, h, 0);
    glTexCoord2f(0, 1);
    glVertex3f(-h, h, 0);
    glTexCoord2f(1, 1);
    glVertex3f(-h, -h, 0);
    glTexCoord2f(1, 0);
    glVertex3f(h, -h, 0);
    glEnd();

    glDisable(GL_POLYGON_OFFSET_FILL);
    end_sprites();
}

void draw_shots(const Shot* list, int owner) {
    // Shots add light to the picture; they are hidden by nearer geometry but
    // never hide anything themselves.
    begin_additive_sprites(GL_LESS);
    glDepthMask(GL_FALSE);
    apply_camera();
    if (list) {
        const CameraAxes axes = read_camera_axes();
        bind_slot_texture(owner == SHOT_OWNER_PLAYER ? SLOT_PLAYER_SHOT : SLOT_ENEMY_SHOT);
        glColor3f(1, 1, 1);
        for (int i = 0; i < SHOT_SLOTS; i++) {
            const Shot& shot = list[i];
            if (shot.spare != 0 || shot.active != 1) continue;
            draw_facing_quad(axes, shot.x, shot.y, SHOT_HEIGHT, SHOT_HALF_SIZE);
        }
    }
    glDepthMask(GL_TRUE);
    end_sprites();
}

void draw_explosion(float x, float y, float k) {
    // Drawn over everything; both quads fade to black (invisible) as k falls.
    begin_additive_sprites(GL_ALWAYS);
    apply_camera();
    const CameraAxes axes = read_camera_axes();
    bind_slot_texture(SLOT_EXPLOSION_FIREBALL);
    glColor3f(k, k, k);
    draw_facing_quad(axes, x, y, EXPLOSION_HEIGHT, EXPLOSION_FIREBALL_HALF_SIZE_PER_K * k);

    // The ring on the ground grows as the fireball shrinks.
    bind_slot_texture(SLOT_EXPLOSION_RING);
    const float h = EXPLOSION_RING_MAX_HALF_SIZE - EXPLOSION_RING_MAX_HALF_SIZE * k;
    const float z = EXPLOSION_HEIGHT;
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(x - h, y - h, z);
    glTexCoord2f(1, 0);
    glVertex3f(x + h, y - h, z);
    glTexCoord2f(1, 1);
    glVertex3f(x + h, y + h, z);
    glTexCoord2f(0, 1);
    glVertex3f(x - h, y + h, z);
    glEnd();
    end_sprites();
}

void draw_aim_marker() {
    // Twenty units ahead of the player, where its shots fly, over the walls.
    begin_additive_sprites(GL_ALWAYS);
    apply_camera();
    const CameraAxes axes = read_camera_axes();
    bind_slot_texture(SLOT_AIM_MARKER);
    glColor3f(1, 1, 1);
    const float cx = player_x + AIM_MARKER_DISTANCE * std::sin(player_heading);
    const float cy = player_y + AIM_MARKER_DISTANCE * std::cos(player_heading);
    draw_facing_quad(axes, cx, cy, AIM_MARKER_HEIGHT, AIM_MARKER_HALF_SIZE);
    end_sprites();
}
