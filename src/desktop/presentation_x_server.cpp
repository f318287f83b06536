// The frame scaled into the window by the X server, for software OpenGL
// (presentation.cpp says when and why). The frame, drawn into an off-screen
// 640x480 framebuffer, is read back into a shared-memory image, and the X
// server's RENDER extension scales it into the window (pixman's bilinear
// scaler, or the server's GPU where it has one). The server works on one
// frame while the game draws the next, and the bars are painted only when
// the window's size changes: an X window keeps what is drawn into it, and
// its black background fills any part exposed again.
#include <allegro.h>
#include <alleggl.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrender.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include "desktop/desktop_local.h"
#include "desktop/x11.h"

#ifndef GL_PACK_INVERT_MESA
#define GL_PACK_INVERT_MESA 0x8758  // GL_MESA_pack_invert
#endif

static const int FRAME_BYTES_PER_PIXEL = 4;  // the read-back frame: 32-bit xRGB, as a depth-24 pixmap holds it
static const int SHARED_IMAGE_COUNT = 2;     // the server reads one while the next frame is read back into the other

struct ServerScaling {
    bool ready;
    XShmSegmentInfo segments[SHARED_IMAGE_COUNT];
    XImage* images[SHARED_IMAGE_COUNT];
    int next_image;
    Pixmap frame_pixmap;  // depth 24: what the shared image is put into
    GC frame_gc;
    Picture frame_picture, window_picture;
    int painted_width, painted_height;  // the window size the bars and scale were set for; 0 when unset
};

static ServerScaling scaling;

// The server has a 32-bit pixmap format for depth 24, which the read-back
// frame is laid out in.
static bool has_depth_24_pixmaps(Display* display) {
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    bool found = false;
    for (int i = 0; i < count; i++) {
        if (formats[i].depth == 24 && formats[i].bits_per_pixel == 32) found = true;
    }
    if (formats) XFree(formats);
    return found;
}

bool x_server_can_scale(const LockedX& x) {
    Display* display = x.display;
    int major = 0, minor = 0;
    Bool shared_pixmaps = False;
    int event_base, error_base;
    if (!XShmQueryVersion(display, &major, &minor, &shared_pixmaps)) return false;
    if (!XRenderQueryExtension(display, &event_base, &error_base)) return false;
    if (!XRenderQueryVersion(display, &major, &minor) || (major == 0 && minor < 10)) return false;
    return has_depth_24_pixmaps(display);
}

// One shared-memory image of a 640x480 frame. The segment is marked for
// removal as soon as both sides hold it, so it goes with the process
// however that ends.
static bool create_shared_image(Display* display, Visual* visual, int index) {
    XShmSegmentInfo& segment = scaling.segments[index];
    XImage* image = XShmCreateImage(display, visual, 24, ZPixmap, nullptr, &segment, SCREEN_WIDTH, SCREEN_HEIGHT);
    if (!image) return false;
    scaling.images[index] = image;
    if (image->bits_per_pixel != FRAME_BYTES_PER_PIXEL * 8) return false;
    segment.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(image->bytes_per_line) * image->height, IPC_CREAT | 0600);
    if (segment.shmid < 0) return false;
    segment.shmaddr = static_cast<char*>(shmat(segment.shmid, nullptr, 0));
    if (segment.shmaddr == reinterpret_cast<char*>(-1)) {
        segment.shmaddr = nullptr;
        shmctl(segment.shmid, IPC_RMID, nullptr);
        return false;
    }
    image->data = segment.shmaddr;
    segment.readOnly = False;
    begin_x_error_trap();
    const bool attached = XShmAttach(display, &segment);
    const bool failed = end_x_error_trap();
    shmctl(segment.shmid, IPC_RMID, nullptr);
    if (!attached || failed) {
        shmdt(segment.shmaddr);
        segment.shmaddr = nullptr;
        return false;
    }
    return true;
}

void release_x_server_scaling() {
    const LockedX x;
    if (x) {
        Display* display = x.display;
        XSync(display, False);  // the server is done with the shared images
        for (int i = 0; i < SHARED_IMAGE_COUNT; i++) {
            if (scaling.segments[i].shmaddr) XShmDetach(display, &scaling.segments[i]);
        }
        if (scaling.window_picture) XRenderFreePicture(display, scaling.window_picture);
        if (scaling.frame_picture) XRenderFreePicture(display, scaling.frame_picture);
        if (scaling.frame_gc) XFreeGC(display, scaling.frame_gc);
        if (scaling.frame_pixmap) XFreePixmap(display, scaling.frame_pixmap);
        XSync(display, False);
    }
    for (int i = 0; i < SHARED_IMAGE_COUNT; i++) {
        if (scaling.images[i]) {
            scaling.images[i]->data = nullptr;  // the segment is not Xlib's to free
            XDestroyImage(scaling.images[i]);
        }
        if (scaling.segments[i].shmaddr) shmdt(scaling.segments[i].shmaddr);
    }
    scaling = ServerScaling{};
}

