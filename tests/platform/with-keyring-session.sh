#!/usr/bin/env bash
# Runs a command in a D-Bus session of its own with a fresh gnome-keyring,
# unlocked, in a throwaway home, so that tests never see the keyring of whoever
# runs them. Usage: with-keyring-session.sh COMMAND [ARGUMENTS...]
set -euo pipefail

if [ -z "${CARDOLIN_KEYRING_SESSION:-}" ]; then
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  mkdir -p "$scratch/home" "$scratch/run"
  chmod 700 "$scratch/run"
  # The bus daemon and the keyring it starts inherit these.
  export HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/run" XDG_DATA_HOME="$scratch/home/data" \
    XDG_CONFIG_HOME="$scratch/home/config" XDG_CACHE_HOME="$scratch/home/cache" CARDOLIN_KEYRING_SESSION=1
  unset DBUS_SESSION_BUS_ADDRESS XDG_CURRENT_DESKTOP DISPLAY WAYLAND_DISPLAY
  status=0
  dbus-run-session -- "$0" "$@" || status=$?
  exit "$status"
fi

# An empty password makes the daemon ask for one on a screen; any other creates
# the login keyring unlocked.
printf '%s' 'cardolin-tests' | gnome-keyring-daemon --unlock --components=secrets >/dev/null
for _ in $(seq 50); do
  if dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
       org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null | grep -q 'boolean true'; then
    break
  fi
  sleep 0.1
done
"$@"
