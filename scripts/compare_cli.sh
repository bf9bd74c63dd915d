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

# The wall-clock seconds of the command given, best of three runs.
seconds() {
  local best=""
  for _ in 1 2 3; do
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    local t=$(( end - start ))
    if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
  done
  awk -v ns="$best" 'BEGIN { printf "%.4f", ns / 1e9 }'
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / b }'; }

echo "library: ${#files[@]} files from ${#originals[@]} samples"
info=$(seconds "$morvane" info -j 1 "${files[@]}")
printf 'morvane info, one process:      %s s\n' "$info"
info_j=$(seconds "$morvane" info "${files[@]}")
printf 'morvane info, default workers:  %s s\n' "$info_j"

if command -v exiv2 >/dev/null; then
  exiv2_time=$(seconds exiv2 -q -Pv -g Exif.Image.Make -g Exif.Image.Model -g Exif.Photo.DateTimeOriginal \
    -g Exif.Photo.FocalLength -g Exif.Photo.FNumber -g Exif.Photo.ExposureTime -g Exif.Photo.ISOSpeedRatings \
    -g Exif.Photo.Flash "${files[@]}")
  printf 'exiv2, eight fields:            %s s   morvane is %sx faster (target 10x)\n' "$exiv2_time" "$(ratio "$exiv2_time" "$info")"
fi
if command -v exiftool >/dev/null; then
  exiftool_time=$(seconds exiftool -fast -q -Make -Model -DateTimeOriginal -FocalLength -FNumber -ExposureTime -ISO \
    -Flash "${files[@]}")
  printf 'exiftool -fast, eight fields:   %s s   morvane is %sx faster (target 100x)\n' "$exiftool_time" "$(ratio "$exiftool_time" "$info")"
fi

# Thumbnails into a fresh cache each run, so every run makes every thumbnail.
thumbs() {
  rm -rf "$work/cache"
  XDG_CACHE_HOME="$work/cache" "$morvane" thumb -r -j "$1" --size 256 "$library"
}
one=$(seconds thumbs 1)
two=$(seconds thumbs 2)
printf 'morvane thumb -r, -j 1:         %s s\n' "$one"
printf 'morvane thumb -r, -j 2:         %s s   speed-up %sx (target 1.7x on 2 cores)\n' "$two" "$(ratio "$one" "$two")"
