#!/usr/bin/env bash
# Start to the update list on screen: the agent's visible check
# (UpdaterApp -updater -type "Update List") against the loopback test server,
# timed from its start until the list is first painted, against a minimal Qt
# program showing one window on the same display: the one in DISPLAY, else an
# Xvfb of its own when there is one, else the offscreen platform (which has
# no window system to wait on, so the ratio there is a harsher one).
# Both run with a probe preloaded that ends the process at that first paint.
# Each side runs RUNS times, alternating; the medians are compared.
# Goals: at most 1.2x the minimal window with the demo-sized reply, at most
# 1.5x with a reply of 2,000 modules. Exits 1 when a goal is missed.
#   bench/startup_vs_window.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
runs=${2:-15}
agent=$build/updater/UpdaterApp
server_bin=$build/tools/http-test-server/http-test-server
probe=$build/bench/libwindow-probe.so
peer=$build/bench/minimal-window
for b in "$agent" "$server_bin" "$probe" "$peer"; do
  [[ -e $b ]] || { echo "missing $b (build UpdaterApp, http-test-server, window-probe and minimal-window)" >&2; exit 2; }
done

work=$(mktemp -d)
server_pid=
xvfb_pid=
cleanup() {
  [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work"/{data,config,tmp,home,sysroot}
mkdir -m 0700 "$work/runtime"
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config TMPDIR=$work/tmp HOME=$work/home \
       XDG_RUNTIME_DIR=$work/runtime UPDATER_SYSTEM_ROOT=$work/sysroot
if [[ -z ${QT_QPA_PLATFORM:-} ]]; then
  if [[ -z ${DISPLAY:-} ]] && command -v Xvfb >/dev/null; then
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
    xvfb_pid=$!
    for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.05; done
    [[ -s $work/display ]] || { echo "Xvfb did not start" >&2; exit 1; }
    export DISPLAY=:$(head -n1 "$work/display")
  fi
  if [[ -n ${DISPLAY:-} ]]; then export QT_QPA_PLATFORM=xcb; else export QT_QPA_PLATFORM=offscreen; fi
fi
echo "platform: $QT_QPA_PLATFORM${DISPLAY:+ on display $DISPLAY}${xvfb_pid:+ (Xvfb of its own)}"
unset UPDATER_TIME_SCALE

# A reply of N add-ons, each newer than the reader.
write_reply() {
  local count=$1 file=$2 i
  {
    echo '<?xml version="1.0" encoding="UTF-8"?>'
    echo '<addons rollback="false">'
    for ((i = 1; i <= count; i++)); do
      printf '  <addon name="Addon%d" title="Add-on %d" version="13.0.0.%d" size="%d" description="Add-on %d update" url="%s/packages/Addon%d.kzip" result="true" module_type="service" update_mode="1" releaseDate="2026-12-01"/>\n' \
        "$i" "$i" "$i" $((100000 + i)) "$i" "$base" "$i"
    done
    echo '</addons>'
  } > "$file"
}

now_ns() { date +%s%N; }

# Milliseconds from start to exit of one run (the probe exits at the paint).
time_run() {
  local t0 t1
  t0=$(now_ns)
  # The probe is given to the program itself (it leaves its children alone,
  # and would leave the program alone too if given to timeout).
  PROBE_WINDOW_CLASS=$1 timeout 60 env LD_PRELOAD="$probe" "${@:2}" >/dev/null 2>>"$work/runs.log" || {
    echo "run failed: ${*:2} (see below)" >&2; tail -n 20 "$work/runs.log" >&2; exit 1; }
  t1=$(now_ns)
  echo $(((t1 - t0) / 1000))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

"$server_bin" --file /addons/get_addons.php="$work/reply.xml" > "$work/server.out" &
server_pid=$!
for _ in $(seq 100); do [[ -s $work/server.out ]] && break; sleep 0.05; done
base=$(head -n1 "$work/server.out")
[[ -n $base ]] || { echo "server did not start" >&2; exit 1; }
export UPDATER_SERVICE_BASE=$base

status=0
for case in "4 1.2" "2000 1.5"; do
  read -r modules goal <<<"$case"
  write_reply "$modules" "$work/reply.xml"
  agent_us=() peer_us=()
  # One run each first, unmeasured: both then start from a warm page cache.
  time_run DlgUpdatesTree "$agent" -updater -type '"Update List"' -version 12.1.0.1 -readerlang en-US -Edition Business >/dev/null
  time_run QWidget "$peer" >/dev/null
  for ((r = 0; r < runs; r++)); do
    agent_us+=("$(time_run DlgUpdatesTree "$agent" -updater -type '"Update List"' -version 12.1.0.1 -readerlang en-US -Edition Business)")
    peer_us+=("$(time_run QWidget "$peer")")
  done
  agent_med=$(printf '%s\n' "${agent_us[@]}" | median)
  peer_med=$(printf '%s\n' "${peer_us[@]}" | median)
  ratio=$(echo "$agent_med / $peer_med" | bc -l)
  printf 'reply of %d modules: update list %.1f ms, minimal window %.1f ms (medians of %d)\n' \
    "$modules" "$(echo "$agent_med / 1000" | bc -l)" "$(echo "$peer_med / 1000" | bc -l)" "$runs"
  if (( $(echo "$ratio <= $goal" | bc -l) )); then
    printf 'ratio (update list / minimal window): %.2f (goal <= %.1f: met)\n' "$ratio" "$goal"
  else
    printf 'ratio (update list / minimal window): %.2f (goal <= %.1f: NOT met)\n' "$ratio" "$goal"
    status=1
  fi
done
exit $status
