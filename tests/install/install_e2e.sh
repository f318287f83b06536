#!/usr/bin/env bash
# The installed game, as a player gets it: a staged install (DESTDIR) holds
# every file the install rules list, the asset files byte for byte as the
# build made them, a menu entry, metainfo and manual page that their
# validators accept; the installed launcher, started from /, plays; the
# uninstall removes every file again. Then the game's word on missing data:
# from a folder without datos/ it names the folder it looked in, and with
# one texture missing it names exactly that.
#   install_e2e.sh SUNDOWN_BINARY BUILD_DIR      (run by with-display)
set -u
game=$(readlink -f "${1:?game binary}")
build=$(readlink -f "${2:?build dir}")
source "$(dirname "$0")/../support/probes.sh"

stage=$(mktemp -d)
scratch=$(mktemp -d)
trap 'rm -rf "$stage" "$scratch"' EXIT

# 1. The staged install.
DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$shots_dir/install.log" 2>&1 \
  || fail "cmake --install into a staging folder ($(tail -n 3 "$shots_dir/install.log"))"
expected=$(sort "$build/installed-files.txt")
got=$(cd "$stage/usr" && find . -type f -o -type l | sed 's|^\./||' | sort)
expect_eq "$got" "$expected" "the staged install holds exactly the listed files"
data="$stage/usr/share/games/sundown-arena/datos"
listed=$("$build/tools/assetgen" --list | sort)
expect_eq "$(ls "$data" | sort)" "$listed" "the installed data folder holds the game's asset list"
differing=0
for name in $listed; do cmp -s "$build/datos/$name" "$data/$name" || differing=$((differing + 1)); done
expect_eq "$differing" 0 "every installed asset file is the build's, byte for byte"

out=$(desktop-file-validate "$stage"/usr/share/applications/*.desktop 2>&1); status=$?
expect_eq "$status:$out" "0:" "desktop-file-validate accepts the menu entry"
expect_contains "$(cat "$stage"/usr/share/applications/*.desktop)" "Categories=Game;ActionGame;" "the menu entry is an action game"
out=$(appstreamcli validate --no-net "$stage"/usr/share/metainfo/*.metainfo.xml 2>&1); status=$?
expect_eq "$status" 0 "appstreamcli validate accepts the metainfo ($out)"
out=$(man --warnings -l "$stage/usr/share/man/man6/sundown.6.gz" 2>&1 >/dev/null)
expect_eq "$out" "" "the manual page renders without warnings"
for side in 48 64 128 256; do
  size=$(identify -format '%wx%h' "$stage"/usr/share/icons/hicolor/${side}x${side}/apps/*.png 2>/dev/null)
  expect_eq "$size" "${side}x${side}" "the ${side}-pixel icon"
done

# 2. The installed launcher, from /; then the uninstall takes every file away.
cd / && play_to_ready installed "$stage/usr/games/sundown"
DESTDIR="$stage" cmake --build "$build" --target uninstall >"$shots_dir/uninstall.log" 2>&1
expect_eq "$(find "$stage" -type f -o -type l)" "" "the uninstall removes every installed file"

# 3. Started where there is no datos/, the game says where it looked.
cd "$scratch" || exit 1
start_game "$game"
sleep 2
hold_key Escape 0.3
expect_exit_within 1.5 0 "without datos/ Escape quits with status 0"
expect_eq "$(wc -l <"$shots_dir/game.log")" 1 "one line on standard error without datos/"
expect_contains "$(cat "$shots_dir/game.log")" "$scratch/datos" "the line names the folder looked in"

# 4. With one texture gone, exactly that file is named.
mkdir "$scratch/datos"
for f in "$build"/datos/*; do ln -s "$f" "$scratch/datos/"; done
rm "$scratch/datos/pared1.raw"
start_game "$game"
wait_for_picture
hold_key Escape 0.3
expect_exit_within 1.5 0 "with a texture missing Escape quits with status 0"
expect_eq "$(grep -c . "$shots_dir/game.log")" 1 "one line on standard error for one missing file"
expect_contains "$(cat "$shots_dir/game.log")" "datos/pared1.raw" "the line names the missing texture"

finish
