#!/usr/bin/env bash
# llvmpipe can free a fence while one of its rasterizer threads is still
# unlocking it (presentation.cpp says how, beside finish_gl_drawing), which
# crashed the game a few seconds after start on scaled displays. Here the
# game runs with llvmpipe-fence/unlock_watch.so preloaded, which widens that
# race and reports any unlock inside freed memory, on a 1920x1080 depth-16
# display (where OpenGL scales the frame): 5 s of the title, then 5 s of
# round 1, then Escape.
# - With the wait at the end of each frame taken away (glFinish only
#   flushes), the watch must see the race: so the race is still there to
#   be avoided, and the watch still finds it.
# - As built, the watch must see nothing.
#   llvmpipe_fence_e2e.sh SUNDOWN_BINARY BUILD_DIR      (run by with-display)
set -u
game=$(readlink -f "${1:?game binary}")
build=$(readlink -f "${2:?build dir}")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/probes.sh"
cd "$build" || exit 1

watch=$build/tests/unlock_watch.so
[ -f "$watch" ] || { fail "$watch is not built"; finish; }
state=$(mktemp -d)
trap '"$here/../display/stop-x" "$state" >/dev/null 2>&1; rm -rf "$state"' EXIT
"$here/../display/start-x" "$state" desktop16 >/dev/null || { fail "the 1920x1080 depth-16 display did not start"; finish; }
DISPLAY=$(cat "$state/display")
export DISPLAY

# Plays the watched game once; sets unlocks to how many unlocks the watch
# reported.
watched_run() {
  UNLOCK_WATCH_FINISH_AS_FLUSH=$1 LD_PRELOAD=$watch start_game "$game"
  wait_for_picture
  sleep 5
  hold_key Return 0.3; sleep 0.5; hold_key Return 0.3
  sleep 5
  take_screenshot "llvmpipe-fence-round-$1"
  hold_key Escape 0.3
  expect_exit_within 5 0 "$2: Escape quits with status 0"
  cp "$shots_dir/game.log" "$shots_dir/llvmpipe-fence-$1.log"
  unlocks=$(grep -c "^unlock_watch: thread" "$shots_dir/game.log")
}

watched_run 1 "without the wait"; without=$unlocks
if [ "$without" -gt 0 ]; then
  pass "without the wait at the end of each frame, the watch sees the race ($without unlocks in freed memory)"
else
  fail "without the wait the watch saw no race: either this Mesa no longer has it (then the wait may go) or the watch no longer finds it"
fi
watched_run 0 "as built"; with=$unlocks
if [ "$with" = 0 ]; then
  pass "as built, no unlock in freed memory"
else
  fail "as built, $with unlocks in freed memory:"
  grep -m 40 "^unlock_watch\|^/" "$shots_dir/llvmpipe-fence-0.log"
fi
finish
