// The player: firing rates and shot slots, the machine gun's magazine, and
// walking, strafing and the camera limits.
#include <gtest/gtest.h>

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
    start_test_game();
    begin_play();
    park_enemies();
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
    start_test_game();
    begin_play();
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
    start_test_game();
    begin_play();
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

TEST(PlayerMovement, KeysStrafingEdgesAndCameraLimits) {
    static Skeleton skeleton;
    start_test_game();
    begin_play();
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
