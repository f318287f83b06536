#!/usr/bin/env bash
# A game played with a gamepad alone, end to end with the test build on the
# test display: a virtual pad (tests/e2e/virtual_pad.c, preloaded) is there
# from the start, and is unplugged and plugged in again on the title; A leads to the controls screen, which shows the pad's
# controls, and Start into round 1; the left stick walks, the right one
# turns, the trigger fires the rifle (heard in the recorded audio);
# unplugging the pad holds the game until a button is pressed; a short
# press of Back does nothing, and Back held for a second quits with status 0.
#   gamepad_e2e.sh SUNDOWN_BINARY BUILD_DIR      (run by with-display)
set -u
build=${2:?build dir}
source "$(dirname "$0")/e2e_lib.sh"
cd "$build" || exit 1
test_game=$build/tests/sundown_test_build
export SUNDOWN_STATE_FILE=$shots_dir/gamepad-state
fifo=$shots_dir/gamepad-commands
rm -f "$SUNDOWN_STATE_FILE" "$fifo"
mkfifo "$fifo" || exit 1
exec 7<>"$fifo"  # read and write: opening never waits for the game

# Buttons and axes in SDL's game-controller order.
A=0 BACK=4 START=6 LEFT_Y=1 RIGHT_X=2 RIGHT_TRIGGER=5
pad() { echo "$*" >&7; }
press() { pad button "$1" 1; sleep "${2:-0.2}"; pad button "$1" 0; }
heading() { game_state player | awk '{ print $3 }'; }
clock_below() { awk "BEGIN { exit !($(game_state round_clock) < $1) }"; }

SUNDOWN_VIRTUAL_PAD=$fifo LD_PRELOAD=$build/tests/virtual_pad.so E2E_NAME=gamepad E2E_AUDIO=disk \
  start_game "$test_game"
wait_for_picture
wait_for_state 5 pad 1 "the game sees the pad plugged in at its start"
pad unplug
wait_for_state 5 pad 0 "unplugged on the title screen"
pad plug
wait_for_state 5 pad 1 "plugged in again on the title screen"

press $A
wait_for_state 5 menu_screen 1 "A leads from the title to the controls screen"
sleep 0.5
take_screenshot gamepad-controls
press $START
wait_for_state 5 in_game 1 "Start begins round 1"
wait_for_state 8 round_intro 0 "the READY intro ends"

before=$(game_state player)
pad axis $LEFT_Y -32768; sleep 1; pad axis $LEFT_Y 0; sleep 0.3
after=$(game_state player)
if [ "$before" != "$after" ]; then pass "the left stick walks ($before to $after)"; else fail "the left stick did not walk"; fi
turned_from=$(heading)
pad axis $RIGHT_X 32767; sleep 0.5; pad axis $RIGHT_X 0; sleep 0.3
if awk "BEGIN { exit !($(heading) > ${turned_from:-0} + 0.5) }"; then
  pass "the right stick turns ($turned_from to $(heading))"
else
  fail "the right stick did not turn ($turned_from to $(heading))"
fi
pad axis $RIGHT_TRIGGER 32767; sleep 1.2; pad axis $RIGHT_TRIGGER 0
sleep 0.5  # the last shot's sound reaches the recording
take_screenshot gamepad-play

pad unplug
sleep 0.5
held_clock=$(game_state round_clock)
sleep 2
take_screenshot gamepad-held
expect_differs gamepad-play gamepad-held "unplugging the pad holds the game under PAUSED"
expect_eq "$(game_state round_clock)" "$held_clock" "the round clock stands while held"
pad plug
sleep 0.5
press $A
if poll_until 8 clock_below "$held_clock"; then
  pass "a button on the pad plugged in again goes on"
else
  fail "the game still holds after a button was pressed (clock $(game_state round_clock))"
fi

press $BACK 0.4
sleep 0.5
expect_running "a short press of Back does nothing"
press $BACK 1.4
expect_exit_within 2 0 "Back held for a second quits with status 0"

shots=$("$build/tests/find_sample" "$audio_file" datos/rifle.wav | awk '/^occurrences:/ { print $2 }')
if [ "${shots:-0}" -ge 1 ]; then pass "the trigger fired the rifle ($shots shots heard)"; else fail "no rifle shot was heard"; fi
finish_e2e
