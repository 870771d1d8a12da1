#!/usr/bin/env bash
# Serves the web build (build-web/site/, made by scripts/build-web.sh) on this
# machine only, and prints its address.
#   scripts/serve-web.sh [PORT]    (8000 unless given)
set -euo pipefail
cd "$(dirname "$0")/../build-web/site" 2>/dev/null ||
  { echo "no build-web/site: run scripts/build-web.sh first" >&2; exit 1; }
port=${1:-8000}
echo "Korvane is at http://127.0.0.1:$port/ (Ctrl+C stops it)"
exec python3 -m http.server "$port" --bind 127.0.0.1
