// The painting canvas of the menu pictures: blending, anti-aliased shapes and
// labels, and the conversion to a RAW texture in the row order the menu quads
// expect.
#include <algorithm>
#include <cmath>

#include "media.h"
#include "procedural.h"

namespace {

// Anti-aliasing: coverage of a pixel whose centre lies `distance` outside an
// edge (negative inside).
float edge_coverage(float distance) {
    return clamp_unit(0.5f - distance);
}

// Signed distance from (px, py) to a rounded rectangle, negative inside.
float round_rect_distance(float px, float py, float x0, float y0, float x1, float y1, float radius) {
    float cx = (x0 + x1) * 0.5f, cy = (y0 + y1) * 0.5f;
    float hx = (x1 - x0) * 0.5f - radius, hy = (y1 - y0) * 0.5f - radius;
    float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
    float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
}

const float LABEL_OUTLINE_PER_PIXEL_SIZE = 1.0f / 14.0f;  // outline radius per font pixel size

}  // namespace

Canvas make_canvas(int width, int height) {
    Canvas canvas;
    canvas.width = width;
    canvas.height = height;
    canvas.pixel.assign(static_cast<size_t>(width) * height, Rgb{0, 0, 0});
    return canvas;
}

void blend_pixel(Canvas& canvas, int x, int y, Rgb colour, float opacity) {
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height || opacity <= 0) return;
    opacity = clamp_unit(opacity);
    Rgb& p = canvas.pixel[static_cast<size_t>(y) * canvas.width + x];
    p.r += (colour.r - p.r) * opacity;
    p.g += (colour.g - p.g) * opacity;
    p.b += (colour.b - p.b) * opacity;
}

void add_pixel(Canvas& canvas, int x, int y, Rgb colour, float amount) {
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height || amount <= 0) return;
    Rgb& p = canvas.pixel[static_cast<size_t>(y) * canvas.width + x];
    p.r += colour.r * amount;
    p.g += colour.g * amount;
    p.b += colour.b * amount;
}

void paint_mask(Canvas& canvas, const Mask& mask, int left, int top, Rgb colour, float opacity) {
    for (int y = 0; y < mask.height; y++)
        for (int x = 0; x < mask.width; x++)
            blend_pixel(canvas, left + x, top + y, colour, mask_at(mask, x, y) * opacity);
}

static int paint_label_at(Canvas& canvas, const char* font_path, int pixel_size, const char* text, int left,
                          int centre_y, Rgb colour, bool centred) {
    int baseline = 0;
    Mask mask = render_text_mask(font_path, pixel_size, text, &baseline);
    if (mask.width == 0) return 0;
    int border = std::max(1, static_cast<int>(pixel_size * LABEL_OUTLINE_PER_PIXEL_SIZE + 0.5f));
    Mask padded = pad_mask(mask, border);
    Mask outline = dilate_mask(padded, border);
    int x = centred ? left - mask.width / 2 : left;
    // Centre on the capital height rather than the whole cell, so labels sit
    // level with the keycaps and icons beside them.
    int cap_middle = baseline - static_cast<int>(pixel_size * 0.36f);
    int y = centre_y - cap_middle;
    paint_mask(canvas, outline, x - border, y - border, Rgb{0, 0, 0}, 1.0f);
    paint_mask(canvas, mask, x, y, colour, 1.0f);
    return mask.width;
}

int paint_label(Canvas& canvas, const char* font_path, int pixel_size, const char* text, int centre_x,
                int centre_y, Rgb colour) {
    return paint_label_at(canvas, font_path, pixel_size, text, centre_x, centre_y, colour, true);
}

int paint_label_left(Canvas& canvas, const char* font_path, int pixel_size, const char* text, int left,
                     int centre_y, Rgb colour) {
    return paint_label_at(canvas, font_path, pixel_size, text, left, centre_y, colour, false);
}

void fill_rect(Canvas& canvas, int x0, int y0, int x1, int y1, Rgb colour, float opacity) {
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++) blend_pixel(canvas, x, y, colour, opacity);
}

void paint_round_rect(Canvas& canvas, float x0, float y0, float x1, float y1, float radius, float thickness,
                      Rgb colour, bool filled) {
    int ix0 = static_cast<int>(std::floor(x0)) - 1, iy0 = static_cast<int>(std::floor(y0)) - 1;
    int ix1 = static_cast<int>(std::ceil(x1)) + 1, iy1 = static_cast<int>(std::ceil(y1)) + 1;
    for (int y = iy0; y <= iy1; y++) {
        for (int x = ix0; x <= ix1; x++) {
            float d = round_rect_distance(x + 0.5f, y + 0.5f, x0, y0, x1, y1, radius);
            float cover = filled ? edge_coverage(d)
                                 : edge_coverage(std::fabs(d + thickness * 0.5f) - thickness * 0.5f);
            blend_pixel(canvas, x, y, colour, cover);
        }
    }
}

void paint_line(Canvas& canvas, float x0, float y0, float x1, float y1, float thickness, Rgb colour) {
    float half = thickness * 0.5f;
    int ix0 = static_cast<int>(std::floor(std::min(x0, x1) - half)) - 1;
    int ix1 = static_cast<int>(std::ceil(std::max(x0, x1) + half)) + 1;
    int iy0 = static_cast<int>(std::floor(std::min(y0, y1) - half)) - 1;
    int iy1 = static_cast<int>(std::ceil(std::max(y0, y1) + half)) + 1;
    float dx = x1 - x0, dy = y1 - y0;
    float length_sq = dx * dx + dy * dy;
    for (int y = iy0; y <= iy1; y++) {
        for (int x = ix0; x <= ix1; x++) {
            float px = x + 0.5f - x0, py = y + 0.5f - y0;
            float t = length_sq > 0 ? clamp_unit((px * dx + py * dy) / length_sq) : 0.0f;
            float ex = px - t * dx, ey = py - t * dy;
            blend_pixel(canvas, x, y, colour, edge_coverage(std::sqrt(ex * ex + ey * ey) - half));
        }
    }
}

Image canvas_to_texture(const Canvas& canvas) {
    Image image = make_image(canvas.width, canvas.height);
    for (int y = 0; y < canvas.height; y++) {
        int texture_row = canvas.height - 1 - y;  // the picture's bottom row goes first
        for (int x = 0; x < canvas.width; x++) {
            const Rgb& p = canvas.pixel[static_cast<size_t>(y) * canvas.width + x];
            set_pixel(image, x, texture_row, to_byte(p.r), to_byte(p.g), to_byte(p.b), 255);
        }
    }
    return image;
}
