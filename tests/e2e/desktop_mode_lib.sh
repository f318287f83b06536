# Shared part of the desktop_mode_*_e2e tests, which each check one concern
# of the game's window on a desktop-like X server: one monitor, two
# monitors, focus and hold, window mode. The server is Xorg with the dummy
# driver at 1920x1080 with a 640x480 mode on offer (tests/display/start-x
# desktop); window managers run each in a D-Bus session of its own with its
# own settings. The probes are tests/support/probes.sh's.
#   desktop_mode_*_e2e.sh SUNDOWN_BINARY BUILD_DIR      (run by with-display)
set -u
game=$(readlink -f "${1:?game binary}")
build=$(readlink -f "${2:?build dir}")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/probes.sh"
cd "$build" || exit 1

# The test build writes its state, for the checks that read the round clock
# and the screen it is on.
test_game=$build/tests/sundown_test_build
export SUNDOWN_STATE_FILE=$shots_dir/$(basename "$0" _e2e.sh)-state
rm -f "$SUNDOWN_STATE_FILE"
state=$(mktemp -d)
wm_pids=()
wm_sessions=()  # dbus-run-session of each window manager: it ends its bus once the window manager ends
stop_desktop() {
  local p
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null
  for p in "${wm_pids[@]}"; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null; done
  wm_pids=()
  for p in "${wm_sessions[@]}"; do
    poll_until 5 not kill -0 "$p" 2>/dev/null || kill "$p" 2>/dev/null
    wait "$p" 2>/dev/null
  done
  wm_sessions=()
  "$here/../display/stop-x" "$state" >/dev/null
}
trap 'stop_desktop; rm -rf "$state"' EXIT

# start_desktop 24|16 [two]: the desktop at that depth; "two" leaves room in
# the screen for a second monitor.
start_desktop() {
  local kind=desktop
  [ "$1" = 16 ] && kind=desktop16
  "$here/../display/start-x" "$state" "$kind" "${2:-}" >/dev/null || { fail "desktop display at depth $1"; finish; }
  DISPLAY=$(cat "$state/display")
  export DISPLAY
}

expect_desktop_mode() { expect_eq "$("$build/tests/current_mode")" 1920x1080 "$1"; }

# The picture fills the screen's height, 4:3 kept, with black bars beside
# it. One screenshot under load once caught a nearly black frame of the
# title, and one a window manager's fade into full screen, so the picture is
# looked for over a few seconds.
expect_letterboxed() { expect_screen 10 "$1" "$1: the picture fills the middle of the screen" picture_lit "${2:-}"; }

# openbox with its own settings, and another program's window beside the game.
# The other window is mapped before openbox starts, which then takes it over
# with the windows it finds: openbox sets _NET_SUPPORTING_WM_CHECK before it
# has finished starting, and a window mapped in between was seen left unmapped
# for good (about 1 start in 8 here).
start_openbox() {
  command -v openbox >/dev/null || { fail "openbox is not installed (scripts/install-deps)"; return 1; }
  xmessage -name other -title "another program" -geometry 400x150+40+40 "another program" >"$state/xmessage.log" 2>&1 &
  wm_pids+=($!)
  poll_until 10 other_window_shown ||
    { fail "the other program's window did not appear: $(cat "$state/xmessage.log")"; return 1; }
  XDG_CONFIG_HOME=$state XDG_CACHE_HOME=$state openbox >"$state/openbox.log" 2>&1 </dev/null &
  wm_pids+=($!)
  poll_until 10 other_window_managed || { fail "openbox did not start or take the other window: $(cat "$state/openbox.log")"; return 1; }
}
other_window() { xdotool search --onlyvisible --name "^another program\$" 2>/dev/null | head -n 1; }
other_window_shown() { [ -n "$(other_window)" ]; }
other_window_managed() {
  local w
  w=$(other_window)
  [ -n "$w" ] && xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 && xprop -id "$w" WM_STATE 2>/dev/null | grep -q "window state"
}

# A window manager that runs: the window its _NET_SUPPORTING_WM_CHECK names
# still names itself (one that died leaves the root's property behind).
wm_running() {
  local check
  check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | awk '{ print $NF }')
  [ -n "$check" ] && xprop -id "$check" _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "$check"
}
# start_wm NAME: the window manager in a D-Bus session of its own, with its
# own settings; wm_pid is its process. One that is missing or does not
# start fails the test under CI and is passed over elsewhere.
start_wm() {
  local cmd
  case $1 in
    mutter) cmd=(mutter --x11 --replace) ;;
    kwin_x11) cmd=(kwin_x11 --replace) ;;
    xfwm4) cmd=(xfwm4 --replace) ;;
    *) cmd=("$1") ;;
  esac
  command -v "${cmd[0]}" >/dev/null || { cannot_run_part "$1 is not installed (scripts/install-deps)"; return 1; }
  mkdir -p "$state/$1"
  rm -f "$state/$1/pid"
  HOME=$state/$1 XDG_CONFIG_HOME=$state/$1 XDG_CACHE_HOME=$state/$1 XDG_DATA_HOME=$state/$1 \
    dbus-run-session -- sh -c 'echo $$ >"$0"; exec "$@"' "$state/$1/pid" "${cmd[@]}" >"$state/$1.log" 2>&1 </dev/null &
  wm_sessions+=($!)
  poll_until 30 test -s "$state/$1/pid" && wm_pid=$(cat "$state/$1/pid") && wm_pids+=("$wm_pid") &&
    poll_until 30 wm_running || { cannot_run_part "$1 did not start: $(tail -n 5 "$state/$1.log")"; return 1; }
  sleep 1  # settled: its panels and struts, if any
}
# The window manager ended, and its D-Bus session with it.
stop_wm() {
  kill "$wm_pid" 2>/dev/null
  poll_until 10 not kill -0 "$wm_pid" 2>/dev/null
  wait "${wm_sessions[-1]}" 2>/dev/null
}
