#!/usr/bin/env bash
# Builds Korvane for the web on this Debian machine, from Debian's packages
# alone:
#  - Debian's Emscripten;
#  - zlib, libpng, SDL2 and SDL2_mixer (WAV only) built for WebAssembly from
#    Debian's own source packages, each cached in a folder named by its
#    version, so a second run takes seconds (Emscripten's own ports would
#    download their sources);
#  - the art and sound tools built for this machine, then the game built in
#    build-web/: the page in build-web/site/ (index.html, korvane.js,
#    korvane.wasm, korvane.data), and game/korvane-headless.js, which runs
#    under node on the real file system, for the tests.
# The cache is $KORVANE_CACHE, else ~/.cache/korvane.
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD

scripts/install-deps.sh web

cache=${KORVANE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/korvane}/web
toolchain=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
jobs=$(nproc)
mkdir -p "$cache"
# Debian's emcc finds its own node modules here.
export NODE_PATH=/usr/share/nodejs

source scripts/cross-libraries.sh
update_source_lists
# zlib's own configure script: Debian's source lacks a file its CMake build names.
zlib_version=$(source_version zlib)
zlib_prefix=$cache/zlib-${zlib_version#*:}
if [ ! -f "$zlib_prefix/.built" ]; then
  echo "Building zlib $zlib_version for the web (once; cached in $zlib_prefix)"
  rm -rf "$zlib_prefix" "$cache/build-zlib"
  cp -r "$(unpacked_source zlib "$zlib_version")" "$cache/build-zlib"
  (cd "$cache/build-zlib" && emconfigure ./configure --static --prefix="$zlib_prefix" &&
    emmake make -j"$jobs" install) >"$cache/build-zlib.log" 2>&1 || { tail -n 30 "$cache/build-zlib.log" >&2; exit 1; }
  mkdir -p "$zlib_prefix/share/licenses/zlib"
  cp "$cache/build-zlib/README" "$zlib_prefix/share/licenses/zlib/"
  rm -rf "$cache/build-zlib"
  touch "$zlib_prefix/.built"
fi
add_prefix "$zlib_prefix"
build_game_libraries

# The tools that make the pictures, samples and icons run here.
cmake -S . -B build-web/host-tools -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build build-web/host-tools -j"$jobs" --target artc sfxgen iconc

cmake -S . -B build-web -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_FIND_ROOT_PATH="$prefix_list" -DCMAKE_PREFIX_PATH="$prefix_list" -DKORVANE_LIBRARY_PREFIXES="$prefix_list" \
  -DKORVANE_HOST_TOOLS="$source/build-web/host-tools/tools" -DBUILD_TESTING=OFF >/dev/null
cmake --build build-web -j"$jobs" --target korvane-headless korvane
