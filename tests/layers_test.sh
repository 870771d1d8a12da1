#!/usr/bin/env bash
# No folder of src/ includes a folder above it: the layers, lowest first.
#   layers_test.sh SOURCE_DIR
set -u
cd "$1/src" || exit 2
layers=(files present state sound assets combat screens flow autoplay programs)
rank() { local i; for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }; done; echo -1; }
status=0
for folder in */; do
  folder=${folder%/}
  own=$(rank "$folder")
  [ "$own" -ge 0 ] || { echo "src/$folder has no place among the layers"; status=1; continue; }
  while IFS=: read -r file included; do
    [ "$included" = "$folder" ] && continue
    [ "$(rank "$included")" -lt "$own" ] || { echo "$file includes $included/, a layer above it or none"; status=1; }
  done < <(grep -roE '#include "[a-z_]+/' "$folder" | sed -E 's|#include "([a-z_]+)/|\1|')
done
exit $status
