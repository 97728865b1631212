#!/usr/bin/env bash
# Merge of 200 drawings against the stand-in CAD with the real 100 ms pauses: wall time divided by
# the floor the pauses set, (n + F) x 200 ms. Goal: at most 1.01 on Wine.
# Usage: merge.sh MINGW_BUILD_DIR (scripts/bench has made the Wine environment).
set -uo pipefail
build=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$("$root/scripts/wine-run" "$build/tests/win/win_tests.exe" --gtest_also_run_disabled_tests \
  --gtest_filter='MergeBench.DISABLED_TwoHundredDrawings')
rc=$?
line=$(printf '%s\n' "$out" | grep '^merge:')
if [ $rc -ne 0 ] || [ -z "$line" ]; then
  printf '%s\n' "$out" | tail -n 20
  echo "merge: benchmark failed"
  exit 1
fi
echo "$line"
ratio=${line##*ratio=}
awk -v r="$ratio" 'BEGIN { printf "merge ratio %.4f (goal <= 1.01): %s\n", r, (r <= 1.01 ? "met" : "NOT met") }'
