# Sourced by the scripts that build the game for another system: fetches
# Debian's own source packages and cross-builds libraries from them, each
# cached in a folder named by its version. Set before sourcing:
#   cache      the folder of the cache for this system
#   toolchain  the CMake toolchain file for this system
#   jobs       how many compilers to run at once
# Then cross_build (or add_prefix, for a library built otherwise) adds a
# library's prefix to prefixes and prefix_list (the same, as a CMake list).
# Folders are named without a version's epoch ("1:").

# Debian's source packages, through an apt configuration of our own that
# leaves the system's sources alone.
apt_dir=$cache/apt
mkdir -p "$apt_dir"/lists/partial "$apt_dir"/archives/partial
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main" \
  >"$apt_dir/sources.list"
apt_options=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
             -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir" -o APT::Sandbox::User=root)
# Reads Debian's current list of source packages.
update_source_lists() { apt-get "${apt_options[@]}" -qq update; }
# The newest version of a source package.
source_version() { apt-cache "${apt_options[@]}" showsrc "$1" | awk '/^Version:/ { print $2; exit }'; }

# Cross-builds a CMake project into its own prefix, unless that version is there.
#   cross_build NAME VERSION SOURCE_DIR CMAKE_OPTIONS...
prefixes=()
add_prefix() {
  prefixes+=("$1")
  prefix_list=$(IFS=';'; echo "${prefixes[*]}")
}
cross_build() {
  local name=$1 version=$2 source_dir=$3
  shift 3
  local prefix=$cache/$name-${version#*:}
  add_prefix "$prefix"
  [ -f "$prefix/.built" ] && return 0
  echo "Cross-building $name $version (once; cached in $prefix)"
  rm -rf "$prefix" "$cache/build-$name"
  cmake -S "$source_dir" -B "$cache/build-$name" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix_list" \
    -DCMAKE_PREFIX_PATH="$prefix_list" "$@" >"$cache/build-$name.log" 2>&1 ||
    { tail -n 30 "$cache/build-$name.log" >&2; exit 1; }
  cmake --build "$cache/build-$name" -j"$jobs" >>"$cache/build-$name.log" 2>&1 &&
    cmake --install "$cache/build-$name" >>"$cache/build-$name.log" 2>&1 ||
    { tail -n 30 "$cache/build-$name.log" >&2; exit 1; }
  # Its licence goes out with the game; some installs leave it out.
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
  local folder=$cache/sources/$package-${version#*:}
  if [ ! -f "$folder/.unpacked" ]; then
    rm -rf "$folder" && mkdir -p "$folder"
    (cd "$folder" && apt-get "${apt_options[@]}" -qq source "$package=$version" >/dev/null 2>&1) ||
      { echo "cannot fetch Debian's source of $package $version" >&2; exit 1; }
    touch "$folder/.unpacked"
  fi
  find "$folder" -mindepth 1 -maxdepth 1 -type d | head -n 1
}

# The libraries the game links, from Debian's sources: libpng, SDL2 and
# SDL2_mixer with WAV only.
build_game_libraries() {
  local png_version sdl_version mixer_version
  update_source_lists
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
}
