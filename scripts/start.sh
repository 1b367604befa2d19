#!/usr/bin/env bash
# Installs what is needed, builds the desktop program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCARDOLIN_TESTS=OFF -DCARDOLIN_SANITIZE=OFF
cmake --build build --target Quillet quillet-cli
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a build/src/app/Quillet "$@"
fi
exec build/src/app/Quillet "$@"
