// The camera, texture slots and camera-facing quads shared by the 3D passes.
#include <GL/gl.h>
#include <GL/glu.h>

#include "assets/asset_table.h"
#include "game/game.h"
#include "render/render.h"
#include "render/render_local.h"

void bind_texture_name(int32_t name) {
    glBindTexture(GL_TEXTURE_2D, name >= 0 ? static_cast<GLuint>(name) : 0u);
}

void bind_slot_texture(int slot) {
    if (slot < 0 || slot >= TEXTURE_SLOTS) {
        glBindTexture(GL_TEXTURE_2D, 0);
        return;
    }
    bind_texture_name(textures[slot]);
}

void apply_camera() {
    glLoadIdentity();
    gluLookAt(camera_eye_x, camera_eye_y, camera_eye_z,
              camera_target_x, camera_target_y, camera_target_z,
              0.0, 0.0, camera_up_z);
}

CameraAxes read_camera_axes() {
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    CameraAxes axes;
    axes.right[0] = m[0];
    axes.right[1] = m[4];
    axes.right[2] = m[8];
    axes.up[0] = m[1];
    axes.up[1] = m[5];
    axes.up[2] = m[9];
    return axes;
}

void draw_facing_quad(const CameraAxes& axes, float cx, float cy, float cz, float half) {
    const float rx = half * axes.right[0], ry = half * axes.right[1], rz = half * axes.right[2];
    const float ux = half * axes.up[0], uy = half * axes.up[1], uz = half * axes.up[2];
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(cx - rx - ux, cy - ry - uy, cz - rz - uz);
    glTexCoord2f(1, 0);
    glVertex3f(cx + rx - ux, cy + ry - uy, cz + rz - uz);
    glTexCoord2f(1, 1);
    glVertex3f(cx + rx + ux, cy + ry + uy, cz + rz + uz);
    glTexCoord2f(0, 1);
    glVertex3f(cx - rx + ux, cy - ry + uy, cz - rz + uz);
    glEnd();
}
