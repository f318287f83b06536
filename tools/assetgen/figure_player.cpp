// The player figure: a helmeted soldier with a backpack, holding a rifle
// in both hands in front of him, and his skeleton with the standing,
// running, strafing and backing clips.
//
// Model space: z up, feet on z = 0, the figure faces -y and its right hand
// is on the -x side. Right-side parts are built once and mirrored.
#include <cmath>

#include "figures.h"
#include "procedural.h"

namespace {

enum PlayerBone {
    BONE_PELVIS,       // root
    BONE_CHEST,
    BONE_HEAD,
    BONE_UPPER_ARM_R,
    BONE_FOREARM_R,
    BONE_UPPER_ARM_L,
    BONE_FOREARM_L,
    BONE_RIFLE,        // follows the chest; both hands stay on it
    BONE_THIGH_R,
    BONE_SHIN_R,
    BONE_FOOT_R,
    BONE_THIGH_L,
    BONE_SHIN_L,
    BONE_FOOT_L,
    PLAYER_BONE_COUNT
};

// Joints (right side; the left mirrors x). They are the bone pivots too.
const Vec3 HIP_CENTER = {0.0f, 0.0f, 0.98f};
const Vec3 WAIST = {0.0f, 0.0f, 1.08f};
const Vec3 NECK = {0.0f, 0.01f, 1.62f};
const Vec3 SHOULDER_R = {-0.29f, 0.0f, 1.50f};
const Vec3 SHOULDER_L = {0.29f, 0.0f, 1.50f};
const Vec3 ELBOW_R = {-0.38f, 0.02f, 1.17f};
const Vec3 WRIST_R = {-0.17f, -0.24f, 1.19f};
const Vec3 ELBOW_L = {0.24f, -0.25f, 1.22f};
const Vec3 WRIST_L = {0.02f, -0.50f, 1.21f};
const Vec3 HIP_R = {-0.12f, 0.0f, 0.96f};
const Vec3 KNEE_R = {-0.13f, -0.01f, 0.53f};
const Vec3 ANKLE_R = {-0.13f, 0.02f, 0.11f};

// The rifle lies along -y, a little right of the middle, at chest height.
const float RIFLE_X = -0.11f;
const float RIFLE_BORE_Z = 1.28f;
const Vec3 RIFLE_GRIP = {RIFLE_X, -0.30f, 1.20f};


Ring ring(float x, float y, float z, float side, float depth, int bone) {
    return Ring{vec3(x, y, z), side, depth, static_cast<int16_t>(bone)};
}

void add_torso(Mesh& mesh) {
    Loft pelvis = make_loft(PLAYER_TEXTURE_BODY, 8, LOFT_ROUND, FRONT, BODY_TROUSERS, BODY_CAP);
    pelvis.rings = {
        ring(0, 0.0f, 0.84f, 0.17f, 0.115f, BONE_PELVIS),  // crotch
        ring(0, 0.0f, 1.10f, 0.195f, 0.13f, BONE_PELVIS),  // belt
    };
    pelvis.open_ends = OPEN_LAST;  // the belt's top lies inside the jacket
    add_loft(mesh, pelvis);

    Loft chest = make_loft(PLAYER_TEXTURE_BODY, 8, LOFT_ROUND, FRONT, BODY_JACKET, BODY_CAP);
    chest.rings = {
        ring(0, 0.0f, 1.04f, 0.185f, 0.12f, BONE_CHEST),   // waist, tucked into the belt
        ring(0, -0.005f, 1.30f, 0.235f, 0.15f, BONE_CHEST),
        ring(0, 0.01f, 1.53f, 0.235f, 0.135f, BONE_CHEST), // shoulders
        ring(0, 0.01f, 1.62f, 0.12f, 0.085f, BONE_CHEST),  // collar
    };
    chest.open_ends = OPEN_FIRST;  // tucked into the belt
    add_loft(mesh, chest);

    // Backpack and bedroll: what the camera behind the player sees most.
    add_segment(mesh, BONE_CHEST, PLAYER_TEXTURE_BODY, LOFT_BOX, 4, vec3(0, 0.20f, 1.12f), vec3(0, 0.20f, 1.50f),
                0.16f, 0.075f, 0.15f, 0.07f, BACK, BODY_PACK, BODY_WEBBING);
    add_segment(mesh, BONE_CHEST, PLAYER_TEXTURE_BODY, LOFT_ROUND, 6, vec3(-0.16f, 0.19f, 1.55f),
                vec3(0.16f, 0.19f, 1.55f), 0.055f, 0.055f, 0.055f, 0.055f, UP, BODY_ROLL, BODY_CAP);
}

void add_head(Mesh& mesh) {
    add_segment(mesh, BONE_HEAD, PLAYER_TEXTURE_HEAD, LOFT_ROUND, 6, vec3(0, 0.01f, 1.56f), vec3(0, 0.0f, 1.71f),
                0.062f, 0.062f, 0.06f, 0.06f, FRONT, HEAD_SKIN, HEAD_SKIN, OPEN_BOTH);  // from collar into chin

    Loft head = make_loft(PLAYER_TEXTURE_HEAD, 8, LOFT_ROUND, FRONT, HEAD_FACE, HEAD_SKIN);
    head.rings = {
        ring(0, -0.025f, 1.67f, 0.065f, 0.065f, BONE_HEAD),  // chin
        ring(0, -0.012f, 1.74f, 0.097f, 0.108f, BONE_HEAD),  // mouth and jaw
        ring(0, 0.0f, 1.82f, 0.105f, 0.115f, BONE_HEAD),     // eyes
        ring(0, 0.01f, 1.93f, 0.075f, 0.08f, BONE_HEAD),     // crown, under the helmet
    };
    head.open_ends = OPEN_LAST;
    add_loft(mesh, head);
    add_spike(mesh, BONE_HEAD, PLAYER_TEXTURE_HEAD, vec3(0, -0.10f, 1.80f), vec3(0, -0.145f, 1.775f), 0.02f, 3, UP,
              HEAD_SKIN);

    Loft helmet = make_loft(PLAYER_TEXTURE_HEAD, 8, LOFT_ROUND, FRONT, HEAD_HELMET, HEAD_HELMET_TOP);
    helmet.rings = {
        ring(0, -0.005f, 1.835f, 0.135f, 0.15f, BONE_HEAD),  // brim, just above the eyes
        ring(0, 0.005f, 1.95f, 0.127f, 0.137f, BONE_HEAD),
        ring(0, 0.01f, 2.03f, 0.07f, 0.075f, BONE_HEAD),     // top
    };
    add_loft(mesh, helmet);
}

void add_arm(Mesh& mesh, Vec3 shoulder, Vec3 elbow, Vec3 wrist, Vec3 knuckles, int upper_bone, int fore_bone) {
    // The sleeve tapers evenly from the deltoid to the elbow. The elbows never
    // bend (both hands stay on the rifle), so the sleeve's end and the
    // forearm's start stay inside each other, as does the glove's cuff.
    add_segment(mesh, upper_bone, PLAYER_TEXTURE_BODY, LOFT_ROUND, 6, shoulder + vec3(0, 0, 0.02f), elbow, 0.095f,
                0.095f, 0.065f, 0.065f, FRONT, BODY_SLEEVE, BODY_CAP, OPEN_LAST);
    Vec3 start = elbow + (elbow - wrist) * 0.12f;
    add_segment(mesh, fore_bone, PLAYER_TEXTURE_BODY, LOFT_ROUND, 6, start, wrist, 0.068f, 0.068f, 0.05f, 0.05f,
                FRONT, BODY_FORESLEEVE, BODY_CAP, OPEN_FIRST);
    add_segment(mesh, fore_bone, PLAYER_TEXTURE_BODY, LOFT_BOX, 4, wrist, knuckles, 0.04f, 0.05f, 0.035f, 0.045f,
                UP, BODY_GLOVE, BODY_GLOVE, OPEN_FIRST);
}

void add_leg(Mesh& mesh, float side, int thigh_bone, int shin_bone, int foot_bone) {
    Vec3 hip = on_side(HIP_R, side), knee = on_side(KNEE_R, side), ankle = on_side(ANKLE_R, side);
    // The trouser leg tapers evenly from the hip to the knee.
    add_segment(mesh, thigh_bone, PLAYER_TEXTURE_BODY, LOFT_ROUND, 6, hip + vec3(0, 0, 0.03f), knee, 0.10f, 0.105f,
                0.07f, 0.075f, FRONT, BODY_THIGH, BODY_CAP);

    Loft shin = make_loft(PLAYER_TEXTURE_BODY, 6, LOFT_ROUND, FRONT, BODY_SHIN, BODY_CAP);
    shin.rings = {
        ring(knee.x, knee.y, knee.z + 0.03f, 0.07f, 0.075f, shin_bone),
        ring(knee.x, 0.01f, 0.30f, 0.074f, 0.082f, shin_bone),  // calf and boot top
        ring(ankle.x, ankle.y, ankle.z - 0.01f, 0.066f, 0.072f, shin_bone),
    };
    add_loft(mesh, shin);

    // The boot: flat on the floor from heel to toe.
    add_segment(mesh, foot_bone, PLAYER_TEXTURE_BODY, LOFT_BOX, 4, vec3(ankle.x, 0.09f, 0.06f),
                vec3(ankle.x + 0.005f * side, -0.21f, 0.05f), 0.065f, 0.06f, 0.07f, 0.05f, UP, BODY_BOOT,
                BODY_BOOT);
}

void add_rifle(Mesh& mesh) {
    const uint16_t t = PLAYER_TEXTURE_WEAPON;
    const float x = RIFLE_X, z = RIFLE_BORE_Z;
    // Stock, from the butt at the shoulder forward to the receiver.
    add_segment(mesh, BONE_RIFLE, t, LOFT_BOX, 4, vec3(x, -0.10f, z - 0.025f), vec3(x, -0.30f, z), 0.026f, 0.065f,
                0.026f, 0.035f, UP, GUN_STOCK, GUN_DARK, OPEN_LAST);  // ends inside the receiver
    add_segment(mesh, BONE_RIFLE, t, LOFT_BOX, 4, vec3(x, -0.28f, z), vec3(x, -0.56f, z), 0.034f, 0.052f, 0.034f,
                0.048f, UP, GUN_RECEIVER, GUN_DARK);
    // Pistol grip, where the right hand holds, and the magazine ahead of it,
    // both growing out of the receiver.
    add_segment(mesh, BONE_RIFLE, t, LOFT_BOX, 4, vec3(x, -0.32f, z - 0.03f), vec3(x, -0.28f, z - 0.15f), 0.022f,
                0.03f, 0.02f, 0.028f, FRONT, GUN_GRIP, GUN_DARK, OPEN_FIRST);
    add_segment(mesh, BONE_RIFLE, t, LOFT_BOX, 4, vec3(x, -0.44f, z - 0.03f), vec3(x, -0.47f, z - 0.21f), 0.022f,
                0.035f, 0.022f, 0.04f, FRONT, GUN_MAGAZINE, GUN_DARK, OPEN_FIRST);
    // Handguard (the left hand holds it), barrel and muzzle; the barrel's
    // ends lie inside the other two.
    add_segment(mesh, BONE_RIFLE, t, LOFT_ROUND, 6, vec3(x, -0.55f, z + 0.005f), vec3(x, -0.82f, z + 0.005f), 0.04f,
                0.04f, 0.036f, 0.036f, UP, GUN_HANDGUARD, GUN_DARK);
    add_segment(mesh, BONE_RIFLE, t, LOFT_ROUND, 6, vec3(x, -0.81f, z + 0.01f), vec3(x, -1.0f, z + 0.01f), 0.016f,
                0.016f, 0.016f, 0.016f, UP, GUN_BARREL, GUN_DARK, OPEN_BOTH);
    add_segment(mesh, BONE_RIFLE, t, LOFT_ROUND, 6, vec3(x, -0.99f, z + 0.01f), vec3(x, -1.06f, z + 0.01f), 0.023f,
                0.023f, 0.021f, 0.021f, UP, GUN_MUZZLE, GUN_DARK);
}

// ---- animation --------------------------------------------------------------

// Shared by the forward and backward runs: `phase` runs through one stride
// of both legs; `lean_degrees` tips the upper body forward.
Pose running_pose(float phase, float lean_degrees) {
    Pose pose = make_rest_pose(PLAYER_BONE_COUNT);
    const float a = 2.0f * PI * phase;
    const float s = std::sin(a);

    // Legs swing about the hip (negative x turns a hanging limb forward),
    // the knee folds most while the leg comes through, the boot stays
    // roughly level.
    const float thigh_swing_degrees = 30.0f, thigh_bias_degrees = -5.0f;
    const float knee_rest_degrees = 12.0f, knee_fold_degrees = 55.0f, knee_lead_radians = 0.5f;
    const float foot_follow = 0.7f;
    struct LegBones { int thigh, shin, foot; float sign; };
    const LegBones legs[2] = {{BONE_THIGH_R, BONE_SHIN_R, BONE_FOOT_R, 1.0f},
                              {BONE_THIGH_L, BONE_SHIN_L, BONE_FOOT_L, -1.0f}};
    for (const LegBones& leg : legs) {
        float offset = leg.sign > 0 ? 0.0f : PI;
        float thigh = -thigh_swing_degrees * std::sin(a + offset) + thigh_bias_degrees;
        float knee = knee_rest_degrees + knee_fold_degrees * positive(std::cos(a + offset + knee_lead_radians));
        turn_bone(pose, leg.thigh, thigh, 0, 0);
        turn_bone(pose, leg.shin, knee, 0, 0);
        turn_bone(pose, leg.foot, -(thigh + knee) * foot_follow, 0, 0);
    }

    // The hips turn with the leading leg, the shoulders against it; the
    // head keeps looking ahead. The body rides highest over the planted
    // leg and dips while the legs are spread, so a foot stays on the floor.
    const float hip_turn_degrees = 9.0f, shoulder_counter_degrees = 6.0f;
    const float stride_dip_units = 0.05f;
    move_bone(pose, BONE_PELVIS, 0, 0, -stride_dip_units * (1.0f - std::cos(2 * a)) / 1.5f);
    turn_bone(pose, BONE_PELVIS, 0, 0, hip_turn_degrees * s);
    turn_bone(pose, BONE_CHEST, lean_degrees, 0, -(hip_turn_degrees + shoulder_counter_degrees) * s);
    turn_bone(pose, BONE_HEAD, -lean_degrees, 0, shoulder_counter_degrees * s);

    // Arms and rifle move as one, so the hands stay on the rifle: they
    // bounce a little behind the body's rhythm.
    const float carry_bounce_units = 0.012f;
    float bounce = carry_bounce_units * std::cos(2 * a + 0.8f);
    for (int bone : {BONE_UPPER_ARM_R, BONE_UPPER_ARM_L, BONE_RIFLE}) move_bone(pose, bone, 0, 0, bounce);
    return pose;
}

Pose walk_forward_pose(float phase) {
    const float lean_degrees = 8.0f;
    return running_pose(phase, lean_degrees);
}

// Backing up is the forward stride played in reverse, leaning less.
Pose walk_backward_pose(float phase) {
    const float lean_degrees = 2.0f;
    return running_pose(reversed_phase(phase), lean_degrees);
}

// Side-stepping: both feet spread and close once per cycle; the leading
// foot is lifted while it steps out, the trailing one while it closes in.
// `direction` is +1 towards the figure's left (+x), -1 towards its right.
Pose strafe_pose(float phase, float direction) {
    Pose pose = make_rest_pose(PLAYER_BONE_COUNT);
    const float a = 2.0f * PI * phase;
    const float spread = 0.5f - 0.5f * std::cos(a);
    const float spread_degrees = 13.0f;
    const float lift_degrees = 40.0f, knee_rest_degrees = 8.0f;
    const float foot_follow = 0.7f;
    // A positive turn about y swings a hanging leg towards -x (the right).
    const float lead_lift = positive(std::sin(a)), trail_lift = positive(-std::sin(a));
    float lift_r = direction > 0 ? trail_lift : lead_lift;
    float lift_l = direction > 0 ? lead_lift : trail_lift;
    struct LegBones { int thigh, shin, foot; float out, lift; };
    const LegBones legs[2] = {{BONE_THIGH_R, BONE_SHIN_R, BONE_FOOT_R, 1.0f, lift_r},
                              {BONE_THIGH_L, BONE_SHIN_L, BONE_FOOT_L, -1.0f, lift_l}};
    for (const LegBones& leg : legs) {
        float knee = knee_rest_degrees + lift_degrees * leg.lift;
        float thigh = -0.5f * knee;
        turn_bone(pose, leg.thigh, thigh, spread_degrees * spread * leg.out, 0);
        turn_bone(pose, leg.shin, knee, 0, 0);
        turn_bone(pose, leg.foot, -(thigh + knee) * foot_follow, 0, 0);
    }
    // The body lifts a little while a foot is off the floor.
    const float bob_units = 0.015f, sway_units = 0.02f;
    const float lean_degrees = 4.0f, forward_lean_degrees = 5.0f;
    move_bone(pose, BONE_PELVIS, sway_units * std::sin(a) * direction, 0, bob_units * (1.0f - std::cos(2 * a)) * 0.5f);
    turn_bone(pose, BONE_CHEST, forward_lean_degrees, lean_degrees * direction, 0);
    turn_bone(pose, BONE_HEAD, -forward_lean_degrees, -lean_degrees * direction, 0);
    return pose;
}

Pose strafe_left_pose(float phase) { return strafe_pose(phase, 1.0f); }
Pose strafe_right_pose(float phase) { return strafe_pose(phase, -1.0f); }

// Breathing: the chest rises and opens, the shoulders and rifle lift with
// it, the rifle drifts gently from side to side and the head looks about.
Pose standing_pose(float phase) {
    Pose pose = make_rest_pose(PLAYER_BONE_COUNT);
    const float a = 2.0f * PI * phase;
    const float breath = 0.5f - 0.5f * std::cos(a);
    const float chest_rise_units = 0.012f, chest_open_degrees = -1.5f;
    const float shoulder_rise_units = 0.008f;
    const float sway_degrees = 1.5f, glance_degrees = 4.0f, glance_lag_radians = 1.0f;
    const float weight_shift_units = 0.01f;
    move_bone(pose, BONE_PELVIS, weight_shift_units * std::sin(a), 0, 0);
    move_bone(pose, BONE_CHEST, 0, 0, chest_rise_units * breath);
    turn_bone(pose, BONE_CHEST, chest_open_degrees * breath, 0, sway_degrees * std::sin(a));
    turn_bone(pose, BONE_HEAD, 0, 0, glance_degrees * std::sin(a + glance_lag_radians) - sway_degrees * std::sin(a));
    for (int bone : {BONE_UPPER_ARM_R, BONE_UPPER_ARM_L, BONE_RIFLE})
        move_bone(pose, bone, 0, 0, shoulder_rise_units * breath);
    return pose;
}

}  // namespace

