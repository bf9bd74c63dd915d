#!/usr/bin/env bash
# Builds morvane.dll for 64-bit and 32-bit Windows with mingw-w64 and, unless told "build",
# tests the 64-bit one under Wine through the real COM runtime (tests/windows/wine_test.sh).
# Usage: scripts/windows.sh [build]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix cmake ninja-build dpkg-dev tcl wine wine64 python3-pil sqlite3)
scripts/install_packages.sh "${packages[@]}"

# The cross-built libraries are kept per user, outside the work tree, so that a fresh clone on
# the same machine (as CI's is) finds them built.
deps_cache=${MORVANE_WINDOWS_DEPS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/morvane/windows}
scripts/windows_deps.sh "$deps_cache" x86_64 i686

for arch in x86_64 i686; do
  deps=$deps_cache/deps-$arch
  MORVANE_WINDOWS_DEPS=$deps cmake -S . -B "build-windows/$arch" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-$arch.cmake" -DMORVANE_WERROR=ON
  MORVANE_WINDOWS_DEPS=$deps cmake --build "build-windows/$arch" -j2
  # The DLL needs nothing beside it but system libraries, and exports the four entry points.
  "$arch-w64-mingw32-objdump" -p "build-windows/$arch/morvane.dll" > "build-windows/$arch/morvane.dll.txt"
  if grep -i 'DLL Name' "build-windows/$arch/morvane.dll.txt" | grep -viE 'kernel32|user32|gdi32|advapi32|ole32|oleaut32|shell32|shlwapi|msvcrt|api-ms-win'; then
    echo "morvane.dll ($arch) depends on a library that Windows does not ship" >&2
    exit 1
  fi
  for export in DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer; do
    grep -qE "\] $export\$" "build-windows/$arch/morvane.dll.txt" || { echo "morvane.dll ($arch) lacks $export" >&2; exit 1; }
  done
  echo "build-windows/$arch/morvane.dll built"
done

[ "${1:-}" = build ] && exit 0
# The test compares with the Linux command line.
if [ -f build/build.ninja ]; then cmake --build build --target morvane; else scripts/setup.sh; fi
tests/windows/wine_test.sh build-windows/x86_64
