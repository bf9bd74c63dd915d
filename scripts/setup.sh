#!/usr/bin/env bash
# Installs the Debian packages that building and testing Morvane need, then builds it.
# Idempotent: packages already present are not touched, and apt is only called when one is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg62-turbo-dev libtiff-dev libpng-dev zlib1g-dev libsqlite3-dev sqlite3
  libcli11-dev nlohmann-json3-dev
  dpkg-dev
)

scripts/install_packages.sh "${packages[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${MORVANE_CMAKE_ARGS:-}
cmake --build build
