#!/usr/bin/env bash
# The game on one 1920x1080 monitor of a desktop-like X server, at depth 24
# under openbox (with another program's window beside the game) and at depth
# 16 with no window manager: it fills the screen with its 640x480 picture
# scaled and black bars beside it, and never changes the video mode (read
# through XF86VidMode) during play or after Escape, SIGTERM (of a held
# game), SIGINT or SIGHUP, each signal ending it with status 128 + signal; it
# keeps its picture through an xrandr call, and a second copy leaves the
# first alone, says why on stderr and ends with status 255. Under awesome
# and fluxbox, with their default settings, full screen covers the monitor
# exactly; with fluxbox killed (its root property left behind) F11 still
# goes to a window inside the monitor and back.
#   desktop_mode_one_monitor_e2e.sh SUNDOWN_BINARY BUILD_DIR      (run by with-display)
source "$(dirname "$0")/desktop_mode_lib.sh"

for depth in 24 16; do
  start_desktop "$depth"
  expect_desktop_mode "depth $depth: the desktop's mode before the game"
  [ "$depth" = 24 ] && start_openbox
  start_game "$game"
  wait_for_picture
  sleep 0.5
  expect_running "depth $depth: the game starts"
  expect_desktop_mode "depth $depth: the mode during play"
  expect_letterboxed "desktop-$depth-title"

  if [ "$depth" = 24 ]; then
    xrandr >/dev/null 2>&1 || fail "xrandr could not query the screen"
    sleep 0.5
    expect_desktop_mode "the mode after an xrandr call"
    expect_letterboxed desktop-after-xrandr

    err=$(timeout 10 "$game" 2>&1 >/dev/null); status=$?
    expect_eq "$status" 255 "a second copy ends with status 255"
    expect_contains "$err" "already running" "a second copy says why on stderr"
    pgrep -f "xmessage.*Error al inicializar" >/dev/null && fail "a second copy opened a message box"
    expect_running "the first copy runs on after the second"
    expect_letterboxed desktop-after-second-copy
  fi

  hold_key Escape 0.3
  expect_exit_within 3 0 "depth $depth: Escape quits with status 0"
  expect_desktop_mode "depth $depth: the mode after Escape"

  if [ "$depth" = 24 ]; then
    for sig in TERM INT HUP; do
      start_game "$game"
      poll_until 10 game_focused || fail "the game's window did not get the focus"
      # A held game ends the same way.
      if [ "$sig" = TERM ]; then
        xdotool key alt+Tab
        poll_until 3 pointer_free || fail "alt+Tab did not hold the game before SIGTERM"
      fi
      kill -"$sig" "$game_pid"
      expect_exit_within 3 $((128 + $(kill -l "$sig"))) "SIG$sig ends the game with status 128 + signal"
      expect_desktop_mode "the mode after SIG$sig"
    done
  fi
  stop_desktop
done

# fluxbox's full screen once sat 19 px low, its bottom cut off, and awesome's
# below its bar (20 px), both with their default settings.
start_desktop 24
for wm in awesome fluxbox; do
  start_wm "$wm" || continue
  start_game "$game"
  expect_within 15 "$wm: full screen covers the monitor exactly" covers "0 0 1920x1080" ||
    echo "  the full-screen window is at $(window_place)"
  expect_letterboxed "one-$wm"
  hold_key Escape 0.3
  expect_exit_within 3 0 "$wm: Escape quits with status 0"
  [ "$wm" = fluxbox ] || stop_wm
done
if wm_running; then  # fluxbox, if it started
  # A window manager that died leaves its _NET_SUPPORTING_WM_CHECK on the
  # root: the game must see that none runs and place its window itself.
  kill -KILL "$wm_pid"
  poll_until 10 not wm_running
  start_game "$game"
  poll_until 10 window_at "0 0 1920x1080" || fail "no window manager: the window is at $(window_place)"
  wait_for_picture  # the keys are read from the first frame on
  hold_key F11 0.3
  expect_within 5 "no window manager (one died): F11 gives a window inside the monitor" windowed_in "0 0 1920x1080" ||
    echo "  the window is at $(window_place)"
  hold_key F11 0.3
  expect_within 5 "no window manager: F11 again covers the monitor" window_at "0 0 1920x1080" ||
    echo "  the window is at $(window_place)"
  hold_key Escape 0.3
  expect_exit_within 3 0 "no window manager: Escape quits with status 0"
fi
finish
