#!/usr/bin/env bash
# Installs the Debian packages the game needs to build and run ("play"), or to
# build and pass its tests ("test"). Does nothing when they are all present.
set -euo pipefail

play_packages=(g++ cmake make pkg-config libsdl2-dev libsdl2-mixer-dev libpng-dev)
test_packages=("${play_packages[@]}" libgtest-dev libbenchmark-dev xvfb xauth)

case "${1:-play}" in
  play) wanted=("${play_packages[@]}") ;;
  test) wanted=("${test_packages[@]}") ;;
  *) echo "usage: $0 [play|test]" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null; then
    as_root=(sudo)
  else
    echo "Missing packages: ${missing[*]}. Install them as root: apt-get install ${missing[*]}" >&2
    exit 1
  fi
else
  as_root=()
fi
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
