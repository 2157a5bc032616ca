#!/usr/bin/env bash
# Builds the demo's Debian package and checks it as Debian would: lintian, and
# the desktop entry and metainfo that it installs. --windows also builds the
# zip of the Windows .exe (as root, as scripts/windows.sh needs). The last
# line of output is the .deb's absolute path, after the zip's if there is one.
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")/.."

fail() { echo "$0: $*" >&2; exit 1; }
[[ $# -le 1 && ${1:-} =~ ^(--windows)?$ ]] || { echo "usage: $0 [--windows]" >&2; exit 2; }
[[ -z ${1:-} || $(id -u) -eq 0 ]] || fail "run as root with --windows, as scripts/windows.sh needs"
scripts/install-deps.sh package

# Runs a CPack step with its output in build/NAME.log, shown if it fails, and
# prints the path of the package it made.
package() {
    local log=$PWD/build/$1.log
    shift
    mkdir -p build
    CMAKE_BUILD_PARALLEL_LEVEL=$(nproc) "$@" >"$log" 2>&1 || { tail -n 40 "$log" >&2; fail "failed, see $log: $*"; }
    sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' "$log"
}

deb=$(package package cmake --workflow --preset package)
report=$(lintian "$deb" 2>&1 || true)
echo "$report"
! grep -q '^E:' <<<"$report" || fail "lintian finds errors in $deb"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate-tree --no-net "$root"

if [[ -n ${1:-} ]]; then
    scripts/windows.sh
    package windows-zip cpack --preset windows-zip
fi
echo "$deb"
