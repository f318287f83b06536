// Whole games played far faster than real time: the menus, rounds, deaths
// and Game Over driven by scripted and random players through menu_tick,
// game_tick and the HUD pass (one pass per simulated frame, a frame after
// one to four ticks as the main loop would), checking after every tick and
// frame that the game stays inside its rules and that every game ends back
// at the title.
//
// SUNDOWN_SIM_GAMES sets the number of games (default 1500, or 500 in
// unoptimised or sanitised builds); SUNDOWN_SIM_SEED the harness's seed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "shell/shell.h"
#include "support/game_fixture.h"

namespace {

#if defined(__SANITIZE_ADDRESS__) || !defined(__OPTIMIZE__)
const int DEFAULT_GAMES = 500;
#else
const int DEFAULT_GAMES = 1500;
#endif
const long MAX_TICKS_PER_GAME = 2000000;  // a game that has not ended by then never will
const int MAX_TICKS_PER_FRAME = 4;
const float PI = 3.14159265f;

int env_int(const char* name, int fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text) return fallback;
    const int value = std::atoi(text);
    return value > 0 ? value : fallback;
}

enum Style {
    STYLE_IDLE,    // stands still and lets the enemies finish it
    STYLE_WILD,    // random keys, buttons and mouse
    STYLE_RUNNER,  // runs in circles, often outliving the clock
    STYLE_HUNTER,  // aims at the nearest enemy and fires, until it tires
    STYLE_COUNT,
};

struct Player {
    Style style;
    int tired_after_round;  // the hunter stands idle from this round on
    int hold_ticks;         // ticks left of the current random input
};

struct Tally {
    long ticks = 0;
    long frames = 0;
    int games = 0;
    int rounds_won = 0;
    int time_outs = 0;
    int highest_round = 0;
    int max_enemy_count = 0;
};

float wrap_angle(float a) {
    while (a > PI) a -= 2 * PI;
    while (a < -PI) a += 2 * PI;
    return a;
}

int nearest_living_enemy() {
    int best = -1;
    float best_distance = 1e9f;
    for (int i = 0; i < enemy_count; i++) {
        if (enemies[i].health <= 0) continue;
        const float d = std::fabs(enemies[i].x - player_x) + std::fabs(enemies[i].y - player_y);
        if (d < best_distance) {
            best_distance = d;
            best = i;
        }
    }
    return best;
}

void hunt(std::mt19937& rng) {
    const int target = nearest_living_enemy();
    if (target < 0) return;
    const float want = std::atan2(enemies[target].x - player_x, enemies[target].y - player_y);
    const float miss = wrap_angle(want - player_heading);
    int mickeys = static_cast<int>(miss / 0.01f);
    if (mickeys > 40) mickeys = 40;
    if (mickeys < -40) mickeys = -40;
    mouse_mickey_x = mickeys;
    mouse_b = std::fabs(miss) < 0.08f ? 1 : 0;
    // Closing in: an enemy level with the player on an axis cannot aim.
    const float dx = std::fabs(enemies[target].x - player_x);
    const float dy = std::fabs(enemies[target].y - player_y);
    key[KEY_W] = dx > 2 && dy > 2;
    key[KEY_A] = rng() % 8 == 0;
    key[KEY_D] = rng() % 8 == 0;
    // Now and then it goes for the item box.
    if (item_box_active && rng() % 4 == 0) {
        const float to_box = std::atan2(item_box_x - player_x, item_box_y - player_y);
        mouse_mickey_x = static_cast<int>(wrap_angle(to_box - player_heading) / 0.01f);
        key[KEY_W] = 1;
    }
}

void set_random_input(std::mt19937& rng, Player& player) {
    if (player.hold_ticks-- > 0) return;
    player.hold_ticks = static_cast<int>(rng() % 30);
    key[KEY_W] = rng() % 2;
    key[KEY_S] = rng() % 4 == 0;
    key[KEY_A] = rng() % 3 == 0;
    key[KEY_D] = rng() % 3 == 0;
    const int buttons[] = {0, 1, 1, 2, 3};
    mouse_b = buttons[rng() % 5];
    mouse_mickey_x = static_cast<int>(rng() % 81) - 40;
    mouse_mickey_y = static_cast<int>(rng() % 41) - 20;
}

