# The probes every shell test of the game uses, each written here once: the
# end-to-end tests (tests/*/*_e2e.sh), the desktop tests (tests/desktop/,
# through lib.sh), the install checks and the soak run source this file.
#   verdicts ........ pass, fail, expect, expect_within, finish
#   cannot run ...... cannot_run, cannot_run_part, need
#   waiting ......... poll_until
#   the game ........ start_game, expect_running, expect_exit_within
#   its window ...... game_window, window_place, covers, windowed_in, game_focused
#   round clock ..... game_state, round_clock, clock_below (the test build's state file)
#   pointer ......... pointer_free, pointer_taken
#   screens ......... take_screenshot, frame, share, brightness, expect_screen,
#                     and what each screen shows: title, controls, Round 1, PAUSED
#   sound ........... rifle_shots, audio_silent_for
#   focus and hold .. check_focus_and_hold
# The X server's tools read the screen and type the input by default; a test
# that reaches the game another way (a Wayland compositor) redefines capture
# and hold_key. Screenshots, the game's output and its recorded sound go to
# $shots_dir: SCREENSHOT_DIR, or screenshots/ in the folder the test starts
# in. The tools built with the tests are looked for in $build/tests.
failures=0 passes=0 game_pid=
area_w=0 area_h=0 area_x=0 area_y=0 frame_x=0 frame_w=0
shots_dir=${SCREENSHOT_DIR:-$PWD/screenshots}
mkdir -p "$shots_dir"

# ---- verdicts --------------------------------------------------------------
pass() { echo "ok: $*"; passes=$((passes + 1)); }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
not() { ! "$@"; }
above() { awk "BEGIN { exit !(${1:-0} > $2) }"; }

# expect WHAT COMMAND...: the check WHAT passes when COMMAND succeeds.
# expect_within SECONDS WHAT COMMAND...: the same, COMMAND tried every 0.1 s
# until it succeeds or SECONDS have passed. Both return COMMAND's verdict.
expect() { expect_within 0 "$@"; }
expect_within() {
  local seconds=$1 what=$2
  shift 2
  if poll_until "$seconds" "$@"; then pass "$what"; else fail "$what"; return 1; fi
}
expect_eq() { if [ "$1" = "$2" ]; then pass "$3"; else fail "$3 (got '$1', expected '$2')"; fi; }
expect_contains() { case "$1" in *"$2"*) pass "$3" ;; *) fail "$3 (output: $1)" ;; esac; }

# finish: the end of a test, status 1 when a check failed and 0 when none did.
finish() {
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null
  echo "$(basename "$0"): $passes passed, $failures failed"
  exit $((failures > 0))
}

# ---- cannot run --------------------------------------------------------------
# cannot_run WHY: this machine cannot run the test (a program missing, a server
# that does not start): skipped (status 77) outside CI, failed under CI=true,
# where everything the tests need must be there.
cannot_run() {
  echo "$(basename "$0"): $*" >&2
  [ "${CI:-}" = true ] && { fail "$* (required under CI)"; finish; }
  echo "$(basename "$0"): skipped" >&2
  exit 77
}
# cannot_run_part WHY: the same for a part of a test, which goes on without it.
cannot_run_part() {
  if [ "${CI:-}" = true ]; then fail "$* (required under CI)"; else echo "SKIP: $*"; fi
  return 1
}
need() {
  local c
  for c in "$@"; do command -v "$c" >/dev/null || cannot_run "$c is not installed (scripts/install-deps)"; done
}

