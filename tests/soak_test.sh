#!/usr/bin/env bash
# A long run of the built-in player: no error, and the peak memory after the
# first 10,000 frames of play is the peak memory in the last 10,000.
#   soak_test.sh GAME_DIR FRAMES
set -u
game_dir=$1
frames=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
ln -s "$game_dir/graphics" "$scratch/graphics"
ln -s "$game_dir/WAV" "$scratch/WAV"
cd "$scratch" || exit 2
# AddressSanitizer keeps freed memory aside (256 MB by default) to catch late
# uses of it; the peak would measure that filling up, not the game.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=1"
# About 21 frames of play a second of the game's own time, with the title
# and the story between games; a quarter more time than that.
end_ms=$((frames * 1000 / 21 * 5 / 4))
"$game_dir/korvane-headless" nosound --autoplay 20261209 --games 1000000 --end "$end_ms" --memory memory.txt \
  --timedemo || { echo "FAIL: korvane-headless ended with exit code $?"; exit 1; }
# Lines every 10,000 frames of play, then one as the program has ended.
played=$(tail -n 1 memory.txt | cut -d' ' -f1)
last=$((played / 10000 * 10000))
peak_early=$(awk '$1 == 10000 { print $2 }' memory.txt)
peak_late=$(awk -v last="$last" '$1 == last { print $2 }' memory.txt)
echo "$played frames of play; peak memory $peak_early KB after 10000 of them, $peak_late KB after $last"
[ "$played" -ge "$frames" ] || { echo "FAIL: only $played frames of play"; exit 1; }
[ "$peak_late" -le "$peak_early" ] || { echo "FAIL: the peak memory grew"; cat memory.txt; exit 1; }
exit 0
