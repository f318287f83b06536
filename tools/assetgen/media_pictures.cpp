// The four menu pictures: the title (a setting sun over a grid floor behind
// the game's name) and the keyboard, mouse and gamepad control cards. The
// menu screens add them to black, so black is the background and dark paint
// only serves as an outline.
#include "assets/art_layout.h"
#include "assets/asset_list.h"
#include <algorithm>
#include <cmath>

#include "media.h"
#include "procedural.h"

namespace {

// The title is drawn on an 8 x 4 unit quad, about 460 x 230 screen pixels
// when it first appears, so the picture is 2:1 at roughly screen resolution.
const int TITLE_WIDTH = 512;
const int TITLE_HEIGHT = 256;
// The control cards are drawn on 4 x 3 unit quads, about 190 x 140 screen
// pixels: they are painted on a 4:3 canvas and stretched to a square
// power-of-two texture, which the quad squeezes back to 4:3. 256 texels keep
// the single-level texture from skipping strokes when it is shrunk.
const int CARD_WIDTH = KEY_CARD_WIDTH;
const int CARD_PAINT_HEIGHT = KEY_CARD_HEIGHT;
const int CARD_TEXTURE_HEIGHT = 256;
// The controls screen draws the small title over the top half unit of both
// 3-unit-high cards, so their top sixth stays black and the content is
// painted, a little smaller, into the five sixths below.
const int CARD_CLEAR_TOP = KEY_CARD_CLEAR_TOP;
const float CARD_CONTENT_SCALE = 5.0f / 6.0f;

// The title screen writes "Press Enter" over the bottom quarter of the
// picture, near its middle, at every point of the title's flight: the name
// stands above that, and only the grid floor reaches down there.
const int TITLE_HORIZON_Y = 150;
const float TITLE_SUN_CENTRE_X = 256.0f;
const float TITLE_SUN_RADIUS = 84.0f;
const int TITLE_NAME_CENTRE_Y = 50;
const int TITLE_SECOND_WORD_CENTRE_Y = 168;
const int TITLE_GRID_RAYS = 12;           // floor lines running to the vanishing point, each side
const float TITLE_GRID_RAY_SPACING = 70.0f;  // at the bottom edge, pixels
const int TITLE_GRID_ROWS = 7;

// Colour along a list of evenly spaced gradient stops, t in 0..1.
Rgb gradient(const Rgb* stops, int count, float t) {
    t = clamp_unit(t) * (count - 1);
    int i = std::min(static_cast<int>(t), count - 2);
    return mix(stops[i], stops[i + 1], t - i);
}

// The largest pixel size not above `size` at which the text fits `max_width`.
int fit_text_size(const char* font_path, const char* text, int size, int max_width) {
    for (; size > 8; size--) {
        int baseline = 0;
        if (render_text_mask(font_path, size, text, &baseline).width <= max_width) break;
    }
    return size;
}

Canvas stretch_rows(const Canvas& canvas, int height) {
    Canvas out = make_canvas(canvas.width, height);
    for (int y = 0; y < height; y++) {
        float source = (y + 0.5f) * canvas.height / height - 0.5f;
        int y0 = std::max(0, static_cast<int>(std::floor(source)));
        int y1 = std::min(canvas.height - 1, y0 + 1);
        float t = clamp_unit(source - y0);
        for (int x = 0; x < canvas.width; x++) {
            const Rgb& a = canvas.pixel[static_cast<size_t>(y0) * canvas.width + x];
            const Rgb& b = canvas.pixel[static_cast<size_t>(y1) * canvas.width + x];
            out.pixel[static_cast<size_t>(y) * out.width + x] = mix(a, b, t);
        }
    }
    return out;
}

// ---- title -----------------------------------------------------------------

void paint_sun(Canvas& canvas) {
    const Rgb stops[] = {{1.0f, 0.92f, 0.35f}, {1.0f, 0.55f, 0.12f}, {0.85f, 0.16f, 0.38f}};
    const float top = TITLE_HORIZON_Y - TITLE_SUN_RADIUS;
    for (int y = 0; y < TITLE_HORIZON_Y; y++) {
        for (int x = 0; x < canvas.width; x++) {
            float dx = x + 0.5f - TITLE_SUN_CENTRE_X, dy = y + 0.5f - TITLE_HORIZON_Y;
            float d = std::sqrt(dx * dx + dy * dy);
            float halo = 0.28f * std::exp(-std::max(0.0f, d - TITLE_SUN_RADIUS) / 26.0f);
            add_pixel(canvas, x, y, Rgb{1.0f, 0.35f, 0.1f}, halo * (d > TITLE_SUN_RADIUS ? 1.0f : 0.0f));
            float cover = clamp_unit(TITLE_SUN_RADIUS + 0.5f - d);
            if (cover <= 0) continue;
            float t = (y - top) / TITLE_SUN_RADIUS;
            // Dark bands across the lower half, wider toward the horizon.
            if (t > 0.45f) {
                float band = std::fmod(static_cast<float>(TITLE_HORIZON_Y - y), 15.0f);
                float gap = 1.0f + (t - 0.45f) * 14.0f;
                if (band < gap) cover *= clamp_unit(band + 1.0f - gap);
            }
            blend_pixel(canvas, x, y, gradient(stops, 3, t), cover * 0.85f);
        }
    }
}

void paint_grid_floor(Canvas& canvas) {
    const Rgb floor_line = {0.85f, 0.2f, 0.75f};
    const float vanish_x = TITLE_SUN_CENTRE_X, vanish_y = static_cast<float>(TITLE_HORIZON_Y);
    float depth = canvas.height - vanish_y;
    for (int i = -TITLE_GRID_RAYS; i <= TITLE_GRID_RAYS; i++) {
        float bottom_x = vanish_x + i * TITLE_GRID_RAY_SPACING;
        paint_line(canvas, vanish_x + i * 3.0f, vanish_y, bottom_x, static_cast<float>(canvas.height), 1.4f,
                   floor_line);
    }
    for (int k = 1; k <= TITLE_GRID_ROWS; k++) {
        float t = static_cast<float>(k) / TITLE_GRID_ROWS;
        float y = vanish_y + depth * t * t;
        paint_line(canvas, 0, y, static_cast<float>(canvas.width), y, 1.0f + t, floor_line);
    }
    // The floor fades into the haze at the horizon.
    for (int y = TITLE_HORIZON_Y; y < canvas.height; y++) {
        float haze = 1.0f - (y - vanish_y) / depth;
        for (int x = 0; x < canvas.width; x++) blend_pixel(canvas, x, y, Rgb{0.12f, 0.02f, 0.1f}, haze * 0.75f);
    }
    paint_line(canvas, 0, vanish_y, static_cast<float>(canvas.width), vanish_y, 2.5f, Rgb{1.0f, 0.6f, 0.25f});
}

// Big letters with a gradient from top to bottom, a dark outline and a warm
// glow around them.
void paint_title_word(Canvas& canvas, const char* text, int max_width, int start_size, int centre_y,
                      const Rgb* stops, int stop_count, Rgb glow) {
    int size = fit_text_size(FONT_SANS_BOLD_PATH, text, start_size, max_width);
    int baseline = 0;
    const int border = 12;
    Mask mask = pad_mask(render_text_mask(FONT_SANS_BOLD_PATH, size, text, &baseline), border);
    Mask outline = dilate_mask(mask, 4);
    Mask halo = blur_mask(dilate_mask(mask, 5), 4);
    int left = (canvas.width - mask.width) / 2;
    int cap_height = static_cast<int>(size * 0.73f);
    int cap_top = border + baseline - cap_height;
    int top = centre_y - (cap_top + cap_height / 2);
    for (int y = 0; y < mask.height; y++)
        for (int x = 0; x < mask.width; x++) add_pixel(canvas, left + x, top + y, glow, mask_at(halo, x, y) * 0.9f);
    paint_mask(canvas, outline, left, top, Rgb{0.05f, 0.0f, 0.06f}, 1.0f);
    for (int y = 0; y < mask.height; y++) {
        Rgb colour = gradient(stops, stop_count, static_cast<float>(y - cap_top) / cap_height);
        for (int x = 0; x < mask.width; x++) blend_pixel(canvas, left + x, top + y, colour, mask_at(mask, x, y));
    }
}

}  // namespace

