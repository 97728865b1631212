#!/usr/bin/env bash
# Adding 5,000 drawings in one go against 500: times and their ratio (near 10 when the fill is
# linear). Usage: add_drawings.sh BUILD_DIR (inside the Wine environment of scripts/bench).
set -uo pipefail
build=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$("$root/scripts/wine-run" "$build/tests/win/win_tests.exe" \
  --gtest_filter='DrawingListBench.DISABLED_AddFiveThousandFiles' --gtest_also_run_disabled_tests)
rc=$?
grep -E '^(add |ratio )' <<<"$out"
[ $rc -eq 0 ] || { echo "$out" | tail -20; exit 1; }
