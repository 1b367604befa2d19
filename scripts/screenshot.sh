#!/usr/bin/env bash
# Takes a picture of the main window showing a demo book of a few dozen
# contacts, under a virtual X display: bash scripts/screenshot.sh [OUT.png]
# With --dialogs, --options, --sync-dialogs or --update-dialogs [FOLDER] it saves
# the pictures of those dialogs into FOLDER (default docs/) instead.
# CARDOLIN_SCREENSHOT_SIZE=800x600 sizes the window, CARDOLIN_SCREENSHOT_DARK=1
# gives it a dark palette; a message shown at start is saved as OUT-message.png.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=window
case "${1:-}" in
  --dialogs | --options | --sync-dialogs | --update-dialogs)
    mode="${1#--}"
    shift
    ;;
esac
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
if [ $mode != window ]; then
  # No proxy from the environment, so the Options pictures show the plain defaults.
  env -u http_proxy -u HTTP_PROXY HOME="$scratch/home/demo" XDG_CONFIG_HOME="$scratch/config" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1400x800x24" build/src/app/quillet-screenshot "--$mode" "$out"
  echo "wrote the $mode pictures to $out"
  exit 0
fi
cp tests/fixtures/app/demo.qcb "$scratch/home/demo/Contacts/demo.qcb"
HOME="$scratch/home/demo" XDG_CONFIG_HOME="$scratch/config" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1400x800x24" build/src/app/quillet-screenshot "$out"
echo "wrote $out"