// Everything the X server needs, created once: two shared images, a
// depth-24 pixmap with its picture (bilinear, edges padded like OpenGL's
// clamp to edge) and a picture of the window. Holds the X lock.
static bool create_server_resources(const LockedX& x) {
    Display* display = x.display;
    Window window = x.window;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return false;
    XRenderPictFormat* window_format = XRenderFindVisualFormat(display, attributes.visual);
    XRenderPictFormat* frame_format = XRenderFindStandardFormat(display, PictStandardRGB24);
    if (!window_format || !frame_format) return false;
    for (int i = 0; i < SHARED_IMAGE_COUNT; i++) {
        if (!create_shared_image(display, attributes.visual, i)) return false;
    }
    scaling.frame_pixmap = XCreatePixmap(display, window, SCREEN_WIDTH, SCREEN_HEIGHT, 24);
    scaling.frame_gc = XCreateGC(display, scaling.frame_pixmap, 0, nullptr);
    XRenderPictureAttributes edges;
    edges.repeat = RepeatPad;
    scaling.frame_picture = XRenderCreatePicture(display, scaling.frame_pixmap, frame_format, CPRepeat, &edges);
    XRenderSetPictureFilter(display, scaling.frame_picture, FilterBilinear, nullptr, 0);
    scaling.window_picture = XRenderCreatePicture(display, window, window_format, 0, nullptr);
    XSetWindowBackground(display, window, BlackPixel(display, x.screen));
    XSync(display, False);
    return true;
}

bool set_up_x_server_scaling() {
    if (scaling.ready) return true;
    bool made;
    {
        const LockedX x;
        made = x && create_server_resources(x);
    }
    if (!made) {
        release_x_server_scaling();
        return false;
    }
    scaling.ready = true;
    return true;
}

bool x_server_scaling_ready() {
    return scaling.ready;
}

// The bars, and the scale from the window's picture rectangle back to the
// frame, for a window of a new size. Holds the X lock.
static void paint_bars_and_set_scale(Display* display, int window_width, int window_height, ScreenRect rect) {
    const int top = window_height - rect.y - rect.height;  // X counts rows from the top
    XRectangle bars[4] = {
        {0, 0, static_cast<unsigned short>(rect.x), static_cast<unsigned short>(window_height)},
        {static_cast<short>(rect.x + rect.width), 0, static_cast<unsigned short>(window_width - rect.x - rect.width),
         static_cast<unsigned short>(window_height)},
        {static_cast<short>(rect.x), 0, static_cast<unsigned short>(rect.width), static_cast<unsigned short>(top)},
        {static_cast<short>(rect.x), static_cast<short>(top + rect.height), static_cast<unsigned short>(rect.width),
         static_cast<unsigned short>(window_height - top - rect.height)},
    };
    XRectangle painted[4];
    int count = 0;
    for (const XRectangle& bar : bars) {
        if (bar.width > 0 && bar.height > 0) painted[count++] = bar;
    }
    const XRenderColor black = {0, 0, 0, 0xffff};
    if (count > 0) XRenderFillRectangles(display, PictOpSrc, scaling.window_picture, &black, painted, count);
    XTransform scale = {{{XDoubleToFixed(static_cast<double>(SCREEN_WIDTH) / rect.width), 0, 0},
                         {0, XDoubleToFixed(static_cast<double>(SCREEN_HEIGHT) / rect.height), 0},
                         {0, 0, XDoubleToFixed(1.0)}}};
    XRenderSetPictureTransform(display, scaling.frame_picture, &scale);
    scaling.painted_width = window_width;
    scaling.painted_height = window_height;
}

// Reads the frame back, top row first, into the next shared image, and has
// the server put it into the pixmap and scale it into the window. The image
// read into now was last put two frames ago, and the sync of the previous
// frame waited for that; the sync here lets the server fall one frame
// behind at most.
void scale_through_x_server(int window_width, int window_height, ScreenRect rect) {
    XImage* image = scaling.images[scaling.next_image];
    scaling.next_image = (scaling.next_image + 1) % SHARED_IMAGE_COUNT;
    glPixelStorei(GL_PACK_INVERT_MESA, GL_TRUE);
    glPixelStorei(GL_PACK_ROW_LENGTH, image->bytes_per_line / FRAME_BYTES_PER_PIXEL);
    glReadPixels(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, image->data);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_INVERT_MESA, GL_FALSE);

    const LockedX x;
    Display* display = x.display;
    XSync(display, False);
    if (scaling.painted_width != window_width || scaling.painted_height != window_height) {
        paint_bars_and_set_scale(display, window_width, window_height, rect);
    }
    XShmPutImage(display, scaling.frame_pixmap, scaling.frame_gc, image, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT,
                 False);
    XRenderComposite(display, PictOpSrc, scaling.frame_picture, None, scaling.window_picture, 0, 0, 0, 0, rect.x,
                     window_height - rect.y - rect.height, rect.width, rect.height);
    XFlush(display);
}

void paint_x_server_bars_again() {
    scaling.painted_width = scaling.painted_height = 0;
}
