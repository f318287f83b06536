// The RAW texture loader on the test display: what reaches OpenGL, in every
// mode, and that failures make no texture and keep the current binding.
#include <gtest/gtest.h>

#include <allegro.h>
#include <GL/gl.h>

#include <vector>

#include "asset_files.h"
#include "assets/assets.h"
#include "support/gl_display.h"

namespace {

Bytes raw_bytes(int width, int height, const std::vector<uint8_t>& rgba) {
    Bytes bytes;
    bytes.u16(width).u16(height);
    bytes.data.insert(bytes.data.end(), rgba.begin(), rgba.end());
    return bytes;
}

int32_t load_bytes(const char* name, const Bytes& bytes, int mode) {
    return load_texture(write_test_file(name, bytes).c_str(), mode);
}

GLint bound_texture() {
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
}

GLint parameter_of(GLenum parameter) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
    return value;
}

GLint level0_size(GLenum what) {
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, what, &value);
    return value;
}

std::vector<uint8_t> read_level0(int width, int height) {
    std::vector<uint8_t> rgba(width * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

// A texture the failed loads must leave bound.
GLuint bind_marker_texture() {
    GLuint marker = 0;
    glGenTextures(1, &marker);
    glBindTexture(GL_TEXTURE_2D, marker);
    return marker;
}

}  // namespace

TEST(TextureLoader, OnePixelInEveryModeKeepsAlphaOnlyInMode2) {
    require_test_display();
    Bytes pixel = raw_bytes(1, 1, {200, 100, 50, 20});
    ASSERT_EQ(pixel.data.size(), 8u);
    const GLint expected_wrap[] = {GL_CLAMP, GL_CLAMP, GL_CLAMP, GL_REPEAT};
    const GLint expected_min[] = {GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR_MIPMAP_LINEAR,
                                  GL_LINEAR_MIPMAP_LINEAR};
    for (int mode = 0; mode < 4; mode++) {
        SCOPED_TRACE(testing::Message() << "mode " << mode);
        int32_t name = load_bytes("pixel.raw", pixel, mode);
        ASSERT_GT(name, 0);
        EXPECT_EQ(bound_texture(), name);
        EXPECT_EQ(parameter_of(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(parameter_of(GL_TEXTURE_MIN_FILTER), expected_min[mode]);
        EXPECT_EQ(parameter_of(GL_TEXTURE_WRAP_S), expected_wrap[mode]);
        EXPECT_EQ(parameter_of(GL_TEXTURE_WRAP_T), expected_wrap[mode]);
        const uint8_t alpha = mode == TEXTURE_MODE_MIPMAPPED_ALPHA ? 20 : 255;
        EXPECT_EQ(read_level0(1, 1), (std::vector<uint8_t>{200, 100, 50, alpha}));
    }
}

TEST(TextureLoader, FirstFileRowLandsAtTZero) {
    require_test_display();
    const int width = 64;
    const int height = 32;
    std::vector<uint8_t> rgba;
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            rgba.insert(rgba.end(), {static_cast<uint8_t>(x * 4), static_cast<uint8_t>(y * 8), 77, 255});
        }
    }
    Bytes bytes = raw_bytes(width, height, rgba);
    ASSERT_EQ(bytes.data.size(), 8196u);
    int32_t name = load_bytes("rows.raw", bytes, TEXTURE_MODE_CLAMPED);
    ASSERT_GT(name, 0);
    EXPECT_EQ(level0_size(GL_TEXTURE_WIDTH), width);
    EXPECT_EQ(level0_size(GL_TEXTURE_HEIGHT), height);
    // glGetTexImage hands back the row at t = 0 first.
    EXPECT_EQ(read_level0(width, height), rgba);
}

TEST(TextureLoader, EachLoadMakesANewName) {
    require_test_display();
    Bytes pixel = raw_bytes(1, 1, {1, 2, 3, 4});
    int32_t first = load_bytes("same.raw", pixel, TEXTURE_MODE_CLAMPED);
    int32_t second = load_bytes("same.raw", pixel, TEXTURE_MODE_CLAMPED);
    EXPECT_GT(first, 0);
    EXPECT_GT(second, 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(bound_texture(), second);
}

TEST(TextureLoader, FailuresGiveMinusOneAndKeepTheBinding) {
    require_test_display();
    GLuint marker = bind_marker_texture();
    Bytes good = raw_bytes(2, 2, std::vector<uint8_t>(16, 9));
    struct Case {
        const char* what;
        Bytes bytes;
        int mode;
    };
    const Case cases[] = {
        {"mode 4", good, 4},
        {"mode -1", good, -1},
        {"one pixel byte short", good.first(good.data.size() - 1), TEXTURE_MODE_CLAMPED},
        {"no pixels", good.first(4), TEXTURE_MODE_MIPMAPPED_REPEAT},
        {"header cut", good.first(3), TEXTURE_MODE_CLAMPED},
        {"empty file", Bytes{}, TEXTURE_MODE_CLAMPED},
        {"zero width", raw_bytes(0, 2, {}), TEXTURE_MODE_CLAMPED},
        {"zero height", raw_bytes(2, 0, {}), TEXTURE_MODE_MIPMAPPED_CLAMPED},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(load_bytes("bad.raw", c.bytes, c.mode), -1) << c.what;
        EXPECT_EQ(bound_texture(), static_cast<GLint>(marker)) << c.what;
    }
    EXPECT_EQ(load_texture("/nonexistent/none.raw", TEXTURE_MODE_CLAMPED), -1);
    EXPECT_EQ(bound_texture(), static_cast<GLint>(marker));
    // Bytes after the picture are not read.
    Bytes longer = good;
    longer.fill(10, 0xEE);
    EXPECT_GT(load_bytes("longer.raw", longer, TEXTURE_MODE_CLAMPED), 0);
    glDeleteTextures(1, &marker);
}
