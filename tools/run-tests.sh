#!/usr/bin/env bash
# Builds and runs every test twice: an optimised build, then a build with
# AddressSanitizer and UndefinedBehaviorSanitizer (outside the checkout). A
# third build, of the core library alone with ThreadSanitizer, runs the tests
# that start threads; then the headless demo runs once light and once dark
# against a fast demo service.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 LC_ALL=C.UTF-8
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
jobs=$(nproc)

build() { # dir, extra cmake args...
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

# The sanitizer build's folder lies outside the checkout, so that every run
# also proves that a build folder anywhere builds; one folder per checkout,
# kept between runs.
asan_dir="${TMPDIR:-/tmp}/updater-asan-$(pwd | cksum | cut -d' ' -f1)"
build build/release -DCMAKE_BUILD_TYPE=Release
build "$asan_dir" -DCMAKE_BUILD_TYPE=Debug -DUPDATER_SANITIZE=ON
build build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DUPDATER_TSAN=ON -DUPDATER_BENCH=OFF

status=0
echo "== tests: release build"
ctest --test-dir build/release -j "$jobs" --output-on-failure || status=1
echo "== tests: sanitizer build (in $asan_dir)"
ctest --test-dir "$asan_dir" -j "$jobs" --output-on-failure || status=1
echo "== tests: thread-sanitizer build (label threads)"
tsan_run() { ctest --test-dir build/tsan -L threads -j "$jobs" --output-on-failure; }
# The sanitizer's runtime refuses some kernels' address layouts; without
# address randomisation it always finds its own.
if ! tsan_run; then
  if command -v setarch >/dev/null; then setarch "$(uname -m)" -R bash -c "$(declare -f tsan_run); tsan_run" || status=1; else status=1; fi
fi
echo "== headless demo: light, then dark"
BUILD_DIR=build/release DEMO_RATE=8388608 DEMO_PAYLOAD=65536 DEMO_TIME_LIMIT=120 \
  bash tools/demo-runs.sh 2 || status=1
exit $status
