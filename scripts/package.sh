#!/usr/bin/env bash
# Builds the Debian package cardolin_VERSION_ARCH.deb in build-package/ and
# checks it with lintian when that is installed.
# Install it with: apt-get install ./build-package/cardolin_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCARDOLIN_TESTS=OFF -DCARDOLIN_BENCH=OFF ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER}
nice cmake --build "$build" -j2 --target Quillet quillet-cli
(cd "$build" && cpack -G DEB)
deb=$(ls -t "$build"/cardolin_*.deb | head -n 1)
echo "$deb"
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb"
fi
