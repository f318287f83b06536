#!/usr/bin/env bash
# The game on KWin (virtual backend, 1280x800, its own D-Bus session) through
# Xwayland, with weston-terminal focused before it starts (foot 1.13 divides
# by the output's physical size, which KWin's virtual output lacks). Keys:
# desktop_keys through KWin's fake input; screenshots: KWin's ScreenShot2
# (kwin_shot.py). Both are for trusted clients, which a desktop names in .desktop
# files; the test lifts the checks with KWin's environment switches instead.
# kwin_wayland carries the file capability cap_sys_resource, and a container
# that does not grant it refuses to start the file, so a copy without it runs.
source "$(dirname "$0")/lib.sh"
need kwin_wayland Xwayland dbus-daemon weston-terminal ss convert /usr/bin/python3

start_bg dbus.log dbus-daemon --session --nofork --print-address=1 --address="unix:path=$XDG_RUNTIME_DIR/bus"
export DBUS_SESSION_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/bus
poll_until 10 test -S "$XDG_RUNTIME_DIR/bus" || cannot_run "no D-Bus session bus"
cp "$(command -v kwin_wayland)" "$work/kwin_wayland"   # a copy, without the file capability
export WAYLAND_DISPLAY=kwin-desktop
start_bg kwin.log env KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 \
  "$work/kwin_wayland" --virtual --xwayland --width 1280 --height 800 --socket "$WAYLAND_DISPLAY"
kwin_pid=$last_pid
x_auth=
poll_until 30 xwayland_up "$kwin_pid" || { tail "$work/kwin.log"; cannot_run "KWin did not start"; }

capture() { /usr/bin/python3 "$here/kwin_shot.py" "$work/shot.ppm" && convert "$work/shot.ppm" "$1"; }

focus_terminal weston-terminal weston-terminal
run_desktop_checks
