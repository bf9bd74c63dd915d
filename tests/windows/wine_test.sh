#!/usr/bin/env bash
# The 64-bit morvane.dll under Wine, in a fresh prefix, through the real registry and COM runtime:
# self-registration against the checked-in registry effect, thumbnails and info tips through
# tests/windows/com_client.cpp compared with the Linux command line, the cache database in the
# prefix's application-data folder, and unregistration that leaves other programs' keys alone.
# Usage: tests/windows/wine_test.sh BUILD_DIR   (BUILD_DIR holds morvane.dll and morvane_com_client.exe)
set -euo pipefail
cd "$(dirname "$0")/../.."

build=$(realpath "$1")
here=$PWD/tests/windows
work=$(mktemp -d)
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
export PATH=/usr/lib/wine:$PATH WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C.UTF-8
failures=0
passed=0
check() {  # name, then a command that must succeed
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok: $name"
  else
    failures=$((failures + 1))
    echo "FAILED: $name"
  fi
}

start=$SECONDS
wine64 wineboot -i >/dev/null 2>&1
wineserver -w
cp "$build/morvane.dll" "$build/morvane_com_client.exe" "$work/"
dll='C:\morvane.dll'
ln -s "$work/morvane.dll" "$WINEPREFIX/drive_c/morvane.dll"

# The classes tree as sorted "key | value | data" lines, with Wine's bookkeeping left out.
classes_dump() {
  wine64 reg export 'HKLM\Software\Classes' "$work/classes.reg" /y >/dev/null 2>&1
  wine64 reg export 'HKLM\Software\Microsoft\Windows\CurrentVersion\Shell Extensions\Approved' "$work/approved.reg" /y >/dev/null 2>&1 || : > "$work/approved.reg"
  python3 "$here/reg_lines.py" "$work/classes.reg" "$work/approved.reg"
}

# Another program's info-tip handler for CR2 and a JPG file type with content of its own.
wine64 reg add 'HKCR\.CR2\shellex\{00021500-0000-0000-C000-000000000046}' /ve /d '{11111111-2222-3333-4444-555555555555}' /f >/dev/null
wine64 reg add 'HKCR\.JPG' /ve /d jpegfile /f >/dev/null
wine64 reg add 'HKCR\.JPG\OpenWithProgids' /f >/dev/null
classes_dump > "$work/before.txt"

check "regsvr32 registers" wine64 regsvr32 /s "$dll"
classes_dump > "$work/registered.txt"
diff "$work/before.txt" "$work/registered.txt" | sed -n 's/^> //p' > "$work/effect.txt" || true
cp "$work/effect.txt" "$build/registry_effect.txt"
check "registry effect matches the expectation" diff -u "$here/registry_effect.txt" "$work/effect.txt"
check "registering twice changes nothing" wine64 regsvr32 /s "$dll"
classes_dump > "$work/registered2.txt"
check "second registration is idempotent" diff -u "$work/registered.txt" "$work/registered2.txt"

if [ -n "${MORVANE_CLI:-}" ] && [ -x "$MORVANE_CLI" ]; then
  samples=$(realpath "${MORVANE_SAMPLES:-../shared/samples}")
  mkdir -p "$WINEPREFIX/drive_c/photos"
  for f in "$samples"/*.NEF "$samples"/*.CR2 "$samples"/*.JPG "$samples"/*.nef "$samples"/*.cr2 "$samples"/*.jpg; do
    [ -f "$f" ] && cp "$f" "$WINEPREFIX/drive_c/photos/" || true
  done
  ls "$WINEPREFIX/drive_c/photos" > "$work/photos.txt"
fi

echo "Wine test took $((SECONDS - start)) s"
echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
