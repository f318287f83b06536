# Helpers of the end-to-end tests: start the game, drive it with xdotool,
# take screenshots with ImageMagick and check what happened. Screenshots land
# in BUILD_DIR/screenshots/ for a person to look at.
failures=0
game_pid=
shots_dir=${SCREENSHOT_DIR:-$PWD/screenshots}
mkdir -p "$shots_dir"

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

expect_eq() { if [ "$1" = "$2" ]; then pass "$3"; else fail "$3 (got '$1', expected '$2')"; fi; }
expect_contains() { case "$1" in *"$2"*) pass "$3" ;; *) fail "$3 (output: $1)" ;; esac; }

# Starts Xvfb on a display number the server picks itself (no race with
# another server); sets xvfb_pid and xvfb_display, or returns 1.
start_xvfb() {  # extra arguments go to Xvfb
  local fifo
  fifo=$(mktemp -u) && mkfifo "$fifo" || return 1
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp "$@" 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  local n=
  read -r -t 10 n <"$fifo"
  rm -f "$fifo"
  [ -n "$n" ] || return 1
  xvfb_display=":$n"
}

# Starts the game in the background with its audio captured to a file.
start_game() {
  mkdir -p "$shots_dir"
  audio_file="$shots_dir/${E2E_NAME:-e2e}-audio.raw"
  rm -f "$audio_file"
  SDL_AUDIODRIVER=${E2E_AUDIO:-dummy} SDL_DISKAUDIOFILE="$audio_file" "$1" >"$shots_dir/game.log" 2>&1 &
  game_pid=$!
}

expect_running() {
  if kill -0 "$game_pid" 2>/dev/null; then pass "$1"; else fail "$1 (the game exited: $(cat "$shots_dir/game.log"))"; fi
}

take_screenshot() {
  import -window root "$shots_dir/$1.png" 2>/dev/null || fail "screenshot $1 could not be taken"
}

expect_screen_size() {
  local size
  size=$(identify -format '%wx%h' "$shots_dir/$1.png" 2>/dev/null)
  expect_eq "$size" "$2x$3" "screenshot $1 is the full 640x480 screen"
}

# Mean brightness 0..1 of a screenshot (or of a region WxH+X+Y of it).
brightness() {
  if [ -n "${2:-}" ]; then
    convert "$shots_dir/$1.png" -crop "$2" +repage -colorspace Gray -format '%[fx:mean]' info: 2>/dev/null
  else
    convert "$shots_dir/$1.png" -colorspace Gray -format '%[fx:mean]' info: 2>/dev/null
  fi
}

expect_not_black() {
  local b
  b=$(brightness "$1")
  if awk "BEGIN { exit !(${b:-0} > 0.002) }"; then pass "screenshot $1 shows something (mean $b)"; else fail "screenshot $1 is black (mean $b)"; fi
}

# Runs a check until it succeeds or SECONDS pass: poll_until SECONDS CMD...
poll_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}

picture_shown() {
  import -window root "$shots_dir/.probe.png" 2>/dev/null
  local b
  b=$(brightness .probe)
  awk "BEGIN { exit !(${b:-0} > 0.002) }"
}

# Waits up to 10 s for the game's first picture, so a slow start under load
# is not taken for a black screen; no picture at all fails the script.
wait_for_picture() {
  poll_until 10 picture_shown && return 0
  fail "no picture within 10 s"
  return 1
}

# The game's full-screen window is shown (also when it draws nothing).
wait_for_window() {
  # Every build of the game names its window alike, whatever the binary is called.
  poll_until 10 xdotool search --onlyvisible --name "^Sundown Arena\$" >/dev/null 2>&1 && return 0
  fail "no window of $(basename "$1") within 10 s"
  return 1
}

screen_changed_from() {
  import -window root "$shots_dir/$2.png" 2>/dev/null || return 1
  local n
  n=$(compare -metric AE -fuzz 10% "$shots_dir/$1.png" "$shots_dir/$2.png" null: 2>&1 >/dev/null)
  n=${n%% *}
  awk "BEGIN { exit !(${n:-0} > 3000) }"
}

# Waits up to 10 s for the screen to differ from screenshot BEFORE in a good
# share of its pixels, and keeps the changed screen as screenshot AFTER.
wait_for_change() {
  if poll_until 10 screen_changed_from "$1" "$2"; then pass "$3"; else fail "$3: the screen did not change"; fi
}

hold_key() {
  xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"
}

hold_button() {
  xdotool mousedown "$1"; sleep "$2"; xdotool mouseup "$1"
}

expect_exit_within() {
  local seconds=$1 want=$2 what=$3 waited=0 status
  while kill -0 "$game_pid" 2>/dev/null; do
    sleep 0.1
    waited=$((waited + 1))
    if [ "$waited" -ge "$(awk "BEGIN { print int($seconds * 10) }")" ]; then
      kill -9 "$game_pid" 2>/dev/null
      wait "$game_pid" 2>/dev/null
      fail "$what (still running after $seconds s)"
      game_pid=
      return
    fi
  done
  wait "$game_pid"; status=$?
  game_pid=
  expect_eq "$status" "$want" "$what"
}

