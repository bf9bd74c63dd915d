#!/usr/bin/env bash
# Cross-builds the image and database libraries the Windows DLL links statically: zlib, libpng,
# libjpeg-turbo, libtiff and SQLite, from Debian's own source packages at the versions Debian ships.
# Usage: scripts/windows_deps.sh TRIPLET PREFIX   (e.g. x86_64-w64-mingw32 build-windows/deps-x86_64)
# The prefix keeps a stamp of the source versions and of this script; when both are unchanged the
# libraries are not rebuilt.
set -euo pipefail
cd "$(dirname "$0")/.."

triplet=$1
prefix=$(realpath -m "$2")
toolchain=$PWD/cmake/mingw-${triplet%%-*}.cmake
sources=(zlib libpng1.6 libjpeg-turbo tiff sqlite3)

# Source packages come from the deb-src twin of the system's own Debian entries.
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > /etc/apt/sources.list.d/debian-src.sources
  apt-get update -qq
fi

# Every version the archive offers, newest first; the newest one the mirror really holds is built.
offered() { apt-cache showsrc "$1" | awk '/^Version:/ {print $2}' | sort -Vru; }
versions=""
for s in "${sources[@]}"; do
  v=$(offered "$s" | tr '\n' ',')
  [ -n "$v" ] || { echo "no source package $s" >&2; exit 1; }
  versions+="$s=$v "
done
stamp="$versions $(sha256sum "$0" "$toolchain" "$PWD/cmake/mingw-toolchain.cmake" | awk '{print $1}' | tr '\n' ' ')"
if [ -f "$prefix/stamp" ] && [ "$(cat "$prefix/stamp")" = "$stamp" ]; then
  echo "Windows libraries for $triplet are up to date in $prefix"
  exit 0
fi

rm -rf "$prefix"
work=$prefix/src
mkdir -p "$work"
jobs=2
export MORVANE_WINDOWS_DEPS=$prefix

cmake_lib() {  # source-dir build-dir cmake-options...
  local src=$1 bld=$2
  shift 2
  cmake -S "$src" -B "$bld" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" -DBUILD_SHARED_LIBS=OFF "$@" > "$bld.log" 2>&1 \
    || { cat "$bld.log"; exit 1; }
  cmake --build "$bld" -j$jobs >> "$bld.log" 2>&1 && cmake --install "$bld" >> "$bld.log" 2>&1 \
    || { tail -50 "$bld.log"; exit 1; }
}

built=""
for s in "${sources[@]}"; do
  for v in $(offered "$s"); do
    if (cd "$work" && apt-get source -qq --download-only "$s=$v" >/dev/null 2>&1); then built+="$s=$v "; break; fi
    rm -f "$work"/*.dsc.part "$work"/*.partial
  done
  case "$built" in *"$s="*) ;; *) echo "could not fetch the source of $s" >&2; exit 1 ;; esac
done
( cd "$work" && for d in *.dsc; do dpkg-source --no-check -x "$d" >/dev/null; done )
srcdir() { find "$work" -maxdepth 1 -mindepth 1 -type d -name "$1-*" | head -1; }

# zlib: its few sources compiled straight into a static library (Debian's source leaves out the
# Windows resource files its CMake project wants).
z=$(srcdir zlib)
mkdir -p "$work/build-zlib" "$prefix/lib" "$prefix/include"
for c in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate inftrees trees uncompr zutil; do
  "$triplet-gcc-posix" -O2 -c "$z/$c.c" -o "$work/build-zlib/$c.o"
done
"$triplet-ar" rcs "$prefix/lib/libz.a" "$work"/build-zlib/*.o
cp "$z/zlib.h" "$z/zconf.h" "$prefix/include/"

p=$(srcdir libpng1.6)
cmake_lib "$p" "$work/build-png" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include"

j=$(srcdir libjpeg-turbo)
cmake_lib "$j" "$work/build-jpeg" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF

t=$(srcdir tiff)
cmake_lib "$t" "$work/build-tiff" -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF \
  -Djbig=OFF -Djpeg12=OFF -Dlerc=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Dlibdeflate=OFF -Dpixarlog=OFF \
  -Dcxx=OFF -Djpeg=ON -Dzlib=ON \
  -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include" \
  -DJPEG_LIBRARY="$prefix/lib/libjpeg.a" -DJPEG_INCLUDE_DIR="$prefix/include"

# SQLite: the amalgamation is generated from Debian's source tree on the build machine, then
# compiled for the target as one object.
command -v tclsh >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq tcl >/dev/null
q=$(srcdir sqlite3)
mkdir -p "$work/build-sqlite"
( cd "$work/build-sqlite" && "$q/configure" --disable-tcl > ../build-sqlite-configure.log 2>&1 && make -j$jobs sqlite3.c > ../build-sqlite-make.log 2>&1 ) \
  || { tail -50 "$work"/build-sqlite-*.log; exit 1; }
"$triplet-gcc-posix" -O2 -c "$work/build-sqlite/sqlite3.c" -o "$work/build-sqlite/sqlite3.o" \
  -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION -DSQLITE_DQS=0
"$triplet-ar" rcs "$prefix/lib/libsqlite3.a" "$work/build-sqlite/sqlite3.o"
cp "$work/build-sqlite/sqlite3.h" "$work/build-sqlite/sqlite3ext.h" "$prefix/include/"

rm -rf "$work"
echo "$stamp" > "$prefix/stamp"
echo "$built" > "$prefix/versions"
echo "Windows libraries for $triplet built in $prefix: $built"
