#!/usr/bin/env bash
# Builds the .deb and checks it with lintian, desktop-file-validate and appstreamcli; --windows, as
# root like scripts/windows.sh, also the .exe's zip. Prints the zip's path, if any, then the .deb's, last.
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")/.."

[[ $# -le 1 && ${1:-} =~ ^(--windows)?$ ]] || { echo "usage: $0 [--windows]" >&2; exit 2; }
scripts/install-deps.sh package
# The build's output goes to standard error; CPack names what it made on a line of its own.
made() { sed -n -e 'w /dev/stderr' -e 's/^CPack: - package: \(.*\) generated\.$/\1/p'; }

deb=$(CMAKE_BUILD_PARALLEL_LEVEL=$(nproc) cmake --workflow --preset package | made)
# The checks say what they find on standard error too, where only the paths go to standard output.
report=$(lintian "$deb" 2>&1 || true)
echo "$report" >&2
! grep -q '^E:' <<<"$report" || { echo "$0: lintian finds errors in $deb" >&2; exit 1; }
rm -rf build/unpacked && dpkg-deb -x "$deb" build/unpacked
desktop-file-validate build/unpacked/usr/share/applications/*.desktop >&2
# The project has no homepage, which AppStream 1.0 warns of; 0.16 does not, nor knows the warning.
homepage=() && [[ $(appstreamcli --version) == *" 0."* ]] || homepage=(--override=url-homepage-missing=info)
appstreamcli validate-tree --no-net "${homepage[@]}" build/unpacked >&2

if [[ -n ${1:-} ]]; then
    scripts/windows.sh >&2
    cpack --preset windows-zip | made
fi
echo "$deb"
