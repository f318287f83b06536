// The item box: where it appears, what walking onto it gives, and a box
// that outlives its round.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "shell/shell.h"
#include "support/game_fixture.h"

namespace {

TEST(ItemBox, ThreeKindsInThreeCornersNeverTheNorthEast) {
    srand(7);
    std::set<int> kinds;
    std::set<std::pair<float, float>> corners;
    for (int i = 0; i < 1000; i++) {
        item_box_active = 0;
        place_item_box();
        EXPECT_EQ(item_box_active, 1);
        kinds.insert(item_box_kind);
        corners.insert({item_box_x, item_box_y});
    }
    EXPECT_EQ(kinds, (std::set<int>{0, 1, 2}));
    EXPECT_EQ(corners, (std::set<std::pair<float, float>>{{-25, 25}, {-25, -25}, {25, -25}}));
}

void lay_box(int kind) {
    item_box_active = 1;
    item_box_kind = static_cast<int8_t>(kind);
    item_box_x = -25;
    item_box_y = 25;
}

TEST(ItemBox, PickedUpFromExactlyOneUnitAway) {
    start_test_game();
    lay_box(ITEM_POINTS);
    player_x = -23.9f;
    player_y = 24;
    check_item_pickup();
    EXPECT_EQ(item_box_active, 1);

    player_x = -24;
    score = 100;
    check_item_pickup();
    EXPECT_EQ(item_box_active, 0);
    EXPECT_EQ(score, 1600);
    EXPECT_STREQ(item_message, "+1500 pts");
    EXPECT_EQ(item_message_timer, 4);
    EXPECT_EQ(channel_records[CHANNEL_PICKUP].last_sample, SAMPLE_PICKUP);
}

TEST(ItemBox, HealthIsCappedAndAMachineGunRefills) {
    start_test_game();
    player_x = -25;
    player_y = 25;
    player_health = 140;
    lay_box(ITEM_HEALTH);
    check_item_pickup();
    EXPECT_EQ(player_health, 150);
    lay_box(ITEM_HEALTH);
    check_item_pickup();
    EXPECT_EQ(player_health, 150);
    EXPECT_STREQ(item_message, "Health +25");

    weapon = WEAPON_MACHINE_GUN;
    ammo = 37;
    lay_box(ITEM_MACHINE_GUN);
    check_item_pickup();
    EXPECT_EQ(weapon, WEAPON_MACHINE_GUN);
    EXPECT_EQ(ammo, 100);
    EXPECT_EQ(fire_interval, 5);
    EXPECT_STREQ(item_message, "Machine Gun");
}

TEST(ItemBox, ABoxOutlivesTheRoundAndBlocksTheNextRoundsBoxes) {
    start_test_game();
    lay_box(ITEM_MACHINE_GUN);
    start_round();
    restart_round();
    EXPECT_EQ(item_box_active, 1);

    begin_play();
    park_enemies();
    item_box_x = 5;  // no corner: a new box would move it
    item_box_y = 5;
    round_clock = 99;
    second_ticks = 59;
    game_tick();  // the clock passes 98
    EXPECT_EQ(round_clock, 98);
    EXPECT_EQ(item_box_kind, ITEM_MACHINE_GUN);
    EXPECT_EQ(item_box_x, 5.0f);
    EXPECT_EQ(item_box_y, 5.0f);
}

}  // namespace