void set_game_input(std::mt19937& rng, Player& player) {
    release_all_input();
    key[KEY_ENTER] = rng() % 50 == 0;  // stray presses mean nothing in a game
    switch (player.style) {
    case STYLE_IDLE:
        break;
    case STYLE_WILD:
        set_random_input(rng, player);
        break;
    case STYLE_RUNNER:
        key[KEY_W] = 1;
        mouse_mickey_x = 4;
        mouse_b = rng() % 10 == 0;
        break;
    case STYLE_HUNTER:
        if (round_number < player.tired_after_round) hunt(rng);
        break;
    default:
        break;
    }
}

bool shots_inside_arena(const Shot* list) {
    for (int i = 0; i < SHOT_SLOTS; i++) {
        if (list[i].active && (std::fabs(list[i].x) > 28 || std::fabs(list[i].y) > 28)) return false;
    }
    return true;
}

// The first rule of the game that the state breaks, or null.
const char* find_broken_rule() {
    if (in_game != 0 && in_game != 1) return "in_game is neither 0 nor 1";
    if (menu_screen != 0 && menu_screen != 1) return "menu_screen is neither 0 nor 1";
    if (in_game == 0) return nullptr;

    if (menu_screen != 0) return "a game runs under the controls screen";
    if (round_intro > 1 || tally_active > 1 || enemies_frozen > 1 || game_over > 1 ||
        round_intro < 0 || tally_active < 0 || enemies_frozen < 0 || game_over < 0) {
        return "a mode flag is neither 0 nor 1";
    }
    if (round_intro && (tally_active || game_over || !enemies_frozen)) return "intro mixed with another mode";
    if (tally_active && (game_over || !enemies_frozen)) return "tally mixed with another mode";
    if (!round_intro && !tally_active && enemies_frozen) return "frozen outside intro and tally";

    if (enemy_count < 3 || enemy_count > MAX_ENEMIES) return "enemy_count out of range";
    if (player_health > PLAYER_FULL_HEALTH) return "health above 150";
    if (lives > 3) return "more than three lives";
    if (round_number < 1) return "round_number below 1";
    if (light_preset < 0 || light_preset > 2) return "light_preset out of range";
    if (round_clock < 1 || round_clock > ROUND_SECONDS) return "round clock out of range";
    if (second_ticks < 0 || second_ticks >= TICKS_PER_SECOND) return "second_ticks out of range";
    if (weapon != WEAPON_RIFLE && weapon != WEAPON_MACHINE_GUN) return "unknown weapon";
    if (ammo < UNLIMITED_AMMO || ammo > MACHINE_GUN_AMMO || (weapon == WEAPON_MACHINE_GUN && ammo < 0)) {
        return "ammunition out of range";
    }
    if (score < 0 || max_score < score) return "score or high score wrong";
    if (std::memchr(item_message, '\0', sizeof item_message) == nullptr) return "item message unterminated";
    if (item_box_active && item_box_x == 25 && item_box_y == 25) return "box in the unused corner";
    if (std::fabs(player_x) > 26.5f || std::fabs(player_y) > 26.5f) return "player outside the arena";
    for (int i = 0; i < enemy_count; i++) {
        if (std::fabs(enemies[i].x) > 31 || std::fabs(enemies[i].y) > 31) return "enemy strayed off the arena";
        if (!shots_inside_arena(enemy_shots[i])) return "enemy shot outside the arena";
    }
    if (!shots_inside_arena(player_shots)) return "player shot outside the arena";
    return nullptr;
}

