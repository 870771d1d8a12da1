#!/usr/bin/env bash
# Builds Korvane for 64-bit Windows on this Debian machine, from Debian's
# packages alone:
#  - Debian's MinGW-w64 cross compilers, zlib for MinGW, and Wine to test with;
#  - libpng, SDL2 and SDL2_mixer (WAV only) cross-built, static, from Debian's
#    own source packages, and GoogleTest from the source Debian ships; each
#    cached in a folder named by its version, so a second run takes seconds;
#  - the art and sound tools built for this machine, then the game cross-built
#    in build-windows/ and packed as build-windows/korvane-VERSION-win64.zip.
#   scripts/build-windows.sh            the programs and the zip
#   scripts/build-windows.sh --tests    also the unit tests, to run under Wine
# The cache is $KORVANE_CACHE, else ~/.cache/korvane.
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD

with_tests=OFF
case "${1:-}" in
  "") ;;
  --tests) with_tests=ON ;;
  *) echo "usage: $0 [--tests]" >&2; exit 2 ;;
esac

scripts/install-deps.sh windows
[ "$with_tests" = ON ] && scripts/install-deps.sh windows-tests

cache=${KORVANE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/korvane}/windows
toolchain=$source/cmake/mingw-w64-x86_64.cmake
jobs=$(nproc)
mkdir -p "$cache"

source scripts/cross-libraries.sh
build_game_libraries
if [ "$with_tests" = ON ]; then
  gtest_version=$(dpkg-query -W -f='${Version}' libgtest-dev)
  cross_build googletest "$gtest_version" /usr/src/googletest -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
fi

# The tools that make the pictures, samples and icons run here.
cmake -S . -B build-windows/host-tools -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build build-windows/host-tools -j"$jobs" --target artc sfxgen iconc

# The unit tests are listed by running them under Wine, in a prefix made once.
export WINEDEBUG=-all
[ "$with_tests" = ON ] && wineboot --init >/dev/null 2>&1
# Optimised as this machine's builds are, so that both run the same code.
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_FIND_ROOT_PATH="$prefix_list" -DCMAKE_PREFIX_PATH="$prefix_list" -DKORVANE_LIBRARY_PREFIXES="$prefix_list" \
  -DKORVANE_HOST_TOOLS="$source/build-windows/host-tools/tools" -DBUILD_TESTING="$with_tests" >/dev/null
cmake --build build-windows -j"$jobs"
(cd build-windows && rm -f korvane-*-win64.zip && cpack -G ZIP >/dev/null)
ls build-windows/korvane-*-win64.zip
