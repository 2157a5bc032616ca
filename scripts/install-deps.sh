#!/usr/bin/env bash
# Installs the Debian packages that the demo (`run`), the tests (`test`), the benchmarks (`bench`),
# the Debian package and its checks (`package`), the trial on a fresh Debian root (`fresh-root`) or
# the Windows build (`windows`, and `windows-test` to run its tests under Wine) need, and only those
# that are missing, so a second call costs next to nothing.
set -euo pipefail

# The X libraries and Xvfb serve the headless snapshot as well as the tests and the benchmarks,
# whose plots gnuplot draws. Names that Debian 12 and 13 share:
# libclang-rt-dev is the sanitizer runtime of the default clang, and llvm brings the llvm-symbolizer
# that names the frames of a sanitizer report (clang on Debian 13 does not bring it).
run_packages=(g++ cmake make pkg-config
    freeglut3-dev libglu1-mesa-dev libftgl-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core
    libx11-dev libxtst-dev libpng-dev xvfb)
test_packages=("${run_packages[@]}"
    libgtest-dev xfonts-base clang clang-format libclang-rt-dev llvm valgrind openbox)
bench_packages=("${test_packages[@]}" libbenchmark-dev gnuplot-nox)
# The Windows build compiles its libraries from the upstream tarballs of
# Debian's source packages, some compressed with xz, one patched; icotool makes its icon.
windows_packages=(g++-mingw-w64-x86-64-posix cmake make pkg-config patch xz-utils icoutils)

case "${1:-}" in
    run) wanted=("${run_packages[@]}") ;;
    test) wanted=("${test_packages[@]}") ;;
    bench) wanted=("${bench_packages[@]}") ;;
    package) wanted=("${run_packages[@]}" dpkg-dev lintian desktop-file-utils appstream) ;;
    fresh-root) wanted=(mmdebstrap) ;;
    windows) wanted=("${windows_packages[@]}") ;;
    # Its integration tests drive the .exe through Wine with the Linux harness,
    # on the keyboard layouts and in the locales of the code pages they type in.
    windows-test) wanted=("${windows_packages[@]}" "${test_packages[@]}" wine wine64 locales x11-xkb-utils xkb-data) ;;
    *) echo "usage: $0 run|test|bench|package|fresh-root|windows|windows-test" >&2; exit 2 ;;
esac

# Elsewhere packages have other names and tools: say what is needed; CMake reports what is missing.
command -v apt-get >/dev/null && command -v dpkg-query >/dev/null ||
    { echo "No apt-get or dpkg-query here: skipping the install; install what these Debian packages hold: ${wanted[*]}" >&2; exit 0; }

missing=()
for package in "${wanted[@]}"; do
    [[ $(dpkg-query -W -f='${Status}' "$package" 2>/dev/null) == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
