#!/usr/bin/env bash
# What the programs answer when asked for help or their version:
#   help_test.sh GAME_DIR VERSION README
# Each answer needs no display and no game files, and ends with exit code 0;
# an unknown or incomplete option is an error (2) that says what is wrong.
set -u
game_dir=$1
version=$2
readme=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 2
fail() { echo "FAIL: $*"; exit 1; }

for program in korvane korvane-fs; do
  for word in -h --help; do
    env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config" \
      "$game_dir/$program" $word >out.txt 2>err.txt ||
      fail "$program $word: exit code $?"
    grep -q "^Usage: korvane \[OPTION\]... \[NOSOUND\]" out.txt || fail "$program $word printed no usage"
    grep -q "NOSOUND" out.txt && grep -q "Alt+Enter" out.txt || fail "$program $word: no options or controls"
    # Started from here, the game would keep its best score in the data folder.
    grep -q "best score  $scratch/data/korvane/hiscore.txt" out.txt || fail "$program $word: where is the best score?"
    grep -q "pictures    $game_dir/graphics/" out.txt || fail "$program $word: where are the pictures?"
    grep -q "settings    $scratch/config/korvane/settings.ini" out.txt || fail "$program $word: where are the settings?"
    [ -s err.txt ] && fail "$program $word wrote to stderr: $(cat err.txt)"
  done
  [ "$(env -u DISPLAY "$game_dir/$program" --version)" = "korvane $version" ] || fail "$program --version"
  env -u DISPLAY "$game_dir/$program" --record >/dev/null 2>err.txt
  [ $? -eq 2 ] && grep -q "\-\-record wants a file" err.txt || fail "$program --record without a file"
  # A recording that cannot be made is a failed output, as in korvane-headless.
  env -u DISPLAY "$game_dir/$program" --record no/such/folder/game.txt >/dev/null 2>err.txt
  [ $? -eq 1 ] && grep -q "cannot write the recording" err.txt || fail "$program --record into no folder"
  env -u DISPLAY "$game_dir/$program" --replay missing.script >/dev/null 2>err.txt
  [ $? -eq 2 ] && grep -q "cannot read 'missing.script'" err.txt || fail "$program --replay of a missing file"
  # An empty name is no file (and no live game), and a replay is never recorded over.
  env -u DISPLAY "$game_dir/$program" --replay '' >/dev/null 2>err.txt
  [ $? -eq 2 ] && grep -q "\-\-replay wants a file" err.txt || fail "$program --replay ''"
  printf '0 best 5\n' >own.script
  env -u DISPLAY "$game_dir/$program" --replay own.script --record ./own.script >/dev/null 2>err.txt
  [ $? -eq 2 ] && grep -q "would replace the script it replays" err.txt && [ "$(cat own.script)" = "0 best 5" ] ||
    fail "$program recorded over its replay"
done
rm own.script
[ -e hiscore.txt ] || [ -e data ] && fail "asking for help made files"

"$game_dir/korvane-headless" --help | grep -q "^Usage: korvane-headless" || fail "korvane-headless --help"
[ "$("$game_dir/korvane-headless" --version)" = "korvane-headless $version" ] || fail "korvane-headless --version"
"$game_dir/korvane-headless" --frobnicate >/dev/null 2>err.txt
[ $? -eq 2 ] && grep -q "unknown option '--frobnicate'" err.txt || fail "korvane-headless took an unknown option"

# The line --verify prints is the one the README promises.
"$game_dir/korvane-headless" --help | tr '\n' ' ' | tr -s ' ' | grep -qF "'verify: games=G frames=F score=S best=B max_chain=C virtual_ms=MS'" &&
  grep -qF "verify: games=G frames=F score=S best=B max_chain=C virtual_ms=MS" "$readme" ||
  fail "--help and the README do not give the same --verify line"

# The README lists the script keys the program knows, from the one table of keys.
keys=$("$game_dir/korvane-headless" --help | sed -n 's/^Keys: \(.*\)\.$/\1/p')
[ -n "$keys" ] && tr '\n' ' ' <"$readme" | tr -s ' ' | grep -qF "($keys)" || fail "the README's keys are not: $keys"

printf '0 best 5\n' >own.script
for words in "--autoplay x" "--autoplay 4294967296" "--autoplay 1 --games 0" "--autoplay 1 --input missing" "--games 3" \
  "--input own.script --record own.script" "--no-draw --shot 10:a.png" "--no-draw --pictures p.txt" \
  "--verify own.script --autoplay 1" "--verify own.script --record own.script"; do
  "$game_dir/korvane-headless" $words >/dev/null 2>err.txt
  [ $? -eq 2 ] && [ -s err.txt ] || fail "korvane-headless $words was taken"
done
"$game_dir/korvane-headless" --state "" >/dev/null 2>err.txt
[ $? -eq 2 ] && grep -q "\-\-state wants a file name" err.txt || fail "korvane-headless took an empty file name"
[ "$(cat own.script)" = "0 best 5" ] || fail "korvane-headless recorded over its input"
rm own.script
# A recording made by another version plays on, after one line of warning.
printf '# korvane 0.0.1 recording, 2026-01-01\n0 best 5000\n' >old.script
XDG_DATA_HOME="$scratch/data" "$game_dir/korvane-headless" nosound --input old.script --end 100 --state state.json \
  >/dev/null 2>err.txt ||
  fail "a recording of another version was refused: $(cat err.txt)"
[ "$(wc -l <err.txt)" -eq 1 ] && grep -q "recorded by korvane '0.0.1', this is $version" err.txt ||
  fail "no single line of warning for another version: $(cat err.txt)"
grep -q '"hi_score":5000' state.json || fail "the replay did not start from the recorded best score"
[ -e data ] && fail "a replay wrote a best score"
exit 0
