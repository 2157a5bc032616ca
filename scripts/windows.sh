#!/usr/bin/env bash
# Cross-builds gltextdemo.exe for 64-bit Windows on Debian 12 or 13, as root: one static .exe that
# needs no DLL beside it, by the project's own CMake with cmake/mingw-w64.cmake. Its libraries are
# built static from Debian's source packages into build/windows/prefix, kept until they or this
# recipe change. --test also runs the unit tests and the import check, under Wine. The last line of
# output is the .exe's absolute path.
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")/.."

fail() { echo "$0: $*" >&2; exit 1; }
[[ ${1:-} =~ ^(--test)?$ ]] || { echo "usage: $0 [--test]" >&2; exit 2; }
preset=windows${1:+-test} # the build's options, in CMakePresets.json
[[ $(id -u) -eq 0 ]] || fail "run as root: it installs packages and adds deb-src entries to apt's sources"
scripts/install-deps.sh $preset

work=$PWD/build/windows
prefix=$work/prefix
packages=(freeglut freetype ftgl googletest)

# Runs a command with its output in build/windows/NAME.log, shown if it fails.
logged() {
    local log=$work/$1.log
    shift
    "$@" >"$log" 2>&1 || { tail -n 40 "$log" >&2; fail "failed, see $log: $*"; }
}

# Writes FILE with the entries, or removes it when there are none; fails when that changes nothing.
write_entries() {
    [[ $2 != "$(cat "$1" 2>/dev/null)" ]] || return 1
    if [[ -n $2 ]]; then echo "$2" >"$1"; else rm -f "$1"; fi
}

