// The three light presets: the globals and what OpenGL holds afterwards.
#include "render_fixtures.h"

#include <string>
#include <utility>

namespace {

struct ExpectedLight {
    float ambient[4], diffuse[4], position[4];
};

void expect_light(const ExpectedLight& e, const char* name) {
    float ambient[4], diffuse[4], position[4];
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glGetLightfv(GL_LIGHT0, GL_POSITION, position);
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(light_ambient[i], e.ambient[i]) << name << i;
        EXPECT_EQ(light_diffuse[i], e.diffuse[i]) << name << i;
        EXPECT_EQ(light_position[i], e.position[i]) << name << i;
        EXPECT_FLOAT_EQ(ambient[i], e.ambient[i]) << name << i;
        EXPECT_FLOAT_EQ(diffuse[i], e.diffuse[i]) << name << i;
        EXPECT_NEAR(position[i], e.position[i], 1e-6f) << name << i;
    }
}

const ExpectedLight DAWN = {{1.5f, 1.5f, 1.5f, 1}, {0.7f, 0.7f, 0.8f, 1}, {-0.75f, 0, 0.33f, 0}};
const ExpectedLight SUNSET = {{1.5f, 1.5f, 1.5f, 1}, {1.3f, 0.8f, 0, 1}, {0.7f, -0.75f, 0.33f, 0}};
const ExpectedLight NIGHT = {{0.5f, 0.5f, 0.5f, 1}, {1, 1, 1, 1}, {0, 0.75f, 0.33f, 0}};

TEST(Lighting, PresetsSetTheGlobalsAndTheLight) {
    require_test_display();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();  // the position is read back as sent
    apply_sunset_light();
    expect_light(SUNSET, "sunset ");
    apply_night_light();
    expect_light(NIGHT, "night ");
    apply_dawn_light();
    apply_dawn_light();
    expect_light(DAWN, "dawn twice ");

    // -1 and 3 are no preset: nothing changes.
    const std::pair<int, const ExpectedLight*> presets[] = {
        {1, &SUNSET}, {2, &NIGHT}, {-1, &NIGHT}, {3, &NIGHT}, {0, &DAWN}};
    for (const auto& preset : presets) {
        apply_light_preset(preset.first);
        expect_light(*preset.second, ("preset " + std::to_string(preset.first) + " ").c_str());
    }
}

}  // namespace