Mesh build_player_mesh() {
    Mesh mesh;
    add_torso(mesh);
    add_head(mesh);
    add_arm(mesh, SHOULDER_R, ELBOW_R, WRIST_R, vec3(RIFLE_X - 0.01f, -0.32f, 1.17f), BONE_UPPER_ARM_R,
            BONE_FOREARM_R);
    add_arm(mesh, SHOULDER_L, ELBOW_L, WRIST_L, vec3(RIFLE_X + 0.01f, -0.62f, 1.25f), BONE_UPPER_ARM_L,
            BONE_FOREARM_L);
    add_leg(mesh, RIGHT, BONE_THIGH_R, BONE_SHIN_R, BONE_FOOT_R);
    add_leg(mesh, LEFT, BONE_THIGH_L, BONE_SHIN_L, BONE_FOOT_L);
    add_rifle(mesh);
    finish_figure_mesh(mesh);
    return mesh;
}

SkeletonData build_player_skeleton() {
    SkeletonData skeleton;
    skeleton.bones.resize(PLAYER_BONE_COUNT);
    set_bone(skeleton, BONE_PELVIS, HIP_CENTER, -1);
    set_bone(skeleton, BONE_CHEST, WAIST, BONE_PELVIS);
    set_bone(skeleton, BONE_HEAD, NECK, BONE_CHEST);
    set_bone(skeleton, BONE_UPPER_ARM_R, SHOULDER_R, BONE_CHEST);
    set_bone(skeleton, BONE_FOREARM_R, ELBOW_R, BONE_UPPER_ARM_R);
    set_bone(skeleton, BONE_UPPER_ARM_L, SHOULDER_L, BONE_CHEST);
    set_bone(skeleton, BONE_FOREARM_L, ELBOW_L, BONE_UPPER_ARM_L);
    set_bone(skeleton, BONE_RIFLE, RIFLE_GRIP, BONE_CHEST);
    set_bone(skeleton, BONE_THIGH_R, HIP_R, BONE_PELVIS);
    set_bone(skeleton, BONE_SHIN_R, KNEE_R, BONE_THIGH_R);
    set_bone(skeleton, BONE_FOOT_R, ANKLE_R, BONE_SHIN_R);
    set_bone(skeleton, BONE_THIGH_L, on_side(HIP_R, LEFT), BONE_PELVIS);
    set_bone(skeleton, BONE_SHIN_L, on_side(KNEE_R, LEFT), BONE_THIGH_L);
    set_bone(skeleton, BONE_FOOT_L, on_side(ANKLE_R, LEFT), BONE_SHIN_L);

    fill_clips(skeleton,
               FigureClips{walk_forward_pose, standing_pose, strafe_left_pose, strafe_right_pose, walk_backward_pose});
    return skeleton;
}
