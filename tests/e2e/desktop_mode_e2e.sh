#!/usr/bin/env bash
# The game on a desktop-like X server (Xorg, dummy driver, 1920x1080 with a
# 640x480 mode on offer, at depth 24 and 16): it fills the screen with the
# 640x480 picture scaled and black bars beside it, never changes the video
# mode (read through XF86VidMode) during play or after Escape, SIGTERM,
# SIGINT or SIGHUP, keeps its picture through an xrandr call, and a second
# copy leaves the first alone, says why on stderr and ends with status 255.
#   desktop_mode_e2e.sh SUNDOWN_BINARY BUILD_DIR      (run by with-display)
set -u
game=$(readlink -f "${1:?game binary}")
build=$(readlink -f "${2:?build dir}")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e_lib.sh"
cd "$build" || exit 1

mode_probe=$build/tests/current_mode
xorg_pid=
stop_desktop() { [ -n "$xorg_pid" ] && kill "$xorg_pid" 2>/dev/null && wait "$xorg_pid" 2>/dev/null; xorg_pid=; }
trap stop_desktop EXIT

start_desktop() {
  local depth=$1 n=
  state=$(mktemp -d)
  cp "$here/../display/xorg-desktop.conf" "$state/xorg.conf"
  # The server picks a free display number itself and reports it on fd 3.
  mkfifo "$state/displayfd"
  Xorg -displayfd 3 -noreset -nolisten tcp -depth "$depth" -config "$state/xorg.conf" \
    -logfile "$state/xorg.log" 3>"$state/displayfd" >/dev/null 2>&1 </dev/null &
  xorg_pid=$!
  read -r -t 20 n <"$state/displayfd"
  export DISPLAY=":$n"
  if [ -z "$n" ] || ! poll_until 10 xdpyinfo >/dev/null 2>&1; then
    echo "the desktop display (Xorg, xorg-desktop.conf, depth $depth) did not start:"
    tail -n 20 "$state/xorg.log"
    fail "desktop display at depth $depth"
    finish_e2e
  fi
}

expect_desktop_mode() { expect_eq "$("$mode_probe")" 1920x1080 "$1"; }

# The picture fills the screen's height, 4:3 kept, with black bars beside it.
# One screenshot under load once caught a nearly black frame of the title,
# so the picture is looked for over a few seconds.
expect_letterboxed() {
  local _
  for _ in $(seq 1 20); do
    take_screenshot "$1"
    awk "BEGIN { exit !($(brightness "$1" 1440x1080+240+0) > 0.01) }" && break
    sleep 0.25
  done
  expect_region_lit "$1" 1440x1080+240+0 "$1: the picture fills the middle of the screen"
  local left right
  left=$(brightness "$1" 240x1080+0+0)
  right=$(brightness "$1" 240x1080+1680+0)
  if awk "BEGIN { exit !(${left:-1} < 0.002 && ${right:-1} < 0.002) }"; then
    pass "$1: black bars left and right"
  else
    fail "$1: the bars are not black (left $left, right $right)"
  fi
}

for depth in 24 16; do
  start_desktop "$depth"
  E2E_NAME=desktop-$depth
  expect_desktop_mode "depth $depth: the desktop's mode before the game"

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
      wait_for_picture
      kill -"$sig" "$game_pid"
      expect_exit_within 3 $((128 + $(kill -l "$sig"))) "SIG$sig ends the game with status 128 + signal"
      expect_desktop_mode "the mode after SIG$sig"
    done
  fi
  stop_desktop
done

finish_e2e
