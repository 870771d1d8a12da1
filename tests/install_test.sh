#!/usr/bin/env bash
# An install as a desktop and a player meet it:
#   install_test.sh BUILD_DIR APP_ID
# installs into a scratch prefix (and once through DESTDIR), validates the
# desktop entry and the metadata, checks the icons, then plays the built and
# the installed game from unrelated folders: they must show the real pictures
# and keep the best score in the player's data folder.
set -u
build=$1
app_id=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install --prefix"
DESTDIR=$scratch/stage cmake --install "$build" --prefix /opt/korvane >/dev/null || fail "cmake --install with DESTDIR"
[ -x "$scratch/stage/opt/korvane/bin/korvane" ] || fail "DESTDIR was not honoured"

for file in bin/korvane bin/korvane-fs bin/korvane-headless \
            share/korvane/graphics/sprite.BMP share/korvane/graphics/title.bmp share/korvane/WAV/boom.WAV \
            share/man/man6/korvane.6 share/man/man6/korvane-fs.6 share/doc/korvane/LICENSE; do
  [ -e "$prefix/$file" ] || fail "the install has no $file"
done
desktop-file-validate "$prefix/share/applications/$app_id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" >"$scratch/appstream.txt" 2>&1 ||
  { cat "$scratch/appstream.txt"; fail "metainfo"; }
for size in 16 24 32 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png
  [ -f "$icon" ] || fail "no ${size}px icon"
  # Width and height, big-endian, at bytes 16 and 20 of the PNG.
  dimensions=$(od -An -tu1 -j16 -N8 "$icon" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dimensions" = "${size}x${size}" ] || fail "the ${size}px icon is $dimensions"
done

# Click into a game, fire once, pause it, quit it, then leave on the title screen.
cat >"$scratch/input.txt" <<'SCRIPT'
0 press left
100 release left
20800 press left
20840 release left
21030 keydown esc
21530 keyup esc
21730 keydown y
21780 keyup y
23000 keydown esc
23100 keyup esc
SCRIPT

# The reference: the built game in a folder of its own files.
mkdir "$scratch/reference"
ln -s "$build/game/graphics" "$build/game/WAV" "$scratch/reference/"
(cd "$scratch/reference" && HOME=$scratch XDG_DATA_HOME=$scratch/unused \
  "$build/game/korvane-headless" --input ../input.txt --shot 500:title.png --sounds sounds.txt) || fail "the reference run"
# The game's sounds play: every run below must find its samples to play the same.
[ -s "$scratch/reference/sounds.txt" ] || fail "the reference run played no sound"

# The built game started from an unrelated folder finds its files beside itself.
mkdir "$scratch/beside"
(cd "$scratch/beside" && HOME=$scratch XDG_DATA_HOME=$scratch/unused \
  "$build/game/korvane-headless" --input ../input.txt --shot 500:title.png --sounds sounds.txt) || fail "the built game's run"
cmp -s "$scratch/reference/title.png" "$scratch/beside/title.png" ||
  fail "started from elsewhere, the built game's title screen differs"
cmp -s "$scratch/reference/sounds.txt" "$scratch/beside/sounds.txt" ||
  fail "started from elsewhere, the built game played other sounds (are its samples found?)"

mkdir -p "$scratch/elsewhere" "$scratch/data/korvane"
printf 'hi-score\r\n-5\r\n' >"$scratch/data/korvane/hiscore.txt"
(cd "$scratch/elsewhere" && HOME=$scratch XDG_DATA_HOME=$scratch/data \
  "$prefix/bin/korvane-headless" --input ../input.txt --shot 500:title.png --sounds sounds.txt) ||
  fail "the installed game's run"
cmp -s "$scratch/reference/title.png" "$scratch/elsewhere/title.png" ||
  fail "the installed game's title screen differs from the built game's"
cmp -s "$scratch/reference/sounds.txt" "$scratch/elsewhere/sounds.txt" ||
  fail "the installed game played other sounds than the built game (are its samples found?)"
[ -e "$scratch/elsewhere/hiscore.txt" ] && fail "a hiscore.txt was left in the working folder"
[ "$(od -An -c "$scratch/data/korvane/hiscore.txt" | tr -s ' ')" = "$(printf 'hi-score\r\n 0\r\n' | od -An -c | tr -s ' ')" ] ||
  fail "the beaten best score (0 over -5) was not saved in the player's data folder"
exit 0
