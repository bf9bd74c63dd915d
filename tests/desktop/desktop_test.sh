#!/usr/bin/env bash
# The thumbnailer as file managers use it, through their own code: GNOME's thumbnail factory
# (which runs the installed thumbnailer in its bubblewrap sandbox) and the D-Bus thumbnail service
# tumbler, each asked for every type on fixture files, each case with a fresh HOME so that one
# case's failure record cannot hide the next. Then `morvane prefill` read back by the factory as
# valid and fresh, and the Debian package installed, used and removed again.
# Usage: tests/desktop/desktop_test.sh [BUILD_DIR]   (default: build; needs root for the package)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build}")

scripts/install_packages.sh libgnome-desktop-3-dev bubblewrap tumbler dbus-daemon shared-mime-info dpkg-dev

work=$(mktemp -d)
prefix=$(mktemp -d /usr/local/morvane-desktop-test.XXXXXX)  # below /usr: the sandbox sees only /usr
chmod 755 "$prefix"
cleanup() {
  rm -rf "$work" "$prefix"
  if [ -n "${installed_package:-}" ]; then dpkg --purge morvane >/dev/null 2>&1 || true; fi
}
trap cleanup EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

cc -Wall -Wextra -Werror -o "$work/factory_client" tests/desktop/factory_client.c \
  $(pkg-config --cflags --libs gnome-desktop-3.0)
cc -Wall -Wextra -Werror -o "$work/tumbler_client" tests/desktop/tumbler_client.c $(pkg-config --cflags --libs gio-2.0)
mkdir "$work/files"
"$build/morvane_make_desktop_fixtures" "$work/files"
cp ../shared/samples/FujiFilm.raf "$work/files/real.raf"

cmake --install "$build" --prefix "$prefix" >/dev/null
update-mime-database "$prefix/share/mime" 2>/dev/null

# Runs a command with a fresh home and the installed prefix's data first.
fresh_home() {
  local home
  home=$(mktemp -d "$work/home.XXXXXX")
  HOME=$home XDG_CACHE_HOME=$home/.cache XDG_DATA_HOME=$home/.local/share XDG_DATA_DIRS=$data_dirs "$@"
}
data_dirs=$prefix/share:/usr/share

