#!/usr/bin/env bash
# Window mode on a desktop-like X server (one 1920x1080 monitor, depth 24)
# under openbox, with another program's window beside the game: on the
# title screen F11 and Alt+Enter each switch to a 960x720 window in the
# middle of the monitor, the picture filling it and the pointer confined
# while it has the focus, and back to full screen with the picture 4:3
# between black bars; Alt+Enter leaves the title screen as it is. Closing
# the window (openbox's Alt+F4) quits with status 0.
#   desktop_mode_window_e2e.sh SUNDOWN_BINARY BUILD_DIR      (run by with-display)
source "$(dirname "$0")/desktop_mode_lib.sh"

start_desktop 24
start_openbox
start_game "$test_game"
wait_for_picture
alt_enter() { xdotool keydown alt keydown Return; sleep 0.3; xdotool keyup Return keyup alt; }

hold_key F11 0.3
expect_within 5 "F11: the game goes to a 960x720 window" windowed_in "0 0 1920x1080" ||
  echo "  the window is at $(window_place)"
expect_screen 5 window-mode "window mode: the picture fills the window" picture_lit 960x720+480+180
expect "window mode: the pointer is confined while the window has the focus" pointer_taken
hold_key F11 0.3
expect_within 5 "F11 again: full screen" covers "0 0 1920x1080"

alt_enter
expect_within 5 "Alt+Enter: a window" windowed_in "0 0 1920x1080"
alt_enter
expect_within 5 "Alt+Enter again: full screen" covers "0 0 1920x1080"
expect_eq "$(game_state menu_screen)/$(game_state in_game)" 0/0 "Alt+Enter leaves the title screen as it is"
expect_letterboxed desktop-after-window-mode
hold_key Escape 0.3
expect_exit_within 3 0 "Escape quits with status 0"

start_game "$game"
poll_until 10 game_focused || fail "the game's window did not get the focus"
wait_for_picture  # the keys are read from the first frame on
hold_key F11 0.3
poll_until 5 windowed_in "0 0 1920x1080" || fail "F11 gave no window to close"
xdotool key alt+F4
expect_exit_within 3 0 "closing the window (openbox's Alt+F4) quits with status 0"
finish
