#!/usr/bin/env bash
# Builds the demo's Debian package and checks it as Debian would: lintian, and
# the desktop entry and metainfo that it installs. --windows also builds the
# zip of the Windows .exe (as root, as scripts/windows.sh needs). The last
# line of output is the .deb's absolute path, after the zip's if there is one.
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")/.."

[[ $# -le 1 && ${1:-} =~ ^(--windows)?$ ]] || { echo "usage: $0 [--windows]" >&2; exit 2; }
scripts/install-deps.sh package
# The build's output goes to standard error; CPack names what it made on a line of its own.
made() { sed -n -e 'w /dev/stderr' -e 's/^CPack: - package: \(.*\) generated\.$/\1/p'; }

deb=$(CMAKE_BUILD_PARALLEL_LEVEL=$(nproc) cmake --workflow --preset package | made)
report=$(lintian "$deb" 2>&1 || true)
echo "$report"
! grep -q '^E:' <<<"$report" || { echo "$0: lintian finds errors in $deb" >&2; exit 1; }
root=build/release/unpacked
rm -rf "$root" && dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate-tree --no-net "$root"

if [[ -n ${1:-} ]]; then
    scripts/windows.sh
    cpack --preset windows-zip | made
fi
echo "$deb"
