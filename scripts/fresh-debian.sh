#!/usr/bin/env bash
# Tries the README's two commands as a newcomer would: on a clean clone of the
# current commit, in a minimal root of a Debian release made from the package
# archive, as root, with no display and nothing installed by hand; then builds
# the .deb, installs, runs and purges it (scripts/try-packages.sh).
#   scripts/fresh-debian.sh [RELEASE [--windows]]
# RELEASE: trixie (the default), bookworm or forky. --windows: then also
# scripts/windows.sh --test, the Windows build and its tests under Wine, and
# the Windows zip, tried under Wine.
# The bare root is cached for a week as a tarball under /var/cache/gltextdemo;
# every run unpacks a new copy and removes it afterwards.
set -euo pipefail

release=${1:-trixie}
windows=${2:-}
[[ $release != -* && $windows =~ ^(--windows)?$ ]] ||
    { echo "usage: $0 [RELEASE [--windows]]" >&2; exit 2; }
[[ $(id -u) -eq 0 ]] || { echo "$0: needs root, to mount and chroot" >&2; exit 2; }
cache=/var/cache/gltextdemo/$release-minbase.tar
repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
commit=$(git -C "$repo" rev-parse HEAD)

# In mount and process namespaces of their own, what is mounted below goes
# with the last process in them, even when this script is killed outright and
# cleanup never runs; unshare stays outside and turns its own death into a
# SIGTERM for the script, which then cleans up.
if [[ -z ${FRESH_DEBIAN_NAMESPACE:-} ]]; then
    FRESH_DEBIAN_NAMESPACE=1 exec unshare --mount --propagation private --pid --fork \
        --kill-child=SIGTERM "$0" "$@"
fi
"$repo/scripts/install-deps.sh" fresh-root

stage() { printf '== %s: %s (%d s so far)\n' "$release" "$1" "$SECONDS"; }

if [[ -z $(find "$cache" -mtime -7 2>/dev/null) ]]; then
    stage "making a minimal root"
    # mmdebstrap's own default mirrors: the release, and for a stable one its
    # updates and security suites too. The archive may serve testing with a
    # Release file past its Valid-Until date; the option stays in the root.
    options=(--quiet --variant=minbase --mode=root --format=tar)
    [[ $release != @(testing|forky) ]] || options+=(--aptopt='Acquire::Check-Valid-Until "false"')
    mkdir -p "${cache%/*}"
    mmdebstrap "${options[@]}" "$release" "$cache.part"
    mv "$cache.part" "$cache"
fi

root=$(mktemp -d "/var/tmp/gltextdemo-$release.XXXXXX")
mounts=(proc sys dev dev/pts dev/shm) # in mounting order
runner=

mounted_under_root() { awk -v root="$root/" 'index($2, root) == 1 { print $2 }' /proc/self/mounts; }

# Every way out comes through here. The root goes only once nothing is
# mounted under it: a recursive delete through a bound /dev would wipe the
# machine's own device nodes.
cleanup() {
    local status=$?
    set +e # every step below must run, whatever the one before it returned
    [[ -z $runner ]] || { kill -- "-$runner" 2>/dev/null && wait "$runner" 2>/dev/null; }
    local i
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        ! mountpoint -q "$root/${mounts[i]}" || umount "$root/${mounts[i]}" || umount --lazy "$root/${mounts[i]}"
    done
    if [[ -n $(mounted_under_root) ]]; then
        echo "$0: still mounted, so $root is left in place:" $(mounted_under_root) >&2
        exit 1
    fi
    rm -rf --one-file-system "$root"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

stage "unpacking the root in $root"
tar -xf "$cache" -C "$root"
cp /etc/resolv.conf "$root/etc/resolv.conf"
git clone --quiet --no-checkout "$repo" "$root/root/gltextdemo"
git -C "$root/root/gltextdemo" checkout --quiet --detach "$commit"

mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t tmpfs tmpfs "$root/dev/shm"

# A newcomer's shell: no display, no CI, nothing of this machine's environment.
newcomer=(env -i HOME=/root TERM=dumb PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin)
steps='set -e
windows=$1
cd /root/gltextdemo
./run.sh
# The snapshot tool writes the picture only once every place shows what it should.
file=build/gltextdemo.png
[[ -s $file ]] || { echo "./run.sh wrote no picture at $file" >&2; exit 1; }
echo "== the picture: $file, $(stat -c %s "$file") bytes, after $SECONDS s in the root"
./test.sh
if [[ -n $windows ]]; then
    echo "== scripts/windows.sh --test, after $SECONDS s in the root"
    scripts/windows.sh --test
fi
echo "== scripts/package.sh${windows:+ $windows}, then the packages tried, after $SECONDS s in the root"
scripts/package.sh $windows >build/made
mapfile -t made <build/made
scripts/try-packages.sh "${made[-1]}" ${windows:+"${made[-2]}"}'

stage "the README's two commands${windows:+, the Windows build} and the packages on $commit"
# In a session of its own, so that cleanup can stop all it started at once.
# setsid forks only when started as a process group leader, which a
# background job of a script is not; --wait keeps the status even then.
setsid --wait chroot "$root" "${newcomer[@]}" bash -c "$steps" bash "$windows" &
runner=$!
wait "$runner"
runner=
stage "all passed"
