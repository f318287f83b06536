// The enemy figure: a hunched, long-armed creature with a bent back, a head
// thrust forward, horns, spines along its hump and claws on hands and feet,
// and its skeleton: a heavy-breathing stance and a loping, swaying run.
//
// Model space: z up, feet on z = 0, the figure faces -y and its right hand
// is on the -x side. Right-side parts are built once and mirrored.
#include <cmath>

#include "figures.h"
#include "procedural.h"

namespace {

enum EnemyBone {
    BONE_PELVIS,  // root
    BONE_BELLY,
    BONE_CHEST,   // the hump, shoulders and neck
    BONE_HEAD,
    BONE_JAW,
    BONE_UPPER_ARM_R,
    BONE_FOREARM_R,
    BONE_HAND_R,
    BONE_UPPER_ARM_L,
    BONE_FOREARM_L,
    BONE_HAND_L,
    BONE_THIGH_R,
    BONE_SHIN_R,
    BONE_FOOT_R,
    BONE_THIGH_L,
    BONE_SHIN_L,
    BONE_FOOT_L,
    ENEMY_BONE_COUNT
};

// Joints (right side; the left mirrors x). They are the bone pivots too.
const Vec3 HIP_CENTER = {0.0f, 0.06f, 0.86f};
const Vec3 LOWER_BACK = {0.0f, 0.07f, 0.96f};
const Vec3 MID_BACK = {0.0f, 0.06f, 1.26f};
const Vec3 NECK = {0.0f, -0.30f, 1.62f};
const Vec3 JAW_HINGE = {0.0f, -0.36f, 1.57f};
const Vec3 SHOULDER_R = {-0.33f, -0.14f, 1.56f};
const Vec3 ELBOW_R = {-0.45f, -0.20f, 1.06f};
const Vec3 WRIST_R = {-0.47f, -0.26f, 0.62f};
const Vec3 KNUCKLES_R = {-0.48f, -0.31f, 0.49f};
const Vec3 HIP_R = {-0.16f, 0.06f, 0.86f};
const Vec3 KNEE_R = {-0.20f, -0.12f, 0.50f};
const Vec3 ANKLE_R = {-0.20f, 0.10f, 0.15f};


Ring ring(Vec3 c, float side, float depth, int bone) {
    return Ring{c, side, depth, static_cast<int16_t>(bone)};
}

void add_body(Mesh& mesh) {
    Loft pelvis = make_loft(ENEMY_TEXTURE_SKIN, 8, LOFT_ROUND, FRONT, BEAST_TORSO, BEAST_HIDE);
    pelvis.rings = {
        ring(vec3(0, 0.07f, 0.76f), 0.17f, 0.14f, BONE_PELVIS),
        ring(vec3(0, 0.06f, 0.98f), 0.19f, 0.15f, BONE_PELVIS),
    };
    pelvis.open_ends = OPEN_LAST;  // its top lies inside the belly
    add_loft(mesh, pelvis);
    // A ragged loincloth hanging in front.
    add_segment(mesh, BONE_PELVIS, ENEMY_TEXTURE_SKIN, LOFT_BOX, 4, vec3(0, -0.10f, 0.90f), vec3(0, -0.13f, 0.58f),
                0.11f, 0.02f, 0.085f, 0.015f, FRONT, BEAST_RAG, BEAST_RAG);

    // The spine bends forward: belly upright, hump leaning over, neck
    // almost level. The rings split between the belly and chest bones so
    // the back bends smoothly when they turn.
    Loft torso = make_loft(ENEMY_TEXTURE_SKIN, 8, LOFT_ROUND, FRONT, BEAST_TORSO, BEAST_HIDE);
    torso.rings = {
        ring(vec3(0, 0.06f, 0.90f), 0.18f, 0.15f, BONE_BELLY),
        ring(vec3(0, 0.08f, 1.12f), 0.22f, 0.18f, BONE_BELLY),
        ring(vec3(0, 0.04f, 1.40f), 0.27f, 0.22f, BONE_CHEST),  // hump
        ring(vec3(0, -0.10f, 1.62f), 0.27f, 0.19f, BONE_CHEST), // shoulders
        ring(vec3(0, -0.26f, 1.70f), 0.14f, 0.11f, BONE_CHEST), // neck
    };
    torso.open_ends = OPEN_FIRST;  // the belly starts inside the pelvis
    add_loft(mesh, torso);

    // Spines along the hump, each pointing out of the back.
    struct Spine { Vec3 base, tip; int bone; };
    const Spine spines[] = {
        {vec3(0, 0.24f, 1.13f), vec3(0, 0.35f, 1.17f), BONE_BELLY},
        {vec3(0, 0.23f, 1.46f), vec3(0, 0.34f, 1.54f), BONE_CHEST},
        {vec3(0, 0.02f, 1.73f), vec3(0, 0.08f, 1.84f), BONE_CHEST},
    };
    for (const Spine& s : spines) {
        add_spike(mesh, static_cast<int16_t>(s.bone), ENEMY_TEXTURE_SKIN, s.base, s.tip, 0.035f, 4, FRONT,
                  BEAST_CLAW);
    }
}

void add_head(Mesh& mesh) {
    Loft head = make_loft(ENEMY_TEXTURE_SKIN, 8, LOFT_ROUND, FRONT, BEAST_FACE, BEAST_HIDE);
    head.rings = {
        ring(vec3(0, -0.42f, 1.52f), 0.08f, 0.07f, BONE_HEAD),   // chin
        ring(vec3(0, -0.42f, 1.60f), 0.12f, 0.13f, BONE_HEAD),   // muzzle and mouth
        ring(vec3(0, -0.40f, 1.70f), 0.13f, 0.12f, BONE_HEAD),   // eyes
        ring(vec3(0, -0.37f, 1.78f), 0.12f, 0.11f, BONE_HEAD),   // brow
        ring(vec3(0, -0.33f, 1.86f), 0.07f, 0.07f, BONE_HEAD),   // crown
    };
    add_loft(mesh, head);
    // Lower jaw with two fangs, hinged under the ears.
    add_segment(mesh, BONE_JAW, ENEMY_TEXTURE_SKIN, LOFT_BOX, 4, vec3(0, -0.36f, 1.535f), vec3(0, -0.54f, 1.52f),
                0.085f, 0.035f, 0.055f, 0.028f, UP, BEAST_HIDE, BEAST_HIDE);
    for (float side : {RIGHT, LEFT}) {
        add_spike(mesh, BONE_JAW, ENEMY_TEXTURE_SKIN, vec3(0.035f * side, -0.51f, 1.54f),
                  vec3(0.04f * side, -0.53f, 1.62f), 0.014f, 3, FRONT, BEAST_CLAW);
        // Horns sweep back and up from the brow.
        add_spike(mesh, BONE_HEAD, ENEMY_TEXTURE_SKIN, vec3(0.08f * side, -0.36f, 1.80f),
                  vec3(0.17f * side, -0.20f, 1.96f), 0.032f, 4, UP, BEAST_CLAW);
    }
}

void add_claws(Mesh& mesh, int bone, Vec3 root, Vec3 reach, float spread, float side) {
    for (int c = -1; c <= 1; c++) {
        Vec3 base = root + vec3(spread * c, 0, 0);
        Vec3 tip = base + reach + vec3(spread * 0.3f * c + 0.01f * side, 0, 0);
        add_spike(mesh, static_cast<int16_t>(bone), ENEMY_TEXTURE_SKIN, base, tip, 0.018f, 3, FRONT, BEAST_CLAW);
    }
}

void add_arm(Mesh& mesh, float side, int upper_bone, int fore_bone, int hand_bone) {
    Vec3 shoulder = on_side(SHOULDER_R, side), elbow = on_side(ELBOW_R, side);
    Vec3 wrist = on_side(WRIST_R, side), knuckles = on_side(KNUCKLES_R, side);
    // The upper arm tapers evenly from the shoulder to the elbow.
    add_segment(mesh, upper_bone, ENEMY_TEXTURE_SKIN, LOFT_ROUND, 6, shoulder + vec3(0, 0, 0.03f), elbow, 0.12f,
                0.12f, 0.07f, 0.07f, FRONT, BEAST_UPPER_ARM, BEAST_HIDE);
    Loft fore = make_loft(ENEMY_TEXTURE_SKIN, 6, LOFT_ROUND, FRONT, BEAST_FOREARM, BEAST_HIDE);
    fore.rings = {
        ring(elbow + vec3(0, 0, 0.03f), 0.075f, 0.075f, fore_bone),
        ring(elbow + (wrist - elbow) * 0.35f, 0.095f, 0.09f, fore_bone),  // heavy forearm
        ring(wrist, 0.06f, 0.055f, fore_bone),
    };
    add_loft(mesh, fore);
    add_segment(mesh, hand_bone, ENEMY_TEXTURE_SKIN, LOFT_BOX, 4, wrist + vec3(0, 0, 0.02f), knuckles, 0.06f, 0.04f,
                0.07f, 0.035f, FRONT, BEAST_HIDE, BEAST_HIDE);
    add_claws(mesh, hand_bone, knuckles + vec3(0, 0, 0.01f), vec3(0, -0.05f, -0.14f), 0.04f, side);
}

void add_leg(Mesh& mesh, float side, int thigh_bone, int shin_bone, int foot_bone) {
    Vec3 hip = on_side(HIP_R, side), knee = on_side(KNEE_R, side), ankle = on_side(ANKLE_R, side);
    // The thigh tapers evenly from the hip to the knee.
    add_segment(mesh, thigh_bone, ENEMY_TEXTURE_SKIN, LOFT_ROUND, 6, hip + vec3(0, 0, 0.04f), knee, 0.12f, 0.12f,
                0.075f, 0.08f, FRONT, BEAST_THIGH, BEAST_HIDE);
    Loft shin = make_loft(ENEMY_TEXTURE_SKIN, 6, LOFT_ROUND, FRONT, BEAST_SHIN, BEAST_HIDE);
    shin.rings = {
        ring(knee + vec3(0, -0.01f, 0.03f), 0.075f, 0.08f, shin_bone),
        ring(knee + (ankle - knee) * 0.4f, 0.07f, 0.075f, shin_bone),
        ring(ankle, 0.05f, 0.05f, shin_bone),
    };
    add_loft(mesh, shin);
    // A long foot flat on the floor, clawed toes in front.
    add_segment(mesh, foot_bone, ENEMY_TEXTURE_SKIN, LOFT_BOX, 4, vec3(ankle.x, 0.13f, 0.065f),
                vec3(ankle.x + 0.01f * side, -0.16f, 0.04f), 0.065f, 0.065f, 0.085f, 0.04f, UP, BEAST_HIDE,
                BEAST_HIDE);
    add_claws(mesh, foot_bone, vec3(ankle.x + 0.01f * side, -0.15f, 0.035f), vec3(0, -0.09f, -0.03f), 0.045f, side);
}

// ---- animation --------------------------------------------------------------

// The loping run: long strides, the body rocking onto each stance leg and
// twisting with it, the arms swinging wide against the legs, claws
// trailing, the jaw working with every step.
Pose loping_pose(float phase) {
    Pose pose = make_rest_pose(ENEMY_BONE_COUNT);
    const float a = 2.0f * PI * phase;
    const float s = std::sin(a), c = std::cos(a);

    const float thigh_swing_degrees = 32.0f, thigh_bias_degrees = -6.0f;
    const float knee_rest_degrees = 12.0f, knee_fold_degrees = 50.0f, knee_lead_radians = 0.5f, foot_follow = 0.7f;
    const float arm_swing_degrees = 28.0f, elbow_rest_degrees = -10.0f, elbow_fold_degrees = -18.0f;
    const float elbow_lag_radians = 0.6f;
    const float claw_trail = 0.5f;
    struct Side { int thigh, shin, foot, upper, fore, hand; float offset; };
    const Side sides[2] = {
        {BONE_THIGH_R, BONE_SHIN_R, BONE_FOOT_R, BONE_UPPER_ARM_R, BONE_FOREARM_R, BONE_HAND_R, 0.0f},
        {BONE_THIGH_L, BONE_SHIN_L, BONE_FOOT_L, BONE_UPPER_ARM_L, BONE_FOREARM_L, BONE_HAND_L, PI},
    };
    for (const Side& side : sides) {
        float b = a + side.offset;
        float thigh = -thigh_swing_degrees * std::sin(b) + thigh_bias_degrees;
        float knee = knee_rest_degrees + knee_fold_degrees * positive(std::cos(b + knee_lead_radians));
        turn_bone(pose, side.thigh, thigh, 0, 0);
        turn_bone(pose, side.shin, knee, 0, 0);
        turn_bone(pose, side.foot, -(thigh + knee) * foot_follow, 0, 0);
        // A positive turn about x swings a hanging arm back, so the arm goes
        // back as the leg of its side goes forward.
        float arm = arm_swing_degrees * std::sin(b);
        float elbow = elbow_rest_degrees + elbow_fold_degrees * positive(-std::sin(b - elbow_lag_radians));
        turn_bone(pose, side.upper, arm, 0, 0);
        turn_bone(pose, side.fore, elbow, 0, 0);
        turn_bone(pose, side.hand, elbow * claw_trail, 0, 0);
    }

    // Lowest while the legs are spread, so a foot stays on the floor.
    const float crouch_units = 0.035f, stride_dip_units = 0.05f, rock_units = 0.05f;
    const float roll_degrees = 7.0f, twist_degrees = 10.0f;
    const float hunch_degrees = 4.0f, nod_degrees = 4.0f;
    move_bone(pose, BONE_PELVIS, rock_units * c, 0, -crouch_units - stride_dip_units * (1.0f - std::cos(2 * a)) / 1.5f);
    turn_bone(pose, BONE_PELVIS, 0, 0, twist_degrees * 0.6f * s);
    turn_bone(pose, BONE_BELLY, 0, roll_degrees * c, 0);
    turn_bone(pose, BONE_CHEST, hunch_degrees + nod_degrees * std::cos(2 * a), 0.5f * roll_degrees * c,
              -twist_degrees * 1.6f * s);
    turn_bone(pose, BONE_HEAD, -nod_degrees * std::cos(2 * a + 0.5f), -roll_degrees * c, twist_degrees * s);
    const float jaw_open_degrees = 6.0f, jaw_work_degrees = 6.0f;
    turn_bone(pose, BONE_JAW, jaw_open_degrees + jaw_work_degrees * std::sin(2 * a), 0, 0);
    return pose;
}

Pose loping_backward_pose(float phase) {
    return loping_pose(reversed_phase(phase));
}

// Standing: heavy breathing that lifts the hump, the head looking about,
// the jaw opening in a snarl at the top of each breath, arms and claws
// hanging and twitching.
Pose crouching_pose(float phase) {
    Pose pose = make_rest_pose(ENEMY_BONE_COUNT);
    const float a = 2.0f * PI * phase;
    const float breath = 0.5f - 0.5f * std::cos(a);
    const float hump_rise_units = 0.015f, hump_degrees = -3.0f;
    const float look_degrees = 14.0f, tilt_degrees = 4.0f;
    const float jaw_rest_degrees = 3.0f, snarl_degrees = 14.0f;
    const float arm_sway_degrees = 4.0f, arm_lag_radians = 1.2f, claw_flex_degrees = -8.0f;
    const float weight_shift_units = 0.015f;
    move_bone(pose, BONE_PELVIS, weight_shift_units * std::sin(a), 0, 0);
    move_bone(pose, BONE_BELLY, 0, 0, hump_rise_units * breath * 0.5f);
    turn_bone(pose, BONE_CHEST, hump_degrees * breath, 0, 0);
    move_bone(pose, BONE_CHEST, 0, 0, hump_rise_units * breath);
    turn_bone(pose, BONE_HEAD, tilt_degrees * std::sin(2 * a), 0, look_degrees * std::sin(a));
    turn_bone(pose, BONE_JAW, jaw_rest_degrees + snarl_degrees * breath * breath, 0, 0);
    turn_bone(pose, BONE_UPPER_ARM_R, arm_sway_degrees * std::sin(a), 0, 0);
    turn_bone(pose, BONE_UPPER_ARM_L, arm_sway_degrees * std::sin(a + arm_lag_radians), 0, 0);
    turn_bone(pose, BONE_HAND_R, claw_flex_degrees * breath, 0, 0);
    turn_bone(pose, BONE_HAND_L, claw_flex_degrees * breath, 0, 0);
    return pose;
}

}  // namespace

