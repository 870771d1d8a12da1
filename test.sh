#!/usr/bin/env bash
# Builds everything and runs the whole test suite; fails when a test fails.
#   ./test.sh             the normal build, in build/
#   ./test.sh --sanitize  with AddressSanitizer and UndefinedBehaviorSanitizer, in build-asan/
#   ./test.sh --soak      also the long run of the built-in player (ctest -L soak)
#   ./test.sh --windows   the Windows build (scripts/build-windows.sh) under Wine: its
#                         unit tests, and this machine's tests of its programs (ctest -L wine)
#   ./test.sh --web       the web build (scripts/build-web.sh): its korvane-headless
#                         under node replays the recorded games, and the page is
#                         played in Chromium through playwright-core (ctest -L web)
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh test

build_dir=build
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DKORVANE_WERROR=ON -DKORVANE_WINDOWS_GAME_DIR= -DKORVANE_WEB_GAME_DIR=)
leave_out=(-LE soak)
windows=no
web=no
for word in "$@"; do
  case "$word" in
    --windows) windows=yes ;;
    --web) web=yes ;;
    --sanitize)
      build_dir=build-asan
      options=(-DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON -DKORVANE_WERROR=ON -DKORVANE_SANITIZE=ON)
      export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
      export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
      ;;
    --soak) leave_out=() ;;
    *) echo "usage: ./test.sh [--sanitize] [--soak] [--windows] [--web]" >&2; exit 2 ;;
  esac
done

if [ "$windows" = yes ]; then
  scripts/build-windows.sh --tests
  export WINEDEBUG=-all
  # The prefixes made before the tests start in parallel: one for windowed
  # programs, whose desktop must belong to each test's own X server.
  for prefix in "${WINEPREFIX:-$HOME/.wine}" "${WINEPREFIX:-$HOME/.wine}-windowed"; do
    WINEPREFIX=$prefix wineboot --init >/dev/null 2>&1
    WINEPREFIX=$prefix wineserver --wait
  done
  # The unit tests' prefix keeps one server for the whole run: a server that
  # quits when its last program ends can drop a program starting that moment
  # ("wine client error: recvmsg: Connection reset by peer").
  # Its services start with the server's first program: here, so that they
  # hold no test's output open.
  WINEPREFIX="${WINEPREFIX:-$HOME/.wine}" wineserver --persistent
  WINEPREFIX="${WINEPREFIX:-$HOME/.wine}" wine cmd /c exit </dev/null >/dev/null 2>&1
  trap 'WINEPREFIX="${WINEPREFIX:-$HOME/.wine}" wineserver --kill 2>/dev/null || true' EXIT
  (cd build-windows && ctest --output-on-failure -j"$(nproc)")
  options+=(-DKORVANE_WINDOWS_GAME_DIR="$PWD/build-windows/game")
  leave_out=(-L wine)
fi
if [ "$web" = yes ]; then
  scripts/build-web.sh
  scripts/install-deps.sh web-tests
  # playwright-core at the version the lock file pins, from npm; Debian's Chromium.
  mkdir -p build-web/npm
  if ! cmp -s tests/web/package-lock.json build-web/npm/package-lock.json || [ ! -d build-web/npm/node_modules ]; then
    cp tests/web/package.json tests/web/package-lock.json build-web/npm/
    (cd build-web/npm && npm ci --no-audit --no-fund --loglevel=error)
  fi
  options+=(-DKORVANE_WEB_GAME_DIR="$PWD/build-web/game")
  leave_out=(-L "$([ "$windows" = yes ] && echo 'wine|web' || echo web)")
fi
cmake -S . -B "$build_dir" "${options[@]}" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
if [ "$windows" = yes ]; then
  # The art and sound tools ran on this machine for both builds: the same bytes.
  diff -r "$build_dir/game/graphics" build-windows/game/graphics
  diff -r "$build_dir/game/WAV" build-windows/game/WAV
fi
cd "$build_dir"
ctest --output-on-failure -j"$(nproc)" "${leave_out[@]}"
