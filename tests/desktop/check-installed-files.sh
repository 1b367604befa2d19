#!/usr/bin/env bash
# Installs the build into a scratch root and checks what the desktop reads:
# the menu entry, the metainfo, the file type and the icons, and that the
# installed program finds its data files.
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
share="$root/usr/share"
id=org.velmora.Cardolin

desktop-file-validate "$share/applications/$id.desktop"
appstreamcli validate --no-net --pedantic "$share/metainfo/$id.metainfo.xml"
test -x "$root/usr/bin/Quillet" && test -x "$root/usr/bin/quillet-cli"
for size in 16 22 24 32 48 64 128 256; do
  test -s "$share/icons/hicolor/${size}x${size}/apps/$id.png"
done
test -s "$share/icons/hicolor/scalable/apps/$id.svg"
grep -q '^Exec=Quillet %f$' "$share/applications/$id.desktop"

# The shared MIME database built from the entry knows books by their extension.
update-mime-database "$share/mime"
grep -q '^application/x-cardolin-book:\*\.qcb$' "$share/mime/globs"
# The installed program finds its category and keyword lists wherever the root
# sits, even when the first shared data folder is another program's.
scratch="$root/scratch"
mkdir -p "$scratch/home/user"
lists=$(HOME="$scratch/home/user" XDG_CONFIG_HOME="$scratch/config" XDG_DATA_DIRS="$scratch/other:$share" \
  "$root/usr/bin/quillet-cli" default-lists)
grep -qx "Categories.def: $share/Velmora/Cardolin/Categories.def" <<<"$lists"
grep -qx "Keywords.def: $share/Velmora/Cardolin/Keywords.def" <<<"$lists"
grep -qx "  Clients" <<<"$lists" # in the installed file, not the built-in list
echo "installed desktop files are valid"
