#!/usr/bin/env bash
# The game on sway (headless wlroots backend, two 1920x1080 outputs side by
# side, the second focused when the game starts) through Xwayland,
# with the Wayland terminal foot focused before it starts. Keys: desktop_keys,
# a virtual-keyboard client; screenshots: grim. sway refuses to run as root, so
# as root it runs as a system user made for the purpose, with its runtime
# folder and configuration under /tmp (the build directory may sit where that
# user cannot go); that user lets the game's user into its Xwayland (xhost).
# Here the focus also goes to foot and back (swaymsg) in play, and F11 is typed
# to leave full screen and come back (sway's tree tells the full-screen mode),
# each time on the second output; then the second output moves.
source "$(dirname "$0")/lib.sh"
need sway grim foot xhost ss convert python3 xdotool xwininfo

as_user=()
sway_files=$work
if [ "$(id -u)" = 0 ]; then
  id sundown-desktop >/dev/null 2>&1 ||
    useradd --system --no-create-home --shell /usr/sbin/nologin sundown-desktop ||
    cannot_run "could not create the user sway runs as"
  as_user=(runuser -u sundown-desktop --)
  sway_files=$(mktemp -d /tmp/sundown-sway.XXXXXX) || cannot_run "no folder under /tmp"
  trap 'stop_all; rm -rf "$sway_files"' EXIT
  export XDG_RUNTIME_DIR=$sway_files/run
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  chown sundown-desktop "$XDG_RUNTIME_DIR"
  chmod 755 "$sway_files"
fi
cat > "$sway_files/sway.conf" <<CONF
output HEADLESS-1 resolution 1920x1080 position 0 0
output HEADLESS-2 resolution 1920x1080 position 1920 0
xwayland enable
exec xhost +si:localuser:$(id -un)
CONF
chmod 644 "$sway_files/sway.conf"

start_bg sway.log "${as_user[@]}" env XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" \
  WLR_BACKENDS=headless WLR_HEADLESS_OUTPUTS=2 WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$sway_files/sway.conf"
sway_pid=$last_pid
export WAYLAND_DISPLAY=wayland-1
x_auth=
poll_until 20 xwayland_up "$sway_pid" || { tail "$work/sway.log"; cannot_run "sway did not start"; }

shot_output=HEADLESS-2
capture() { grim -o "$shot_output" "$1"; }
ipc() { swaymsg -s "$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock)" "$@"; }

start_bg foot.log foot
foot_focused() { ipc -t get_tree 2>/dev/null | grep -q '"app_id": "foot"'; }
expect_within 10 "foot runs, focused, before the game starts" foot_focused
# The player is on the second output: the game opens there.
ipc focus output HEADLESS-2 >/dev/null || fail "sway did not focus its second output"
game_output="1920 0 1920x1080"

# The test build, which reports the round clock; the terminal takes the
# focus as a click or alt+Tab would give it.
game=$build/tests/sundown_test_build
focus_away() { ipc '[app_id="foot"] focus' >/dev/null; }
focus_back() { ipc '[class="Sundown"] focus' >/dev/null; }
# sway's tree says whether the game is full screen: sway_full_screen yes|no.
sway_full_screen() {
  local mode
  mode=$(ipc -t get_tree | python3 -c '
import json, sys
def walk(n):
    if (n.get("window_properties") or {}).get("class") == "Sundown":
        print("yes" if n.get("fullscreen_mode") else "no"); sys.exit()
    for c in n.get("nodes", []) + n.get("floating_nodes", []): walk(c)
walk(json.load(sys.stdin))')
  [ "$mode" = "$1" ]
}
# In play: the focus goes to foot and back; F11 leaves full screen for a
# window inside the game's output and F11 again covers it. sway 1.7 cannot
# switch off an output of its headless backend ("Failed to commit output"),
# so then the second output moves below the first: the game covers it
# there, its picture shows and the pointer stays held.
in_play() {
  check_focus_and_hold
  hold_key F11
  expect_within 5 "F11: the game leaves full screen for a window" sway_full_screen no
  expect_within 5 "F11: the window is inside the output at $game_output" window_inside "$game_output" ||
    echo "  the window is at $(window_place)"
  hold_key F11
  expect_within 5 "F11 again: full screen" sway_full_screen yes
  expect_within 5 "F11 again: the window covers the output at $game_output" window_at "$game_output" ||
    echo "  the window is at $(window_place)"
  ipc output HEADLESS-2 position 0 1080 >/dev/null
  game_output="0 1080 1920x1080"
  local moved="the second output moved below the first"
  expect_within 5 "$moved: the window covers the output at $game_output" window_at "$game_output" ||
    echo "  the window is at $(window_place)"
  expect_screen 5 changed-outputs "$moved: the picture shows" picture_lit
  expect "$moved: the pointer is held" pointer_taken
}
run_desktop_checks
