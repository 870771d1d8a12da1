#!/usr/bin/env bash
# Fails, naming them, when tracked C++ sources differ from .clang-format's
# layout. Fix them with: git ls-files '*.cpp' '*.h' | xargs clang-format -i
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh style
differing=()
while IFS= read -r file; do
  clang-format --style=file "$file" | cmp -s - "$file" || differing+=("$file")
done < <(git ls-files '*.cpp' '*.h')
if [ ${#differing[@]} -gt 0 ]; then
  echo "not formatted as .clang-format says: ${differing[*]}" >&2
  exit 1
fi
