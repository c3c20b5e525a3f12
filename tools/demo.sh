#!/usr/bin/env bash
# The agent's main job against a local demo update service, in a throw-away
# isolated environment (nothing here touches your own settings or data):
#
#   tools/demo.sh                          visible update check: check, list, download list
#   tools/demo.sh --component OCR_nl_nl    component install (any component list)
#   tools/demo.sh --headless               an automatic user clicks through (no display needed)
#
# BUILD_DIR (relative to the checkout, or absolute) picks the build; a dark run
# is UPDATER_APPEARANCE=dark; DEMO_RATE and DEMO_PAYLOAD (bytes per second and
# payload bytes per package) make the service faster or slower; DEMO_TIME_LIMIT
# (seconds) bounds a run of the automatic user.
#
# With a display you click through yourself: choose add-ons (or the reader
# update) in the list, press "Download and Install", pause and continue if you
# like, and watch each module turn green. Without a display (or with
# --headless) the run goes under xvfb-run (offscreen when xvfb-run is
# missing) with an automatic user, which prints every window and outcome.
# The demo service stops when the agent ends.
set -euo pipefail
cd "$(dirname "$0")/.."

component=""
headless=0
while [ $# -gt 0 ]; do
  case "$1" in
    --component) component="${2:?--component needs a component list}"; shift 2 ;;
    --headless) headless=1; shift ;;
    -h|--help) sed -n '2,20p' "$0"; exit 0 ;;
    *) echo "unknown option: $1 (see --help)" >&2; exit 2 ;;
  esac
done
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  headless=1
fi

export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
export LANG=C.UTF-8 LC_ALL=C.UTF-8

build="${BUILD_DIR:-build/release}"
case "$build" in
  /*) ;;
  *) build="$PWD/$build" ;;
esac
echo "== building the agent and the demo service ($build)"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target UpdaterApp demo-service installer-standin demo-drive
agent="$build/updater/UpdaterApp"
driver="$build/tools/demo-service/demo-drive"
service_bin="$build/tools/demo-service/demo-service"
standin="$build/tools/installer-standin/installer-standin"

demo=$(mktemp -d "${TMPDIR:-/tmp}/updater-demo.XXXXXX")
service_pid=""
cleanup() {
  if [ -n "$service_pid" ]; then kill "$service_pid" 2>/dev/null || true; wait "$service_pid" 2>/dev/null || true; fi
  if [ -z "${KEEP_DEMO:-}" ]; then rm -rf "$demo"; else echo "== kept $demo"; fi
}
trap cleanup EXIT
mkdir -p "$demo"/{data,config,tmp,sysroot,home,packages}
# Qt accepts a runtime folder only when it is private to the user (0700);
# anything else starts every log with its warning about the permissions.
mkdir -m 0700 "$demo/runtime"
export XDG_DATA_HOME="$demo/data" XDG_CONFIG_HOME="$demo/config" TMPDIR="$demo/tmp" \
       HOME="$demo/home" UPDATER_SYSTEM_ROOT="$demo/sysroot" XDG_RUNTIME_DIR="$demo/runtime"
unset UPDATER_TIME_SCALE
echo "== isolated demo environment: $demo"

# The system installer and "open" are the stand-in; the install history starts empty.
sysroot="$demo/sysroot"
installer_dir="$sysroot/System/Library/CoreServices/Installer.app/Contents/MacOS"
mkdir -p "$installer_dir" "$sysroot/usr/bin" "$sysroot/Library/Receipts"
cp "$standin" "$installer_dir/Installer"
cp "$standin" "$sysroot/usr/bin/open"
cat >"$sysroot/Library/Receipts/InstallHistory.plist" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<array/>
</plist>
EOF

service_args=(--dir "$demo/packages")
if [ -n "${DEMO_RATE:-}" ]; then service_args+=(--rate "$DEMO_RATE"); fi
if [ -n "${DEMO_PAYLOAD:-}" ]; then service_args+=(--payload "$DEMO_PAYLOAD"); fi
"$service_bin" "${service_args[@]}" >"$demo/service.out" 2>"$demo/service.log" &
service_pid=$!
# It builds its packages before it listens, which takes a while on a busy
# machine: wait as long as it runs, up to two minutes.
for _ in $(seq 1200); do
  [ -s "$demo/service.out" ] && break
  kill -0 "$service_pid" 2>/dev/null || break
  sleep 0.1
done
base=$(head -n1 "$demo/service.out")
if [ -z "$base" ]; then echo "the demo service did not start:" >&2; cat "$demo/service.log" >&2; exit 1; fi
export UPDATER_SERVICE_BASE="$base"
echo "== demo update service at $base"

# The reader passes the type between double quotes, inside one argument.
if [ -n "$component" ]; then
  args=(-updater -type "\"$component\"" -version 12.1.0.1 -readerlang en-US -Edition Business)
else
  args=(-updater -type "\"Update List\"" -version 12.1.0.1 -readerlang en-US -Edition Business)
fi

status=0
if [ "$headless" = 0 ]; then
  echo "== UpdaterApp ${args[*]}"
  "$agent" "${args[@]}" 2>"$demo/agent.log" || status=$?
else
  echo "== no display: an automatic user drives UpdaterApp ${args[*]}"
  if command -v xvfb-run >/dev/null; then
    xvfb-run -a "$driver" "${args[@]}" 2>"$demo/agent.log" || status=$?
  else
    QT_QPA_PLATFORM=offscreen "$driver" "${args[@]}" 2>"$demo/agent.log" || status=$?
  fi
fi
echo "== the agent ended with $status"
# Qt's word on the runtime folder (see above) goes to the agent's log only.
if runtime_warning=$(grep -m1 "QStandardPaths:" "$demo/agent.log"); then echo "== $runtime_warning"; fi

echo
echo "== what the demo service was asked"
grep -E " GET " "$demo/service.log" || echo "(nothing)"
echo
echo "== installers handed to the (stand-in) system installer"
if [ -f "$installer_dir/handoffs.log" ]; then
  grep -v "Installer.app$" "$installer_dir/handoffs.log" | awk -F'\t' '{ n = split($3, p, "/"); print "  " p[n] }'
else
  echo "  (none)"
fi
exit "$status"
