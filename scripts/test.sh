#!/usr/bin/env bash
# Installs what is needed, then builds and runs the test suite twice (a normal build with
# warnings as errors, and an AddressSanitizer + UndefinedBehaviorSanitizer build), runs every
# fuzz target briefly, asks the desktop's thumbnail services for thumbnails through the installed
# thumbnailer, then builds both Windows DLLs and tests the 64-bit one under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

MORVANE_CMAKE_ARGS="-DMORVANE_WERROR=ON" scripts/setup.sh
ctest --test-dir build --output-on-failure -j2

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVANE_WERROR=ON -DMORVANE_SANITIZE=ON
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j2

# Every fuzz target for a short run on its corpus (seeds from the fixtures and the samples).
scripts/fuzz.sh all "${MORVANE_FUZZ_SECONDS:-20}"

# The desktop thumbnailer through GNOME's thumbnail factory and tumbler, and the Debian package.
tests/desktop/desktop_test.sh build

# The Windows shell extension: both DLLs cross-built, the 64-bit one tested under Wine.
scripts/windows.sh
