#!/usr/bin/env bash
# A game played with a gamepad alone, end to end with the test build on the
# test display: a virtual pad (tests/e2e/virtual_pad.c, preloaded) is there
# from the start, and is unplugged and plugged in again on the title; A
# leads to the controls screen, which shows the pad's card, and Start into
# round 1; the left stick walks, the right one turns, the trigger fires the
# rifle (heard in the recorded audio); unplugging the pad holds the game
# until a button is pressed; a short press of Back does nothing, and Back
# held for a second quits with status 0.
# The prompts, read from the screen by their width: the game's own while
# the pad is unused or a key was pressed last, the pad's after a button
# (mouse motion changes nothing); with SteamDeck=1 the pad's from the start.
#   gamepad_e2e.sh SUNDOWN_BINARY BUILD_DIR      (run by with-display)
set -u
build=${2:?build dir}
source "$(dirname "$0")/../support/probes.sh"
cd "$build" || exit 1
test_game=$build/tests/sundown_test_build
export SUNDOWN_STATE_FILE=$shots_dir/gamepad-state
fifo=$shots_dir/gamepad-commands
rm -f "$SUNDOWN_STATE_FILE" "$fifo"
mkfifo "$fifo" || exit 1
exec 7<>"$fifo"  # read and write: opening never waits for the game

# Buttons and axes in SDL's game-controller order.
A=0 B=1 BACK=4 START=6 LEFT_Y=1 RIGHT_X=2 RIGHT_TRIGGER=5
pad() { echo "$*" >&7; }
press() { pad button "$1" 1; sleep "${2:-0.2}"; pad button "$1" 0; }
heading() { game_state player | awk '{ print $3 }'; }
between() { awk "BEGIN { exit !($1 >= $2 && $1 <= $3) }"; }

# The prompts' rows and colours, and how wide each reads: the title's grey
# "Press Enter" about 105 pixels and "Press A" about 68; the controls
# screen's blue "Press Enter to continue" about 226 and "Press A to
# continue" 187; under PAUSED "Connect a pad, then press A" about 266 and
# "Press A to continue" 186.
TITLE_ROW=320x26+160+272 GREY="r > 0.25 && abs(r - b) < 0.08 && abs(r - g) < 0.08"
CONTROLS_ROW=640x26+0+432 NOTE_ROW=640x30+0+280 BLUE="b > 0.7 && r > 0.3 && r < 0.65"
# expect_prompt SHOT ROW COLOUR MIN MAX WHAT: the title's prompt pulses up
# from black, and half lit its letters' edges fall below the colour's
# threshold, so the screen is taken again until the row's brightest channel
# is near full (the top fifth of a pulse, about 0.7 s of each 3.4 s).
prompt_shown() {
  take_screenshot "$1"
  width=$(lit_width "$1" "$2" "$3")
  [ "${width:-0}" -gt 0 ] && above "$(convert "$shots_dir/$1.png" -crop "$2" +repage -format '%[fx:maxima]' info: 2>/dev/null)" 0.8
}
expect_prompt() {
  poll_until 8 prompt_shown "$1" "$2" "$3"
  if between "${width:-0}" "$4" "$5"; then pass "$6 ($width pixels wide)"; else fail "$6 (${width:-0} pixels wide)"; fi
}

SUNDOWN_VIRTUAL_PAD=$fifo LD_PRELOAD=$build/tests/virtual_pad.so E2E_NAME=gamepad E2E_AUDIO=disk \
  start_game "$test_game"
wait_for_picture
wait_for_state 5 pad 1 "the game sees the pad plugged in at its start"
pad unplug
wait_for_state 5 pad 0 "unplugged on the title screen"
pad plug
wait_for_state 5 pad 1 "plugged in again on the title screen"

