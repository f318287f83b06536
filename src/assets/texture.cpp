// RAW texture loader: a width, a height and RGBA rows, uploaded unchanged
// into a new OpenGL texture whose filtering, wrapping and mipmaps the mode
// chooses. Anything that goes wrong yields -1 and leaves the texture that was
// bound before still bound.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>

#include "assets/assets.h"
#include "assets/file_layouts.h"
#include "assets/packed_reader.h"

enum {
    NO_TEXTURE = -1,
};

struct TextureMode {
    GLint min_filter;
    GLint wrap;
    bool mipmapped;
    GLint internal_format;  // RGB drops the file's alpha
};

static const TextureMode TEXTURE_MODES[] = {
    // TEXTURE_MODE_CLAMPED
    {GL_LINEAR, GL_CLAMP, false, GL_RGB8},
    // TEXTURE_MODE_MIPMAPPED_CLAMPED
    {GL_LINEAR_MIPMAP_LINEAR, GL_CLAMP, true, GL_RGB8},
    // TEXTURE_MODE_MIPMAPPED_ALPHA
    {GL_LINEAR_MIPMAP_LINEAR, GL_CLAMP, true, GL_RGBA8},
    // TEXTURE_MODE_MIPMAPPED_REPEAT
    {GL_LINEAR_MIPMAP_LINEAR, GL_REPEAT, true, GL_RGB8},
};
static const int TEXTURE_MODE_COUNT = sizeof TEXTURE_MODES / sizeof TEXTURE_MODES[0];

uint8_t* read_texture_pixels(const char* path, uint16_t* width, uint16_t* height) {
    PACKFILE* file = pack_fopen(path, "r");
    if (!file) return nullptr;
    uint8_t* pixels = nullptr;
    if (read_u16(file, width) && read_u16(file, height) && *width > 0 && *height > 0) {
        long byte_count = static_cast<long>(*width) * *height * RAW_BYTES_PER_PIXEL;
        // A damaged header can promise gigabytes: check the file holds them
        // before allocating.
        if (file_size_ex(path) < static_cast<uint64_t>(RAW_HEADER_BYTES + byte_count)) byte_count = 0;
        pixels = byte_count > 0 ? static_cast<uint8_t*>(std::malloc(byte_count)) : nullptr;
        if (pixels && !read_bytes(file, pixels, byte_count)) {
            std::free(pixels);
            pixels = nullptr;
        }
    }
    pack_fclose(file);
    return pixels;
}

int32_t load_texture(const char* path, int mode) {
    if (mode < 0 || mode >= TEXTURE_MODE_COUNT) return NO_TEXTURE;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t* pixels = read_texture_pixels(path, &width, &height);
    if (!pixels) return NO_TEXTURE;

    const TextureMode& settings = TEXTURE_MODES[mode];
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, settings.min_filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, settings.wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, settings.wrap);
    bool uploaded = true;
    if (settings.mipmapped) {
        uploaded = gluBuild2DMipmaps(GL_TEXTURE_2D, settings.internal_format, width, height,
                                     GL_RGBA, GL_UNSIGNED_BYTE, pixels) == 0;
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, settings.internal_format, width, height, 0,
                     GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    }
    std::free(pixels);
    if (!uploaded) {
        glDeleteTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, previous);
        return NO_TEXTURE;
    }
    return static_cast<int32_t>(name);
}