finish_e2e() {
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null
  if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all checks passed"
  exit 0
}

# A region WxH+X+Y of a screenshot is not black.
expect_region_lit() {
  local b
  b=$(brightness "$1" "$2")
  if awk "BEGIN { exit !(${b:-0} > 0.01) }"; then pass "$3 (mean $b)"; else fail "$3: region $2 is dark (mean $b)"; fi
}

# A region holds pixels of a given colour: expect_region_colour SHOT REGION
# FX_PREDICATE WHAT, the predicate in ImageMagick's -fx terms (r, g, b 0..1).
colour_share() {
  convert "$shots_dir/$1.png" -crop "$2" +repage -fx "($3) ? 1 : 0" -format '%[fx:mean]' info: 2>/dev/null
}

expect_region_colour() {
  local share
  share=$(colour_share "$1" "$2" "$3")
  if awk "BEGIN { exit !(${share:-0} > 0.002) }"; then pass "$4 (share $share)"; else fail "$4: no such colour in $2 ($share)"; fi
}

# How wide the pixels of a colour spread in a region, first to last, 0 for
# none: lit_width SHOT REGION FX_PREDICATE.
lit_width() {
  local box
  box=$(convert "$shots_dir/$1.png" -crop "$2" +repage -fx "($3) ? 1 : 0" -format '%@' info: 2>/dev/null)
  echo "${box%%x*}"
}

colour_shown() {
  import -window root "$shots_dir/$1.png" 2>/dev/null || return 1
  awk "BEGIN { exit !($(colour_share "$1" "$2" "$3" || echo 0) > 0.002) }"
}

# Waits up to SECONDS for a colour to show in a region, keeping the screen
# as screenshot SHOT: wait_for_colour SECONDS SHOT REGION FX_PREDICATE WHAT.
wait_for_colour() {
  if poll_until "$1" colour_shown "$2" "$3" "$4"; then pass "$5"; else fail "$5: no such colour in $3"; fi
}

# Two screenshots differ in a good share of their pixels.
expect_differs() {
  local n
  n=$(compare -metric AE -fuzz 10% "$shots_dir/$1.png" "$shots_dir/$2.png" null: 2>&1 >/dev/null)
  n=${n%% *}
  if awk "BEGIN { exit !(${n:-0} > 3000) }"; then pass "$3 ($n pixels changed)"; else fail "$3: only ${n:-0} pixels changed"; fi
}

# The test build of the game (tests/sundown_test_build) writes its state to
# the file SUNDOWN_STATE_FILE names, every 50 ms or so while it draws:
# game_state KEY prints one line's value (in_game, menu_screen, round_intro,
# round_clock, player "X Y HEADING", labels "FORWARD BACK LEFT RIGHT", pad 0|1,
# input pad|keys: the device the prompts name).
game_state() {
  awk -v key="$1" '$1 == key { sub(/^[^ ]+ /, ""); print; exit }' "$SUNDOWN_STATE_FILE" 2>/dev/null
}

state_is() { [ "$(game_state "$1")" = "$2" ]; }

# Waits up to SECONDS for a line of the state to read VALUE:
#   wait_for_state SECONDS KEY VALUE WHAT
wait_for_state() {
  if poll_until "$1" state_is "$2" "$3"; then pass "$4"; else fail "$4 ($2 is '$(game_state "$2")', not '$3')"; fi
}

# The keycode of the key with an XKB name (AD02) in the display's keymap.
keycode_of() {
  xkbcomp -xkb "$DISPLAY" - 2>/dev/null | awk -v name="<$1>" '$1 == name { gsub(/;/, "", $3); print $3; exit }'
}

# Plays from the title through the controls screen into the READY intro of
# round 1, then quits with Escape and expects status 0.
#   play_to_ready NAME PROGRAM   (screenshots NAME-title, -controls, -intro)
play_to_ready() {
  local name=$1
  start_game "$2"
  wait_for_picture || fail "$name: no picture within 10 s"
  sleep 0.5
  take_screenshot "$name-title"
  expect_not_black "$name-title"
  hold_key Return 0.3; sleep 1.2
  take_screenshot "$name-controls"
  expect_differs "$name-title" "$name-controls" "$name: Enter leads to the controls screen"
  hold_key Return 0.3; sleep 1.0
  take_screenshot "$name-intro"
  expect_region_colour "$name-intro" 200x40+220+400 "g > 0.85 && r < 0.65 && b < 0.65" "$name: round 1 begins"
  hold_key Escape 0.3
  expect_exit_within 1.5 0 "$name: Escape quits with status 0"
}
