#!/usr/bin/env bash
# Every slip of slips.txt still names text that stands once in its file, so
# that run.sh tries them all (code moves; the slips must move with it).
#   tests/slips/check.sh [SLIPS_FILE]
set -u
repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
cd "$repo" || exit 2
perl -ne 'next if /^\s*(#|$)/; chomp; @f = split /(?<!\\)\|/, $_, 3; s/\\\|/|/g for @f;
          local $/; open my $h, "<", $f[0] or do { print "no file: $_\n"; $bad = 1; next };
          my $t = <$h>; close $h; my $n = () = $t =~ /\Q$f[1]\E/g;
          if ($n != 1) { print "found $n times: $_\n"; $bad = 1 }
          END { exit($bad ? 1 : 0) }' "${1:-tests/slips/slips.txt}"
