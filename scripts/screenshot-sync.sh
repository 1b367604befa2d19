#!/usr/bin/env bash
# Takes pictures of the Manage Google Accounts and Sync Results dialogs under a
# virtual X display: bash scripts/screenshot-sync.sh [FOLDER] (default docs/)
set -euo pipefail
cd "$(dirname "$0")/.."
folder="$(realpath -m "${1:-docs}")"
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCARDOLIN_TESTS=OFF -DCARDOLIN_SANITIZE=OFF
cmake --build build --target quillet-screenshot

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
HOME="$scratch" XDG_CONFIG_HOME="$scratch/config" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1400x800x24" build/src/app/quillet-screenshot --sync-dialogs "$folder"
echo "wrote $folder/manage-google-accounts.png and $folder/sync-results.png"