Canvas paint_title_backdrop() {
    Canvas canvas = make_canvas(TITLE_WIDTH, TITLE_HEIGHT);
    paint_sun(canvas);
    paint_grid_floor(canvas);
    return canvas;
}

namespace {

bool write_title(const char* dir) {
    Canvas canvas = paint_title_backdrop();
    const Rgb sunset[] = {{1.0f, 0.97f, 0.55f}, {1.0f, 0.62f, 0.1f}, {0.95f, 0.2f, 0.3f}};
    const Rgb dusk[] = {{1.0f, 1.0f, 1.0f}, {1.0f, 0.85f, 0.55f}, {1.0f, 0.5f, 0.45f}};
    // The name above the sun, the second word standing on the floor.
    paint_title_word(canvas, "SUNDOWN", 470, 104, TITLE_NAME_CENTRE_Y, sunset, 3, Rgb{1.0f, 0.35f, 0.05f});
    paint_title_word(canvas, "ARENA", 240, 58, TITLE_SECOND_WORD_CENTRE_Y, dusk, 3, Rgb{0.9f, 0.1f, 0.45f});
    return write_raw(join_path(dir, asset_name(ASSET_TITLE_TEXTURE)), canvas_to_texture(canvas));
}

// ---- control cards ---------------------------------------------------------

const Rgb KEYCAP_BODY = {0.16f, 0.16f, 0.2f};
const Rgb KEYCAP_TOP = {0.3f, 0.3f, 0.36f};
const Rgb KEYCAP_EDGE = {0.85f, 0.85f, 0.92f};
const Rgb MOVE_LABEL = {1.0f, 0.85f, 0.45f};
const Rgb START_LABEL = {0.55f, 1.0f, 0.55f};
const Rgb QUIT_LABEL = {1.0f, 0.5f, 0.42f};

const float KEYCAP_HEIGHT = KEY_CARD_KEYCAP_HEIGHT;  // rows of the card are 26 pixels apart

// A keycap with its legend, or blank when the legend is null.
void paint_keycap(Canvas& canvas, float centre_x, float centre_y, float width, const char* legend) {
    const float height = KEYCAP_HEIGHT, radius = 5.0f;
    float x0 = centre_x - width / 2, x1 = centre_x + width / 2;
    float y0 = centre_y - height / 2, y1 = centre_y + height / 2;
    paint_round_rect(canvas, x0, y0, x1, y1, radius, 0, KEYCAP_BODY, true);
    paint_round_rect(canvas, x0 + 3, y0 + 2, x1 - 3, y1 - 5, radius - 2, 0, KEYCAP_TOP, true);
    paint_round_rect(canvas, x0, y0, x1, y1, radius, 1.6f, KEYCAP_EDGE, false);
    if (!legend) return;
    int size = fit_text_size(FONT_SANS_BOLD_PATH, legend, 16, static_cast<int>(width) - 8);
    paint_label(canvas, FONT_SANS_BOLD_PATH, size, legend, static_cast<int>(centre_x),
                static_cast<int>(centre_y) - KEY_CARD_LEGEND_LIFT, Rgb{1, 1, 1});
}

struct KeyRow {
    const char* legend;  // text on the keycap; none on the movement keys
    float keycap_width;  // pixels on the 256 x 192 card
    const char* meaning;
    Rgb colour;
};

// The movement keys are taken by their place on the keyboard, and what is
// printed there depends on the player's layout: their keycaps stay blank
// and the controls screen writes the layout's labels on them.
const KeyRow KEY_ROWS[KEY_CARD_ROWS] = {
    {nullptr, KEY_CARD_MOVE_KEYCAP_WIDTH, "WALK FORWARD", MOVE_LABEL},
    {nullptr, KEY_CARD_MOVE_KEYCAP_WIDTH, "WALK BACK", MOVE_LABEL},
    {nullptr, KEY_CARD_MOVE_KEYCAP_WIDTH, "STRAFE LEFT", MOVE_LABEL},
    {nullptr, KEY_CARD_MOVE_KEYCAP_WIDTH, "STRAFE RIGHT", MOVE_LABEL},
    {"Enter", 56, "START", START_LABEL},
    {"Esc", 44, "QUIT", QUIT_LABEL},
};

bool write_keyboard_card(const char* dir) {
    Canvas canvas = make_canvas(CARD_WIDTH, CARD_PAINT_HEIGHT);
    const int label_left = 76, label_right = CARD_WIDTH - 6;
    int size = 18;
    for (const KeyRow& row : KEY_ROWS)
        size = std::min(size, fit_text_size(FONT_SANS_BOLD_PATH, row.meaning, size, label_right - label_left));
    for (int i = 0; i < KEY_CARD_ROWS; i++) {
        const KeyRow& row = KEY_ROWS[i];
        int centre_y = key_card_row_centre_y(i);
        paint_keycap(canvas, KEY_CARD_KEYCAP_X, centre_y, row.keycap_width, row.legend);
        paint_label_left(canvas, FONT_SANS_BOLD_PATH, size, row.meaning, label_left, centre_y, row.colour);
    }
    Canvas texture = stretch_rows(canvas, CARD_TEXTURE_HEIGHT);
    return write_raw(join_path(dir, asset_name(ASSET_KEYBOARD_CONTROLS_TEXTURE)), canvas_to_texture(texture));
}

void paint_arrow(Canvas& canvas, float x0, float y0, float x1, float y1, float thickness, Rgb colour) {
    float dx = x1 - x0, dy = y1 - y0;
    float length = std::sqrt(dx * dx + dy * dy);
    float ux = dx / length, uy = dy / length;
    const float head = thickness * 2.6f;
    paint_line(canvas, x0 + ux * head * 0.5f, y0 + uy * head * 0.5f, x1 - ux * head * 0.5f, y1 - uy * head * 0.5f,
               thickness, colour);
    // Two-headed: a chevron at each end.
    for (int end = 0; end < 2; end++) {
        float tx = end ? x1 : x0, ty = end ? y1 : y0;
        float sx = end ? -ux : ux, sy = end ? -uy : uy;  // pointing back along the shaft
        paint_line(canvas, tx, ty, tx + sx * head - sy * head * 0.8f, ty + sy * head + sx * head * 0.8f, thickness,
                   colour);
        paint_line(canvas, tx, ty, tx + sx * head + sy * head * 0.8f, ty + sy * head - sx * head * 0.8f, thickness,
                   colour);
    }
}

const Rgb TURN_COLOUR = {0.4f, 0.85f, 1.0f};
const Rgb CAMERA_COLOUR = {0.55f, 1.0f, 0.55f};
const Rgb FIRE_COLOUR = {1.0f, 0.45f, 0.2f};

void paint_mouse(Canvas& canvas, float x0, float y0, float x1, float y1) {
    const Rgb body = {0.2f, 0.2f, 0.25f}, edge = {0.85f, 0.85f, 0.92f};
    float radius = (x1 - x0) * 0.42f;
    float split_y = y0 + (y1 - y0) * 0.4f, mid_x = (x0 + x1) * 0.5f;
    // The cable rises from the top in a gentle curve.
    float rise = (y1 - y0) * 0.36f, sway = (x1 - x0) * 0.18f;
    for (int i = 0; i < 12; i++) {
        float a = i / 12.0f, b = (i + 1) / 12.0f;
        paint_line(canvas, mid_x + std::sin(a * 3.0f) * sway, y0 - a * rise, mid_x + std::sin(b * 3.0f) * sway,
                   y0 - b * rise, 2.2f, edge);
    }
    paint_round_rect(canvas, x0, y0, x1, y1, radius, 0, body, true);
    // The left button lit in the fire colour: the one that shoots.
    Canvas button = make_canvas(canvas.width, canvas.height);
    paint_round_rect(button, x0, y0, x1, y1, radius, 0, Rgb{1, 1, 1}, true);
    for (int y = 0; y < canvas.height; y++) {
        for (int x = 0; x < canvas.width; x++) {
            float inside = button.pixel[static_cast<size_t>(y) * canvas.width + x].r;
            float in_button = clamp_unit(split_y - (y + 0.5f) + 0.5f) * clamp_unit(mid_x - (x + 0.5f) + 0.5f);
            blend_pixel(canvas, x, y, FIRE_COLOUR, inside * in_button);
        }
    }
    paint_line(canvas, x0 + 2, split_y, x1 - 2, split_y, 1.6f, edge);
    paint_line(canvas, mid_x, y0 + 1, mid_x, split_y, 1.6f, edge);
    paint_round_rect(canvas, x0, y0, x1, y1, radius, 2.0f, edge, false);
}

// Places the mouse card's layout, drawn for the whole 256 x 192 card, in the
// part below the clear top: shrunk about the card's horizontal centre.
struct CardFrame {
    float x(float card_x) const { return CARD_WIDTH * 0.5f + (card_x - CARD_WIDTH * 0.5f) * CARD_CONTENT_SCALE; }
    float y(float card_y) const { return CARD_CLEAR_TOP + card_y * CARD_CONTENT_SCALE; }
    float size(float card_size) const { return card_size * CARD_CONTENT_SCALE; }
};

bool write_mouse_card(const char* dir) {
    Canvas canvas = make_canvas(CARD_WIDTH, CARD_PAINT_HEIGHT);
    const CardFrame f;
    // The mouse with its two motions around it, on the left half.
    paint_mouse(canvas, f.x(26), f.y(50), f.x(82), f.y(140));
    paint_arrow(canvas, f.x(10), f.y(164), f.x(98), f.y(164), f.size(3.2f), TURN_COLOUR);
    paint_arrow(canvas, f.x(104), f.y(62), f.x(104), f.y(134), f.size(3.2f), CAMERA_COLOUR);

    // The legend on the right half, each line marked in its motion's colour.
    const float icon_x = 134, text_left = 152, text_right = CARD_WIDTH - 6;
    const int legend_width = static_cast<int>(f.x(text_right) - f.x(text_left));
    const int start_size = static_cast<int>(f.size(22));
    int size = std::min(fit_text_size(FONT_SANS_BOLD_PATH, "CAMERA", start_size, legend_width),
                        fit_text_size(FONT_SANS_BOLD_PATH, "HEIGHT", start_size, legend_width));
    const int left = static_cast<int>(f.x(text_left));
    paint_arrow(canvas, f.x(icon_x - 12), f.y(30), f.x(icon_x + 10), f.y(30), f.size(2.6f), TURN_COLOUR);
    paint_label_left(canvas, FONT_SANS_BOLD_PATH, size, "TURN", left, static_cast<int>(f.y(30)), TURN_COLOUR);
    paint_arrow(canvas, f.x(icon_x), f.y(76), f.x(icon_x), f.y(114), f.size(2.6f), CAMERA_COLOUR);
    paint_label_left(canvas, FONT_SANS_BOLD_PATH, size, "CAMERA", left, static_cast<int>(f.y(84)), CAMERA_COLOUR);
    paint_label_left(canvas, FONT_SANS_BOLD_PATH, size, "HEIGHT", left, static_cast<int>(f.y(108)), CAMERA_COLOUR);
    paint_mouse(canvas, f.x(icon_x - 10), f.y(150), f.x(icon_x + 10), f.y(180));
    paint_label_left(canvas, FONT_SANS_BOLD_PATH, size, "FIRE", left, static_cast<int>(f.y(164)), FIRE_COLOUR);

    Canvas texture = stretch_rows(canvas, CARD_TEXTURE_HEIGHT);
    return write_raw(join_path(dir, asset_name(ASSET_MOUSE_CONTROLS_TEXTURE)), canvas_to_texture(texture));
}

// ---- gamepad card ----------------------------------------------------------

const Rgb PAD_BODY = {0.2f, 0.2f, 0.25f};
const Rgb PAD_EDGE = {0.85f, 0.85f, 0.92f};
const Rgb PAD_IDLE = {0.38f, 0.38f, 0.44f};  // a control the game does not use

// A box drawn as an outline by painting it grown by the edge's width first:
// boxes painted one after another so merge into one outlined shape.
struct Box {
    float x0, y0, x1, y1, radius;
};

void paint_outlined_boxes(Canvas& canvas, const Box* boxes, int count, Rgb fill, float edge_width) {
    for (int i = 0; i < count; i++) {
        const Box& b = boxes[i];
        paint_round_rect(canvas, b.x0 - edge_width, b.y0 - edge_width, b.x1 + edge_width, b.y1 + edge_width,
                         b.radius + edge_width, 0, PAD_EDGE, true);
    }
    for (int i = 0; i < count; i++) {
        const Box& b = boxes[i];
        paint_round_rect(canvas, b.x0, b.y0, b.x1, b.y1, b.radius, 0, fill, true);
    }
}

void paint_disc(Canvas& canvas, float x, float y, float radius, Rgb colour) {
    paint_round_rect(canvas, x - radius, y - radius, x + radius, y + radius, radius, 0, colour, true);
}

// A stick seen from above: its ring in the colour of what it does, the cap
// inside, and a letter on the cap when one is given.
void paint_stick(Canvas& canvas, float x, float y, float radius, Rgb colour, const char* letter) {
    paint_disc(canvas, x, y, radius, colour);
    paint_disc(canvas, x, y, radius - 3, PAD_BODY);
    paint_disc(canvas, x, y, radius - 5, KEYCAP_TOP);
    if (letter) paint_label(canvas, FONT_SANS_BOLD_PATH, 12, letter, static_cast<int>(x), static_cast<int>(y), PAD_EDGE);
}

void paint_dpad(Canvas& canvas, float x, float y, float size, Rgb colour) {
    const float arm = size / 2, half_width = size / 6;
    const Box cross[] = {{x - arm, y - half_width, x + arm, y + half_width, 2},
                         {x - half_width, y - arm, x + half_width, y + arm, 2}};
    paint_outlined_boxes(canvas, cross, 2, colour, 1.5f);
}

// The pad in the right half, each control the game uses lit in the colour
// of its row; a generic pad, since its type is known only when it is used.
void paint_pad(Canvas& canvas) {
    const Box left_shoulder[] = {{300, 52, 344, 64, 5}, {296, 62, 352, 74, 5}};
    const Box right_shoulder[] = {{424, 52, 468, 64, 5}, {416, 62, 472, 74, 5}};
    paint_outlined_boxes(canvas, left_shoulder, 2, PAD_IDLE, 1.5f);
    paint_outlined_boxes(canvas, right_shoulder, 2, FIRE_COLOUR, 1.5f);
    const Box body[] = {{286, 68, 482, 142, 32}, {288, 96, 352, 184, 30}, {416, 96, 480, 184, 30}};
    paint_outlined_boxes(canvas, body, 3, PAD_BODY, 2.0f);

    paint_stick(canvas, 326, 102, 14, MOVE_LABEL, nullptr);
    paint_dpad(canvas, 358, 140, 28, MOVE_LABEL);
    paint_stick(canvas, 410, 140, 14, TURN_COLOUR, nullptr);
    const float face_x = 444, face_y = 102, spread = 14, button = 6.5f;
    paint_disc(canvas, face_x, face_y - spread, button, PAD_IDLE);
    paint_disc(canvas, face_x - spread, face_y, button, PAD_IDLE);
    paint_disc(canvas, face_x + spread, face_y, button, PAD_IDLE);
    paint_disc(canvas, face_x, face_y + spread, button, START_LABEL);  // the confirm button, bottom
    paint_round_rect(canvas, 364, 96, 378, 104, 4, 0, QUIT_LABEL, true);   // Back
    paint_round_rect(canvas, 390, 96, 404, 104, 4, 0, START_LABEL, true);  // Start
}

struct PadRow {
    const char* meaning;
    Rgb colour;
};
const PadRow PAD_ROWS[PAD_CARD_ROWS] = {
    {"WALK, STRAFE", MOVE_LABEL}, {"TURN, CAMERA", TURN_COLOUR}, {"FIRE", FIRE_COLOUR},
    {"START", START_LABEL},       {"HOLD TO QUIT", QUIT_LABEL},
};

bool write_pad_card(const char* dir) {
    Canvas canvas = make_canvas(PAD_CARD_WIDTH, PAD_CARD_HEIGHT);
    const int label_left = PAD_CARD_BADGE_X + PAD_CARD_BADGE_WIDTH / 2 + 12, label_right = PAD_CARD_WIDTH / 2 - 6;
    int size = 18;
    for (const PadRow& row : PAD_ROWS)
        size = std::min(size, fit_text_size(FONT_SANS_BOLD_PATH, row.meaning, size, label_right - label_left));
    const float stick_radius = KEYCAP_HEIGHT / 2;
    // The left stick or the D-pad walks, the right stick turns; the other
    // rows' badges are named by the controls screen.
    paint_stick(canvas, PAD_CARD_BADGE_X - 18, pad_card_row_centre_y(0), stick_radius, MOVE_LABEL, "L");
    paint_dpad(canvas, PAD_CARD_BADGE_X + 18, pad_card_row_centre_y(0), KEYCAP_HEIGHT, MOVE_LABEL);
    paint_stick(canvas, PAD_CARD_BADGE_X, pad_card_row_centre_y(1), stick_radius, TURN_COLOUR, "R");
    for (int i = 0; i < PAD_CARD_ROWS; i++) {
        const int centre_y = pad_card_row_centre_y(i);
        if (i >= PAD_CARD_FIRST_BADGE_ROW) paint_keycap(canvas, PAD_CARD_BADGE_X, centre_y, PAD_CARD_BADGE_WIDTH, nullptr);
        paint_label_left(canvas, FONT_SANS_BOLD_PATH, size, PAD_ROWS[i].meaning, label_left, centre_y,
                         PAD_ROWS[i].colour);
    }
    paint_pad(canvas);
    Canvas texture = stretch_rows(canvas, CARD_TEXTURE_HEIGHT);
    return write_raw(join_path(dir, asset_name(ASSET_PAD_CONTROLS_TEXTURE)), canvas_to_texture(texture));
}

}  // namespace

bool write_menu_pictures(const char* dir) {
    bool ok = write_title(dir);
    ok = write_keyboard_card(dir) && ok;
    ok = write_mouse_card(dir) && ok;
    ok = write_pad_card(dir) && ok;
    return ok;
}