# ---- waiting -------------------------------------------------------------------
# poll_until SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds;
# false once SECONDS (whole or with a fraction) have passed by the clock.
poll_until() {
  local whole=${1%.*} fraction=
  [ "$whole" != "$1" ] && fraction=${1#*.}
  fraction=${fraction}000000
  local deadline=$(( ${EPOCHREALTIME/[.,]/} + ${whole:-0} * 1000000 + 10#${fraction:0:6} ))
  shift
  until "$@"; do
    [ "${EPOCHREALTIME/[.,]/}" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}

# ---- the game ------------------------------------------------------------------
# start_game PROGRAM: the game in the background (game_pid), in this folder,
# what it prints in $shots_dir/game.log. Its sound goes to the SDL driver
# E2E_AUDIO names: dummy, or "disk" to record it into $audio_file (named after
# E2E_NAME). A crash leaves its core for report_crash.
start_game() {
  game_program=$1 game_dir=$PWD game_audio=${E2E_AUDIO:-dummy}
  audio_file=$shots_dir/${E2E_NAME:-e2e}-audio.raw
  rm -f "$audio_file"
  touch "$shots_dir/.game-started"
  ( ulimit -c unlimited 2>/dev/null
    SDL_AUDIODRIVER=$game_audio SDL_DISKAUDIOFILE=$audio_file exec "$1" ) >"$shots_dir/game.log" 2>&1 </dev/null &
  game_pid=$!
}
game_gone() { ! kill -0 "$game_pid" 2>/dev/null; }
expect_running() {
  if game_gone; then fail "$1 (the game exited: $(cat "$shots_dir/game.log"))"; else pass "$1"; fi
}

# expect_exit_within SECONDS STATUS WHAT: the game ends with STATUS within
# SECONDS; one that does not end is killed. A crash's backtrace is printed.
expect_exit_within() {
  local status
  if poll_until "$1" game_gone; then
    wait "$game_pid"; status=$?
    expect_eq "$status" "$2" "$3"
    [ "$status" != "$2" ] && [ "$status" -gt 128 ] && report_crash
  else
    kill -9 "$game_pid" 2>/dev/null; wait "$game_pid" 2>/dev/null
    fail "$3 (still running after $1 s)"
  fi
  game_pid=
}

# The core of a game that crashed (the kernel writes it into the folder the
# game ran in) moves to $shots_dir/core, and every thread's backtrace shows.
report_crash() {
  local core
  core=$(ls -t "$game_dir"/core* 2>/dev/null | head -n 1)
  [ -n "$core" ] && [ "$core" -nt "$shots_dir/.game-started" ] || { echo "no core file of the game"; return; }
  mv "$core" "$shots_dir/core"
  command -v gdb >/dev/null || { echo "the game's core is $shots_dir/core"; return; }
  gdb -q -batch -ex "thread apply all bt 25" "$game_program" "$shots_dir/core" 2>&1 | grep -v '^\[New LWP' | tail -n 100
}

# The input: a key or a mouse button held for SECONDS (the menus ignore
# taps shorter than a few ticks).
hold_key() { xdotool keydown "$1"; sleep "${2:-0.3}"; xdotool keyup "$1"; }
hold_button() { xdotool mousedown "$1"; sleep "$2"; xdotool mouseup "$1"; }

# ---- its window ----------------------------------------------------------------
# Every build of the game names its window alike, whatever the binary is called.
game_window() { xdotool search --onlyvisible --name '^Sundown Arena$' 2>/dev/null | head -n 1; }
window_shown() { [ -n "$(game_window)" ]; }
# The window's place on the screen, "X Y WxH", as the window manager left it.
window_place() {
  local w
  w=$(game_window) && [ -n "$w" ] || return 1
  xwininfo -id "$w" 2>/dev/null | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    /^  Width:/ { w = $2 } /^  Height:/ { h = $2 } END { print x, y, w "x" h }'
}
full_screen() { xprop -id "$(game_window)" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_FULLSCREEN; }
window_at() { [ "$(window_place)" = "$1" ]; }
# covers "X Y WxH": full screen, exactly there.
covers() { window_at "$1" && full_screen; }
# window_inside "X Y WxH": the window lies within that rectangle.
window_inside() {
  local x y w h ox oy ow oh
  read -r x y w h < <(window_place | tr x ' ') && read -r ox oy ow oh < <(echo "$1" | tr x ' ') || return 1
  [ -n "$h" ] && [ "$x" -ge "$ox" ] && [ "$y" -ge "$oy" ] && [ $((x + w)) -le $((ox + ow)) ] && [ $((y + h)) -le $((oy + oh)) ]
}
# windowed_in "X Y WxH": window mode there, a 960x720 window that is not full screen.
windowed_in() { [ "$(window_place | cut -d' ' -f3)" = 960x720 ] && window_inside "$1" && ! full_screen; }
# The window manager has made the game's window the active one.
game_focused() {
  local win
  win=$(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | awk '{ print $NF }')
  [ -n "$win" ] && xprop -id "$win" WM_CLASS 2>/dev/null | grep -qi sundown
}

# ---- the round clock -----------------------------------------------------------
# The test build of the game (tests/sundown_test_build, tests/e2e/state_report.cpp)
# rewrites the file SUNDOWN_STATE_FILE names every 50 ms or so while it draws:
# game_state KEY prints one line's value (in_game, menu_screen, round_intro,
# round_clock, player "X Y HEADING", labels "FORWARD BACK LEFT RIGHT", pad 0|1,
# input pad|keys: the device the prompts name).
game_state() { awk -v key="$1" '$1 == key { sub(/^[^ ]+ /, ""); print; exit }' "$SUNDOWN_STATE_FILE" 2>/dev/null; }
state_is() { [ "$(game_state "$1")" = "$2" ]; }
# wait_for_state SECONDS KEY VALUE WHAT
wait_for_state() { expect_within "$1" "$4" state_is "$2" "$3" || echo "  $2 is '$(game_state "$2")', not '$3'"; }
round_clock() { game_state round_clock; }
clock_below() { local now; now=$(round_clock); [ -n "$now" ] && [ "$now" -lt "$1" ]; }
clock_moved_from() { local now; now=$(round_clock); [ -n "$now" ] && [ "$now" != "$1" ]; }

# ---- the pointer -------------------------------------------------------------------
# Another X client tries to grab the pointer (tests/display/pointer_grab.cpp).
pointer_free() { "$build/tests/pointer_grab" >/dev/null 2>&1; }
pointer_taken() { ! pointer_free; }

# ---- screens -------------------------------------------------------------------------
# capture FILE: the X screen, or the window capture_window names (a
# compositing window manager may show its own picture in the root window).
capture() { import -window "${capture_window:-root}" "$1" 2>/dev/null; }
# take_screenshot NAME: the screen into $shots_dir/NAME.png.
take_screenshot() { capture "$shots_dir/$1.png" || fail "screenshot $1 could not be taken"; }

# frame NAME [AREA]: NAME-frame.png, the 4:3 middle of AREA (WxH+X+Y of
# screenshot NAME; all of it by default) scaled to the game's 640x480, so
# that the probes below read any screen in the game's own coordinates. Sets
# area_w area_h area_x area_y, and frame_x frame_w: the picture's column and
# width on the screenshot.
frame() {
  local area=${2:-}
  [ -n "$area" ] || area=$(identify -format '%wx%h+0+0' "$shots_dir/$1.png" 2>/dev/null) || return 1
  IFS='x+' read -r area_w area_h area_x area_y <<<"$area"
  frame_w=$(( area_h * 4 / 3 )) frame_x=$(( area_x + (area_w - area_h * 4 / 3) / 2 ))
  convert "$shots_dir/$1.png" -crop "${frame_w}x${area_h}+${frame_x}+${area_y}" +repage \
    -resize '640x480!' "$shots_dir/$1-frame.png" 2>/dev/null
}

# share SHOT REGION PREDICATE: the share of the pixels of REGION (WxH+X+Y) of
# screenshot SHOT where the -fx PREDICATE on r, g, b (0..1) holds.
share() { convert "$shots_dir/$1.png" -crop "$2" +repage -fx "($3) ? 1 : 0" -format '%[fx:mean]' info: 2>/dev/null; }
# brightness SHOT [REGION]: mean brightness 0..1.
brightness() {
  convert "$shots_dir/$1.png" ${2:+-crop "$2" +repage} -colorspace Gray -format '%[fx:mean]' info: 2>/dev/null
}
# lit_share SHOT REGION SUM: the share of the pixels of REGION whose
# r + g + b exceeds SUM; as share, but quick on large regions.
lit_share() {
  convert "$shots_dir/$1.png" -crop "$2" +repage -grayscale Average -threshold "$(awk "BEGIN { print $3 * 100 / 3 }")%" \
    -format '%[fx:mean]' info: 2>/dev/null
}
shows() { above "$(share "$1" "$2" "$3")" "${4:-0.002}"; }
lit() { above "$(brightness "$1" "${2:-}")" "${3:-0.01}"; }
# dark SHOT REGION: hardly a lit pixel there (at most 1 in 2000), and the
# mean all but black.
dark() { ! above "$(lit_share "$1" "$2" 0.1)" 0.0005 && ! lit "$1" "$2" 0.002; }

# The columns beside the picture on its last frame are dark (or there are none).
bars_black() {
  local w=$(( frame_x - area_x - 1 ))
  [ "$w" -ge 1 ] || return 0
  dark "$1" "${w}x${area_h}+${area_x}+${area_y}" && dark "$1" "${w}x${area_h}+$(( frame_x + frame_w + 1 ))+${area_y}"
}

# What the game's screens show, read on a 640x480 frame: its picture lit;
# the white "P1" of the title's score line with nothing white between it
# and the score (a white title bar is not the title; the title picture
# itself flies and fades, so it is no sign); the blue "Press Enter to
# continue" under the controls pictures; the blue health figure of the play
# HUD; the green "Round 1" of the READY intro; PAUSED in white.
picture_lit() { lit "$1" && above "$(lit_share "$1" 640x480+0+0 0.1)" 0.05; }
title_shown() {
  shows "$1" 150x30+0+0 'r > 0.75 && g > 0.75 && b > 0.75' 0.005 &&
    ! shows "$1" 70x25+80+0 'r > 0.75 && g > 0.75 && b > 0.75' 0.05
}
controls_shown() {
  shows "$1" 300x30+210+425 'b > 0.8 && r < 0.75 && g < 0.75' 0.01 &&
    above "$(lit_share "$1" 200x150+100+100 0.3)" 0.05 && above "$(lit_share "$1" 200x150+340+100 0.3)" 0.05
}
hud_shown() { shows "$1" 120x60+0+390 'b > 0.9 && r < 0.65 && g < 0.65'; }
round1_shown() { shows "$1" 200x40+220+400 'g > 0.85 && r < 0.65 && b < 0.65' 0.01; }
paused_shown() { shows "$1" 180x60+230+190 'r > 0.9 && g > 0.9 && b > 0.9' 0.01; }

# expect_screen SECONDS NAME WHAT CHECK [AREA]: screenshots (NAME) until the
# game's picture in AREA, framed, passes CHECK with black bars beside it;
# then the check WHAT on the last of them, and the bars' check where there
# are bars (unless bars=no). Returns CHECK's verdict.
expect_screen() {
  local seconds=$1 name=$2 what=$3 check=$4 area=${5:-} t0=${EPOCHREALTIME/[.,]/}
  poll_until "$seconds" screen_is "$name" "$check" "$area"
  if [ "$screen_ok" = 0 ]; then pass "$what ($(( (${EPOCHREALTIME/[.,]/} - t0) / 1000 )) ms)"
  else fail "$what (not in $seconds s; see $shots_dir/$name.png)"; fi
  [ $(( frame_x - area_x )) -ge 2 ] && [ "${bars:-yes}" = yes ] || return $screen_ok
  [ "$screen_ok" = 0 ] || { bars_black "$name" && bars_ok=0; }
  if [ "$bars_ok" = 0 ]; then pass "$name: black bars beside the picture, ${frame_w} wide on ${area_w}x${area_h}"
  else fail "$name: the picture is not 4:3 between black bars on ${area_w}x${area_h} (see $shots_dir/$name.png)"; fi
  return $screen_ok
}
# One screenshot for expect_screen: sets screen_ok and bars_ok (0 when true).
screen_is() {
  screen_ok=1 bars_ok=1
  capture "$shots_dir/$1.png" && frame "$1" "$3" && "$2" "$1-frame" || return 1
  screen_ok=0
  [ "${bars:-yes}" = no ] || bars_black "$1" && bars_ok=0
}

# The game's first picture in its window, waited for up to 10 s so that a
# slow start under load is not taken for a black screen (nor another
# program's window for the game's); none at all is a failure.
picture_shown() {
  local w
  w=$(game_window) && [ -n "$w" ] && import -window "$w" "$shots_dir/.probe.png" 2>/dev/null && lit .probe "" 0.002
}
wait_for_picture() { poll_until 10 picture_shown || { fail "no picture within 10 s"; return 1; }; }
wait_for_window() { poll_until 10 window_shown || { fail "no window of the game within 10 s"; return 1; }; }
expect_not_black() { expect "screenshot $1 shows something" lit "$1" "" 0.002; }

# differs SHOT1 SHOT2: the two differ in a good share of their pixels.
differs() {
  local n
  n=$(compare -metric AE -fuzz 10% "$shots_dir/$1.png" "$shots_dir/$2.png" null: 2>&1 >/dev/null)
  above "${n%% *}" 3000
}
# wait_for_change BEFORE AFTER WHAT: up to 10 s for the screen, kept as
# screenshot AFTER, to differ from screenshot BEFORE.
screen_changed_from() { capture "$shots_dir/$2.png" && differs "$1" "$2"; }
wait_for_change() { expect_within 10 "$3" screen_changed_from "$1" "$2"; }

# lit_width SHOT REGION PREDICATE: how wide the pixels of a colour spread in
# a region, first to last; 0 for none.
lit_width() {
  local box
  box=$(convert "$shots_dir/$1.png" -crop "$2" +repage -fx "($3) ? 1 : 0" -format '%@' info: 2>/dev/null)
  echo "${box%%x*}"
}

# ---- sound -----------------------------------------------------------------------
# rifle_shots [RECORDING [SAMPLE]]: how often the rifle (or SAMPLE) sounds in
# the game's recorded audio (tests/e2e/find_sample.cpp; $find_sample if set).
rifle_shots() {
  "${find_sample:-$build/tests/find_sample}" "${1:-$audio_file}" "${2:-datos/rifle.wav}" | awk '/^occurrences:/ { print $2 }'
}
# rifle_shots_fired_between FROM TO: the rifle's shots in the recording, the
# one the player fired between FROM and TO seconds of it (recorded_seconds
# at the press and the release, give or take a tenth of a second) counted
# from a weaker match: under the music a shot was seen to match as little
# as 0.43, while the other sounds of play matched at most 0.22 and those of
# the round's start 0.36 (so elsewhere a shot counts from 0.5, as always).
rifle_shots_fired_between() {
  "${find_sample:-$build/tests/find_sample}" "$audio_file" datos/rifle.wav 0.35 | awk -v from="$1" -v to="$2" '
    /^at / { if ($2 >= from - 0.1 && $2 <= to + 0.1) fired = 1; else if ($5 >= 0.5) other++ }
    END { print other + fired }'
}
recorded_seconds() { awk "BEGIN { print $(stat -c %s "$audio_file") / (44100 * 2 * 2) }"; }
# The recorded audio from now on for SECONDS holds no sound at all.
audio_silent_for() {
  local from to
  from=$(stat -c %s "$audio_file"); sleep "$1"; to=$(stat -c %s "$audio_file")
  [ "$to" -gt "$from" ] && [ "$(tail -c +"$((from + 1))" "$audio_file" | head -c "$((to - from))" | tr -d '\0' | wc -c)" = 0 ]
}

# ---- scenarios ------------------------------------------------------------------
# play_to_ready NAME PROGRAM: from the title through the controls screen into
# the READY intro of round 1, then Escape quits with status 0 (screenshots
# NAME-title, -controls, -intro).
play_to_ready() {
  local name=$1
  start_game "$2"
  wait_for_picture
  sleep 0.5
  take_screenshot "$name-title"
  expect_not_black "$name-title"
  hold_key Return 0.3; sleep 1.2
  take_screenshot "$name-controls"
  expect "$name: Enter leads to the controls screen" differs "$name-title" "$name-controls"
  hold_key Return 0.3
  expect_screen 5 "$name-intro" "$name: round 1 begins" round1_shown
  hold_key Escape 0.3
  expect_exit_within 1.5 0 "$name: Escape quits with status 0"
}

# ---- focus and hold ------------------------------------------------------------
# check_focus_and_hold: in round 1, the focus taken away from the game
# (focus_away, which the test defines) frees the pointer for another
# program and holds the game: the round clock stands still for 3 s, the
# recorded sound (if any) is silent and PAUSED shows over the frozen
# picture; the focus given back (focus_back) takes the pointer again and
# play goes on. With "covered", the window that took the focus may stand
# over the black bars beside the held picture.
check_focus_and_hold() {
  local bars=yes
  [ "${1:-}" = covered ] && bars=no
  expect_within 10 "round 1 in play (the clock the game reports runs)" clock_below 99 ||
    { echo "  the round clock is '$(round_clock)'"; return 1; }
  expect "in play another program cannot grab the pointer" pointer_taken
  focus_away
  expect_within 3 "focus away: another program's pointer grab succeeds" pointer_free
  expect "focus away: the game's window is not the active one" not game_focused
  sleep 0.5
  local held
  held=$(round_clock)
  if [ "$game_audio" = disk ]; then
    expect "held: the music and the sounds are silent" audio_silent_for 1.5
    sleep 1.5
  else
    sleep 3
  fi
  expect_eq "$(round_clock)" "$held" "held: the round clock stands still for 3 s"
  expect_screen 5 held "held: PAUSED over the frozen picture" paused_shown
  focus_back
  expect_within 3 "focus back: the pointer is the game's again" pointer_taken
  expect_within 5 "focus back: play goes on" clock_moved_from "$held"
}
