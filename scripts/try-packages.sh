#!/usr/bin/env bash
# Tries the packages of scripts/package.sh as a user meets them, on a machine
# that may be changed (a fresh root): installs the .deb with apt, starts the
# program as its menu entry does, from /, to a whole picture with the system's
# font, and purges it, leaving none of its files. Given the zip too, unzips it
# into a fresh Wine prefix and starts the .exe as Explorer does, from its own
# folder with no verdana.ttf, to a whole picture with Windows' Verdana (DejaVu
# Sans stands in for it). Needs ./run.sh's build, and for the zip the
# integration build of scripts/windows.sh --test.
#   scripts/try-packages.sh DEB [ZIP]
set -euo pipefail
cd "$(dirname "$0")/.."
[[ $# -ge 1 && $# -le 2 ]] || { echo "usage: $0 DEB [ZIP]" >&2; exit 2; }
deb=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs the snapshot tool on a launcher script; fails unless every place is drawn.
picture() {
    printf '#!/bin/sh\n%s\n' "$2" >"$work/launch" && chmod +x "$work/launch"
    "$1" --font "" --program "$work/launch" "$work/picture.png" >/dev/null
}

apt-get install -y -qq "$deb" >/dev/null
mapfile -t files < <(dpkg -L gltextdemo | while read -r f; do [[ -d $f ]] || echo "$f"; done)
picture build/release/tools/gltextdemo-snapshot \
    "cd / && exec $(sed -n 's/^Exec=//p' /usr/share/applications/gltextdemo.desktop)"
echo "The installed program, started from its menu entry in /, drew the whole picture."
apt-get purge -y -qq gltextdemo >/dev/null
for f in "${files[@]}"; do [[ ! -e $f ]] || { echo "$0: purged, and $f is still there" >&2; exit 1; }; done
echo "Purged: none of its ${#files[@]} files is left."

[[ -n ${2:-} ]] || exit 0
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
# Its server, which started with no display, would keep the desktop on none.
wine wineboot --init >/dev/null 2>&1 && wineserver -k
cp "$(scripts/dejavu-font.sh)" "$WINEPREFIX/drive_c/windows/Fonts/verdana.ttf"
unzip -q "$2" -d "$WINEPREFIX/drive_c/users/Public"
folder=$(dirname "$(find "$WINEPREFIX/drive_c/users/Public" -name gltextdemo.exe)")
picture build/windows/harness/tools/gltextdemo-snapshot \
    "cd '$folder' && exec wine start /wait /unix '$folder/gltextdemo.exe'"
wineserver -k || true
echo "The zip's .exe, started from its own folder, drew the whole picture with Windows' Verdana."
