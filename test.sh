#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: with g++ and
# warnings as errors, then with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, where the fuzz target runs too. The tests are unit
# tests of the plain functions and integration tests that drive the real
# program under Xvfb.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh test

cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DGLTEXTDEMO_WERROR=ON >/dev/null
cmake --build build/test -j"$(nproc)"
ctest --test-dir build/test --output-on-failure -j2

CXX=clang++ cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DGLTEXTDEMO_WERROR=ON \
    -DGLTEXTDEMO_SANITIZE=ON -DGLTEXTDEMO_FUZZ=ON >/dev/null
cmake --build build/sanitize -j"$(nproc)"
ctest --test-dir build/sanitize --output-on-failure -j2
