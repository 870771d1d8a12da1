#!/usr/bin/env bash
# How strong the suite is: tries each slip of slips.txt on its own, in a
# scratch checkout of the committed code, and counts those a test catches.
#   tests/slips/run.sh [SLIPS_FILE]
# Takes about a minute a slip on two cores: a slip's suite stops at its first
# failing test, and leaves out the soak (minutes of play that watch memory,
# which the committed code must pass first). Prints one line a slip and the
# share caught.
set -u
repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
slips=${1:-$repo/tests/slips/slips.txt}
scratch=$(mktemp -d)
work=$scratch/korvane
trap 'git -C "$repo" worktree remove --force "$work" >/dev/null 2>&1; rm -rf "$scratch"' EXIT
git -C "$repo" worktree add -q --detach "$work" HEAD || exit 2
cmake -S "$work" -B "$work/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON >/dev/null || exit 2
build() { cmake --build "$work/build" -j"$(nproc)" >/dev/null 2>&1; }
suite() { (cd "$work/build" && ctest -j"$(nproc)" --timeout 300 "$@" >/dev/null 2>&1); }
if ! build || ! (cd "$work/build" && ctest -j"$(nproc)" --timeout 300 >"$scratch/baseline.txt" 2>&1); then
  echo "the committed code does not pass its own suite:" >&2
  sed -n '/tests FAILED/,$p' "$scratch/baseline.txt" >&2
  exit 2
fi

caught=0 tried=0
while IFS= read -r line; do
  case "$line" in ''|'#'*) continue ;; esac
  # Fields are split at '|' not preceded by a backslash; '\|' stands for '|'.
  file=$(perl -e '@f = split /(?<!\\)\|/, $ARGV[0]; $f[0] =~ s/\\\|/|/g; print $f[0]' "$line")
  if ! perl -e '@f = split /(?<!\\)\|/, $ARGV[0], 3; s/\\\|/|/g for @f;
                local $/; open my $h, "<", $ARGV[1] or exit 1; my $t = <$h>; close $h;
                my $n = () = $t =~ /\Q$f[1]\E/g; exit 1 if $n != 1;
                $t =~ s/\Q$f[1]\E/$f[2]/; open $h, ">", $ARGV[1] or exit 1; print $h $t;' "$line" "$work/$file"; then
    echo "NOT FOUND  $line"
    continue
  fi
  tried=$((tried + 1))
  if ! build; then
    verdict="NO BUILD "
    tried=$((tried - 1))
  elif suite --stop-on-failure -LE soak; then
    verdict="SURVIVED "
  else
    verdict="caught   "
    caught=$((caught + 1))
  fi
  echo "$verdict $line"
  git -C "$work" checkout -q -- "$file"
done <"$slips"
build
echo "caught $caught of $tried slips ($((100 * caught / (tried > 0 ? tried : 1)))%)"
