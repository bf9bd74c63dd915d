#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) into
# build-fuzz and runs each for SECONDS on its corpus. Exits non-zero when a target crashes, leaks,
# times out or runs out of memory; the input that did it is kept in build-fuzz/crashes/TARGET/.
#
#   scripts/fuzz.sh [TARGET|all] [SECONDS]   default: every target, 60 seconds each
#   scripts/fuzz.sh --list                   the targets, one a line
#
# The corpus of a target (build-fuzz/corpus/TARGET) grows from run to run; its seeds are written
# afresh by every run from the test fixture writers and ../shared/samples.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${MORVANE_FUZZ_BUILD:-$root/build-fuzz}
samples=$root/../shared/samples

list_targets() {
  for source in fuzz/*_fuzzer.cpp; do
    name=${source#fuzz/}
    echo "${name%_fuzzer.cpp}"
  done
}

if [ "${1:-}" = "--list" ]; then
  list_targets
  exit 0
fi

target=${1:-all}
seconds=${2:-60}
if [[ "$target" =~ ^[0-9]+$ ]] && [ $# -eq 1 ]; then
  seconds=$target
  target=all
fi
if [ "$target" = "all" ]; then
  mapfile -t targets < <(list_targets)
else
  list_targets | grep -qx "$target" || { echo "fuzz.sh: no target '$target' (see --list)" >&2; exit 2; }
  targets=("$target")
fi

scripts/install_packages.sh clang libclang-rt-dev cmake ninja-build pkg-config \
  libjpeg62-turbo-dev libtiff-dev libpng-dev zlib1g-dev libsqlite3-dev

# One build at a time per build folder: two campaigns may start together.
mkdir -p "$build"
(
  flock 9
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMORVANE_FUZZ=ON -DMORVANE_TESTS=OFF -DMORVANE_BENCH=OFF -DMORVANE_WERROR=ON "${launcher[@]}" >/dev/null
  mapfile -t all < <(list_targets)
  cmake --build "$build" -j2 --target morvane_fuzz_seeds "${all[@]/#/fuzz_}"
) 9>"$build/.build-lock"

# The sample files that suit a target, as shell patterns.
sample_patterns() {
  case "$1" in
    tif | tag_list | preview_loader | preview_scan) echo "*.*" ;;
    crw) echo "*.crw" ;;
    bmff) echo "*.cr3" ;;
    x3f) echo "*.x3f" ;;
    psd) echo "*.psd" ;;
    psp) echo "*.psp" ;;
    jpeg_segments | jpeg_decode | cache_blob) echo "*.jpg" ;;
    *) echo "" ;;
  esac
}

# One allocation of a metadata request stays far below 64 MB; the image targets also hold the
# decoded picture, bounded by the image-size checks.
malloc_limit() {
  case "$1" in
    jpeg_decode | cache_blob | preview_scan | preview_loader) echo 256 ;;
    *) echo 64 ;;
  esac
}

# A smaller quarantine than AddressSanitizer's default keeps the memory limit about our code.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=64}

status=0
"$build/morvane_fuzz_seeds" "$build/seeds-generated"
for t in "${targets[@]}"; do
  seeds=$build/seeds/$t
  corpus=$build/corpus/$t
  crashes=$build/crashes/$t
  rm -rf "$seeds"
  mkdir -p "$seeds" "$corpus" "$crashes"
  [ -d "$build/seeds-generated/$t" ] && cp "$build/seeds-generated/$t"/* "$seeds"/
  for pattern in $(sample_patterns "$t"); do
    [ -d "$samples" ] && find "$samples" -maxdepth 1 -type f -iname "$pattern" ! -iname '*.md' \
      -exec cp {} "$seeds"/ \;
  done
  echo "== $t: $seconds s"
  if ! "$build/fuzzers/fuzz_$t" "$corpus" "$seeds" -dict=fuzz/morvane.dict \
      -max_total_time="$seconds" -rss_limit_mb=512 -malloc_limit_mb="$(malloc_limit "$t")" \
      -timeout=10 -max_len=65536 -artifact_prefix="$crashes/" -print_final_stats=1 \
      2>"$build/$t.log"; then
    echo "== $t FAILED; input kept in $crashes, log in $build/$t.log"
    grep -E "ERROR|SUMMARY" "$build/$t.log" | head -5
    status=1
  else
    grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb" "$build/$t.log" | tr '\n' ' '
    echo
  fi
done
exit $status
