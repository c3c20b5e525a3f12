#!/usr/bin/env bash
# Runs the headless demo (tools/demo.sh --headless) N times in a row,
# alternating light and dark (odd runs light, even runs dark), and reports
# each run's outcome:
#
#   tools/demo-runs.sh [N] [more options for demo.sh]     N defaults to 10
#
# The environment of demo.sh applies (BUILD_DIR, DEMO_RATE, DEMO_PAYLOAD,
# DEMO_TIME_LIMIT). A run fails when it does not end with every chosen module
# installed or when Qt refused its runtime folder. The log of a failed run is
# kept and its path printed. Exit code 0 when every run succeeded.
set -uo pipefail
cd "$(dirname "$0")/.."

runs=10
if [ $# -gt 0 ] && [[ "$1" =~ ^[0-9]+$ ]]; then
  runs=$1
  shift
fi
logs=$(mktemp -d "${TMPDIR:-/tmp}/demo-runs.XXXXXX")

failed=0
for i in $(seq 1 "$runs"); do
  if [ $((i % 2)) = 1 ]; then appearance=light; else appearance=dark; fi
  log="$logs/run-$i-$appearance.log"
  started=$(date +%s)
  if [ "$appearance" = dark ]; then
    UPDATER_APPEARANCE=dark bash tools/demo.sh --headless "$@" >"$log" 2>&1
  else
    env -u UPDATER_APPEARANCE bash tools/demo.sh --headless "$@" >"$log" 2>&1
  fi
  status=$?
  seconds=$(( $(date +%s) - started ))
  modules=$(grep -E "^  module " "$log" | sed 's/^  module //' | paste -sd ';' - | sed 's/;/; /g')
  # The demo gives the agent a runtime folder of its own, private to the user;
  # Qt's complaint about a missing or shared one means the set-up broke.
  runtime_warning=$(grep -m1 "QStandardPaths:" "$log" | sed "s/^== //" || true)
  if [ "$status" = 0 ] && [ -z "$runtime_warning" ] && grep -q "^every chosen module installed" "$log"; then
    echo "run $i ($appearance, ${seconds}s): every chosen module installed [$modules]"
    rm -f "$log"
  else
    failed=$((failed + 1))
    if [ -n "$runtime_warning" ]; then
      why="runtime folder refused: $runtime_warning"
    elif grep -q "^time limit reached" "$log"; then
      why=$(grep "^time limit reached" "$log" | head -n1)
    elif [ -n "$modules" ]; then
      why="not every module installed [$modules]"
    else
      why=$(grep -vE "^(==|\[)" "$log" | tail -n1)
    fi
    echo "run $i ($appearance, ${seconds}s): FAILED with exit code $status: $why (log: $log)"
  fi
done

echo "== $((runs - failed)) of $runs runs ended with every chosen module installed"
if [ "$failed" = 0 ]; then rmdir "$logs" 2>/dev/null || true; fi
[ "$failed" = 0 ]
