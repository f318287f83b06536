// View-volume planes taken from the OpenGL matrices, and the point test.
#include "render_fixtures.h"

#include <cmath>

namespace {

TEST(Frustum, IdentityMatricesGiveTheUnitCube) {
    require_test_display();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    extract_frustum();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    const float expected[6][4] = {
        {-1, 0, 0, 1},  // right: x < 1
        {1, 0, 0, 1},   // left: x > -1
        {0, 1, 0, 1},   // bottom
        {0, -1, 0, 1},  // top
        {0, 0, -1, 1},  // far
        {0, 0, 1, 1},   // near
    };
    for (int i = 0; i < 6; i++) {
        for (int c = 0; c < 4; c++) EXPECT_FLOAT_EQ(frustum_planes[i][c], expected[i][c]) << i << "," << c;
    }
    EXPECT_EQ(point_in_frustum(0, 0, 0), 1);
    EXPECT_EQ(point_in_frustum(0.99f, -0.99f, 0.5f), 1);
    EXPECT_EQ(point_in_frustum(1, 0, 0), 0);   // on the right plane is outside
    EXPECT_EQ(point_in_frustum(0, 0, -1), 0);  // on the near plane too
    EXPECT_EQ(point_in_frustum(0, 0, std::nanf("")), 0);
}

TEST(Frustum, GameProjectionRejectsPointsBeforeTheNearPlaneAndBeyondTheFar) {
    require_test_display();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();  // eye at the origin looking down -z
    extract_frustum();
    for (int i = 0; i < 6; i++) {
        const float* p = frustum_planes[i];
        EXPECT_NEAR(p[0] * p[0] + p[1] * p[1] + p[2] * p[2], 1.0f, 1e-5f) << "plane " << i;
    }
    EXPECT_EQ(point_in_frustum(0, 0, -5), 1);
    EXPECT_EQ(point_in_frustum(0, 0, -999), 1);
    EXPECT_EQ(point_in_frustum(0, 0, -0.25f), 0);  // between the eye and the near plane
    EXPECT_EQ(point_in_frustum(0, 0, 5), 0);       // behind the eye
    EXPECT_EQ(point_in_frustum(0, 0, -1001), 0);   // beyond the far distance
    EXPECT_EQ(point_in_frustum(0, 4.5f, -10), 0);  // above the 45-degree view
    EXPECT_EQ(point_in_frustum(5.0f, 0, -10), 1);  // the view is wider than tall
    EXPECT_EQ(point_in_frustum(5.8f, 0, -10), 0);
}

TEST(Frustum, PlanesFollowTheModelTransform) {
    require_test_display();
    set_camera(0, -10, 0, 0, 0, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, -10, 0, 0, 0, 0, 0, 0, 1);
    glTranslatef(100, 0, 0);
    extract_frustum();
    // In the coordinates of a model placed at x = 100 its own origin is far
    // to the right, and the world origin is at x = -100.
    EXPECT_EQ(point_in_frustum(0, 0, 0), 0);
    EXPECT_EQ(point_in_frustum(-100, 0, 0), 1);
}

}  // namespace