# Whether "WxH TL TR BL BR" (colours as RRGGBB) is the expected line, each channel within 40.
matches() {
  local -a got=($1) want=($2)
  [ "${got[0]}" = "${want[0]}" ] || return 1
  [ ${#want[@]} -eq 1 ] && return 0
  for i in 1 2 3 4; do
    for c in 0 2 4; do
      local g=$((16#${got[i]:c:2})) w=$((16#${want[i]:c:2}))
      [ $((g > w ? g - w : w - g)) -le 40 ] || return 1
    done
  done
}

# The thumbnails each fixture must give: size at each cache size (a 400x300 preview is never
# enlarged), and the quadrant colours.
upright="FF0000 00FF00 0000FF FFFF00"
turned="0000FF FF0000 FFFF00 00FF00"
cases=()
for ext in arw cr2 dng nef orf pef sr2 srf psd psp; do
  cases+=("quadrants.$ext normal 128x96 $upright" "quadrants.$ext large 256x192 $upright")
done
cases+=("rotated.nef normal 96x128 $turned" "rotated.nef x-large 300x400 $turned" "real.raf normal 128x96")

# Each client makes the file's thumbnail in the cache of the home given and prints it as the
# factory reads it back ("WxH TL TR BL BR").
factory() {
  HOME=$1 XDG_CACHE_HOME=$1/.cache XDG_DATA_DIRS=$data_dirs "$work/factory_client" make "$3" "$work/files/$2"
}
tumbler() {
  HOME=$1 XDG_CACHE_HOME=$1/.cache XDG_DATA_DIRS=$data_dirs \
    dbus-run-session -- "$work/tumbler_client" "$3" "$work/files/$2" >"$work/tumbler.log" 2>&1 || {
    grep -v dbus-daemon "$work/tumbler.log" | head -3 >&2
    return 1
  }
  HOME=$1 XDG_CACHE_HOME=$1/.cache "$work/factory_client" show "$3" "$work/files/$2"
}

# One case with a fresh home: CLIENT FILE SIZE WANT...
run_case() {
  local client=$1 file=$2 size=$3 want=${*:4} home got
  home=$(mktemp -d "$work/home.XXXXXX")
  if ! got=$("$client" "$home" "$file" "$size"); then
    fail "$client $file $size: no thumbnail"
  elif ! matches "$got" "$want"; then
    fail "$client $file $size: got '$got', want '$want'"
  fi
}

for client in factory tumbler; do
  echo "== $client"
  for case in "${cases[@]}"; do run_case "$client" $case; done
done
fresh_home "$work/factory_client" fail normal "$work/files/nothing.nef" || fail "factory: nothing.nef gave a thumbnail"
if tumbler "$(mktemp -d "$work/home.XXXXXX")" nothing.nef normal >/dev/null 2>&1; then
  fail "tumbler: nothing.nef gave a thumbnail"
fi

echo "== prefill read back by the factory"
home=$(mktemp -d "$work/home.XXXXXX")
prefill() { HOME=$home XDG_CACHE_HOME= "$prefix/bin/morvane" prefill -r -j 2 "$@" "$work/files" 2>/dev/null; }
lookup() { HOME=$home XDG_CACHE_HOME= "$work/factory_client" lookup "$@"; }
prefill --size normal >/dev/null
prefill --size large >/dev/null
for file in quadrants.nef rotated.nef quadrants.psd real.raf; do
  for size in normal large; do lookup "$size" "$work/files/$file" || fail "prefill $file $size: not fresh"; done
done
got=$(HOME=$home "$work/factory_client" show normal "$work/files/rotated.nef") || true
matches "$got" "96x128 $turned" || fail "prefill rotated.nef: got '$got'"
[ "$(stat -c %a "$home/.cache/thumbnails")" = 700 ] || fail "prefill: the thumbnail folder is not 0700"
[ -z "$(find "$home/.cache/thumbnails" -type f ! -perm 600)" ] || fail "prefill: a thumbnail that is not 0600"
[ -n "$(ls "$home/.cache/thumbnails/fail/morvane-"*/)" ] || fail "prefill: no failure recorded for nothing.nef"
touch -d '2001-02-03 04:05:06' "$work/files/quadrants.nef"
if lookup normal "$work/files/quadrants.nef" 2>/dev/null; then fail "prefill: a changed file still fresh"; fi
prefill --size normal | grep -c "fresh thumbnail" | grep -qx 11 || fail "prefill: fresh thumbnails not skipped"
lookup normal "$work/files/quadrants.nef" || fail "prefill: a changed file not remade"

echo "== Debian package"
if dpkg-query -W -f='${Status}' morvane 2>/dev/null | grep -q "install ok installed"; then
  echo "a morvane package is installed on this machine already: the package case is left out"
elif [ "$(id -u)" -ne 0 ]; then
  echo "not root: the package case is left out"
else
  (cd "$build" && cpack -G DEB >/dev/null)
  deb=$(ls "$build"/morvane_*.deb | head -1)
  installed_package=1
  DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb" >/dev/null 2>&1 || fail "package: cannot be installed"
  data_dirs=/usr/share
  cp "$work/files/quadrants.psp" "$work/files/layered-without-extension"
  type=$(gio info -a standard::content-type "$work/files/layered-without-extension" 2>/dev/null | sed -n 's/.*content-type: //p')
  [ "$type" = image/x-psp ] || fail "package: the mime file is not registered (type '$type')"
  run_case factory quadrants.nef normal 128x96 $upright
  run_case factory quadrants.psp large 256x192 $upright
  run_case tumbler rotated.nef normal 96x128 $turned
  dpkg --purge morvane >/dev/null || fail "package: cannot be removed"
  installed_package=
  [ ! -e /usr/share/thumbnailers/morvane.thumbnailer ] || fail "package: the thumbnailer entry is left behind"
  grep -q "image/x-psp" /usr/share/mime/types && fail "package: the mime type is left registered"
fi

if [ "$failures" -ne 0 ]; then
  echo "desktop tests: $failures failed" >&2
  exit 1
fi
echo "desktop tests: all passed"
