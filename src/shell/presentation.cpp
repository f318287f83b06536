// How the 640x480 frame reaches a window of another size: the frame is
// drawn into the bottom-left corner of the back buffer, copied into a
// texture and drawn once over the window as a textured quad, scaled with its
// 4:3 shape kept, bilinear, between black bars. A window of exactly 640x480
// shows the frame as drawn, and flips.
#include <allegro.h>
#include <alleggl.h>

#include "shell/shell.h"
#include "shell/shell_local.h"

static const int PICTURE_TEXTURE_WIDTH = 1024;  // power-of-two texture holding one 640x480 frame
static const int PICTURE_TEXTURE_HEIGHT = 512;

static GLuint picture_texture;

static void create_picture_texture() {
    glGenTextures(1, &picture_texture);
    glBindTexture(GL_TEXTURE_2D, picture_texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, PICTURE_TEXTURE_WIDTH, PICTURE_TEXTURE_HEIGHT, 0, GL_RGB,
                 GL_UNSIGNED_BYTE, nullptr);
}

static void clear_window_rect(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return;
    glScissor(x, y, width, height);
    glClear(GL_COLOR_BUFFER_BIT);
}

// The 640x480 corner, scaled over the window between black bars. Every
// piece of OpenGL state it touches is put back before it returns.
static void scale_picture_to_window(int window_width, int window_height) {
    PictureRect rect = fit_picture(window_width, window_height);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    if (!picture_texture) create_picture_texture();
    glBindTexture(GL_TEXTURE_2D, picture_texture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, window_width, 0, window_height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glViewport(0, 0, window_width, window_height);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_FOG);
    glDisable(GL_DITHER);
    glEnable(GL_SCISSOR_TEST);
    clear_window_rect(0, 0, rect.x, window_height);
    clear_window_rect(rect.x + rect.width, 0, window_width - rect.x - rect.width, window_height);
    clear_window_rect(rect.x, 0, rect.width, rect.y);
    clear_window_rect(rect.x, rect.y + rect.height, rect.width, window_height - rect.y - rect.height);
    glDisable(GL_SCISSOR_TEST);

    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    const float s = static_cast<float>(SCREEN_WIDTH) / PICTURE_TEXTURE_WIDTH;
    const float t = static_cast<float>(SCREEN_HEIGHT) / PICTURE_TEXTURE_HEIGHT;
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2i(rect.x, rect.y);
    glTexCoord2f(s, 0);
    glVertex2i(rect.x + rect.width, rect.y);
    glTexCoord2f(s, t);
    glVertex2i(rect.x + rect.width, rect.y + rect.height);
    glTexCoord2f(0, t);
    glVertex2i(rect.x, rect.y + rect.height);
    glEnd();

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

void direct_frame_drawing(int window_width, int window_height) {
    // While the window is larger than the picture, the frame's own clear
    // stays inside the 640x480 corner, so drawing costs the same at any
    // window size.
    const bool scaled = window_width != SCREEN_WIDTH || window_height != SCREEN_HEIGHT;
    glScissor(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    if (scaled) {
        glEnable(GL_SCISSOR_TEST);
    } else {
        glDisable(GL_SCISSOR_TEST);
    }
}

void present_picture(int window_width, int window_height) {
    if (window_width != SCREEN_WIDTH || window_height != SCREEN_HEIGHT) {
        scale_picture_to_window(window_width, window_height);
    }
    allegro_gl_flip();
}

void release_presentation() {
    if (picture_texture) glDeleteTextures(1, &picture_texture);
    picture_texture = 0;
}
