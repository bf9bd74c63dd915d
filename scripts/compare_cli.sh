#!/usr/bin/env bash
# Times the command line over a library of 240 real files (the shared samples copied round
# robin, extensions kept) against the peer metadata tools, each in one process over the same
# files, and the thumbnail run with one and two workers. Prints the figures and the ratios.
#   scripts/compare_cli.sh [BUILD_DIR] [SAMPLES_DIR]
# Needs exiv2 and exiftool (Debian: exiv2, libimage-exiftool-perl) for the peer figures.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
samples=${2:-../shared/samples}
morvane="$build/morvane"
[ -x "$morvane" ] || { echo "no $morvane: build first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
library="$work/library"
mkdir -p "$library"
mapfile -t originals < <(find "$samples" -maxdepth 1 -type f ! -name '*.md' | sort)
[ ${#originals[@]} -gt 0 ] || { echo "no samples in $samples" >&2; exit 2; }
for i in $(seq 0 239); do
  source_file=${originals[$((i % ${#originals[@]}))]}
  name=$(basename "$source_file")
  mkdir -p "$library/d$((i % 8))"
  cp "$source_file" "$library/d$((i % 8))/$i-$name"
done
mapfile -t files < <(find "$library" -type f | sort)

# "WALL CPU": the best wall-clock seconds and the best processor seconds (user + system, child
# processes included) of three runs of the command given. On a machine shared with other work
# the processor time is the steadier figure.
measure() {
  python3 - "$@" <<'PY'
import os, resource, subprocess, sys, time
best_wall = best_cpu = None
for _ in range(3):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    best_wall = wall if best_wall is None else min(best_wall, wall)
    best_cpu = cpu if best_cpu is None else min(best_cpu, cpu)
print(f"{best_wall:.4f} {best_cpu:.4f}")
PY
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / b }'; }

echo "library: ${#files[@]} files from ${#originals[@]} samples; load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "                                  wall s    cpu s"
report() {  # NAME "WALL CPU" [REFERENCE "WALL CPU" TARGET]
  read -r wall cpu <<<"$2"
  printf '%-32s %8s %8s' "$1" "$wall" "$cpu"
  if [ $# -ge 4 ]; then
    read -r ref_wall ref_cpu <<<"$3"
    printf '   %s: %sx by wall, %sx by cpu (target %s)' "$4" "$(ratio "$wall" "$ref_wall")" "$(ratio "$cpu" "$ref_cpu")" "$5"
  fi
  printf '\n'
}

info_one=$(measure "$morvane" info -j 1 "${files[@]}")
info_all=$(measure "$morvane" info "${files[@]}")
report "morvane info -j 1" "$info_one"
report "morvane info (default -j)" "$info_all"
if command -v exiv2 >/dev/null; then
  report "exiv2, the eight fields" "$(measure exiv2 -q -Pv -g Exif.Image.Make -g Exif.Image.Model \
    -g Exif.Photo.DateTimeOriginal -g Exif.Photo.FocalLength -g Exif.Photo.FNumber -g Exif.Photo.ExposureTime \
    -g Exif.Photo.ISOSpeedRatings -g Exif.Photo.Flash "${files[@]}")" "$info_one" "slower than morvane -j 1" 10x
fi
if command -v exiftool >/dev/null; then
  report "exiftool -fast, the eight fields" "$(measure exiftool -fast -q -Make -Model -DateTimeOriginal -FocalLength \
    -FNumber -ExposureTime -ISO -Flash "${files[@]}")" "$info_one" "slower than morvane -j 1" 100x
fi

# Thumbnails into a fresh cache each run, so every run makes every thumbnail: once with the
# cache beside the library (each stored row waits for the disk), once in memory when /dev/shm
# exists (the work itself).
thumbs() {
  rm -rf "$cache"
  XDG_CACHE_HOME="$cache" "$morvane" thumb -r -j "$1" --size 256 "$library"
}
export -f thumbs
export morvane library
for cache in "$work/cache" /dev/shm/morvane-compare-$$; do
  [ -d "$(dirname "$cache")" ] || continue
  export cache
  one=$(measure bash -c 'thumbs 1')
  two=$(measure bash -c 'thumbs 2')
  rm -rf "$cache"
  report "morvane thumb -r -j 1" "$one"
  report "morvane thumb -r -j 2" "$two"
  printf 'thumb -r speed-up of -j 2 over -j 1, cache in %s: %sx by wall (target 1.7x on 2 idle cores)\n' \
    "$(dirname "$cache")" "$(ratio "${one%% *}" "${two%% *}")"
done