expect_prompt prompt-unused "$TITLE_ROW" "$GREY" 95 115 "a pad plugged in but unused: the title says Press Enter"
press $B
expect_prompt prompt-pad "$TITLE_ROW" "$GREY" 55 80 "after a pad button the title says Press A"
for x in 100 500 200 400; do xdotool mousemove $x 300; sleep 0.1; done
sleep 0.3
expect_prompt prompt-mouse-moved "$TITLE_ROW" "$GREY" 55 80 "the mouse moved alone: still Press A"
hold_key shift 0.2
expect_prompt prompt-key "$TITLE_ROW" "$GREY" 95 115 "after a key press the title says Press Enter again"

press $A
wait_for_state 5 menu_screen 1 "A leads from the title to the controls screen"
sleep 0.5
expect_prompt gamepad-controls "$CONTROLS_ROW" "$BLUE" 175 200 "the controls screen says Press A to continue"
expect "the pad's card stands where the mouse card stood, its fire buttons lit" \
  shows gamepad-controls 60x30+460+138 "r > 0.9 && g < 0.6 && b < 0.4"
hold_key shift 0.2
expect_prompt gamepad-controls-keys "$CONTROLS_ROW" "$BLUE" 215 240 "a key pressed: Press Enter to continue"
expect "nothing beside Item Box with the pad unused" not lit gamepad-controls-keys 240x120+390+280 0.02
press $START
wait_for_state 5 in_game 1 "Start begins round 1"
wait_for_state 8 round_intro 0 "the READY intro ends"

before=$(game_state player)
pad axis $LEFT_Y -32768; sleep 1; pad axis $LEFT_Y 0; sleep 0.3
after=$(game_state player)
expect "the left stick walks ($before to $after)" not [ "$before" = "$after" ]
turned_from=$(heading)
pad axis $RIGHT_X 32767; sleep 0.5; pad axis $RIGHT_X 0; sleep 0.3
expect "the right stick turns ($turned_from to $(heading))" above "$(heading)" "${turned_from:-0} + 0.5"
pad axis $RIGHT_TRIGGER 32767; sleep 1.2; pad axis $RIGHT_TRIGGER 0
sleep 0.5  # the last shot's sound reaches the recording
take_screenshot gamepad-play

pad unplug
sleep 0.5
held_clock=$(game_state round_clock)
sleep 2
take_screenshot gamepad-held
expect "unplugging the pad holds the game under PAUSED" differs gamepad-play gamepad-held
expect_eq "$(game_state round_clock)" "$held_clock" "the round clock stands while held"
expect_prompt gamepad-held "$NOTE_ROW" "$BLUE" 240 290 "PAUSED without a pad: Connect a pad, then press A"
pad plug
sleep 0.5
expect_prompt gamepad-held-plugged "$NOTE_ROW" "$BLUE" 170 200 "PAUSED with the pad back: Press A to continue"
press $A
expect_within 8 "a button on the pad plugged in again goes on" clock_below "$held_clock" ||
  echo "  the round clock is still $(round_clock)"

press $BACK 0.4
sleep 0.5
expect_running "a short press of Back does nothing"
press $BACK 1.4
expect_exit_within 2 0 "Back held for a second quits with status 0"

shots=$(rifle_shots)
if [ "${shots:-0}" -ge 1 ]; then pass "the trigger fired the rifle ($shots shots heard)"; else fail "no rifle shot was heard"; fi

# Started by Steam's Game Mode with a pad: the pad's prompt from the first frames.
rm -f "$SUNDOWN_STATE_FILE"
SteamDeck=1 SUNDOWN_VIRTUAL_PAD=$fifo LD_PRELOAD=$build/tests/virtual_pad.so start_game "$test_game"
poll_until 10 test -s "$SUNDOWN_STATE_FILE"
expect_eq "$(game_state input)" pad "SteamDeck=1 with a pad: the pad's prompts from the start"
expect_prompt deck-title "$TITLE_ROW" "$GREY" 55 80 "SteamDeck=1 with a pad: the title says Press A"
hold_key Escape 0.3
expect_exit_within 2 0 "Escape quits the Steam Deck's run"
finish
