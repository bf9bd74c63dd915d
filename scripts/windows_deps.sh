#!/usr/bin/env bash
# Cross-builds the image and database libraries the Windows DLL links statically: zlib, libpng,
# libjpeg-turbo, libtiff and SQLite, from Debian's own source packages at the versions Debian ships.
# Usage: scripts/windows_deps.sh CACHE ARCH...   (e.g. ~/.cache/morvane/windows x86_64 i686)
# Each ARCH gets CACHE/deps-ARCH with a stamp of the source versions and of the build scripts; a
# target whose stamp is unchanged is not rebuilt. The sources are fetched once for all targets,
# and two targets build side by side, one compiler each.
set -euo pipefail
cd "$(dirname "$0")/.."

cache=$(realpath -m "$1")
shift
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
stamp_of() {  # arch
  echo "$versions $(sha256sum "$0" "cmake/mingw-$1.cmake" cmake/mingw-toolchain.cmake | awk '{print $1}' | tr '\n' ' ')"
}
# One build at a time per cache: a second caller waits, then finds the libraries built.
mkdir -p "$cache"
exec 9> "$cache/lock"
flock 9
stale=()
for arch in "$@"; do
  prefix=$cache/deps-$arch
  if [ -f "$prefix/stamp" ] && [ "$(cat "$prefix/stamp")" = "$(stamp_of "$arch")" ]; then
    echo "Windows libraries for $arch are up to date in $prefix"
  else
    stale+=("$arch")
  fi
done
[ ${#stale[@]} -eq 0 ] && exit 0

work=$(mktemp -d "$cache/src.XXXXXX")
trap 'rm -rf "$work"' EXIT

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

# SQLite's amalgamation is generated once, on the build machine, from Debian's source tree.
q=$(srcdir sqlite3)
mkdir -p "$work/sqlite"
( cd "$work/sqlite" && "$q/configure" --disable-tcl > configure.log 2>&1 && make sqlite3.c > make.log 2>&1 ) \
  || { tail -50 "$work"/sqlite/*.log; exit 1; }

# One target's libraries, installed into its prefix, its output in $work/ARCH.log.
build_target() {
  local arch=$1 triplet=$1-w64-mingw32 prefix=$cache/deps-$1 out=$work/$1
  local toolchain=$PWD/cmake/mingw-$arch.cmake
  rm -rf "$prefix"
  mkdir -p "$out" "$prefix/lib" "$prefix/include"
  export MORVANE_WINDOWS_DEPS=$prefix

  cmake_lib() {  # source-dir build-dir cmake-options...
    local src=$1 bld=$2
    shift 2
    cmake -S "$src" -B "$bld" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" -DBUILD_SHARED_LIBS=OFF "$@"
    cmake --build "$bld" -j1
    cmake --install "$bld"
  }

  # zlib: its few sources compiled straight into a static library (Debian's source leaves out
  # the Windows resource files its CMake project wants).
  local z
  z=$(srcdir zlib)
  mkdir -p "$out/zlib"
  for c in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate inftrees trees uncompr zutil; do
    "$triplet-gcc-posix" -O2 -c "$z/$c.c" -o "$out/zlib/$c.o"
  done
  "$triplet-ar" rcs "$prefix/lib/libz.a" "$out"/zlib/*.o
  cp "$z/zlib.h" "$z/zconf.h" "$prefix/include/"

  cmake_lib "$(srcdir libpng1.6)" "$out/png" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include"

  cmake_lib "$(srcdir libjpeg-turbo)" "$out/jpeg" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
    -DWITH_SIMD=OFF

  cmake_lib "$(srcdir tiff)" "$out/tiff" -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF \
    -Djbig=OFF -Djpeg12=OFF -Dlerc=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Dlibdeflate=OFF -Dpixarlog=OFF \
    -Dcxx=OFF -Djpeg=ON -Dzlib=ON \
    -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include" \
    -DJPEG_LIBRARY="$prefix/lib/libjpeg.a" -DJPEG_INCLUDE_DIR="$prefix/include"

  "$triplet-gcc-posix" -O2 -c "$work/sqlite/sqlite3.c" -o "$out/sqlite3.o" \
    -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION -DSQLITE_DQS=0
  "$triplet-ar" rcs "$prefix/lib/libsqlite3.a" "$out/sqlite3.o"
  cp "$work/sqlite/sqlite3.h" "$work/sqlite/sqlite3ext.h" "$prefix/include/"

  echo "$built" > "$prefix/versions"
  stamp_of "$arch" > "$prefix/stamp"
}

pids=()
for arch in "${stale[@]}"; do
  ( set -e; build_target "$arch" ) > "$work/$arch.log" 2>&1 &
  pids+=($!)
done
failed=0
for i in "${!stale[@]}"; do
  if wait "${pids[$i]}"; then
    echo "Windows libraries for ${stale[$i]} built in $cache/deps-${stale[$i]}: $built"
  else
    echo "Building the Windows libraries for ${stale[$i]} failed:" >&2
    tail -50 "$work/${stale[$i]}.log" >&2
    failed=1
  fi
done
exit $failed
