#!/usr/bin/env bash
# The game's sound under a PipeWire server this test starts itself
# (pipewire and wireplumber on a D-Bus session bus of their own, with a null
# sink as the only device), through SDL's pipewire driver. A game started
# with no server plays on and gets its stream once the server starts; the
# stream names the game "Sundown Arena" with the icon of its menu entry (read with
# pw-dump); in play, with the server stopped the game keeps running and
# drawing, and with the server started again the game's stream is
# back within 5 s, ten times over, each loss and each recovery said once on
# standard error; the game's resident memory and thread count after each
# restart are printed. Escape quits with status 0, also while no server runs.
# No PipeWire here skips the test, and fails it under CI=true.
#   sound_server_e2e.sh SUNDOWN_BINARY BUILD_DIR      (run by with-display)
set -u
build=$(readlink -f "${2:?build dir}")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/probes.sh"
cd "$build" || exit 1

RESTARTS=10
BACK_WITHIN_S=5
test_game=$build/tests/sundown_test_build
export SUNDOWN_STATE_FILE=$shots_dir/sound-state

need pipewire wireplumber pw-cli pw-dump dbus-daemon python3

work=$build/sound-server
rm -rf "$work"; mkdir -p "$work/run"; chmod 700 "$work/run"
export XDG_RUNTIME_DIR=$work/run
unset PIPEWIRE_REMOTE PIPEWIRE_PROPS PULSE_SERVER
bus_pid= pw_pid= wp_pid=

stop_server() {
  local p
  for p in $wp_pid $pw_pid; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null; done
  wp_pid= pw_pid=
}
clean_up() {
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null
  stop_server
  [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null
}
trap clean_up EXIT

# WirePlumber wants a session bus; this one is the test's alone.
dbus-daemon --session --nofork --print-address=3 3>"$work/bus" >"$work/dbus.log" 2>&1 &
bus_pid=$!
poll_until 5 test -s "$work/bus" || cannot_run "dbus-daemon did not start: $(cat "$work/dbus.log")"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS

null_sink_made() {
  pw-cli create-node adapter '{ factory.name=support.null-audio-sink node.name=test-sink
    media.class=Audio/Sink object.linger=true audio.position=[FL FR] }' >/dev/null 2>&1
}
start_server() {
  pipewire >>"$work/pipewire.log" 2>&1 </dev/null &
  pw_pid=$!
  poll_until 5 test -S "$XDG_RUNTIME_DIR/pipewire-0" || cannot_run "pipewire did not start: $(tail -n 5 "$work/pipewire.log")"
  wireplumber >>"$work/wireplumber.log" 2>&1 </dev/null &
  wp_pid=$!
  poll_until 5 null_sink_made || cannot_run "no null sink on the PipeWire server: $(tail -n 5 "$work/pipewire.log")"
}

# The playback stream on the server, as "APPLICATION|ICON|STATE" (the
# game's is the only one), or nothing.
stream_line() {
  pw-dump 2>/dev/null | python3 -c '
import json, sys
for o in json.load(sys.stdin):
    info = o.get("info") or {}
    props = info.get("props") or {}
    if o.get("type") == "PipeWire:Interface:Node" and props.get("media.class") == "Stream/Output/Audio":
        print("%s|%s|%s" % (props.get("application.name"), props.get("application.icon-name"), info.get("state")))
        break'
}
stream_plays() { case "$(stream_line)" in *"|running") return 0 ;; esac; return 1; }
said() { grep -c "$1" "$shots_dir/game.log"; }
said_once() { [ "$(said "$1")" = 1 ]; }
lost_said() { [ "$(said 'Sound: the audio device went away')" -ge "$1" ]; }
# The test build rewrites its state file as it draws frames.
state_time() { stat -c %.9Y "$SUNDOWN_STATE_FILE" 2>/dev/null; }
drawn_since() { [ "$(state_time)" != "$1" ]; }
ms_since() { echo $(( ($(date +%s%N) - $1) / 1000000 )); }
process_figure() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$game_pid/status"; }

# --- a game started with no server ------------------------------------------
E2E_NAME=sound E2E_AUDIO=pipewire start_game "$test_game"
wait_for_picture
expect_running "the game starts with no sound server"
expect_within 5 "it says once that it plays silent" said_once 'Sound: no audio device answers' ||
  cat "$shots_dir/game.log"
sleep 2  # a few attempts against no server
start_server
t0=$(date +%s%N)
if poll_until "$BACK_WITHIN_S" stream_plays; then
  pass "the server started, the game's stream plays within $BACK_WITHIN_S s ($(ms_since "$t0") ms)"
else
  fail "no stream of the game $BACK_WITHIN_S s after the server started ($(stream_line))"
fi
IFS='|' read -r app icon _ <<<"$(stream_line)"
expect_eq "$app" "Sundown Arena" "the stream's application name"
expect_eq "$icon" "example.sundown_arena.SundownArena" "the stream's icon name, the menu entry's"

# --- the server stopped and started in play ---------------------------------
hold_key Return 0.3; sleep 1
hold_key Return 0.3
expect_within 10 "round 1 in play" clock_below 99 || echo "  the round clock is '$(round_clock)'"
rss_first=
for n in $(seq 1 "$RESTARTS"); do
  stop_server
  t0=$(date +%s%N)
  poll_until 3 lost_said "$n" && noticed=$(ms_since "$t0") || noticed=never
  drawn=$(state_time) clock=$(game_state round_clock)
  if poll_until 3 drawn_since "$drawn" && kill -0 "$game_pid" 2>/dev/null; then
    [ "$n" = 1 ] && pass "server stopped: the game plays on (round clock $clock, then $(game_state round_clock))"
  else
    fail "server stopped ($n): the game draws no more or exited"
  fi
  start_server
  t0=$(date +%s%N)
  if poll_until "$BACK_WITHIN_S" stream_plays; then back=$(ms_since "$t0"); else back=never; fail "restart $n: no stream within $BACK_WITHIN_S s"; fi
  sleep 0.5
  rss=$(process_figure VmRSS); threads=$(process_figure Threads)
  [ -z "$rss_first" ] && rss_first=$rss
  echo "restart $n: loss noticed in $noticed ms, stream back in $back ms; VmRSS $rss kB, $threads threads"
done
take_screenshot sound-after-restarts
expect_not_black sound-after-restarts
expect_eq "$(said 'Sound: the audio device went away')" "$RESTARTS" "each loss said once on stderr"
expect_eq "$(said 'Sound: an audio device answers')" "$((RESTARTS + 1))" "each recovery said once on stderr"
expect_eq "$(grep -vc '^Sound: ' "$shots_dir/game.log")" 0 "nothing else on stderr"
# Not a measure, a guard against a device's worth of memory kept per restart.
growth=$(( ${rss:-0} - ${rss_first:-0} ))
expect "memory from restart 1 to $RESTARTS: $growth kB more" [ "$growth" -lt $(( 1024 * (RESTARTS - 1) )) ]
hold_key Escape 0.3
expect_exit_within 3 0 "Escape quits with status 0 after $RESTARTS restarts"

# --- Escape while no server runs --------------------------------------------
stop_server
E2E_NAME=sound-silent E2E_AUDIO=pipewire start_game "$test_game"
wait_for_picture
sleep 1.5
hold_key Escape 0.3
expect_exit_within 3 0 "Escape quits with status 0 while no server runs"
finish
