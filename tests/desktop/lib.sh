# Shared part of the desktop tests: each *_desktop.sh script defines how its
# compositor starts, types a key and takes a screenshot, then calls
# run_desktop_checks. The game runs through Xwayland with a Wayland-native
# client focused first; keys go through the compositor's own input path.
#   SCRIPT SUNDOWN_BINARY BUILD_DIR [DESKTOP_KEYS]   (exit 0 pass, 1 fail, 77 skip)
# BUILD_DIR holds the datos/ the game runs with; DESKTOP_KEYS, the key typing
# client built with the tests (default BUILD_DIR/tests/desktop_keys).
set -u
game=$(readlink -f "${1:?game binary}")
build=$(readlink -f "${2:?build dir}")
keys_tool=${3:-$build/tests/desktop_keys}
name=$(basename "$0" _desktop.sh)
here=$(cd "$(dirname "$0")" && pwd)
work=$build/desktop-$name
rm -rf "$work"; mkdir -p "$work/run"; chmod 700 "$work/run"
export XDG_RUNTIME_DIR=$work/run
failures=0
pids=()        # every process this test started, ended by pid at exit
game_pid=

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# A compositor that cannot run here: skipped outside CI, a failure under it.
cannot_run() {
  echo "$name: $*" >&2
  [ "${CI:-}" = true ] && { echo "$name: required under CI; failing." >&2; exit 1; }
  exit 77
}
need() { for c in "$@"; do command -v "$c" >/dev/null || cannot_run "$c is not installed (scripts/install-deps)"; done; }

# start_bg LOG COMMAND...: runs COMMAND in the background, remembering its pid.
start_bg() {
  local log=$1; shift
  "$@" >"$work/$log" 2>&1 </dev/null &
  last_pid=$!
  pids+=("$last_pid")
}

