#!/usr/bin/env bash
# The real programs on the real platform layer:
#   sdl_smoke.sh no-display GAME_DIR   no display at all: one clear line, exit code 1
#   sdl_smoke.sh window GAME_DIR       under a virtual X server the game opens its
#                                      window and keeps running, silently
set -u
mode=$1
cd "$2" || exit 2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r graphics WAV "$scratch"/ && cd "$scratch" || exit 2
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

# Killed after three seconds on its title screen: 124 means it was still running.
timeout 3 xvfb-run -a -s "-screen 0 1024x768x24" "$game" >out.txt 2>err.txt
code=$?
[ "$code" -eq 124 ] || { echo "exit code $code, expected the game to run until stopped"; cat err.txt; exit 1; }
[ -s err.txt ] && { echo "unexpected output on stderr:"; cat err.txt; exit 1; }
[ -f hiscore.txt ] || { echo "no hiscore.txt: start-up did not reach the best score"; exit 1; }
exit 0
