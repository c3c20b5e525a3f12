#!/usr/bin/env bash
# Builds the agent and runs, in a throw-away isolated environment, the jobs that
# exist so far. Nothing here touches your own settings or data folders.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

build=build/release
echo "== building the agent ($build)"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)" --target UpdaterApp http-test-server
agent="$PWD/$build/updater/UpdaterApp"
server_bin="$PWD/$build/tools/http-test-server/http-test-server"

demo=$(mktemp -d "${TMPDIR:-/tmp}/updater-demo.XXXXXX")
server_pid=""
cleanup() {
  if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; fi
  rm -rf "$demo"
}
trap cleanup EXIT
mkdir -p "$demo"/{data,config,tmp,sysroot,home}
export XDG_DATA_HOME="$demo/data" XDG_CONFIG_HOME="$demo/config" TMPDIR="$demo/tmp" \
       HOME="$demo/home" UPDATER_SYSTEM_ROOT="$demo/sysroot" XDG_RUNTIME_DIR="$demo/tmp"
unset UPDATER_SERVICE_BASE UPDATER_TIME_SCALE
echo "== isolated demo environment: $demo"

quiet() { "$@" 2>/dev/null; }   # the agent's debug channel goes to stderr

echo
echo "== 1. store the next automatic-check time"
next=$(( $(date +%s) + 86400 ))
quiet "$agent" "setnextautoupdatetime:$next"
echo "exit code $?; the reader's settings now hold:"
grep -h "LastDay" "$demo/config/Velto Software/Velto.PDF.Reader.conf"

echo
echo "== 2. refresh a trust-certificate list from the local demo service"
list="$demo/eutl.xml"
"$server_bin" --text "/lists/eutl.xml=<TrustList>demo</TrustList>" >"$demo/server.out" &
server_pid=$!
for _ in $(seq 50); do [ -s "$demo/server.out" ] && break; sleep 0.1; done
base=$(head -n1 "$demo/server.out")
echo "demo service at $base"
status=$(quiet "$agent" -downloadTrustCertfile -certeutlurl "$base/lists/eutl.xml" -eutlfile "$list" -downtype auto)
echo "status number printed by the agent: $status (268500992 = list fetched, downtype auto)"
echo "fetched list: $(cat "$list" 2>/dev/null || echo '(none)')"

echo
echo "== 3. a run that reaches the controller (no job on its command line)"
quiet "$agent" -readerpath /Applications/Demo.app
echo "exit code $?; unpack folder prepared: $(ls -d "$demo/data/Velto Software/Continuous/updater/uncompress/"* 2>/dev/null || echo none)"

echo
echo "The visible update check against the demo service is not part of this demo yet;"
echo "the runs above are what the agent does today."
