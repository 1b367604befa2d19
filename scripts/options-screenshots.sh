#!/usr/bin/env bash
# Takes pictures of every page of the Options dialog and of the String List
# Editor, as a first start shows them, under a virtual X display:
#   bash scripts/options-screenshots.sh [FOLDER]   (default docs/)
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-docs}")"
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCARDOLIN_TESTS=OFF -DCARDOLIN_SANITIZE=OFF
cmake --build build --target quillet-screenshot

# No proxy from the environment, so the Update page shows the plain defaults.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
env -u http_proxy -u HTTP_PROXY HOME="$scratch" XDG_CONFIG_HOME="$scratch/config" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1400x800x24" build/src/app/quillet-screenshot --options "$out"
echo "wrote the Options pictures to $out"
