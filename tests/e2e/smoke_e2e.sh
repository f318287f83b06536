#!/usr/bin/env bash
# Smoke test of the real game binary: it refuses to start without a display
# that can show OpenGL, starts full screen on the test display,
# draws frames, and quits with status 0 within a second of Escape.
#   smoke_e2e.sh SUNDOWN_BINARY BUILD_DIR      (run by with-display)
set -u
game=$(readlink -f "${1:?game binary}")
build=$(readlink -f "${2:?build dir}")
source "$(dirname "$0")/../support/probes.sh"

cd "$build" || exit 1

# 1. No X display at all.
out=$(env -u DISPLAY SDL_AUDIODRIVER=dummy "$game" 2>&1); status=$?
expect_eq "$status" 255 "exit status without a display"
expect_contains "$out" "Error al inicializar: no X display" "message without a display"

# Starts Xvfb on a display number the server picks itself (no race with
# another server); sets xvfb_pid and xvfb_display, or returns 1.
start_xvfb() {  # extra arguments go to Xvfb
  local fifo n=
  fifo=$(mktemp -u) && mkfifo "$fifo" || return 1
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp "$@" 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r -t 10 n <"$fifo"
  rm -f "$fifo"
  [ -n "$n" ] || return 1
  xvfb_display=":$n"
}

# Waits for the message box a game process started (its own child) to show
# "Error al inicializar", then dismisses it; false when none comes.
dismiss_message_box() {
  local game=$1 box=
  for _ in $(seq 1 100); do
    box=$(pgrep -P "$game" -x xmessage | head -n 1)
    [ -n "$box" ] && break
    kill -0 "$game" 2>/dev/null || return 1
    sleep 0.1
  done
  [ -n "$box" ] || return 1
  grep -q "Error al inicializar" "/proc/$box/cmdline" 2>/dev/null || return 1
  "${@:2}"
  kill "$box" 2>/dev/null
  return 0
}

# Waits up to 5 s for a process of ours to end and gives its exit status.
status_of() {
  poll_until 5 not kill -0 "$1" 2>/dev/null
  kill -9 "$1" 2>/dev/null
  wait "$1"
}

# 2. A display without OpenGL (Xvfb without its GLX extension): Allegro
# shows the message in a box (xmessage), the reason goes to stderr, and the
# game ends once the box is dismissed.
if command -v Xvfb >/dev/null; then
  if start_xvfb -extension GLX; then
    DISPLAY=$xvfb_display SDL_AUDIODRIVER=dummy "$game" >/dev/null 2>"$shots_dir/smoke-refused.err" &
    refused=$!
    expect "message box \"Error al inicializar\" on a display without OpenGL" \
      dismiss_message_box "$refused" env DISPLAY="$xvfb_display" import -window root "$shots_dir/smoke-refused.png"
    status_of "$refused"; status=$?
    expect_eq "$status" 255 "exit status on a display without OpenGL"
    expect_contains "$(cat "$shots_dir/smoke-refused.err")" "Error al inicializar: " "the reason on stderr"
  else
    fail "Xvfb did not start"
  fi
  kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null
else
  echo "note: Xvfb not installed; the no-OpenGL case was not run"
fi

# 2b. A timer, mouse or keyboard driver that cannot be installed: no full
# screen opens (the player could not leave it), the message shows in a box
# and on standard error, and the status is -1 as for the display.
faulty=$build/tests/sundown_test_build
for driver in timer mouse keyboard; do
  SUNDOWN_FAIL_DRIVER=$driver SDL_AUDIODRIVER=dummy "$faulty" >/dev/null 2>"$shots_dir/driver.err" &
  refused=$!
  expect "message box without a $driver driver" dismiss_message_box "$refused" true
  status_of "$refused"; status=$?
  expect_eq "$status" 255 "exit status without a $driver driver"
  expect_contains "$(cat "$shots_dir/driver.err")" "Error al inicializar" "standard error without a $driver driver"
done
# The box came before any window of the game's: nothing was left full screen.
expect "no window of the game opened after a driver failure" not window_shown

# 3. Full screen on the test display, then Escape.
start_game "$game"
wait_for_picture
expect_running "the game keeps running on the test display"
take_screenshot smoke-title
expect_eq "$(identify -format '%wx%h' "$shots_dir/smoke-title.png")" 640x480 "screenshot smoke-title is the full 640x480 screen"
expect_not_black smoke-title
hold_key Escape 0.3
expect_exit_within 1.5 0 "Escape quits with status 0"

# Escape also quits from the controls screen and from the READY intro.
for stop in "the controls screen" "the READY intro"; do
  start_game "$game"
  wait_for_picture
  take_screenshot smoke-title-again
  hold_key Return 0.3
  wait_for_change smoke-title-again smoke-controls "Enter leads to the controls screen"
  if [ "$stop" = "the READY intro" ]; then
    hold_key Return 0.3
    wait_for_change smoke-controls smoke-intro "Enter starts the READY intro"
  fi
  hold_key Escape 0.3
  expect_exit_within 1.5 0 "Escape quits from $stop with status 0"
done

# 4. Missing and damaged assets never crash the game: with no datos/ at all,
# and with every asset file cut to half its length, it still opens, plays a
# round (Enter, Enter, W, fire) and quits with status 0.
play_blind() {
  local what=$1
  start_game "$game"
  wait_for_window
  hold_key Return 0.3; sleep 0.5
  hold_key Return 0.3; sleep 4
  xdotool keydown w mousedown 1; sleep 1; xdotool keyup w mouseup 1
  take_screenshot "smoke-$what"
  expect_running "the game runs $what"
  hold_key Escape 0.3
  expect_exit_within 1.5 0 "Escape quits with status 0 $what"
}
scratch=$(mktemp -d)
cd "$scratch" && play_blind "without datos"
mkdir -p "$scratch/datos"
for f in "$build"/datos/*; do
  [ -f "$f" ] && head -c $(( $(stat -c %s "$f") / 2 )) "$f" > "$scratch/datos/$(basename "$f")"
done
play_blind "with every asset cut in half"
cd "$build" && rm -rf "$scratch"

finish
