#!/usr/bin/env bash
# Downloads one 512 MiB file from the loopback test server, once with the
# agent's downloader (tools/dl-bench) and once with curl, and prints the
# wall-time ratio and the downloader's peak memory.
# Goal: at most 1.2x curl's time, peak memory under 64 MiB (not growing with
# the file size).
#   bench/download_vs_curl.sh [BUILD_DIR] [SIZE_MIB]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
size_mib=${2:-512}
server_bin=$build/tools/http-test-server/http-test-server
dl_bin=$build/tools/dl-bench/dl-bench
for b in "$server_bin" "$dl_bin"; do
  [[ -x $b ]] || { echo "missing $b (build the http-test-server and dl-bench targets)" >&2; exit 2; }
done
command -v curl >/dev/null || { echo "curl not found" >&2; exit 2; }

work=$(mktemp -d)
server_pid=
cleanup() {
  [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
# The agent's log stays off and out of the user's folders.
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config

head -c $((size_mib * 1024 * 1024)) /dev/urandom > "$work/body"
"$server_bin" --file /body="$work/body" > "$work/server.out" &
server_pid=$!
for _ in $(seq 100); do [[ -s $work/server.out ]] && break; sleep 0.05; done
base=$(head -n1 "$work/server.out")
[[ -n $base ]] || { echo "server did not start" >&2; exit 1; }
url=$base/body

now() { date +%s.%N; }

# Warm the page cache for the served file so neither side pays for it.
cat "$work/body" > /dev/null

t0=$(now)
curl -sS -o "$work/curl.out" "$url"
t1=$(now)
curl_s=$(echo "$t1 - $t0" | bc -l)

dl_line=$("$dl_bin" "$url" "$work/dl.out" 2>"$work/dl.err") || { cat "$work/dl.err" >&2; echo "$dl_line" >&2; exit 1; }
dl_s=$(sed -n 's/.*seconds=\([0-9.]*\).*/\1/p' <<<"$dl_line")
peak_kib=$(sed -n 's/.*peak_rss_kib=\([0-9]*\).*/\1/p' <<<"$dl_line")

cmp -s "$work/body" "$work/curl.out" || { echo "curl copy differs" >&2; exit 1; }
cmp -s "$work/body" "$work/dl.out" || { echo "downloader copy differs ($dl_line)" >&2; exit 1; }

ratio=$(echo "$dl_s / $curl_s" | bc -l)
peak_mib=$(echo "$peak_kib / 1024" | bc -l)
printf 'size: %d MiB\n' "$size_mib"
printf 'curl:       %.3f s\n' "$curl_s"
printf 'downloader: %.3f s\n' "$dl_s"
printf 'ratio (downloader / curl): %.2f (goal <= 1.20)\n' "$ratio"
printf 'downloader peak memory: %.1f MiB (goal < 64)\n' "$peak_mib"
if (( $(echo "$ratio <= 1.2 && $peak_mib < 64" | bc -l) )); then
  echo "goal: met"
else
  echo "goal: missed"
  exit 1
fi
