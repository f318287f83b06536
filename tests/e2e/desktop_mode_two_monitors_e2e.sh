#!/usr/bin/env bash
# Two 1920x1080 monitors side by side (RandR outputs of the dummy driver),
# under mutter (--x11), kwin_x11, xfwm4, openbox and awesome, each in a
# D-Bus session of its own: started with the pointer on the second monitor,
# the game is full screen there (its window read through X), F11 gives a
# window inside it, moved to the first monitor F11 goes full screen there,
# and moved back full screen on the second again; with the second switched
# off (xrandr) it is full screen on the first, the picture whole and the
# pointer held. Under CI=true a window manager that cannot start fails the
# test.
#   desktop_mode_two_monitors_e2e.sh SUNDOWN_BINARY BUILD_DIR      (run by with-display)
source "$(dirname "$0")/desktop_mode_lib.sh"

two_monitors() {
  xrandr --output DUMMY0 --mode 1920x1080 --pos 0x0 --primary --output DUMMY1 --mode 1920x1080 --pos 1920x0
}

# One game start under a window manager on two monitors.
check_two_monitors() {
  local wm=$1
  two_monitors
  start_wm "$wm" || return
  xdotool mousemove 2500 500
  start_game "$game"
  expect_within 15 "$wm: full screen on the monitor under the pointer, the second" covers "1920 0 1920x1080" ||
    echo "  the window is at $(window_place)"
  # mutter's root window shows its own background, not the game on the second monitor.
  capture_window=$(game_window) expect_screen 5 "two-$wm-full" "$wm: the picture fills the middle of the game's window" picture_lit
  hold_key F11 0.3
  expect_within 5 "$wm: F11 gives a window inside the second monitor" windowed_in "1920 0 1920x1080" ||
    echo "  the window is at $(window_place)"
  sleep 0.5
  take_screenshot "two-$wm-window"
  # The player moves the window to the first monitor: full screen goes there.
  xdotool windowmove "$(game_window)" 480 180
  poll_until 5 windowed_in "0 0 1920x1080" || fail "$wm: the window could not be moved to the first monitor"
  hold_key F11 0.3
  expect_within 5 "$wm: moved to the first monitor, F11 goes full screen there" covers "0 0 1920x1080" ||
    echo "  the window is at $(window_place)"
  hold_key F11 0.3
  poll_until 5 windowed_in "0 0 1920x1080" || fail "$wm: F11 on the first monitor gave a window at $(window_place)"
  xdotool windowmove "$(game_window)" 2400 180
  poll_until 5 windowed_in "1920 0 1920x1080" || fail "$wm: the window could not be moved back to the second monitor"
  hold_key F11 0.3
  expect_within 5 "$wm: moved back, F11: full screen on the second monitor" covers "1920 0 1920x1080" ||
    echo "  the window is at $(window_place)"
  xrandr --output DUMMY1 --off
  expect_within 8 "$wm: the second monitor switched off: full screen on the first" covers "0 0 1920x1080" ||
    echo "  the window is at $(window_place)"
  # awesome focuses no window once the monitor the focused one was on is gone
  # (xterm loses it too): a click on the game gives it the focus back. Until
  # then the game holds, its picture frozen where the title may be dark.
  [ "$wm" = awesome ] && xdotool mousemove 960 540 click 1 && poll_until 3 pointer_taken
  expect_letterboxed "two-$wm-first" 1920x1080+0+0
  expect "$wm: the pointer is held after the switch" pointer_taken
  hold_key Escape 0.3
  expect_exit_within 3 0 "$wm: Escape quits with status 0"
  stop_wm
}

start_desktop 24 two
if xrandr --addmode DUMMY1 1920x1080 && two_monitors && [ "$(xrandr --listmonitors | head -n 1)" = "Monitors: 2" ]; then
  for wm in mutter kwin_x11 xfwm4 openbox awesome; do check_two_monitors "$wm"; done
else
  fail "the dummy driver gave no second monitor: $(xrandr 2>&1 | head -n 5)"
fi
finish