Mesh build_enemy_mesh() {
    Mesh mesh;
    add_body(mesh);
    add_head(mesh);
    add_arm(mesh, RIGHT, BONE_UPPER_ARM_R, BONE_FOREARM_R, BONE_HAND_R);
    add_arm(mesh, LEFT, BONE_UPPER_ARM_L, BONE_FOREARM_L, BONE_HAND_L);
    add_leg(mesh, RIGHT, BONE_THIGH_R, BONE_SHIN_R, BONE_FOOT_R);
    add_leg(mesh, LEFT, BONE_THIGH_L, BONE_SHIN_L, BONE_FOOT_L);
    finish_figure_mesh(mesh);
    return mesh;
}

SkeletonData build_enemy_skeleton() {
    SkeletonData skeleton;
    skeleton.bones.resize(ENEMY_BONE_COUNT);
    set_bone(skeleton, BONE_PELVIS, HIP_CENTER, -1);
    set_bone(skeleton, BONE_BELLY, LOWER_BACK, BONE_PELVIS);
    set_bone(skeleton, BONE_CHEST, MID_BACK, BONE_BELLY);
    set_bone(skeleton, BONE_HEAD, NECK, BONE_CHEST);
    set_bone(skeleton, BONE_JAW, JAW_HINGE, BONE_HEAD);
    set_bone(skeleton, BONE_UPPER_ARM_R, SHOULDER_R, BONE_CHEST);
    set_bone(skeleton, BONE_FOREARM_R, ELBOW_R, BONE_UPPER_ARM_R);
    set_bone(skeleton, BONE_HAND_R, WRIST_R, BONE_FOREARM_R);
    set_bone(skeleton, BONE_UPPER_ARM_L, on_side(SHOULDER_R, LEFT), BONE_CHEST);
    set_bone(skeleton, BONE_FOREARM_L, on_side(ELBOW_R, LEFT), BONE_UPPER_ARM_L);
    set_bone(skeleton, BONE_HAND_L, on_side(WRIST_R, LEFT), BONE_FOREARM_L);
    set_bone(skeleton, BONE_THIGH_R, HIP_R, BONE_PELVIS);
    set_bone(skeleton, BONE_SHIN_R, KNEE_R, BONE_THIGH_R);
    set_bone(skeleton, BONE_FOOT_R, ANKLE_R, BONE_SHIN_R);
    set_bone(skeleton, BONE_THIGH_L, on_side(HIP_R, LEFT), BONE_PELVIS);
    set_bone(skeleton, BONE_SHIN_L, on_side(KNEE_R, LEFT), BONE_THIGH_L);
    set_bone(skeleton, BONE_FOOT_L, on_side(ANKLE_R, LEFT), BONE_SHIN_L);

    // The enemies only stand (round intro) and run; the strafing and
    // backing clips get the run too so no state ever shows a frozen pose.
    fill_clips(skeleton, FigureClips{loping_pose, crouching_pose, loping_pose, loping_pose, loping_backward_pose});
    return skeleton;
}
