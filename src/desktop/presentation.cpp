// How the 640x480 frame reaches a window of another size: scaled to fit
// with its 4:3 shape kept, bilinear, black bars beside it. A window of
// exactly 640x480 shows the frame as drawn, and flips. Where the driver
// can, the flips are paced to the monitor's refresh.
//
// Two ways to scale, chosen once from what the OpenGL driver reports:
//
// - With OpenGL (any GPU): the frame is drawn into the bottom-left corner of
//   the back buffer, copied into a texture and drawn once over the window as
//   a textured quad; the bars are cleared and the window-sized back buffer
//   flipped. On a GPU this costs next to nothing. A window narrower or
//   lower than 640x480 has no room for the frame in its back buffer; the
//   frame is then drawn off-screen and copied from there.
// - Through the X server (software OpenGL: llvmpipe, softpipe, swrast, on a
//   window of 24-bit pixels): a software rasterizer pays for every pixel of
//   that quad with its bilinear shader, about 8 ms at 1920x1080 on two
//   cores. (llvmpipe's "linear" path for plain textured quads was never
//   taken with Mesa 22.3, into a window without a depth buffer either: a
//   fixed-function, GLSL or blit quad ran no faster than with that path
//   turned off, LP_PERF=no_rast_linear.) So the frame is drawn into an
//   off-screen 640x480 framebuffer instead, and the X server scales it into
//   the window (presentation_x_server.cpp). A GPU never takes this way:
//   reading a frame back stalls it.
#include <allegro.h>
#include <alleggl.h>
#include <xalleg.h>
#include <GL/glx.h>

#include <cstring>

#include "desktop/desktop_local.h"
#include "desktop/x11.h"

#ifndef GL_RGB565
#define GL_RGB565 0x8D62  // GL_ARB_ES2_compatibility, core since OpenGL 4.1
#endif

static const int PICTURE_TEXTURE_WIDTH = 1024;  // power-of-two texture holding one 640x480 frame
static const int PICTURE_TEXTURE_HEIGHT = 512;

static PresentPath path = PRESENT_WITH_OPENGL;
static bool wait_for_rasterizer;  // llvmpipe: each frame is finished before it is presented
static bool server_scaling_failed;  // tried once and could not be set up: OpenGL stays
// The window's size as last read, which frames are presented at.
static int window_width = SCREEN_WIDTH;
static int window_height = SCREEN_HEIGHT;
static bool frame_in_framebuffer;  // the frame being drawn goes into the off-screen framebuffer

ScreenRect fit_picture(int width, int height) {
    if (width <= 0 || height <= 0) return ScreenRect{0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
    ScreenRect rect;
    if (static_cast<long>(width) * SCREEN_HEIGHT >= static_cast<long>(height) * SCREEN_WIDTH) {
        rect.height = height;  // wider than 4:3: bars left and right
        rect.width = static_cast<int>(static_cast<long>(height) * SCREEN_WIDTH / SCREEN_HEIGHT);
    } else {
        rect.width = width;  // taller than 4:3: bars above and below
        rect.height = static_cast<int>(static_cast<long>(width) * SCREEN_HEIGHT / SCREEN_WIDTH);
    }
    rect.x = (width - rect.width) / 2;
    rect.y = (height - rect.height) / 2;
    return rect;
}

// Whether a space-separated extension list (GL's or GLX's; null for none)
// names the extension, as a whole word.
static bool has_extension(const char* list, const char* name) {
    const size_t length = std::strlen(name);
    for (const char* at = list; at && (at = std::strstr(at, name)) != nullptr; at += length) {
        const bool starts = at == list || at[-1] == ' ';
        const bool ends = at[length] == ' ' || at[length] == '\0';
        if (starts && ends) return true;
    }
    return false;
}

// Mesa's software rasterizer under X11 offers no swap control; the main
// loop paces itself anyway.
void ask_for_vsync(const LockedX& x) {
    Display* display = x.display;
    typedef void (*SwapIntervalExt)(Display*, GLXDrawable, int);
    typedef int (*SwapIntervalMesa)(unsigned int);
    typedef int (*SwapIntervalSgi)(int);
    const char* extensions = glXQueryExtensionsString(display, x.screen);
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (has_extension(extensions, "GLX_EXT_swap_control") && drawable) {
        auto set = reinterpret_cast<SwapIntervalExt>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
        if (set) {
            set(display, drawable, 1);
            return;
        }
    }
    if (has_extension(extensions, "GLX_MESA_swap_control")) {
        auto set = reinterpret_cast<SwapIntervalMesa>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
        if (set && set(1) == 0) return;
    }
    if (has_extension(extensions, "GLX_SGI_swap_control")) {
        auto set = reinterpret_cast<SwapIntervalSgi>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalSGI")));
        if (set) set(1);
    }
}

// ---- The off-screen frame ------------------------------------------------------

// A 640x480 framebuffer with the window's own colour and depth precision,
// for a frame the window's back buffer cannot hold or the X server scales.
struct OffscreenFrame {
    bool tried, ready;
    GLuint framebuffer, color_buffer, depth_buffer;
};

static OffscreenFrame offscreen;

static bool has_gl_extension(const char* name) {
    return has_extension(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}

static void release_offscreen_frame() {
    if (offscreen.framebuffer) glDeleteFramebuffersEXT(1, &offscreen.framebuffer);
    if (offscreen.color_buffer) glDeleteRenderbuffersEXT(1, &offscreen.color_buffer);
    if (offscreen.depth_buffer) glDeleteRenderbuffersEXT(1, &offscreen.depth_buffer);
    offscreen = OffscreenFrame{};
}

// Created on first need; false for good when the driver cannot.
static bool set_up_offscreen_frame() {
    if (offscreen.tried) return offscreen.ready;
    offscreen.tried = true;
    if (!has_gl_extension("GL_EXT_framebuffer_object")) return false;
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    GLint red_bits = 0, green_bits = 0, blue_bits = 0, depth_bits = 0;
    glGetIntegerv(GL_RED_BITS, &red_bits);
    glGetIntegerv(GL_GREEN_BITS, &green_bits);
    glGetIntegerv(GL_BLUE_BITS, &blue_bits);
    glGetIntegerv(GL_DEPTH_BITS, &depth_bits);
    const bool sixteen_bit = red_bits == 5 && green_bits == 6 && blue_bits == 5;
    glGenFramebuffersEXT(1, &offscreen.framebuffer);
    glGenRenderbuffersEXT(1, &offscreen.color_buffer);
    glGenRenderbuffersEXT(1, &offscreen.depth_buffer);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, offscreen.color_buffer);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, sixteen_bit ? GL_RGB565 : GL_RGBA8, SCREEN_WIDTH, SCREEN_HEIGHT);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, offscreen.depth_buffer);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, depth_bits > 16 ? GL_DEPTH_COMPONENT24 : GL_DEPTH_COMPONENT16,
                             SCREEN_WIDTH, SCREEN_HEIGHT);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, offscreen.framebuffer);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT,
                                 offscreen.color_buffer);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                 offscreen.depth_buffer);
    offscreen.ready = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    if (!offscreen.ready) {
        release_offscreen_frame();
        offscreen.tried = true;
    }
    return offscreen.ready;
}

