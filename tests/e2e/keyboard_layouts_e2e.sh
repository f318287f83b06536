#!/usr/bin/env bash
# Walking by the keys' places on five keyboard layouts, with the test build
# of the game, which writes its state to a file. On each layout the
# controls screen names the four keys as the layout prints them, the key
# where W sits on a US keyboard (XKB name AD02) walks forward, the key where
# A sits (AC01) strafes left, and a key the layout labels W elsewhere does
# nothing. Then the layout changes under the running game: an XKB group
# switch and a new keymap (MappingNotify) on the controls screen change its
# labels, and a new keymap during play leaves the keys in their places. The
# display's keymap is put back at the end. Screenshots of each controls
# screen: screenshots/layouts-LAYOUT-controls.png.
#   keyboard_layouts_e2e.sh SUNDOWN_BINARY BUILD_DIR      (run by with-display)
set -u
build=$(readlink -f "${2:?build dir}")
game=$build/tests/sundown_test_build
source "$(dirname "$0")/../support/probes.sh"
cd "$build" || exit 1

export SUNDOWN_STATE_FILE=$shots_dir/layouts-state
saved_keymap=$shots_dir/layouts-saved.xkb
xkbcomp -xkb "$DISPLAY" "$saved_keymap" 2>/dev/null || fail "the display's keymap could not be saved"

# Locks the display's XKB group (0 is the first layout of a list).
lock_group() {
  python3 -c '
import ctypes, sys
x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
display = ctypes.c_void_p(x11.XOpenDisplay(None))
x11.XkbLockGroup(display, 0x100, int(sys.argv[1]))  # XkbUseCoreKbd
x11.XCloseDisplay(display)' "$1"
}

# The keycode of the key with an XKB name (AD02) in the display's keymap.
keycode_of() {
  xkbcomp -xkb "$DISPLAY" - 2>/dev/null | awk -v name="<$1>" '$1 == name { gsub(/;/, "", $3); print $3; exit }'
}

restore_keymap() {
  xkbcomp "$saved_keymap" "$DISPLAY" 2>/dev/null
  lock_group 0
}
trap restore_keymap EXIT

# Holds a key, given by its keycode, for 0.4 s (24 ticks, 6 units of walking)
# and checks which way the player went: expect_walk KEYCODE forward|left|none WHAT
expect_walk() {
  local before after moved
  before=$(game_state player)
  hold_key "$1" 0.4
  sleep 0.2
  after=$(game_state player)
  # Forward and rightward parts of the move, by the heading before it.
  moved=$(awk -v a="$before" -v b="$after" 'BEGIN {
    split(a, p, " "); split(b, q, " "); dx = q[1] - p[1]; dy = q[2] - p[2]; h = p[3]
    printf "%.2f %.2f", dx * sin(h) + dy * cos(h), dx * cos(h) - dy * sin(h) }')
  local forward=${moved% *} right=${moved#* } went
  case $2 in
    forward) went="$forward > 2 && $right * $right < 0.25" ;;
    left) went="$right < -2 && $forward * $forward < 0.25" ;;
    none) went="$forward * $forward < 0.25 && $right * $right < 0.25" ;;
  esac
  expect "$3 (went $forward forward and $right right)" awk "BEGIN { exit !($went) }"
}

# From the title to the controls screen, waiting for its labels.
to_controls_screen() {
  hold_key Return 0.3
  wait_for_state 5 menu_screen 1 "$1: Enter leads to the controls screen"
  sleep 0.5  # the labels are read on the screen's first frame
}

# From the controls screen into play, once the READY intro is over.
to_play() {
  hold_key Return 0.3
  poll_until 10 state_is in_game 1 && poll_until 10 state_is round_intro 0 || fail "$1: round 1 did not begin"
}

quit_game() {
  hold_key Escape 0.3
  expect_exit_within 1.5 0 "$1: Escape quits with status 0"
}

# Each layout with the labels its controls screen shows: forward, back, left, right.
while read -r layout labels; do
  setxkbmap "$layout" || { fail "$layout: setxkbmap refused the layout"; continue; }
  forward_key=$(keycode_of AD02) left_key=$(keycode_of AC01)
  # The key this layout prints W on (the first column of xmodmap's table).
  labelled_w=$(xmodmap -pke | awk '$4 == "w" { print $2; exit }')
  E2E_NAME=layouts-$layout start_game "$game"
  wait_for_picture || { kill -9 "$game_pid"; game_pid=; continue; }
  to_controls_screen "$layout"
  take_screenshot "layouts-$layout-controls"
  expect_eq "$(game_state labels)" "$labels" "$layout: the controls screen names the keys $labels"
  to_play "$layout"
  expect_walk "$forward_key" forward "$layout: the key at W's place (keycode $forward_key) walks forward"
  expect_walk "$left_key" left "$layout: the key at A's place (keycode $left_key) strafes left"
  if [ -n "$labelled_w" ] && [ "$labelled_w" != "$forward_key" ]; then
    expect_walk "$labelled_w" none "$layout: the key labelled W (keycode $labelled_w) does not walk"
  fi
  quit_game "$layout"
done <<'LAYOUTS'
us W S A D
fr Z S Q D
de W S A D
dvorak , O A E
ru Ц Ы Ф В
LAYOUTS

# The layout changing while the game runs.
setxkbmap -layout us,fr && lock_group 0
E2E_NAME=layouts-switch start_game "$game"
if wait_for_picture; then
  to_controls_screen switch
  expect_eq "$(game_state labels)" "W S A D" "us,fr in its first group: US labels"
  lock_group 1
  wait_for_state 3 labels "Z S Q D" "a switch to the French group changes the labels"
  setxkbmap dvorak
  wait_for_state 3 labels ", O A E" "a new keymap on the controls screen changes the labels"
  to_play switch
  setxkbmap fr
  sleep 0.5
  expect_walk "$(keycode_of AD02)" forward "after a new keymap in play, the key at W's place still walks forward"
  expect_walk "$(keycode_of AB01)" none "and the key labelled W on it does not walk"
  quit_game switch
fi
finish
