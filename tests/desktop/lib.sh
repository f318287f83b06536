# Shared part of the desktop tests: each *_desktop.sh script starts its
# compositor and says how it types a key (press_key) and takes a screenshot
# (capture), then calls run_desktop_checks. The game runs through Xwayland
# with a Wayland-native client focused first; keys go through the
# compositor's own input path. The probes are tests/support/probes.sh's.
#   SCRIPT SUNDOWN_BINARY BUILD_DIR [DESKTOP_KEYS]   (exit 0 pass, 1 fail, 77 skip)
# BUILD_DIR holds the datos/ the game runs with; DESKTOP_KEYS, the key typing
# client built with the tests (default BUILD_DIR/tests/desktop_keys).
set -u
game=$(readlink -f "${1:?game binary}")
build=$(readlink -f "${2:?build dir}")
keys_tool=${3:-$build/tests/desktop_keys}
here=$(cd "$(dirname "$0")" && pwd)
work=$build/desktop-$(basename "$0" _desktop.sh)
rm -rf "$work"; mkdir -p "$work/run"; chmod 700 "$work/run"
export XDG_RUNTIME_DIR=$work/run SCREENSHOT_DIR=$work SUNDOWN_STATE_FILE=$work/state
source "$here/../support/probes.sh"
cd "$build" || exit 1
pids=()        # every process this test started, ended by pid at exit

# start_bg LOG COMMAND...: runs COMMAND in the background, remembering its pid.
start_bg() {
  local log=$1; shift
  "$@" >"$work/$log" 2>&1 </dev/null &
  last_pid=$!
  pids+=("$last_pid")
}

stop_all() {
  local i p
  [ -n "$game_pid" ] && pids+=("$game_pid")
  for (( i=${#pids[@]}-1; i>=0; i-- )); do
    p=${pids[$i]}
    kill "$p" 2>/dev/null || continue
    poll_until 3 not kill -0 "$p" 2>/dev/null
    kill -9 "$p" 2>/dev/null
  done
  wait 2>/dev/null
}
trap stop_all EXIT

# Xwayland's display: the listening X socket held by the compositor or by a
# process under it ("ss" names the owners).
x_display_of() {
  local tree=" $1 " p n
  for p in $(pgrep -P "$1"); do tree+="$p $(pgrep -P "$p" | tr '\n' ' ') "; done
  n=$(ss -xlp 2>/dev/null | awk -v tree="$tree" '$5 ~ /^\/tmp\/.X11-unix\/X[0-9]+$/ {
        line = $0
        while (match(line, /pid=[0-9]+/)) {
          if (index(tree, " " substr(line, RSTART + 4, RLENGTH - 4) " ")) {
            sub(/.*X11-unix\/X/, "", $5); print $5; exit }
          line = substr(line, RSTART + RLENGTH) } }')
  [ -n "$n" ] && echo ":$n"
}

# xwayland_up PID: the compositor's Wayland socket is there and the Xwayland
# it started (PID is the compositor's) answers; DISPLAY (and XAUTHORITY, if
# the script set x_auth) are then its, for the game and the probes.
xwayland_up() {
  [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && DISPLAY=$(x_display_of "$1") || return 1
  export DISPLAY
  [ -n "${x_auth:-}" ] && export XAUTHORITY=$x_auth
  xdpyinfo >/dev/null 2>&1
}

# start_keys: the typing client, kept running so the compositor sees one
# keyboard all along. press_key NAME 1|0 presses or releases a key and waits
# until the compositor has taken it; hold_key goes through it.
start_keys() {
  [ -x "$keys_tool" ] || cannot_run "no $keys_tool (built with the tests)"
  coproc KEYS { exec "$keys_tool" 2>>"$work/keys.log"; }
  pids+=("$KEYS_PID")
}
declare -A evdev_code=([Escape]=1 [Return]=28 [w]=17 [Shift_L]=42 [F11]=87)
press_key() {
  local verb=release reply=
  [ "$2" = 1 ] && verb=press
  echo "$verb ${evdev_code[$1]}" >&"${KEYS[1]}" 2>/dev/null && read -r -t 5 -u "${KEYS[0]}" reply
  [ "$reply" = ok ] || { fail "the compositor did not take the key $1 ($(cat "$work/keys.log"))"; return 1; }
}
hold_key() { press_key "$1" 1; sleep "${2:-0.3}"; press_key "$1" 0; }

# focus_terminal NAME COMMAND...: starts the Wayland terminal that has the
# focus when the game starts, and waits until the screen shows it.
terminal_shown() { capture "$work/terminal.png" && differs desktop terminal; }
focus_terminal() {
  local name=$1; shift
  capture "$work/desktop.png"
  start_bg terminal.log "$@"
  expect_within 15 "$name runs, focused, before the game starts" terminal_shown
}

# The game from the title through the controls screen into round 1, each
# screen filling the output 4:3 between black bars, the window manager's
# focus on the game, its window over the output the script names
# (game_output, "X Y WxH" as X sees it) if it names one; then what the
# script checks in play (in_play, if it defines it), and Escape.
run_desktop_checks() {
  start_keys
  start_game "$game"
  expect_screen 30 title "the title screen fills the output" title_shown || cat "$work/game.log"
  expect_within 10 "the window manager gives the game's window the focus (_NET_ACTIVE_WINDOW)" game_focused
  [ -n "${game_output:-}" ] && expect_within 5 "full screen on the second output: the window covers it at $game_output" \
    window_at "$game_output"
  hold_key Return
  expect_screen 5 controls "Enter (typed through the compositor) leads to the controls screen" controls_shown
  hold_key Return
  expect_screen 5 intro "Enter starts round 1 with its READY intro" round1_shown
  declare -F in_play >/dev/null && in_play
  hold_key Escape
  expect_exit_within 5 0 "Escape ends the game with status 0"
  echo "pictures in $work"
  finish
}
