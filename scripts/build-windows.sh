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

# Debian's source packages, through an apt configuration of our own that
# leaves the system's sources alone.
apt_dir=$cache/apt
mkdir -p "$apt_dir"/lists/partial "$apt_dir"/archives/partial
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main" \
  >"$apt_dir/sources.list"
apt_options=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
             -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir" -o APT::Sandbox::User=root)
source_lists_ready=no
source_version() {  # the newest version of a source package
  if [ "$source_lists_ready" = no ]; then
    apt-get "${apt_options[@]}" -qq update
    source_lists_ready=yes
  fi
  apt-cache "${apt_options[@]}" showsrc "$1" | awk '/^Version:/ { print $2; exit }'
}

# Cross-builds a CMake project into its own prefix, unless that version is there.
#   cross_build NAME VERSION SOURCE_DIR CMAKE_OPTIONS...
prefixes=()
cross_build() {
  local name=$1 version=$2 source_dir=$3
  shift 3
  local prefix=$cache/$name-$version
  prefixes+=("$prefix")
  prefix_list=$(IFS=';'; echo "${prefixes[*]}")
  [ -f "$prefix/.built" ] && return 0
  echo "Cross-building $name $version (once; cached in $prefix)"
  rm -rf "$prefix" "$cache/build-$name"
  cmake -S "$source_dir" -B "$cache/build-$name" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DKORVANE_WINDOWS_PREFIX="$prefix_list" \
    -DCMAKE_PREFIX_PATH="$prefix_list" "$@" >"$cache/build-$name.log" 2>&1 ||
    { tail -n 30 "$cache/build-$name.log" >&2; exit 1; }
  cmake --build "$cache/build-$name" -j"$jobs" >>"$cache/build-$name.log" 2>&1 &&
    cmake --install "$cache/build-$name" >>"$cache/build-$name.log" 2>&1 ||
    { tail -n 30 "$cache/build-$name.log" >&2; exit 1; }
  # Its licence goes into the zip with it; some installs leave it out.
  local licence
  for licence in LICENSE.txt LICENSE COPYING; do
    if [ ! -d "$prefix/share/licenses" ] && [ -f "$source_dir/$licence" ]; then
      mkdir -p "$prefix/share/licenses/$name"
      cp "$source_dir/$licence" "$prefix/share/licenses/$name/"
    fi
  done
  rm -rf "$cache/build-$name"
  touch "$prefix/.built"
}

# A Debian source package, unpacked once into the cache; prints its folder.
unpacked_source() {
  local package=$1 version=$2
  local folder=$cache/sources/$package-$version
  if [ ! -f "$folder/.unpacked" ]; then
    rm -rf "$folder" && mkdir -p "$folder"
    (cd "$folder" && apt-get "${apt_options[@]}" -qq source "$package=$version" >/dev/null 2>&1) ||
      { echo "cannot fetch Debian's source of $package $version" >&2; exit 1; }
    touch "$folder/.unpacked"
  fi
  find "$folder" -mindepth 1 -maxdepth 1 -type d | head -n 1
}

png_version=$(source_version libpng1.6)
sdl_version=$(source_version libsdl2)
mixer_version=$(source_version libsdl2-mixer)
cross_build libpng "$png_version" "$(unpacked_source libpng1.6 "$png_version")" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
cross_build sdl2 "$sdl_version" "$(unpacked_source libsdl2 "$sdl_version")" \
  -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF
cross_build sdl2-mixer "$mixer_version-sdl2-$sdl_version" "$(unpacked_source libsdl2-mixer "$mixer_version")" \
  -DBUILD_SHARED_LIBS=OFF -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_CMD=OFF \
  -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MP3=OFF -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF \
  -DSDL2MIXER_VORBIS=OFF -DSDL2MIXER_WAVE=ON
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
  -DKORVANE_WINDOWS_PREFIX="$prefix_list" -DCMAKE_PREFIX_PATH="$prefix_list" \
  -DKORVANE_HOST_TOOLS="$source/build-windows/host-tools/tools" -DBUILD_TESTING="$with_tests" >/dev/null
cmake --build build-windows -j"$jobs"
(cd build-windows && rm -f korvane-*-win64.zip && cpack -G ZIP >/dev/null)
ls build-windows/korvane-*-win64.zip