// ---- With OpenGL ----------------------------------------------------------

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
static void scale_picture_with_opengl(int window_width, int window_height) {
    const ScreenRect rect = fit_picture(window_width, window_height);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    if (!picture_texture) create_picture_texture();
    glBindTexture(GL_TEXTURE_2D, picture_texture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    if (frame_in_framebuffer) glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);

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

// ---- Choosing and presenting ---------------------------------------------------

bool is_software_renderer(const char* renderer) {
    if (!renderer) return false;
    return std::strstr(renderer, "llvmpipe") || std::strstr(renderer, "softpipe") ||
           std::strstr(renderer, "Software Rasterizer");
}

// The window's pixels are 32-bit xRGB, as the read-back frame's are. Into
// 16-bit pixels the server has no fast bilinear scaler (14 ms a frame at
// 1920x1080, no better than OpenGL's 16), so such windows keep OpenGL.
static bool window_has_xrgb_pixels(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return false;
    const Visual* visual = attributes.visual;
    return attributes.depth == 24 && visual->c_class == TrueColor && visual->red_mask == 0xff0000 &&
           visual->green_mask == 0xff00 && visual->blue_mask == 0xff;
}

// What the server and the driver offer that scaling through the server
// needs: besides the server's side, Mesa's upside-down read-back.
static bool server_can_scale(const LockedX& x) {
    return x_server_can_scale(x) && has_gl_extension("GL_MESA_pack_invert");
}

// The X server's way set up once, with the off-screen frame it reads back;
// when it cannot be, OpenGL stays until the display is opened again.
static bool set_up_server_path() {
    if (x_server_scaling_ready()) return true;
    if (server_scaling_failed) return false;
    if (set_up_offscreen_frame() && set_up_x_server_scaling()) return true;
    server_scaling_failed = true;
    return false;
}

static void choose_present_path() {
    path = PRESENT_WITH_OPENGL;
    server_scaling_failed = false;
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    wait_for_rasterizer = renderer && std::strstr(renderer, "llvmpipe");
    if (!is_software_renderer(renderer)) return;
    const LockedX x;
    if (x && window_has_xrgb_pixels(x.display, x.window) && server_can_scale(x)) path = PRESENT_THROUGH_X_SERVER;
}

// Off-screen when the X server scales it, or when the window is too small
// to hold it; otherwise into the window's back buffer.
static void direct_frame_drawing() {
    const bool scaled = window_width != SCREEN_WIDTH || window_height != SCREEN_HEIGHT;
    if (scaled && path == PRESENT_THROUGH_X_SERVER && !set_up_server_path()) path = PRESENT_WITH_OPENGL;
    const bool too_small = window_width < SCREEN_WIDTH || window_height < SCREEN_HEIGHT;
    frame_in_framebuffer = scaled && (path == PRESENT_THROUGH_X_SERVER || (too_small && set_up_offscreen_frame()));
    if (offscreen.ready) glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, frame_in_framebuffer ? offscreen.framebuffer : 0);
    // Drawn into the window's back buffer while the window is larger, the
    // frame's own clear stays inside the 640x480 corner, so drawing costs
    // the same at any window size.
    glScissor(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    if (scaled && !frame_in_framebuffer) {
        glEnable(GL_SCISSOR_TEST);
    } else {
        glDisable(GL_SCISSOR_TEST);
    }
}

// The window may have changed size since the frame was directed: a frame
// drawn off-screen is still copied from there (at 640x480 unscaled), and
// one drawn into the back buffer's corner is read from there, unless the
// window has meanwhile shrunk below the frame and cut it off (reading past
// the back buffer is not safe); the next frame is drawn off-screen.
static void present_picture() {
    const bool scaled = window_width != SCREEN_WIDTH || window_height != SCREEN_HEIGHT;
    if (path == PRESENT_THROUGH_X_SERVER && x_server_scaling_ready() && (scaled || frame_in_framebuffer)) {
        const bool cut_off = window_width < SCREEN_WIDTH || window_height < SCREEN_HEIGHT;
        if (frame_in_framebuffer || !cut_off) {
            scale_through_x_server(window_width, window_height, fit_picture(window_width, window_height));
        }
        return;
    }
    if (scaled || frame_in_framebuffer) scale_picture_with_opengl(window_width, window_height);
    allegro_gl_flip();
    paint_x_server_bars_again();  // the flip covered the window
}

// The window's size, read every frame: the window manager or the player
// may have changed it.
static void read_window_size(const LockedX& x) {
    Window root;
    int window_x, window_y;
    unsigned int width, height, border, depth;
    if (!XGetGeometry(x.display, x.window, &root, &window_x, &window_y, &width, &height, &border, &depth)) return;
    window_width = static_cast<int>(width);
    window_height = static_cast<int>(height);
    // Allegro warps the pointer back to the window's centre for mickeys.
    _xwin.window_width = window_width;
    _xwin.window_height = window_height;
}

void start_presentation() {
    {
        const LockedX x;
        if (x) read_window_size(x);
    }
    choose_present_path();
    direct_frame_drawing();
}

// Mesa's llvmpipe (seen with 22.3.6) can free a fence while one of its
// rasterizer threads is still unlocking it. That thread's
// pthread_mutex_unlock then writes a zero into freed heap memory, and glibc
// finds the damage later, at some malloc or free inside the driver: the
// SIGSEGV or "free(): corrupted unsorted chunks" a few seconds after start.
// - The last rasterizer thread to finish a scene counts itself into the
//   scene's fence under the fence's lock: count++, broadcast, unlock
//   (lp_fence_signal).
// - When the drawing thread starts a scene, lp_setup_get_empty_scene looks
//   for a finished scene to reuse by reading that count without the lock
//   (lp_fence_signalled), and lp_scene_end_rasterization drops the scene's
//   reference to the fence. The setup's own reference goes at its next
//   flush, and the fence with it, possibly before that thread has unlocked.
// It takes a frame flushed that nobody waits for and that finishes just as
// the next scenes start and flush: glFlush at the end of a frame, then the
// copy of the OpenGL-scaled presentation (glCopyTexSubImage2D flushes a
// blit of its own). Each frame here ends with glFinish instead, and so does
// AllegroGL's drawing at start-up: glFinish waits for the newest fence
// under its lock, and the threads finish scenes in order, so the frame's
// fences are all unlocked before the presentation starts scenes of its own.
// With it the llvmpipe_fence_e2e test (tests/regression), which widens the
// race until it shows, finds no such unlock on any display tried. A
// glFinish just before the copy instead was not enough: the test still saw
// fences freed too early inside the copy and the flip, for a reason not
// found, so keep the wait where it is. Both ways of presenting wait for the
// frame anyway (the flip, the read-back), and bench_game_frame --sizes
// shows no cost.
void finish_gl_drawing() {
    if (wait_for_rasterizer) {
        glFinish();
    } else {
        glFlush();
    }
}

void present_frame() {
    {
        const LockedX x;
        if (!x) {
            allegro_gl_flip();
            return;
        }
        read_window_size(x);
    }
    present_picture();
    direct_frame_drawing();
}

PresentPath present_path() {
    return path;
}

bool use_present_path(PresentPath wanted) {
    if (wanted == PRESENT_THROUGH_X_SERVER) {
        if (server_scaling_failed) return false;
        bool possible;
        {
            const LockedX x;
            possible = x && server_can_scale(x);
        }
        if (!possible || !set_up_server_path()) return false;
    }
    path = wanted;
    paint_x_server_bars_again();
    direct_frame_drawing();
    return true;
}

void release_presentation() {
    if (x_server_scaling_ready()) release_x_server_scaling();
    release_offscreen_frame();
    frame_in_framebuffer = false;
    if (picture_texture) glDeleteTextures(1, &picture_texture);
    picture_texture = 0;
}
