#!/usr/bin/env bash
# Builds and runs every test twice: an optimised build, then a build with
# AddressSanitizer and UndefinedBehaviorSanitizer; then the headless demo once
# light and once dark against a fast demo service.
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

build build/release -DCMAKE_BUILD_TYPE=Release
build build/asan -DCMAKE_BUILD_TYPE=Debug -DUPDATER_SANITIZE=ON

status=0
echo "== tests: release build"
ctest --test-dir build/release -j "$jobs" --output-on-failure || status=1
echo "== tests: sanitizer build"
ctest --test-dir build/asan -j "$jobs" --output-on-failure || status=1
echo "== headless demo: light, then dark"
BUILD_DIR=build/release DEMO_RATE=8388608 DEMO_PAYLOAD=65536 DEMO_TIME_LIMIT=120 \
  bash tools/demo-runs.sh 2 || status=1
exit $status
