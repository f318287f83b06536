// The depth-sorted pass: faces the model renderer set aside (translucent
// parts of the arena and the figures) are bucket-sorted by their mean
// distance from the camera and drawn far to near, blended, from both sides.
#include <GL/gl.h>

#include <algorithm>
#include <cassert>
#include <cmath>

#include "assets/asset_table.h"
#include "game/game.h"
#include "render/render.h"
#include "render/render_local.h"

DeferredFace* deferred_faces;
uint16_t deferred_face_count;
int32_t* depth_buckets;

enum {
    EMPTY_BUCKET = -1,
    END_OF_CHAIN = -1,
};

// Sum of three depths times 10/3: ten buckets per unit of mean depth.
static const float DEPTH_SUM_TO_BUCKET = 3.3333335f;
static const float DEGREES_TO_RADIANS = 3.14159265358979f / 180.0f;

struct Vector3 {
    float x, y, z;
};

static Vector3 subtract(Vector3 a, Vector3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
static float dot(Vector3 a, Vector3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
static Vector3 cross(Vector3 a, Vector3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
static Vector3 normalized(Vector3 v) {
    const float length = std::sqrt(dot(v, v));
    if (length == 0.0f) return v;
    return {v.x / length, v.y / length, v.z / length};
}

// The camera as gluLookAt builds it: right, up and forward unit vectors.
struct CameraFrame {
    Vector3 eye, right, up, forward;
};

static CameraFrame make_camera_frame() {
    CameraFrame frame;
    frame.eye = {camera_eye_x, camera_eye_y, camera_eye_z};
    const Vector3 target = {camera_target_x, camera_target_y, camera_target_z};
    frame.forward = normalized(subtract(target, frame.eye));
    frame.right = normalized(cross(frame.forward, Vector3{0.0f, 0.0f, camera_up_z}));
    frame.up = cross(frame.right, frame.forward);
    return frame;
}

// Model-to-world turn of a record: about x, then y, then z (degrees).
struct Turn {
    float m[3][3];
};

static Turn make_turn(float angle_x, float angle_y, float angle_z) {
    const float ax = angle_x * DEGREES_TO_RADIANS, ay = angle_y * DEGREES_TO_RADIANS,
                az = angle_z * DEGREES_TO_RADIANS;
    const float cx = std::cos(ax), sx = std::sin(ax);
    const float cy = std::cos(ay), sy = std::sin(ay);
    const float cz = std::cos(az), sz = std::sin(az);
    // Rz * Ry * Rx
    Turn turn = {{
        {cz * cy, cz * sy * sx - sz * cx, cz * sy * cx + sz * sx},
        {sz * cy, sz * sy * sx + cz * cx, sz * sy * cx - cz * sx},
        {-sy, cy * sx, cy * cx},
    }};
    return turn;
}

static bool same_transform(const DeferredFace& a, const DeferredFace& b) {
    return a.angle_x == b.angle_x && a.angle_y == b.angle_y && a.angle_z == b.angle_z && a.x == b.x &&
           a.y == b.y && a.z == b.z;
}

static void place_in_camera_space(DeferredFace* record, const Turn& turn, const CameraFrame& camera) {
    for (int k = 0; k < 3; k++) {
        const float* c = record->corner[k];
        const Vector3 world = {
            turn.m[0][0] * c[0] + turn.m[0][1] * c[1] + turn.m[0][2] * c[2] + record->x,
            turn.m[1][0] * c[0] + turn.m[1][1] * c[1] + turn.m[1][2] * c[2] + record->y,
            turn.m[2][0] * c[0] + turn.m[2][1] * c[1] + turn.m[2][2] * c[2] + record->z,
        };
        const Vector3 relative = subtract(world, camera.eye);
        record->view_corner[k][0] = dot(relative, camera.right);
        record->view_corner[k][1] = dot(relative, camera.up);
        record->view_corner[k][2] = dot(relative, camera.forward);
    }
}

// Puts every valid record into the bucket of its mean depth. The newest
// record goes to the head of its chain, so it is drawn first in its bucket.
static void sort_into_buckets(int count) {
    const CameraFrame camera = make_camera_frame();
    Turn turn = make_turn(0, 0, 0);
    float turn_angles[3] = {0, 0, 0};
    for (int i = 0; i < count; i++) {
        DeferredFace* record = &deferred_faces[i];
        if (record->angle_x != turn_angles[0] || record->angle_y != turn_angles[1] ||
            record->angle_z != turn_angles[2]) {
            turn_angles[0] = record->angle_x;
            turn_angles[1] = record->angle_y;
            turn_angles[2] = record->angle_z;
            turn = make_turn(record->angle_x, record->angle_y, record->angle_z);
        }
        place_in_camera_space(record, turn, camera);
        const float key = (record->view_corner[0][2] + record->view_corner[1][2] + record->view_corner[2][2]) *
                          DEPTH_SUM_TO_BUCKET;
        // Behind the camera, too far, or not a number: not drawn this frame.
        // Tested in floating point, before the conversion could overflow.
        // Keys between -1 and 0 truncate to bucket 0.
        if (!(key > -1.0f && key < static_cast<float>(DEPTH_BUCKET_COUNT))) continue;
        const int bucket = static_cast<int>(key);
        assert(bucket >= 0 && bucket < DEPTH_BUCKET_COUNT);
        record->next = depth_buckets[bucket];
        depth_buckets[bucket] = i;
    }
}

static void draw_record(const DeferredFace& record) {
    glBegin(GL_TRIANGLES);
    for (int k = 0; k < 3; k++) {
        glNormal3fv(record.normal[k]);
        glTexCoord2fv(record.uv[k]);
        glVertex3fv(record.corner[k]);
    }
    glEnd();
}

void draw_deferred_faces() {
    int count = 0;
    if (depth_buckets) {
        std::fill_n(depth_buckets, static_cast<int>(DEPTH_BUCKET_COUNT), static_cast<int32_t>(EMPTY_BUCKET));
        if (deferred_faces) count = deferred_face_count;
        if (count > DEFERRED_FACE_CAPACITY) count = DEFERRED_FACE_CAPACITY;
        sort_into_buckets(count);
    }

    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor3f(1, 1, 1);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    bind_slot_texture(SLOT_DEFERRED_FACES);
    glEnable(GL_TEXTURE_2D);

    if (count > 0) {
        // The camera and the light are the same for every face: set them up
        // once and start each face's transform from the saved camera.
        apply_camera();
        glLightfv(GL_LIGHT0, GL_POSITION, light_position);
        float camera_matrix[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, camera_matrix);
        const DeferredFace* placed = nullptr;  // whose transform is on the matrix
        for (int bucket = DEPTH_BUCKET_COUNT - 1; bucket >= 0; bucket--) {
            for (int i = depth_buckets[bucket]; i != END_OF_CHAIN; i = deferred_faces[i].next) {
                const DeferredFace& record = deferred_faces[i];
                if (!placed || !same_transform(*placed, record)) {
                    glLoadMatrixf(camera_matrix);
                    glTranslatef(record.x, record.y, record.z);
                    glRotatef(record.angle_z, 0, 0, 1);
                    glRotatef(record.angle_y, 0, 1, 0);
                    glRotatef(record.angle_x, 1, 0, 0);
                    placed = &record;
                }
                draw_record(record);
            }
        }
    }

    glDisable(GL_BLEND);
    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
}
