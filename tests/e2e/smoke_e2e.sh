#!/usr/bin/env bash
# Smoke test of the real game binary: it refuses to start without a display
# that can show OpenGL, starts full screen on the test display,
# draws frames, and quits with status 0 within a second of Escape.
#   smoke_e2e.sh SUNDOWN_BINARY BUILD_DIR      (run by with-display)
set -u
game=$(readlink -f "${1:?game binary}")
build=$(readlink -f "${2:?build dir}")
source "$(dirname "$0")/e2e_lib.sh"

cd "$build" || exit 1

# 1. No X display at all.
out=$(env -u DISPLAY SDL_AUDIODRIVER=dummy "$game" 2>&1); status=$?
expect_eq "$status" 255 "exit status without a display"
expect_contains "$out" "Error al inicializar: no X display" "message without a display"

# 2. A display without OpenGL (Xvfb without its GLX extension): Allegro
# shows the message in a box (xmessage), the reason goes to stderr, and the
# game ends once the box is dismissed.
if command -v Xvfb >/dev/null; then
  n=$(free_display_number)
  Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp -extension GLX >/dev/null 2>&1 &
  xvfb=$!
  wait_for_display ":$n"
  DISPLAY=":$n" SDL_AUDIODRIVER=dummy "$game" >/dev/null 2>"$shots_dir/smoke-refused.err" &
  refused=$!
  box=
  for _ in $(seq 1 100); do
    box=$(pgrep -f "xmessage.*Error al inicializar" | head -n 1)
    [ -n "$box" ] && break
    kill -0 "$refused" 2>/dev/null || break
    sleep 0.1
  done
  if [ -n "$box" ]; then
    pass "message box \"Error al inicializar\" on a display without OpenGL"
    DISPLAY=":$n" import -window root "$shots_dir/smoke-refused.png" 2>/dev/null
    DISPLAY=":$n" xdotool search --class Xmessage windowactivate --sync key Return >/dev/null 2>&1 || kill "$box"
  else
    fail "no message box on a display without OpenGL"
  fi
  for _ in $(seq 1 50); do kill -0 "$refused" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$refused" 2>/dev/null
  wait "$refused"; status=$?
  kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null
  expect_eq "$status" 255 "exit status on a display without OpenGL"
  expect_contains "$(cat "$shots_dir/smoke-refused.err")" "Error al inicializar: " "the reason on stderr"
else
  echo "note: Xvfb not installed; the no-OpenGL case was not run"
fi

# 3. Full screen on the test display, then Escape.
start_game "$game"
wait_for_picture
sleep 0.5
expect_running "the game keeps running on the test display"
take_screenshot smoke-title
expect_screen_size smoke-title 640 480
expect_not_black smoke-title
hold_key Escape 0.3
expect_exit_within 1.5 0 "Escape quits with status 0"

# Escape also quits from the controls screen and from the READY intro.
start_game "$game"
wait_for_picture
hold_key Return 0.3
sleep 0.5
hold_key Escape 0.3
expect_exit_within 1.5 0 "Escape quits from the controls screen with status 0"
start_game "$game"
wait_for_picture
hold_key Return 0.3
sleep 0.5
hold_key Return 0.3
sleep 0.5
take_screenshot smoke-intro
hold_key Escape 0.3
expect_exit_within 1.5 0 "Escape quits from the READY intro with status 0"

# 4. Missing and damaged assets never crash the game: with no datos/ at all,
# and with every asset file cut to half its length, it still opens, plays a
# round (Enter, Enter, W, fire) and quits with status 0.
play_blind() {
  local what=$1
  start_game "$game"
  sleep 2
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

finish_e2e
