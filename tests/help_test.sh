#!/usr/bin/env bash
# What the programs answer when asked for help or their version:
#   help_test.sh GAME_DIR AUTOPLAY VERSION README
# Each answer needs no display and no game files, and ends with exit code 0;
# an unknown option of korvane-headless or korvane-autoplay is an error (2).
set -u
game_dir=$1
autoplay=$2
version=$3
readme=$4
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 2
fail() { echo "FAIL: $*"; exit 1; }

for program in korvane korvane-fs; do
  for word in -h --help; do
    env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME="$scratch/data" "$game_dir/$program" $word >out.txt 2>err.txt ||
      fail "$program $word: exit code $?"
    grep -q "^Usage: korvane \[NOSOUND\]" out.txt || fail "$program $word printed no usage"
    grep -q "NOSOUND" out.txt && grep -q "Alt+Enter" out.txt || fail "$program $word: no options or controls"
    # Started from here, the game would keep its best score in the data folder.
    grep -q "best score  $scratch/data/korvane/hiscore.txt" out.txt || fail "$program $word: where is the best score?"
    grep -q "pictures    $game_dir/graphics/" out.txt || fail "$program $word: where are the pictures?"
    [ -s err.txt ] && fail "$program $word wrote to stderr: $(cat err.txt)"
  done
  [ "$(env -u DISPLAY "$game_dir/$program" --version)" = "korvane $version" ] || fail "$program --version"
done
[ -e hiscore.txt ] || [ -e data ] && fail "asking for help made files"

"$game_dir/korvane-headless" --help | grep -q "^Usage: korvane-headless" || fail "korvane-headless --help"
[ "$("$game_dir/korvane-headless" --version)" = "korvane-headless $version" ] || fail "korvane-headless --version"
"$game_dir/korvane-headless" --frobnicate >/dev/null 2>err.txt
[ $? -eq 2 ] && grep -q "unknown option '--frobnicate'" err.txt || fail "korvane-headless took an unknown option"

# The README lists the script keys the program knows, from the one table of keys.
keys=$("$game_dir/korvane-headless" --help | sed -n 's/^Keys: \(.*\)\.$/\1/p')
[ -n "$keys" ] && tr '\n' ' ' <"$readme" | tr -s ' ' | grep -qF "($keys)" || fail "the README's keys are not: $keys"

"$autoplay" --help | grep -q "^Usage: korvane-autoplay" || fail "korvane-autoplay --help"
[ -e --help ] && fail "korvane-autoplay --help wrote a file named --help"
"$autoplay" out.txt --frobnicate 1 >/dev/null 2>&1
[ $? -eq 2 ] || fail "korvane-autoplay took an unknown option"
exit 0
