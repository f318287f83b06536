#!/usr/bin/env bash
# The game on mutter (headless, a 1280x800 virtual monitor, its own D-Bus
# session and PipeWire) through Xwayland, with the Wayland terminal foot
# focused before it starts. Keys and screenshots go through mutter's
# RemoteDesktop and ScreenCast interfaces (mutter_remote.py).
source "$(dirname "$0")/lib.sh"
need mutter Xwayland dbus-daemon pipewire wireplumber foot ss convert /usr/bin/python3
/usr/bin/python3 -c 'import gi; gi.require_version("Gst", "1.0"); from gi.repository import Gst; Gst.init(None); assert Gst.ElementFactory.find("pipewiresrc")' 2>/dev/null ||
  cannot_run "python3-gi with GStreamer's pipewiresrc is not installed (scripts/install-deps)"

start_bg dbus.log dbus-daemon --session --nofork --print-address=1 --address="unix:path=$XDG_RUNTIME_DIR/bus"
export DBUS_SESSION_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/bus
poll_until 10 test -S "$XDG_RUNTIME_DIR/bus" || cannot_run "no D-Bus session bus"
start_bg pipewire.log pipewire
poll_until 10 test -S "$XDG_RUNTIME_DIR/pipewire-0" || cannot_run "PipeWire did not start"
start_bg wireplumber.log wireplumber
export WAYLAND_DISPLAY=mutter-desktop
start_bg mutter.log mutter --headless --wayland --virtual-monitor 1280x800 --wayland-display="$WAYLAND_DISPLAY"
mutter_pid=$last_pid
# mutter's Xwayland wants the cookie mutter writes for it.
mutter_ready() {
  x_auth=$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* 2>/dev/null | head -n 1) && [ -n "$x_auth" ] &&
    xwayland_up "$mutter_pid"
}
poll_until 30 mutter_ready || { tail "$work/mutter.log"; cannot_run "mutter did not start"; }

coproc REMOTE { exec /usr/bin/python3 "$here/mutter_remote.py" 2>>"$work/remote.log"; }
pids+=("$REMOTE_PID")
read -r -t 20 -u "${REMOTE[0]}" reply && [ "$reply" = ready ] ||
  cannot_run "mutter's remote desktop did not start ($(cat "$work/remote.log"))"
remote() {
  local reply=
  echo "$*" >&"${REMOTE[1]}" 2>/dev/null && read -r -t 10 -u "${REMOTE[0]}" reply
  [ "$reply" = ok ] || { echo "mutter_remote: $* -> ${reply:-no answer}" >>"$work/remote.log"; return 1; }
}
start_keys() { :; }
press_key() {
  [ "$2" = 1 ] && set -- press "${evdev_code[$1]}" || set -- release "${evdev_code[$1]}"
  remote "$@" || fail "mutter did not take the key"
}
capture() { remote shot "$work/shot.ppm" && convert "$work/shot.ppm" "$1"; }

# The headless seat has no keyboard until the remote desktop first types: then
# Xwayland makes its X keyboard while that first key is on its way and loses
# it. A desktop has its keyboard before any game starts, so the test gives the
# seat its keyboard first with a Shift nobody sees.
press_key Shift_L 1 && press_key Shift_L 0
focus_terminal foot foot
run_desktop_checks
