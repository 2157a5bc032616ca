#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: with g++ and
# warnings as errors, then with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, where the fuzz target runs too. The tests are unit
# tests of the plain functions and integration tests that drive the real
# program under Xvfb.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh test

# Every option the run relies on is given, so that whatever an earlier
# configure left in a build folder's cache cannot change which tests there are;
# and ctest fails rather than pass when it finds none.
options=(-DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON -DGLTEXTDEMO_WERROR=ON
    -DGLTEXTDEMO_SNAPSHOT=ON -DGLTEXTDEMO_BENCH=OFF)
run_tests() {
    cmake -S . -B "$1" "${options[@]}" "${@:2}" >/dev/null
    cmake --build "$1" -j"$(nproc)"
    ctest --test-dir "$1" --output-on-failure --no-tests=error -j2
    scripts/skipped-tests.sh "$1"
}
run_tests build/test -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ -DGLTEXTDEMO_SANITIZE=OFF -DGLTEXTDEMO_FUZZ=OFF
run_tests build/sanitize -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DGLTEXTDEMO_SANITIZE=ON -DGLTEXTDEMO_FUZZ=ON
