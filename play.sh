#!/usr/bin/env bash
# Builds the game and plays it in a window. Arguments go to the game
# (for example: ./play.sh nosound). KORVANE_PROGRAM=korvane-fs plays full screen.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh play
# The tests are not built here, so a player's machine needs no test libraries.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build build -j"$(nproc)" --target korvane korvane-fs korvane-headless
cd build/game
exec "./${KORVANE_PROGRAM:-korvane}" "$@"
