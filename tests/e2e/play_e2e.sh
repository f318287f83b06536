#!/usr/bin/env bash
# A newcomer's first game, end to end with the real binary on the test
# display: the title, Enter to the controls screen, Enter into round 1 with
# its READY intro, then play: W walks, the held left button fires and the
# rifle sounds (heard in the recorded audio under the music), and Escape
# quits with status 0. Screenshots of each screen stay in screenshots/.
#   play_e2e.sh SUNDOWN_BINARY BUILD_DIR      (run by with-display)
set -u
game=${1:?game binary}
build=${2:?build dir}
source "$(dirname "$0")/../support/probes.sh"
cd "$build" || exit 1

E2E_NAME=play E2E_AUDIO=disk start_game "$game"
wait_for_picture
expect_running "the game starts on the test display"
take_screenshot play-title
expect_not_black play-title
# "P1 ... Max 25000" across the top of the title screen.
expect "the score line of the title screen" lit play-title 400x30+0+0

hold_key Return 0.3
wait_for_change play-title play-controls "Enter leads from the title to the controls screen"
# The keyboard picture left of centre and the mouse picture right of it.
expect "the keyboard controls picture" lit play-controls 200x150+100+100
expect "the mouse controls picture" lit play-controls 200x150+340+100

hold_key Return 0.3
wait_for_change play-controls play-intro "Enter starts round 1"
# "Round 1" in green below the figure.
expect_screen 5 play-intro "the round number of the READY intro" round1_shown

# The play HUD after the intro: health in blue bottom left, "Inf" in yellow
# bottom right, "Life x 3" in green between them.
expect_screen 10 play-start "the health figure of the play HUD" hud_shown
expect "the ammunition of the play HUD" shows play-start 120x60+480+390 "r > 0.9 && g > 0.9 && b < 0.3"
expect "the lives of the play HUD" shows play-start 160x40+220+400 "g > 0.85 && r < 0.65 && b < 0.65"

xdotool keydown w
sleep 1.5
take_screenshot play-walked
xdotool keyup w
expect "W walks the player (the view changes)" differs play-start play-walked

# The button is held for 1.6 s; the game cannot have seen it held longer
# than from just before the press to just after the release.
pressing=$(date +%s.%N); xdotool mousedown 1
sleep 1.6
xdotool mouseup 1; released=$(date +%s.%N)
take_screenshot play-fired
sleep 0.5  # the last shot's sound reaches the recording

hold_key Escape 0.3
expect_exit_within 1.5 0 "Escape quits with status 0"

# The rifle sounds on the press and every half second while the button is
# held: a hold of h seconds fires at most int(h / 0.5) + 1 shots, give or
# take the tick the press and the release fall on. A game held up by a
# loaded machine sees the button for fewer ticks, so fewer is not a fault;
# none at all is.
fewest=1
most=$(awk "BEGIN { print int(($released - $pressing + 1 / 60) / 0.5) + 1 }")
shots=$(rifle_shots)
expect "the rifle sounded ${shots:-0} times while the button was held ($fewest to $most for the hold measured)" \
  [ "${shots:-0}" -ge "$fewest" -a "${shots:-0}" -le "$most" ]
finish
