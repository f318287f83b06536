#!/usr/bin/env bash
# Focus and hold on a desktop-like X server (one 1920x1080 monitor, depth 24)
# under openbox, with another program's window beside the game. In play,
# alt+Tab away frees the pointer (another program's grab succeeds) and holds
# the game: the round clock, which the test build reports, stands still,
# PAUSED shows and the recorded sound is silent. A click on the game takes
# the pointer back and play and sound go on; the click fires nothing, and
# the button pressed again in play fires. A 10 s SIGSTOP costs the clock at
# most a second.
#   desktop_mode_focus_e2e.sh SUNDOWN_BINARY BUILD_DIR      (run by with-display)
source "$(dirname "$0")/desktop_mode_lib.sh"

start_desktop 24
start_openbox
E2E_NAME=desktop-focus E2E_AUDIO=disk start_game "$test_game"
wait_for_picture
poll_until 10 game_focused || fail "the game's window did not get the focus"
hold_key Return 0.3; sleep 0.5; hold_key Return 0.3

focus_away() { xdotool key alt+Tab; }
# The click that gives the focus back, held a while, only gives the focus;
# the button fires once released and pressed again in play.
focus_back() { xdotool mousemove 1700 900 mousedown 1; sleep 0.7; xdotool mouseup 1; }
check_focus_and_hold covered
expect "focus back: the sound goes on" not audio_silent_for 1
expect_eq "$(rifle_shots)" 0 "the click that gave the focus back fired nothing"
# Pressed again for less than the rifle's half second: one shot, heard at
# the press, counted once the game has ended and its recording is whole.
# (Not during a READY intro, which the enemies' fire may have brought on:
# no one fires then.)
poll_until 5 state_is round_intro 0 || fail "round 1 is still in its READY intro"
pressed=$(recorded_seconds)
hold_button 1 0.3
released=$(recorded_seconds)

before=$(round_clock)
kill -STOP "$game_pid"; sleep 10; kill -CONT "$game_pid"; sleep 0.5
after=$(round_clock)
expect "stopped for 10 s, the stall is not played: the clock went from $before to $after" \
  [ -n "$after" -a $((before - after)) -le 1 ]

hold_key Escape 0.3
expect_exit_within 3 0 "Escape quits with status 0"
expect_eq "$(rifle_shots_fired_between "$pressed" "$released")" 1 \
  "pressed again in play after the focus came back, the left button fires"
finish
