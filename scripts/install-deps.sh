#!/usr/bin/env bash
# Installs every Debian 12 package that building, testing, fuzzing and benchmarking
# need. Safe to run again; needs root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qtkeychain-qt6-dev libsecret-1-0 gnome-keyring dbus-daemon dbus-bin
  libssl-dev openssl
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth
  desktop-file-utils appstream shared-mime-info lintian dpkg-dev librsvg2-bin
  time
  python3 python3-vobject python3-ldap
  radicale xandikos vdirsyncer khard apache2-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
