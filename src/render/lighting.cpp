// The three lights of the day: dawn, sunset and night. One OpenGL light,
// GL_LIGHT0, directional (w = 0); the model passes re-send its position
// after every camera set-up so the light stays fixed in the world.
#include <GL/gl.h>

#include <cstring>

#include "render/render.h"

float light_ambient[4];
float light_diffuse[4];
float light_position[4];

enum {
    LIGHT_PRESET_DAWN = 0,
    LIGHT_PRESET_SUNSET = 1,
    LIGHT_PRESET_NIGHT = 2,
};

struct LightPreset {
    float ambient[4];
    float diffuse[4];
    float position[4];  // direction the light comes from, w = 0
};

static const LightPreset DAWN_LIGHT = {
    {1.5f, 1.5f, 1.5f, 1.0f},     // bright cool ambient
    {0.7f, 0.7f, 0.8f, 1.0f},     // white-blue
    {-0.75f, 0.0f, 0.33f, 0.0f},  // low, from -x
};
static const LightPreset SUNSET_LIGHT = {
    {1.5f, 1.5f, 1.5f, 1.0f},
    {1.3f, 0.8f, 0.0f, 1.0f},     // orange, no blue
    {0.7f, -0.75f, 0.33f, 0.0f},  // low, from +x -y
};
static const LightPreset NIGHT_LIGHT = {
    {0.5f, 0.5f, 0.5f, 1.0f},     // dim
    {1.0f, 1.0f, 1.0f, 1.0f},
    {0.0f, 0.75f, 0.33f, 0.0f},   // low, from +y
};

static void apply_light(const LightPreset& preset) {
    std::memcpy(light_ambient, preset.ambient, sizeof light_ambient);
    std::memcpy(light_diffuse, preset.diffuse, sizeof light_diffuse);
    std::memcpy(light_position, preset.position, sizeof light_position);
    glLightfv(GL_LIGHT0, GL_AMBIENT, light_ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, light_diffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, light_position);
}

void apply_dawn_light() { apply_light(DAWN_LIGHT); }
void apply_sunset_light() { apply_light(SUNSET_LIGHT); }
void apply_night_light() { apply_light(NIGHT_LIGHT); }

void apply_light_preset(int preset) {
    switch (preset) {
    case LIGHT_PRESET_DAWN: apply_dawn_light(); break;
    case LIGHT_PRESET_SUNSET: apply_sunset_light(); break;
    case LIGHT_PRESET_NIGHT: apply_night_light(); break;
    default: break;  // not a preset: the light stays as it is
    }
}
