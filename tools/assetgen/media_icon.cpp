// The game's icon for the desktop menus: the heart of the title picture, the
// banded sun setting over the grid floor, cut square with rounded corners
// and written as PNG files at the sizes of the hicolor icon theme.
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "media.h"
#include "procedural.h"

namespace {

// The square of the title picture the icon shows, in title pixels: the sun
// and the floor below it, without the name.
const float ICON_CROP_LEFT = 149.0f;
const float ICON_CROP_TOP = 42.0f;
const float ICON_CROP_SIDE = 214.0f;
const float ICON_CORNER_RADIUS = 0.18f;  // of the side
const int ICON_SUBSAMPLES = 4;           // per axis, per icon pixel

Rgb canvas_at(const Canvas& canvas, float x, float y) {
    int xi = std::clamp(static_cast<int>(x), 0, canvas.width - 1);
    int yi = std::clamp(static_cast<int>(y), 0, canvas.height - 1);
    return canvas.pixel[static_cast<size_t>(yi) * canvas.width + xi];
}

// Coverage 0..1 of the rounded square at (u, v), both 0..1 across the icon.
float rounded_square_cover(float u, float v, float pixel) {
    float r = ICON_CORNER_RADIUS;
    float dx = std::max(0.0f, std::fabs(u - 0.5f) - (0.5f - r));
    float dy = std::max(0.0f, std::fabs(v - 0.5f) - (0.5f - r));
    float outside = std::sqrt(dx * dx + dy * dy) - r;
    return clamp_unit(0.5f - outside / pixel);
}

void put_u32_be(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void put_chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    put_u32_be(out, static_cast<uint32_t>(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, out.data() + start, static_cast<uInt>(out.size() - start));
    put_u32_be(out, static_cast<uint32_t>(crc));
}

}  // namespace

bool write_png(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba) {
    std::vector<uint8_t> rows;  // each row led by filter type 0
    for (int y = 0; y < height; y++) {
        rows.push_back(0);
        rows.insert(rows.end(), rgba.begin() + static_cast<size_t>(y) * width * 4,
                    rgba.begin() + static_cast<size_t>(y + 1) * width * 4);
    }
    uLongf packed_size = compressBound(static_cast<uLong>(rows.size()));
    std::vector<uint8_t> packed(packed_size);
    if (compress2(packed.data(), &packed_size, rows.data(), static_cast<uLong>(rows.size()), 9) != Z_OK) {
        std::fprintf(stderr, "assetgen: cannot compress %s\n", path.c_str());
        return false;
    }
    packed.resize(packed_size);

    std::vector<uint8_t> header;
    put_u32_be(header, static_cast<uint32_t>(width));
    put_u32_be(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, deflate, no interlace
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    put_chunk(png, "IHDR", header);
    put_chunk(png, "IDAT", packed);
    put_chunk(png, "IEND", {});
    return save_bytes(path, png);
}

bool write_icons(const char* dir) {
    Canvas title = paint_title_backdrop();
    bool ok = true;
    for (int side : ICON_SIDES) {
        std::vector<uint8_t> rgba(static_cast<size_t>(side) * side * 4);
        float step = ICON_CROP_SIDE / side;
        for (int y = 0; y < side; y++) {
            for (int x = 0; x < side; x++) {
                Rgb sum = {0, 0, 0};
                for (int sy = 0; sy < ICON_SUBSAMPLES; sy++) {
                    for (int sx = 0; sx < ICON_SUBSAMPLES; sx++) {
                        float fx = ICON_CROP_LEFT + (x + (sx + 0.5f) / ICON_SUBSAMPLES) * step;
                        float fy = ICON_CROP_TOP + (y + (sy + 0.5f) / ICON_SUBSAMPLES) * step;
                        sum = sum + canvas_at(title, fx, fy);
                    }
                }
                Rgb mean = sum * (1.0f / (ICON_SUBSAMPLES * ICON_SUBSAMPLES));
                float cover = rounded_square_cover((x + 0.5f) / side, (y + 0.5f) / side, 1.0f / side);
                uint8_t* p = &rgba[(static_cast<size_t>(y) * side + x) * 4];
                p[0] = to_byte(mean.r);
                p[1] = to_byte(mean.g);
                p[2] = to_byte(mean.b);
                p[3] = to_byte(cover);
            }
        }
        ok = write_png(join_path(dir, ("icon-" + std::to_string(side) + ".png").c_str()), side, side, rgba) && ok;
    }
    return ok;
}