// Plays one game from the title to the title. Returns an empty string or
// what went wrong.
std::string play_one_game(std::mt19937& rng, unsigned game_seed, Tally& tally) {
    Player player{static_cast<Style>(rng() % STYLE_COUNT), 1 + static_cast<int>(rng() % 12), 0};
    HudLine lines[HUD_MAX_LINES];
    // Whether a menu tick has seen Enter up since the last screen change: the
    // latch of the press that started the last game is still set.
    bool enter_up_seen = enter_latch == 0;
    bool game_started = false;
    long game_ticks = 0;
    int previous_round = 0;
    int previous_lives = 0;
    // Where a failure happened, written only when one does.
    auto where = [&] {
        char text[160];
        snprintf(text, sizeof text, "game seed %u, style %d, tick %ld: ", game_seed, player.style, game_ticks);
        return std::string(text);
    };

    for (;;) {
        const int owed = 1 + static_cast<int>(rng() % MAX_TICKS_PER_FRAME);
        for (int t = 0; t < owed; t++) {
            if (in_game == 1) {
                set_game_input(rng, player);
                const bool tally_before = tally_active;
                const int clock_before = round_clock;
                const int lives_before = lives;
                game_tick();
                if (!tally_before && tally_active) tally.rounds_won++;
                if (clock_before == 1 && round_clock == ROUND_SECONDS && lives == lives_before - 1) tally.time_outs++;
                if (in_game == 0) {  // the game has ended
                    if (menu_screen != 0) return where() + "the game did not end at the title";
                    if (lives > 0) return where() + "the game ended with lives left";
                    if (game_over != 1) return where() + "the game ended without Game Over";
                    return "";
                }
            } else {
                if (game_started) return where() + "left the game without Game Over";
                const int screen_before = menu_screen;
                // Press and release Enter in random spells.
                if (player.hold_ticks-- <= 0) {
                    player.hold_ticks = static_cast<int>(rng() % 12);
                    key[KEY_ENTER] = !key[KEY_ENTER];
                }
                if (!key[KEY_ENTER]) enter_up_seen = true;
                menu_tick();
                if (menu_screen != screen_before || in_game) {
                    if (!enter_up_seen) return where() + "one Enter press acted twice";
                    enter_up_seen = false;
                }
                if (in_game) {
                    game_started = true;
                    if (round_number != 1 || lives != 3 || score != 0) return where() + "bad first round";
                    srand(game_seed);
                    player.hold_ticks = 0;
                    // Half the hunters join late, as if the first rounds had
                    // been won already, so the crowded late rounds get played.
                    if (player.style == STYLE_HUNTER && rng() % 2 == 0) {
                        const int skipped = static_cast<int>(rng() % 20);
                        for (int k = 0; k < skipped; k++) start_round();
                        player.tired_after_round += skipped;
                    }
                }
            }
            if (const char* broken = find_broken_rule()) return where() + broken;
            if (in_game) {
                game_ticks++;
                if (round_number < previous_round) return where() + "round number went back";
                if (lives > previous_lives && previous_round != 0) return where() + "a life came back";
                previous_round = round_number;
                previous_lives = lives;
                if (round_number > tally.highest_round) tally.highest_round = round_number;
                if (enemy_count > tally.max_enemy_count) tally.max_enemy_count = enemy_count;
            }
            tally.ticks++;
            if (game_ticks > MAX_TICKS_PER_GAME) return where() + "the game never ends";
        }
        // One frame.
        tally.frames++;
        if (in_game == 1) {
            const int n = run_hud_pass(lines, HUD_MAX_LINES);
            if (n < 0 || n > HUD_MAX_LINES) return where() + "HUD line count out of range";
        } else if (menu_screen == 1) {
            collect_item_box_screen_lines(lines, HUD_MAX_LINES);
        } else {
            collect_title_lines(lines, HUD_MAX_LINES);
        }
        if (const char* broken = find_broken_rule()) return where() + "after a frame: " + broken;
    }
}

TEST(Simulation, WholeGamesStayInsideTheRulesAndEndAtTheTitle) {
    const int games = env_int("SUNDOWN_SIM_GAMES", DEFAULT_GAMES);
    std::mt19937 rng(static_cast<unsigned>(env_int("SUNDOWN_SIM_SEED", 20240601)));
    start_at_title();
    max_score = 25000;
    Tally tally;
    for (int g = 0; g < games; g++) {
        const std::string error = play_one_game(rng, static_cast<unsigned>(rng()), tally);
        ASSERT_EQ(error, "") << "game " << g;
        tally.games++;
    }
    release_all_input();
    EXPECT_EQ(tally.games, games);
    EXPECT_GE(max_score, 25000);
    // The players must between them reach the late rounds and the time-out.
    if (games >= 100) {
        EXPECT_GT(tally.rounds_won, 0);
        EXPECT_EQ(tally.max_enemy_count, MAX_ENEMIES);
        EXPECT_GT(tally.time_outs, 0);
    }
    std::printf("%d games, %ld ticks, %ld frames, %d rounds won, %d time-outs, highest round %d\n",
                tally.games, tally.ticks, tally.frames, tally.rounds_won, tally.time_outs, tally.highest_round);
}

}  // namespace
