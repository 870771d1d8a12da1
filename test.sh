#!/usr/bin/env bash
# Builds everything and runs the whole test suite; fails when a test fails.
#   ./test.sh             the normal build, in build/
#   ./test.sh --sanitize  with AddressSanitizer and UndefinedBehaviorSanitizer, in build-asan/
#   ./test.sh --soak      also the long run of the built-in player (ctest -L soak)
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh test

build_dir=build
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON)
leave_out=(-LE soak)
for word in "$@"; do
  case "$word" in
    --sanitize)
      build_dir=build-asan
      options=(-DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON -DKORVANE_SANITIZE=ON)
      export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
      export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
      ;;
    --soak) leave_out=() ;;
    *) echo "usage: ./test.sh [--sanitize] [--soak]" >&2; exit 2 ;;
  esac
done
cmake -S . -B "$build_dir" "${options[@]}" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
cd "$build_dir"
ctest --output-on-failure -j"$(nproc)" "${leave_out[@]}"
