#!/usr/bin/env bash
# Installs the Debian packages the game needs to build and run ("play"), to
# build and pass its tests ("test"), or to build its Debian package
# ("package"), to build and test it for Windows ("windows",
# "windows-tests") or for the web ("web", "web-tests"), or to check the
# sources' layout ("style"). Does nothing when everything is present, however it got there:
# libraries are asked of pkg-config (then dpkg), programs of the PATH.
set -euo pipefail

# "kind:name:debian-package": a library's pkg-config module or a program.
play=(program:g++:g++ program:cmake:cmake program:make:make program:pkg-config:pkg-config
      library:sdl2:libsdl2-dev library:SDL2_mixer:libsdl2-mixer-dev library:libpng:libpng-dev)
test=("${play[@]}" library:gtest:libgtest-dev library:benchmark:libbenchmark-dev
      program:xvfb-run:xvfb program:xauth:xauth program:xprop:x11-utils program:xmessage:x11-utils
      program:xdotool:xdotool program:openbox:openbox program:xwd:x11-apps
      program:desktop-file-validate:desktop-file-utils program:appstreamcli:appstream)
package=("${play[@]}" program:dpkg-shlibdeps:dpkg-dev program:file:file)
# Cross-building for Windows (the game's libraries come from Debian's sources)
# and running the result under Wine.
windows=("${play[@]}" program:x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix
         program:x86_64-w64-mingw32-gcc-posix:gcc-mingw-w64-x86-64-posix
         program:x86_64-w64-mingw32-windres:binutils-mingw-w64-x86-64
         library:libz-mingw-w64-dev:libz-mingw-w64-dev program:dpkg-source:dpkg-dev program:wine:wine
         library:wine64:wine64)
windows_tests=(library:gtest:libgtest-dev)
# Building for the web with Debian's Emscripten and running it under node.
web=("${play[@]}" program:emcc:emscripten program:node:nodejs program:dpkg-source:dpkg-dev)
# Driving the page in Chromium (playwright-core comes from npm).
web_tests=(program:chromium:chromium program:npm:npm program:node:nodejs)
style=(program:clang-format:clang-format)

case "${1:-play}" in
  play) wanted=("${play[@]}") ;;
  test) wanted=("${test[@]}") ;;
  package) wanted=("${package[@]}") ;;
  windows) wanted=("${windows[@]}") ;;
  windows-tests) wanted=("${windows_tests[@]}") ;;
  web) wanted=("${web[@]}") ;;
  web-tests) wanted=("${web_tests[@]}") ;;
  style) wanted=("${style[@]}") ;;
  *) echo "usage: $0 [play|test|package|windows|windows-tests|web|web-tests|style]" >&2; exit 2 ;;
esac

present() {
  local kind=$1 name=$2 package=$3
  if [ "$kind" = program ]; then
    command -v "$name" >/dev/null 2>&1
  else
    { command -v pkg-config >/dev/null 2>&1 && pkg-config --exists "$name"; } ||
      dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"
  fi
}

missing=()
for entry in "${wanted[@]}"; do
  IFS=: read -r kind name package <<<"$entry"
  present "$kind" "$name" "$package" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if ! command -v apt-get >/dev/null 2>&1; then
  echo "Missing, and no apt-get to install them: ${missing[*]} (Debian package names; install the same with your system's package manager)" >&2
  exit 1
fi
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "Missing packages: ${missing[*]}. Install them as root: apt-get install ${missing[*]}" >&2
    exit 1
  fi
  as_root=(sudo)
fi
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
