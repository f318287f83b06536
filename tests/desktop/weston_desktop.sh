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
weston_ready() {
  [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && x_display=$(x_display_of "$weston_pid") &&
    DISPLAY=$x_display xdpyinfo >/dev/null 2>&1
}
wait_until 30 weston_ready || { tail "$work/weston.log"; cannot_run "weston did not start"; }
x_auth=

start_keys() { exec 8>"$work/keys"; }
press_key() { [ "$2" = 1 ] && echo "press ${evdev_code[$1]}" >&8 || echo "release ${evdev_code[$1]}" >&8; }
take_shot() {
  rm -f "$work"/shots/wayland-screenshot-*.png; mkdir -p "$work/shots"
  (cd "$work/shots" && weston-screenshooter) && mv "$work"/shots/wayland-screenshot-*.png "$1"
}

shot desktop
start_bg terminal.log weston-terminal
terminal_shown() { screen_is terminal differs_from_desktop; }
differs_from_desktop() { ! compare -metric AE -fuzz 10% "$work/desktop.png" "$work/$1.png" null: 2>/dev/null; }
wait_until 15 terminal_shown && pass "weston-terminal runs, focused, before the game starts" ||
  fail "weston-terminal did not appear"
run_desktop_checks
