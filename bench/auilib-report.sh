#!/usr/bin/env bash
# The widget library's benchmarks in one table: builds Release (in
# build/release of this checkout, or $BUILD_DIR), runs bench_forms,
# bench_text_paste and every bench_tree* and bench_list* benchmark, and prints
# benchmark, size, time, the peer's time from the same run, both peak
# memories where the benchmark measured them, their ratio and the goal,
# marking each ratio over its goal; it exits non-zero when one is over its
# goal or a benchmark failed. It measures nothing itself.
#
# Line format: each benchmark prints, once per comparison it makes, one line
# on standard output
#   REPORT name=<area/case> size=<n> time_ms=<t> peer_ms=<p> ratio=<t/p> goal=<g>
# fields separated by single spaces, values without spaces, times in
# milliseconds, ratio and goal as plain decimals (the goal is the largest ratio
# accepted, "-" for a line shown for reference only). Optional fields
# mem_kib=<m> peer_mem_kib=<p> give both sides' peak memory in KiB; a line
# about memory alone has time_ms=- and peer_ms=- and its ratio is the
# memories'. A benchmark may print several REPORT lines; one that prints
# none shows up in the table as missing, and one over its goal makes the
# report exit non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" LANG=C.UTF-8 LC_ALL=C.UTF-8
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
build_dir="${BUILD_DIR:-build/release}"

# Found by name, so that a new tree view or list box benchmark is picked up.
names=(bench_forms bench_text_paste)
for src in bench/bench_tree*.cpp bench/bench_list*.cpp; do
  [[ -e $src ]] && names+=("$(basename "$src" .cpp)")
done

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DUPDATER_BENCH=ON >/dev/null
cmake --build "$build_dir" -j "${JOBS:-4}" --target "${names[@]}" >/dev/null

log_dir="$build_dir/bench-report"
mkdir -p "$log_dir"
status=0
rows=""
for name in "${names[@]}"; do
  echo "running $name ..." >&2
  # Standard error in a file of its own: Qt's warnings arrive there unbuffered
  # and, in a shared file, can land inside a REPORT line that standard output
  # writes out in buffered pieces.
  if ! "$build_dir/bench/$name" >"$log_dir/$name.log" 2>"$log_dir/$name.err"; then
    echo "$name failed: see $log_dir/$name.log and $name.err" >&2
    status=1
  fi
  lines=$(grep '^REPORT ' "$log_dir/$name.log" || true)
  if [[ -z $lines ]]; then
    rows+="REPORT name=$name size=- time_ms=- peer_ms=- ratio=- goal=- missing=1"$'\n'
    status=1
  else
    rows+="$lines"$'\n'
  fi
done

printf '%s' "$rows" | awk '
  function field(key,   i, kv) {
    for (i = 2; i <= NF; ++i) { split($i, kv, "="); if (kv[1] == key) return substr($i, length(key) + 2) }
    return "-"
  }
  BEGIN {
    over = 0
    printf "%-44s %9s %10s %10s %11s %11s %7s %5s\n", "benchmark", "size", "time ms", "peer ms", "KiB", "peer KiB", "ratio", "goal"
  }
  {
    ratio = field("ratio"); goal = field("goal"); mark = ""
    if (field("missing") == "1") mark = "  no REPORT line"
    else if (ratio != "-" && goal != "-" && ratio + 0 > goal + 0) { mark = "  << over goal"; over = 1 }
    printf "%-44s %9s %10s %10s %11s %11s %7s %5s%s\n", field("name"), field("size"), field("time_ms"), field("peer_ms"), field("mem_kib"), field("peer_mem_kib"), ratio, goal, mark
  }
  END { exit over }' || status=1
echo "(full output of each benchmark in $log_dir: <name>.log, its warnings in <name>.err)"
exit $status
