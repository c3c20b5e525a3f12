#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time on
# its seed corpus (tests/fuzz/corpus/<target>/). The libraries under test are
# instrumented too (tests/fuzz/CMakeLists.txt). A crash or a failed check fails
# the run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
ls tests/fuzz/fuzz_*.cpp >/dev/null 2>&1 || { echo "no fuzz targets"; exit 0; }
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DUPDATER_FUZZ=ON >/dev/null
cmake --build build/fuzz -j "$(nproc)"
for bin in build/fuzz/tests/fuzz/fuzz_*; do
  [ -f "$bin" ] && [ -x "$bin" ] || continue   # skip the automoc folders
  name=$(basename "$bin")
  work=build/fuzz/work/$name
  rm -rf "$work"; mkdir -p "$work/corpus"
  seeds=tests/fuzz/corpus/$name
  [ -d "$seeds" ] && cp -r "$seeds/." "$work/corpus/"
  echo "== fuzz: $name for ${seconds}s"
  (cd "$work" && "$OLDPWD/$bin" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
      -print_final_stats=1 corpus > log.txt 2>&1) || { tail -n 60 "$work/log.txt"; exit 1; }
  # Coverage reached: with the library instrumented it is far above what
  # the harness alone gives.
  grep -a ' cov: ' "$work/log.txt" | tail -n 1
  tail -n 3 "$work/log.txt"
done
