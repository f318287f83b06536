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
wait_until 20 xwayland_up "$sway_pid" || { tail "$work/sway.log"; cannot_run "sway did not start"; }

shot_output=HEADLESS-2
take_shot() { grim -o "$shot_output" "$1"; }
ipc() { swaymsg -s "$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock)" "$@"; }

start_bg foot.log foot
foot_focused() { ipc -t get_tree 2>/dev/null | grep -q '"app_id": "foot"'; }
wait_until 10 foot_focused && pass "foot runs, focused, before the game starts" || fail "foot did not appear"
# The player is on the second output: the game opens there.
ipc focus output HEADLESS-2 >/dev/null || fail "sway did not focus its second output"
game_output="1920 0 1920x1080"
# sway 1.7 cannot switch off an output of its headless backend ("Failed to
# commit output"), so the second output moves below the first instead.
change_outputs() {
  ipc output HEADLESS-2 position 0 1080 >/dev/null
  game_output="0 1080 1920x1080" output_change="the second output moved below the first"
}

# The test build, which reports the round clock; the terminal takes the
# focus as a click or alt+Tab would give it.
game=$build/tests/sundown_test_build
focus_away() { ipc '[app_id="foot"] focus' >/dev/null; }
focus_back() { ipc '[class="Sundown"] focus' >/dev/null; }
game_full_screen() {
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
run_desktop_checks