# wait_until SECONDS COMMAND...: polls COMMAND every 0.1 s until it succeeds.
wait_until() {
  local deadline=$(( $(date +%s%N) + ${1%.*} * 1000000000 )); shift
  until "$@"; do
    [ "$(date +%s%N)" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}

stop_all() {
  local i p
  for (( i=${#pids[@]}-1; i>=0; i-- )); do
    p=${pids[$i]}
    kill "$p" 2>/dev/null || continue
    for _ in $(seq 1 30); do kill -0 "$p" 2>/dev/null || break; sleep 0.1; done
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
# it started (PID is the compositor's) answers; sets x_display.
xwayland_up() {
  [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && x_display=$(x_display_of "$1") &&
    DISPLAY=$x_display XAUTHORITY=${x_auth:-} xdpyinfo >/dev/null 2>&1
}

# start_keys: the typing client, kept running so the compositor sees one
# keyboard all along. press_key NAME 1|0 presses or releases a key and waits
# until the compositor has taken it.
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

# hold KEY: press, hold 0.3 s (the menus ignore shorter taps), release.
hold() { press_key "$1" 1; sleep 0.3; press_key "$1" 0; }

# --- pictures ---------------------------------------------------------------
# shot NAME: a screenshot through the compositor into $work/NAME.png, and
# $work/NAME-frame.png, the 4:3 middle of it scaled to the game's 640x480.
shot() {
  take_shot "$work/$1.png" 2>>"$work/shots.log" || return 1
  read -r out_w out_h < <(identify -format '%w %h\n' "$work/$1.png" 2>/dev/null) || return 1
  frame_w=$(( out_h * 4 / 3 )); frame_x=$(( (out_w - frame_w) / 2 ))
  convert "$work/$1.png" -crop "${frame_w}x${out_h}+${frame_x}+0" +repage \
    -resize '640x480!' "$work/$1-frame.png"
}

# share IMAGE REGION PREDICATE: share of the pixels of REGION (WxH+X+Y) where
# the -fx PREDICATE on r, g, b (0..1) holds.
share() {
  convert "$1" -crop "$2" +repage -fx "($3) ? 1 : 0" -format '%[fx:mean]' info: 2>/dev/null
}
above() { awk "BEGIN { exit !(${1:-0} > $2) }"; }

# The bars left and right of the 4:3 picture hold no lit pixel.
bars_black() {
  [ "$frame_x" -ge 2 ] || return 0
  local w=$(( frame_x - 1 )) right=$(( frame_x + frame_w + 1 ))
  ! above "$(share "$work/$1.png" "${w}x${out_h}+0+0" 'r+g+b > 0.1')" 0.0005 &&
  ! above "$(share "$work/$1.png" "${w}x${out_h}+${right}+0" 'r+g+b > 0.1')" 0.0005
}

# What each screen shows, in 640x480 frame coordinates: the white "P1" of the
# title's score line with nothing white between it and the score (a white
# title bar is not the title; the title picture itself flies and fades, so it
# is no sign), the blue "Press Enter to continue" under the controls
# pictures, the green "Round 1" of the READY intro.
is_title() {
  above "$(share "$work/$1-frame.png" 150x30+0+0 'r > 0.75 && g > 0.75 && b > 0.75')" 0.005 &&
  ! above "$(share "$work/$1-frame.png" 70x25+80+0 'r > 0.75 && g > 0.75 && b > 0.75')" 0.05
}
is_controls() {
  above "$(share "$work/$1-frame.png" 300x30+210+425 'b > 0.8 && r < 0.75 && g < 0.75')" 0.01 &&
  above "$(share "$work/$1-frame.png" 200x150+100+100 'r + g + b > 0.3')" 0.05 &&
  above "$(share "$work/$1-frame.png" 200x150+340+100 'r + g + b > 0.3')" 0.05
}
is_intro() { above "$(share "$work/$1-frame.png" 200x40+220+400 'g > 0.85 && r < 0.65 && b < 0.65')" 0.01; }

# expect_screen NAME CHECK SECONDS WHAT: polls screenshots until CHECK holds.
n_shot=0
screen_is() { n_shot=$((n_shot + 1)); shot "$1" && "$2" "$1"; }
expect_screen() {
  local t0=$(date +%s%N)
  if wait_until "$3" screen_is "$1" "$2"; then pass "$4 ($(( ($(date +%s%N) - t0) / 1000000 )) ms)"
  else fail "$4 (not in $3 s; see $work/$1.png)"; return 1; fi
  if bars_black "$1"; then pass "$1: the ${out_w}x${out_h} output shows the picture ${frame_w} wide, black bars beside it"
  else fail "$1: the picture is not 4:3 between black bars on the ${out_w}x${out_h} output (see $work/$1.png)"; fi
}

# focus_terminal NAME COMMAND...: starts the Wayland terminal that has the
# focus when the game starts, and waits until the screen shows it.
differs_from_desktop() { ! compare -metric AE -fuzz 10% "$work/desktop.png" "$work/$1.png" null: 2>/dev/null; }
focus_terminal() {
  local name=$1; shift
  shot desktop
  start_bg terminal.log "$@"
  if wait_until 15 screen_is terminal differs_from_desktop; then pass "$name runs, focused, before the game starts"
  else fail "$name did not appear"; fi
}

# --- the game -----------------------------------------------------------------
start_game() {
  ( cd "$build" && ulimit -c unlimited 2>/dev/null; exec env DISPLAY="$x_display" ${x_auth:+XAUTHORITY=$x_auth} \
      WAYLAND_DISPLAY="$WAYLAND_DISPLAY" SDL_AUDIODRIVER=dummy SUNDOWN_STATE_FILE="$work/state" "$game" ) \
    >"$work/game.log" 2>&1 </dev/null &
  game_pid=$!
  pids+=("$game_pid")
}

# The window manager has made the game's window the active one.
game_focused() {
  local win
  win=$(DISPLAY=$x_display XAUTHORITY=${x_auth:-} xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | awk '{ print $NF }')
  [ -n "$win" ] && DISPLAY=$x_display XAUTHORITY=${x_auth:-} xprop -id "$win" WM_CLASS 2>/dev/null | grep -qi sundown
}

game_gone() { ! kill -0 "$game_pid" 2>/dev/null; }

# The game's round clock, as the test build (tests/sundown_test_build)
# reports it in its state file, and the X pointer as another X client of the
# same Xwayland finds it.
round_clock() { awk '$1 == "round_clock" { print $2; exit }' "$work/state" 2>/dev/null; }
clock_below() { local now; now=$(round_clock); [ -n "$now" ] && [ "$now" -lt "$1" ]; }
clock_moved_from() { local now; now=$(round_clock); [ -n "$now" ] && [ "$now" != "$1" ]; }
pointer_free() { DISPLAY=$x_display XAUTHORITY=${x_auth:-} "$build/tests/pointer_grab" >/dev/null 2>&1; }
pointer_taken() { ! pointer_free; }
is_paused() { above "$(share "$work/$1-frame.png" 180x60+230+190 'r > 0.9 && g > 0.9 && b > 0.9')" 0.01; }

# In play, for a compositor script that runs the test build and says how to
# move the focus to the terminal and back (focus_away, focus_back) and
# whether the game is full screen (game_full_screen): the focus away frees
# the pointer and holds the game, the focus back takes the pointer and play
# goes on, and F11 goes to a window and back.
check_focus_and_window_mode() {
  declare -F focus_away >/dev/null || return 0
  if wait_until 10 clock_below 99; then pass "round 1 in play (the clock the game reports runs)"
  else fail "round 1 did not get to play (round clock $(round_clock))"; return; fi
  pointer_taken && pass "in play another X client cannot grab the pointer" || fail "the pointer is free in play"

  focus_away
  wait_until 3 pointer_free && pass "focus away: another X client's pointer grab succeeds" ||
    fail "focus away: the game still holds the pointer"
  sleep 0.5
  local held=$(round_clock)
  sleep 3
  [ "$(round_clock)" = "$held" ] && pass "held: the round clock stands still at $held for 3 s" ||
    fail "held: the round clock went from $held to $(round_clock)"
  expect_screen held is_paused 5 "held: PAUSED over the frozen picture"

  focus_back
  wait_until 3 pointer_taken && pass "focus back: the pointer is the game's again" ||
    fail "focus back: the pointer stays free"
  wait_until 5 clock_moved_from "$held" && pass "focus back: play goes on" || fail "focus back: the clock stands still"

  hold F11
  wait_until 5 game_full_screen no && pass "F11: the game leaves full screen for a window" ||
    fail "F11: the game is still full screen"
  expect_on_game_output inside "F11"
  hold F11
  wait_until 5 game_full_screen yes && pass "F11 again: full screen" || fail "F11 again: the game is not full screen"
  expect_on_game_output covers "F11 again"
}

# On two outputs side by side, for a compositor script that sets game_output
# (the second output's place as X sees it, "X Y WxH") and says how to change
# the outputs (change_outputs, which sets game_output anew and names the
# change in output_change): the game's window, read through X, covers the
# second output from the start, F11 gives a window inside it and F11 again
# covers it; after the change the game covers the output where it now
# belongs, its picture whole there, and holds the pointer.
x_window_place() {
  local w
  w=$(DISPLAY=$x_display XAUTHORITY=${x_auth:-} xdotool search --onlyvisible --name '^Sundown Arena$' 2>/dev/null | head -n 1)
  [ -n "$w" ] && DISPLAY=$x_display XAUTHORITY=${x_auth:-} xwininfo -id "$w" 2>/dev/null | awk '
    /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    /^  Width:/ { w = $2 } /^  Height:/ { h = $2 } END { print x, y, w "x" h }'
}
window_covers() { [ "$(x_window_place)" = "$1" ]; }
window_within() {
  local x y w h ox oy ow oh
  read -r x y w h < <(x_window_place | tr x ' ') && read -r ox oy ow oh < <(echo "$1" | tr x ' ') || return 1
  [ -n "$h" ] && [ "$x" -ge "$ox" ] && [ "$y" -ge "$oy" ] && [ $((x + w)) -le $((ox + ow)) ] && [ $((y + h)) -le $((oy + oh)) ]
}
expect_on_game_output() {
  [ -n "${game_output:-}" ] || return 0
  if [ "$1" = covers ]; then
    wait_until 5 window_covers "$game_output" && pass "$2: the window covers the output at $game_output" ||
      fail "$2: the window is at $(x_window_place), not over the output at $game_output"
  else
    wait_until 5 window_within "$game_output" &&
      pass "$2: the window ($(x_window_place)) is inside the output at $game_output" ||
      fail "$2: the window is at $(x_window_place), not inside the output at $game_output"
  fi
}
is_lit() { above "$(share "$work/$1-frame.png" 640x480+0+0 'r + g + b > 0.1')" 0.05; }
check_output_change() {
  declare -F change_outputs >/dev/null || return 0
  change_outputs
  expect_on_game_output covers "$output_change"
  expect_screen changed-outputs is_lit 5 "$output_change: the picture shows"
  pointer_taken && pass "$output_change: the pointer is held" || fail "$output_change: the pointer is free"
}

# A game that crashed: its core (where the kernel writes it into the build
# directory) moves to $work, and its backtrace goes into the test's output.
report_crash() {
  local core
  core=$(ls -t "$build"/core* 2>/dev/null | head -n 1)
  [ -n "$core" ] && [ "$core" -nt "$work/run" ] || { echo "no core file of the game"; return; }
  mv "$core" "$work/core"
  command -v gdb >/dev/null || { echo "the game's core is $work/core"; return; }
  gdb -q -batch -ex "thread apply all bt 25" "$game" "$work/core" 2>&1 | grep -v '^\[New LWP' | tail -n 100
}

run_desktop_checks() {
  start_keys
  start_game
  expect_screen title is_title 30 "the title screen fills the output" || { cat "$work/game.log"; }
  if wait_until 10 game_focused; then pass "the window manager gives the game's window the focus"
  else fail "the game's window never became the active one (_NET_ACTIVE_WINDOW)"; fi
  expect_on_game_output covers "full screen on the second output"
  hold Return
  expect_screen controls is_controls 5 "Enter (typed through the compositor) leads to the controls screen"
  hold Return
  expect_screen intro is_intro 5 "Enter starts round 1 with its READY intro"
  check_focus_and_window_mode
  check_output_change
  hold Escape
  if wait_until 5 game_gone; then
    wait "$game_pid"; local status=$?
    [ "$status" = 0 ] && pass "Escape ends the game with status 0" || fail "Escape ended the game with status $status"
    [ "$status" -gt 128 ] && report_crash
  else
    fail "the game still runs 5 s after Escape"
  fi
  echo "$n_shot screenshots; pictures in $work"
  if [ "$failures" -gt 0 ]; then echo "$failures check(s) failed"; exit 1; fi
  echo "all checks passed"; exit 0
}
