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
# Installed where the README's steps put it.
dll='C:\Programs\Morvane\morvane.dll'
mkdir -p "$WINEPREFIX/drive_c/Programs/Morvane"
ln -s "$work/morvane.dll" "$WINEPREFIX/drive_c/Programs/Morvane/morvane.dll"

# The classes tree, the approved extensions and the property handlers as sorted
# "key | value | data" lines, with Wine's bookkeeping left out.
classes_dump() {
  wine64 reg export 'HKLM\Software\Classes' "$work/classes.reg" /y >/dev/null 2>&1
  wine64 reg export 'HKLM\Software\Microsoft\Windows\CurrentVersion\Shell Extensions\Approved' "$work/approved.reg" /y >/dev/null 2>&1 || : > "$work/approved.reg"
  wine64 reg export 'HKLM\Software\Microsoft\Windows\CurrentVersion\PropertySystem' "$work/properties.reg" /y >/dev/null 2>&1 || : > "$work/properties.reg"
  /usr/bin/python3 "$here/reg_lines.py" "$work/classes.reg" "$work/approved.reg" "$work/properties.reg"
}

# Another program's info-tip handler for CRW and a JPG file type with content of its own; the
# property system's handler key and a JPG property handler, as Windows has them.
wine64 reg add 'HKCR\.CRW\shellex\{00021500-0000-0000-C000-000000000046}' /ve /d '{11111111-2222-3333-4444-555555555555}' /f >/dev/null
wine64 reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\PropertySystem\PropertyHandlers\.JPG' /ve /d '{66666666-7777-8888-9999-AAAAAAAAAAAA}' /f >/dev/null
wine64 reg add 'HKCR\SystemFileAssociations\.CR2' /v PreviewDetails /d 'prop:System.Size' /f >/dev/null
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

# What the file browser does, compared with the Linux command line for the same files.
cli=${MORVANE_CLI:-build/morvane}
photos=$WINEPREFIX/drive_c/photos
mkdir -p "$photos"
cp samples/sample.nef "$photos/sample.nef"
# A name that leaves the ANSI code page (Greek and CJK letters) and has some of its letters too.
unicode_name="café Ωμέγα_写真.nef"
cp samples/sample.nef "$photos/$unicode_name"
tips=("sample.nef" "$unicode_name")
thumbs=("sample.nef" "$unicode_name")
shared=${MORVANE_SAMPLES:-../shared/samples}
providers=("sample.nef" "$unicode_name")
props=("sample.nef" "$unicode_name")
if [ -d "$shared" ]; then
  cp "$shared/CanonRaw.cr2" "$shared/Canon.jpg" "$shared/Nikon.nef" "$shared/DNG.dng" "$shared/FujiFilm.raf" "$photos/"
  tips+=("CanonRaw.cr2" "Canon.jpg" "Nikon.nef" "DNG.dng")
  thumbs+=("CanonRaw.cr2")
  providers+=("FujiFilm.raf")
  props+=("CanonRaw.cr2" "Nikon.nef" "DNG.dng")
fi
client() { wine64 "$work/morvane_com_client.exe" "$@"; }
for name in "${thumbs[@]}"; do
  for size in 96 256; do
    client thumb "C:\\photos\\$name" "$size" "C:\\photos\\$name.$size.ppm" > /dev/null || true
    "$cli" thumb "$photos/$name" -o "$work/$name.$size.png" --size "$size" > /dev/null 2>&1 || true
    check "thumbnail $name at $size through COM equals the command line's" \
      /usr/bin/python3 "$here/same_picture.py" "$photos/$name.$size.ppm" "$work/$name.$size.png"
  done
done
for name in "${tips[@]}"; do
  client tip "C:\\photos\\$name" "C:\\photos\\$name.tip.txt" || true
  "$cli" info "$photos/$name" > "$work/$name.tip.txt" 2>/dev/null || true
  check "info tip of $name through COM equals the command line's" \
    /usr/bin/python3 "$here/same_text.py" "$photos/$name.tip.txt" "$work/$name.tip.txt"
done

# Today's shell: the thumbnail provider and the property handler found through the registry and
# given a stream on the file. The provider's picture is the picture without padding, at the size
# on its longer side; the properties say what the info tip says.
for name in "${providers[@]}"; do
  for size in 96 256; do
    check "thumbnail provider of $name at $size: 32-bit top-down picture, longer side $size, file not held" \
      client provider "C:\\photos\\$name" "$size" "C:\\photos\\$name.$size.provider.ppm"
  done
done
for name in "${props[@]}"; do
  client props "C:\\photos\\$name" "C:\\photos\\$name.props.txt" || true
  check "properties of $name through the property handler agree with the info tip" \
    /usr/bin/python3 "$here/props_vs_tip.py" "$photos/$name.props.txt" "$photos/$name.tip.txt"
done

# The cache lives in the prefix's application-data folder; asking again is answered from it.
appdata=$(wine64 reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' /v AppData | tr -d '\r' | awk -F'REG_SZ' '/AppData/ {sub(/^[ \t]+/, "", $2); print $2}')
database=$(wine64 winepath -u "$appdata\\Morvane\\mrvThumbs.db" 2>/dev/null | tr -d '\r')
check "cache database in the application-data folder ($appdata\\Morvane)" test -s "$database"
check "the cache keeps the path as the shell gave it" \
  grep -qxF "C:\\photos\\$unicode_name" <(sqlite3 "$database" "select FileName from mrvThumbs")
# The photo's bytes are overwritten but its size and time kept: only the cache still has its picture.
cp -p "$photos/sample.nef" "$work/sample.nef.kept"
head -c "$(stat -c %s "$photos/sample.nef")" /dev/zero > "$photos/sample.nef"
touch -r "$work/sample.nef.kept" "$photos/sample.nef"
client thumb 'C:\photos\sample.nef' 96 'C:\photos\again.ppm' > /dev/null || true
check "second request is a cache hit" \
  /usr/bin/python3 "$here/same_picture.py" --stored "$photos/again.ppm" "$photos/sample.nef.96.ppm"
cp -p "$work/sample.nef.kept" "$photos/sample.nef"

check "regsvr32 /u unregisters" wine64 regsvr32 /s /u "$dll"
classes_dump > "$work/unregistered.txt"
check "unregistering removes every key it wrote and keeps the others" diff -u "$work/before.txt" "$work/unregistered.txt"

# Installed in a folder outside the ANSI code page, the DLL still registers a path COM can load.
mkdir -p "$WINEPREFIX/drive_c/Programs/Μορβάνη"
ln -s "$work/morvane.dll" "$WINEPREFIX/drive_c/Programs/Μορβάνη/morvane.dll"
check "regsvr32 registers from a folder outside the code page" wine64 regsvr32 /s 'C:\Programs\Μορβάνη\morvane.dll'
client thumb 'C:\photos\sample.nef' 96 'C:\photos\from_other_folder.ppm' > /dev/null || true
check "that registration serves thumbnails" \
  /usr/bin/python3 "$here/same_picture.py" "$photos/from_other_folder.ppm" "$photos/again.ppm"
check "and unregisters from there" wine64 regsvr32 /s /u 'C:\Programs\Μορβάνη\morvane.dll'
classes_dump > "$work/unregistered2.txt"
check "leaving the registry as it was" diff -u "$work/before.txt" "$work/unregistered2.txt"

echo "Wine test took $((SECONDS - start)) s"
echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
