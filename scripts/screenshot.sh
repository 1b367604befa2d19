#!/usr/bin/env bash
# Takes a picture of the main window showing a demo book of a few dozen
# contacts, under a virtual X display: bash scripts/screenshot.sh [OUT.png]
# bash scripts/screenshot.sh --update-dialogs [FOLDER] saves the About box and
# the two update dialogs (about.png, update-notify.png, update-download.png).
set -euo pipefail
cd "$(dirname "$0")/.."
mode=window
if [ "${1:-}" = --update-dialogs ]; then
  mode=update-dialogs
  shift
fi
if [ $mode = window ]; then
  out="$(realpath -m "${1:-docs/main-window.png}")"
else
  out="$(realpath -m "${1:-docs}")"
fi
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCARDOLIN_TESTS=OFF -DCARDOLIN_SANITIZE=OFF
cmake --build build --target quillet-screenshot

# A throw-away profile whose account "demo" owns the demo book.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/home/demo/Contacts" "$scratch/config" "$(dirname "$out")"
if [ $mode = update-dialogs ]; then
  HOME="$scratch/home/demo" XDG_CONFIG_HOME="$scratch/config" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1400x800x24" build/src/app/quillet-screenshot --update-dialogs "$out"
  echo "wrote $out/about.png, $out/update-notify.png, $out/update-download.png"
  exit 0
fi
cp tests/fixtures/app/demo.qcb "$scratch/home/demo/Contacts/demo.qcb"
HOME="$scratch/home/demo" XDG_CONFIG_HOME="$scratch/config" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1400x800x24" build/src/app/quillet-screenshot "$out"
echo "wrote $out"
