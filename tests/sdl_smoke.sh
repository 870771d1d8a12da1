#!/usr/bin/env bash
# The real programs on the real platform layer:
#   sdl_smoke.sh no-display GAME_DIR   no display at all: one clear line, exit code 1
#   sdl_smoke.sh window GAME_DIR       under a virtual X server the game opens its
#                                      window, with the game's class and icon, and
#                                      keeps running, silently
set -u
mode=$1
cd "$2" || exit 2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r graphics WAV "$scratch"/ && cd "$scratch" || exit 2
# The game's settings stay in the scratch folder.
export XDG_CONFIG_HOME=$scratch/config
game=$OLDPWD/korvane
[ "$mode" = window ] || [ "$mode" = no-display ] || exit 2

if [ "$mode" = no-display ]; then
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$game" nosound >out.txt 2>err.txt
  code=$?
  [ "$code" -eq 1 ] || { echo "exit code $code, expected 1"; exit 1; }
  [ "$(wc -l <err.txt)" -eq 1 ] || { echo "expected one line on stderr:"; cat err.txt; exit 1; }
  grep -q "cannot open a window or full screen" err.txt || { cat err.txt; exit 1; }
  exit 0
fi

# Under a virtual X server: the window carries the game's class and icon, and
# the game keeps running until stopped. No sound device is needed.
export SDL_AUDIODRIVER=dummy
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$1" >out.txt 2>err.txt &
  game=$!
  for _ in $(seq 100); do xprop -name korvane WM_CLASS >/dev/null 2>&1 && break; sleep 0.05; done
  xprop -name korvane WM_CLASS _NET_WM_ICON >props.txt 2>&1
  sleep 1
  kill -0 "$game" 2>/dev/null || exit 3
  kill "$game"; wait "$game"; exit 0' smoke "$game"
code=$?
[ "$code" -eq 0 ] || { echo "the game did not keep running (code $code)"; cat err.txt; exit 1; }
[ -s err.txt ] && { echo "unexpected output on stderr:"; cat err.txt; exit 1; }
grep -q 'WM_CLASS(STRING) = "net.korvane.Korvane", "net.korvane.Korvane"' props.txt ||
  { echo "window class:"; head -3 props.txt; exit 1; }
grep -q 'Icon (64 x 64)' props.txt || { echo "no 64x64 window icon:"; head -3 props.txt; exit 1; }
[ -f hiscore.txt ] || { echo "no hiscore.txt: start-up did not reach the best score"; exit 1; }

# Runs the game with the words under a virtual X server until its window is
# up and it has settled, then stops it as a logout would (it ends cleanly).
run_briefly() {
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$@" >out.txt 2>err.txt &
    game=$!
    for _ in $(seq 200); do xprop -name korvane WM_CLASS >/dev/null 2>&1 && break; sleep 0.05; done
    sleep 0.5
    kill "$game"; wait "$game"' run "$game" "$@"
}
# Without a sound device the game says so in one line and plays on; asked for silence, it says nothing.
SDL_AUDIODRIVER=no-such-driver run_briefly
[ "$(wc -l <err.txt)" -eq 1 ] && grep -q '^korvane: no sound device (' err.txt ||
  { echo "without a sound device:"; cat err.txt; exit 1; }
SDL_AUDIODRIVER=no-such-driver run_briefly nosound
[ -s err.txt ] && { echo "silence asked for, yet:"; cat err.txt; exit 1; }
exit 0
