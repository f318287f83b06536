// The player: firing rates and shot slots, the machine gun's magazine,
// walking and strafing at any heading, and the camera of play, the READY
// intro and the tally.
#include <gtest/gtest.h>

#include <cmath>

#include "anim/anim.h"
#include "assets/asset_table.h"
#include "shell/shell.h"
#include "support/game_fixture.h"

namespace {

int count_shots_fired(int ticks) {
    const int before = channel_records[CHANNEL_PLAYER_SHOT].starts;
    for (int i = 0; i < ticks; i++) game_tick();
    return channel_records[CHANNEL_PLAYER_SHOT].starts - before;
}

TEST(PlayerFiring, RifleEveryThirtyTicksMachineGunEveryFive) {
    start_parked_play();
    mouse_b = 1;
    EXPECT_EQ(count_shots_fired(120), 4);
    EXPECT_EQ(channel_records[CHANNEL_PLAYER_SHOT].last_sample, SAMPLE_RIFLE);

    for (Shot& shot : player_shots) shot.active = 0;
    fire_cooldown = 0;
    weapon = WEAPON_MACHINE_GUN;
    fire_interval = 5;
    ammo = 100;
    EXPECT_EQ(count_shots_fired(60), 12);
    EXPECT_EQ(channel_records[CHANNEL_PLAYER_SHOT].last_sample, SAMPLE_MACHINE_GUN);
}

TEST(PlayerFiring, MachineGunGivesOneHundredAndOneShotsThenTheRifle) {
    start_test_play();
    weapon = WEAPON_MACHINE_GUN;
    fire_interval = 5;
    ammo = 100;
    mouse_b = 1;
    int machine_gun_shots = 0;
    for (int tick = 0; tick < 1000 && weapon == WEAPON_MACHINE_GUN; tick++) {
        const int before = channel_records[CHANNEL_PLAYER_SHOT].starts;
        update_player();
        if (channel_records[CHANNEL_PLAYER_SHOT].starts > before) {
            EXPECT_EQ(channel_records[CHANNEL_PLAYER_SHOT].last_sample, SAMPLE_MACHINE_GUN);
            machine_gun_shots++;
        }
        update_player_shots(player_shots);
    }
    EXPECT_EQ(machine_gun_shots, 101);
    EXPECT_EQ(ammo, UNLIMITED_AMMO);
    EXPECT_EQ(fire_interval, 30);
    EXPECT_EQ(fire_cooldown, 29);  // 30 when it left, one tick gone
}

TEST(PlayerFiring, LowestFreeSlotAndNothingWhenAllAreBusy) {
    start_test_play();
    for (Shot& shot : player_shots) shot.active = 1;
    mouse_b = 1;
    update_player();
    EXPECT_EQ(channel_records[CHANNEL_PLAYER_SHOT].starts, 0);
    EXPECT_EQ(fire_cooldown, 0);

    player_shots[7].active = 0;
    player_shots[4].active = 0;
    player_heading = 0.5f;
    update_player();
    EXPECT_EQ(player_shots[4].active, 1);
    EXPECT_EQ(player_shots[7].active, 0);
    EXPECT_EQ(player_shots[4].x, player_x);
    EXPECT_EQ(player_shots[4].heading, 0.5f);
    EXPECT_EQ(fire_cooldown, 30);

    // Left and right buttons together fire nothing.
    player_shots[4].active = 0;
    fire_cooldown = 0;
    mouse_b = 3;
    update_player();
    EXPECT_EQ(player_shots[4].active, 0);
}

// One tick of each walking key at headings all round and past a full turn:
// W a quarter unit along the heading (sin h, cos h), S back, A to its left
// and D to its right; the key names the clip, and the eye stays 5 behind
// looking 5 ahead.
TEST(PlayerMovement, EachKeyStepsAQuarterUnitItsOwnWayAtAnyHeading) {
    struct Walk {
        int key;
        float ahead, right;
        int state;
    };
    const Walk walks[] = {{KEY_W, 1, 0, ANIM_WALK_FORWARD}, {KEY_S, -1, 0, ANIM_WALK_BACKWARD},
                          {KEY_A, 0, -1, ANIM_STRAFE_LEFT}, {KEY_D, 0, 1, ANIM_STRAFE_RIGHT}};
    static Skeleton skeleton;
    for (float h : {0.0f, 0.6f, 2.0f, -2.5f, 7.5f}) {
        for (const Walk& walk : walks) {
            SCOPED_TRACE(testing::Message() << "heading " << h << ", key " << walk.key);
            start_test_play();
            player_skeleton = &skeleton;
            player_x = 3;
            player_y = -4;
            player_heading = h;
            key[walk.key] = 1;
            update_player();
            const float ahead_x = std::sin(h), ahead_y = std::cos(h);  // the right is (ahead_y, -ahead_x)
            EXPECT_NEAR(player_x, 3 + 0.25f * (walk.ahead * ahead_x + walk.right * ahead_y), 1e-4);
            EXPECT_NEAR(player_y, -4 + 0.25f * (walk.ahead * ahead_y - walk.right * ahead_x), 1e-4);
            EXPECT_EQ(skeleton.requested_state, walk.state);
            EXPECT_NEAR(camera_eye_x, player_x - 5 * ahead_x, 1e-4);
            EXPECT_NEAR(camera_eye_y, player_y - 5 * ahead_y, 1e-4);
            EXPECT_NEAR(camera_target_x, player_x + 5 * ahead_x, 1e-4);
            EXPECT_NEAR(camera_target_y, player_y + 5 * ahead_y, 1e-4);
        }
    }
    release_all_input();
    player_skeleton = nullptr;
}

// The READY intro's eye comes down from above the middle, a quarter unit a
// tick on each axis, towards a point 3 to the player's right, looking at the
// player: it rests 2.25 up once beside that point, or stops sinking at 1.25
// and glides on until within a unit. The tally's eye orbits 2.5 behind and
// 0.8 up, looking 5 ahead along the orbit, whatever the mouse does.
TEST(PlayerCamera, IntroGlidesDownBesideThePlayerAndTheTallyOrbits) {
    struct Glide {
        float player_x, player_y, eye_x, eye_y, eye_z;
    };
    const Glide glides[] = {{-3, 0, 0, 0, 2.25f}, {0, -16, 2, -15, 1.25f}};
    for (const Glide& glide : glides) {
        SCOPED_TRACE(glide.player_y);
        start_test_game();
        player_x = glide.player_x;
        player_y = glide.player_y;
        mouse_mickey_x = 40;
        for (int tick = 0; tick < 100; tick++) update_player();
        EXPECT_EQ(camera_eye_x, glide.eye_x);
        EXPECT_EQ(camera_eye_y, glide.eye_y);
        EXPECT_EQ(camera_eye_z, glide.eye_z);
        EXPECT_EQ(camera_target_x, player_x);
        EXPECT_EQ(camera_target_y, player_y);
        EXPECT_EQ(player_heading, 0.0f);
    }

    begin_play();
    win_round();
    player_heading = 1;
    mouse_mickey_x = 40;
    mouse_mickey_y = 40;
    for (int tick = 0; tick < 10; tick++) update_player();
    const float orbit = -0.2f;
    EXPECT_NEAR(camera_orbit_angle, orbit, 1e-5);
    EXPECT_EQ(player_heading, 1.0f);
    EXPECT_NEAR(camera_eye_x, player_x - 2.5f * std::sin(orbit), 1e-4);
    EXPECT_NEAR(camera_eye_y, player_y - 2.5f * std::cos(orbit), 1e-4);
    EXPECT_EQ(camera_eye_z, 0.8f);
    EXPECT_NEAR(camera_target_x, player_x + 5 * std::sin(orbit), 1e-4);
    EXPECT_NEAR(camera_target_y, player_y + 5 * std::cos(orbit), 1e-4);
    release_all_input();
}

TEST(PlayerMovement, KeysStrafingEdgesAndCameraLimits) {
    static Skeleton skeleton;
    start_test_play();
    player_skeleton = &skeleton;
    player_x = 0;
    player_y = 0;
    player_heading = 0;

    key[KEY_W] = 1;
    key[KEY_S] = 1;
    update_player();
    EXPECT_FLOAT_EQ(player_y, -0.25f);  // S wins: backwards
    EXPECT_EQ(skeleton.requested_state, ANIM_WALK_BACKWARD);
    release_all_input();

    key[KEY_A] = 1;
    key[KEY_D] = 1;
    update_player();
    EXPECT_NEAR(player_x, 0.0f, 1e-6);
    EXPECT_EQ(skeleton.requested_state, ANIM_STRAFE_RIGHT);
    release_all_input();

    key[KEY_W] = 1;
    for (int i = 0; i < 200; i++) update_player();
    EXPECT_EQ(player_y, 26.5f);
    release_all_input();

    mouse_mickey_y = 10000;
    update_player();
    EXPECT_EQ(camera_eye_z, 5.0f);
    mouse_mickey_y = -10000;
    update_player();
    EXPECT_EQ(camera_eye_z, 0.8f);
    release_all_input();

    // Back to the north wall: the eye would leave the arena, so it comes close.
    player_heading = 3.14159f;
    update_player();
    EXPECT_NEAR(camera_eye_y, 26.5f + 1.5f, 1e-3);

    // In the READY intro neither the mouse nor the keys move the player.
    round_intro = 1;
    enemies_frozen = 1;
    key[KEY_S] = 1;
    mouse_mickey_x = 100;
    update_player();
    EXPECT_EQ(player_y, 26.5f);
    EXPECT_EQ(player_heading, 3.14159f);
    release_all_input();
    player_skeleton = nullptr;
}

}  // namespace