# apt-get source needs deb-src entries: the machine's own deb entries, made
# deb-src in files of our own, so the sources come from wherever its packages
# do. The one-line ones, then the deb822 stanzas whose Types has deb.
derive_deb_src() {
    local list=/etc/apt/sources.list.d/gltextdemo-deb-src.list
    local deb822=${list%.list}.sources changed= one_line
    shopt -s nullglob
    one_line=(/etc/apt/sources.list.d/*.list)
    [[ ! -e /etc/apt/sources.list ]] || one_line+=(/etc/apt/sources.list)
    write_entries "$list" "$(sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' \
        /dev/null "${one_line[@]}")" && changed=yes
    write_entries "$deb822" "$(awk -v RS= '{
        deb = off = 0; out = ""; n = split($0, line, "\n")
        for (i = 1; i <= n; i++) {
            if (line[i] ~ /^#/) continue
            if (line[i] ~ /^Types:/) { deb = line[i] ~ /[: ]deb( |$)/; line[i] = "Types: deb-src" }
            if (line[i] ~ /^Enabled: *[Nn]/) off = 1
            out = out line[i] "\n" }
        if (deb && !off) print out }' /etc/apt/sources.list.d/*.sources /dev/null)" && changed=yes
    shopt -u nullglob
    [[ -e $list || -e $deb822 ]] || fail "apt's sources have no deb entries to take deb-src ones from"
    # Without the lists apt-get source finds nothing, so a failed update leaves no entries behind.
    if [[ -n $changed ]] && ! apt-get update >"$work/apt-update.log" 2>&1; then
        rm -f "$list" "$deb822"
        fail "apt-get update failed, see $work/apt-update.log"
    fi
}

# Fetches one package's upstream tarball, checks it against the archive's hash and unpacks it into
# build/windows/src. Only the .orig tarball is used: where the archive lacks the Debian parts (.dsc,
# .debian.tar), apt-get source fails having fetched the rest.
unpack() {
    local name=$1 orig hash sum log=$work/$1-source.log
    read -r orig _ hash < <(grep -E "^${name}_[^ ]+\.orig\.tar\.[a-z0-9]+ " <<<"$source_files") ||
        fail "$name: no upstream tarball among its source files"
    (cd "$work/downloads" && apt-get source --download-only -qq "$name") >"$log" 2>&1 || true
    sum=${hash%%:*}
    echo "${hash#*:}  $work/downloads/$orig" | "${sum,,}sum" -c --status ||
        fail "$name: $orig is missing or damaged, see $log"
    mkdir -p "$work/src/$name"
    tar -xf "$work/downloads/$orig" -C "$work/src/$name" --strip-components=1
    version[$name]=${orig#"$name"_}
    version[$name]=${version[$name]%%.orig.*}
    echo "$name ${version[$name]}"
}

# Configures, builds and installs one library into the prefix, optimised, for
# the program's target; not one of our presets, so the build type comes from the environment.
install_library() {
    local name=$1 source=$2
    shift 2
    CMAKE_BUILD_TYPE=Release logged "$name" cmake -S "$source" -B "$work/deps/$name" \
        --toolchain "$PWD/cmake/mingw-w64.cmake" -DCMAKE_FIND_ROOT_PATH="$prefix" \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF "$@"
    logged "$name-build" cmake --build "$work/deps/$name" -j"$(nproc)" --target install
}

build_prefix() {
    local -A version
    rm -rf "$prefix" "$work/src" "$work/deps"
    mkdir -p "$work/downloads"
    for name in "${packages[@]}"; do unpack "$name"; done
    patch -d "$work/src/ftgl" -p1 -s <cmake/ftgl/freetype-2.13.patch
    install_library freetype "$work/src/freetype" -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON \
        -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
    install_library freeglut "$work/src/freeglut" -DFREEGLUT_BUILD_SHARED_LIBS=OFF \
        -DFREEGLUT_BUILD_STATIC_LIBS=ON -DFREEGLUT_BUILD_DEMOS=OFF
    install_library ftgl cmake/ftgl -DFTGL_SOURCE_DIR="$work/src/ftgl" \
        -DFTGL_VERSION="${version[ftgl]%%[+~]*}"
    install_library googletest "$work/src/googletest" -DBUILD_GMOCK=OFF
}

mkdir -p "$work"
derive_deb_src
# The files apt-get source would fetch, with their sizes and hashes.
source_files=$(apt-get source --print-uris -qq "${packages[@]}" | cut -d' ' -f2-) ||
    fail "no source package for one of ${packages[*]}"
# The prefix is rebuilt when what it is made from changes: those files, the compiler, or the recipe
# (the functions above, the patch and the CMake files they use).
stamp=$(echo "$source_files"
    dpkg-query -W g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
    { declare -f unpack install_library build_prefix
        cat cmake/mingw-w64.cmake cmake/ftgl/*; } | sha256sum)
if [[ $stamp != "$(cat "$prefix/stamp" 2>/dev/null)" ]]; then
    echo "Building the libraries into $prefix"
    build_prefix
    echo "$stamp" >"$prefix/stamp"
fi

logged configure cmake --preset $preset
cmake --build --preset $preset -j"$(nproc)"

if [[ $preset == windows-test ]]; then
    # A Wine of this build's own, with no prompt to install Mono or Gecko. It
    # is set up first, since that takes longer than the 5 s GoogleTest gives
    # a program to list its tests, and its server stays up between the tests.
    export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
    mkdir -p "$WINEPREFIX"
    wineserver -p
    trap 'wineserver -k 2>/dev/null || true' EXIT
    logged wine-boot wine wineboot --init
    # At 200 % display scaling, where Windows stretches a program that does not
    # say it draws for any scaling, as most laptops are set today.
    logged wine-dpi wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f
    # Wine takes a Windows program's code page from the locale: the tests type
    # on French, German and Russian keyboards, each in its own.
    for locale in fr_FR de_DE ru_RU; do
        locale -a | grep -qx "$locale.utf8" || localedef -i "$locale" -f UTF-8 "$locale.UTF-8"
    done
    scripts/ctest.sh windows-test
    # The integration tests: the Linux harness drives the .exe through Wine,
    # which each test starts afresh on a display of its own. A server left
    # from the unit tests would keep its desktop on no display at all.
    wineserver -k 2>/dev/null || true
    wine=$(wine --version)
    if [[ $wine =~ ^wine-[0-8]\. ]]; then
        echo "Integration tests skipped: $wine never shows a GL sub-window" \
            "(docs/repro/wine8-subwindow.c); they need Wine 9 or later, as on Debian 13"
    else
        logged harness-configure cmake --preset windows-harness
        cmake --build --preset windows-harness -j"$(nproc)"
        scripts/ctest.sh windows-harness
    fi
fi
echo "$work/build/gltextdemo.exe"
