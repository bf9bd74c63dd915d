#!/usr/bin/env bash
# Whole-process thumbnail timings against peer tools, on one raw file: a cold `morvane thumb`
# (the cache database exists, the file is not in it), the same file cached, and the peers'
# pipeline for the same picture (`dcraw -e` extracts the preview, `vipsthumbnail` scales it).
# Runs alternate so that every tool sees the same machine state; each figure is the median.
#
#   scripts/compare.sh [FILE] [--runs N] [--size PX]
#
# Without FILE it measures the benchmark program's CR2, whose only preview is a 3008 x 2000
# JPEG. Builds a RelWithDebInfo tree in build-bench/ when the programs are missing (or uses
# MORVANE_BUILD=DIR), and installs dcraw and libvips-tools from Debian when they are missing.
# Exits 1 when a target is missed: cold at least 4x faster than the peers, cached under 5 ms.
set -euo pipefail
cd "$(dirname "$0")/.."

file=""
runs=9
size=256
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs="$2"; shift 2 ;;
    --size) size="$2"; shift 2 ;;
    -*) echo "usage: scripts/compare.sh [FILE] [--runs N] [--size PX]" >&2; exit 2 ;;
    *) file="$1"; shift ;;
  esac
done

scripts/install_packages.sh dcraw libvips-tools

build="${MORVANE_BUILD:-build-bench}"
if [ ! -x "$build/morvane" ] || [ ! -x "$build/morvane_bench" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANE_BENCH=ON >/dev/null
  cmake --build "$build" -j2 --target morvane morvane_bench >/dev/null
fi
morvane="$(cd "$build" && pwd)/morvane"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
extension=".cr2"
if [ -z "$file" ]; then
  file="$work/fixture.cr2"
  "$build/morvane_bench" --write-fixture "$file"
else
  extension=".$(echo "${file##*.}" | tr 'A-Z' 'a-z')"
fi
# A cache of the script's own: made by one warm-up request, so cold runs find the database.
export XDG_CACHE_HOME="$work/cache"
cp "$file" "$work/warm$extension"
"$morvane" thumb "$work/warm$extension" --size "$size" -o "$work/warm.png" >/dev/null
dcraw -e -c "$file" >"$work/warm.jpg"
vipsthumbnail "$work/warm.jpg" -s "$size" -o "$work/warm_peer.png"

# Runs the command; appends its wall time to $1.wall and the CPU time of its processes (user
# and system, from the shell's own counters, so no process is added for the clock) to $1.cpu,
# both in milliseconds.
children_cpu_ms() { awk 'NR == 2 { split($1, u, "m"); split($2, s, "m"); printf "%.3f\n", (u[1] * 60 + u[2] + s[1] * 60 + s[2]) * 1000 }' "$1"; }
measure() {
  local out="$1"; shift
  times >"$work/times0"
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1
  local end=$EPOCHREALTIME
  times >"$work/times1"
  awk -v s="${start/./}" -v e="${end/./}" 'BEGIN { printf "%.3f\n", (e - s) / 1000 }' >>"$out.wall"
  awk -v a="$(children_cpu_ms "$work/times0")" -v b="$(children_cpu_ms "$work/times1")" 'BEGIN { printf "%.3f\n", b - a }' >>"$out.cpu"
}
peers() {
  dcraw -e -c "$1" >"$work/peer.jpg" && vipsthumbnail "$work/peer.jpg" -s "$size" -o "$work/peer.png"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

: >"$work/cold.wall"; : >"$work/cached.wall"; : >"$work/peers.wall"
: >"$work/cold.cpu"; : >"$work/cached.cpu"; : >"$work/peers.cpu"
for i in $(seq "$runs"); do
  # A new name each round: not in the cache, same bytes (already in the page cache).
  copy="$work/run$i$extension"
  cp "$file" "$copy"
  measure "$work/cold" "$morvane" thumb "$copy" --size "$size" -o "$work/cold.png"
  measure "$work/peers" peers "$copy"
  measure "$work/cached" "$morvane" thumb "$copy" --size "$size" -o "$work/cached.png"
done

cold=$(median <"$work/cold.wall")
cached=$(median <"$work/cached.wall")
peer=$(median <"$work/peers.wall")
echo "file: $file, ${size} px, median of $runs alternating runs, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "                           wall ms   CPU ms (user + system)"
printf "dcraw -e + vipsthumbnail: %8.2f %8.2f\n" "$peer" "$(median <"$work/peers.cpu")"
printf "morvane thumb, cold:      %8.2f %8.2f\n" "$cold" "$(median <"$work/cold.cpu")"
printf "morvane thumb, cached:    %8.2f %8.2f\n" "$cached" "$(median <"$work/cached.cpu")"
missed=0
awk -v p="$peer" -v c="$cold" 'BEGIN { r = p / c; printf "peers / cold:   %.2fx (target at least 4x) %s\n", r, (r >= 4 ? "met" : "MISSED"); exit !(r >= 4) }' || missed=1
awk -v c="$cached" 'BEGIN { printf "cached:         %.2f ms (target under 5 ms) %s\n", c, (c < 5 ? "met" : "MISSED"); exit !(c < 5) }' || missed=1
awk -v p="$(median <"$work/peers.cpu")" -v c="$(median <"$work/cold.cpu")" 'BEGIN { if (c > 0) printf "peers / cold in CPU time: %.2fx\n", p / c }'
exit "$missed"
