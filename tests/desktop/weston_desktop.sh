#!/usr/bin/env bash
# The game on weston (headless backend, GL renderer, 1280x800) through
# Xwayland, with weston-terminal focused before it starts. The headless
# backend has no input devices and Debian's weston no virtual keyboard, so the
# weston_keys module built with the tests gives it a keyboard on its seat.
# Screenshots: weston-screenshooter (weston runs with --debug for it).
source "$(dirname "$0")/lib.sh"
need weston weston-terminal weston-screenshooter Xwayland ss convert
module=${WESTON_KEYS_MODULE:-$build/tests/weston_keys.so}
[ -f "$module" ] || cannot_run "no $module (built with the tests)"

mkfifo "$work/keys"
export WESTON_KEYS_FIFO=$work/keys WAYLAND_DISPLAY=weston-desktop
start_bg weston.log weston --backend=headless-backend.so --use-gl --width=1280 --height=800 \
  --xwayland --debug --socket="$WAYLAND_DISPLAY" --modules="$module"
weston_pid=$last_pid
x_auth=
poll_until 30 xwayland_up "$weston_pid" || { tail "$work/weston.log"; cannot_run "weston did not start"; }

start_keys() { exec 8>"$work/keys"; }
press_key() { [ "$2" = 1 ] && echo "press ${evdev_code[$1]}" >&8 || echo "release ${evdev_code[$1]}" >&8; }
capture() {
  rm -f "$work"/shots/wayland-screenshot-*.png; mkdir -p "$work/shots"
  (cd "$work/shots" && weston-screenshooter) && mv "$work"/shots/wayland-screenshot-*.png "$1"
}

focus_terminal weston-terminal weston-terminal
run_desktop_checks
