#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: with g++ and
# warnings as errors, then with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, where the fuzz target runs too. The tests are unit
# tests of the plain functions and integration tests that drive the real
# program under Xvfb.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh test

# The presets "test" and "sanitize" (CMakePresets.json) give every option the
# run relies on, and configuring passes them all each time, so that whatever an
# earlier configure left in a build folder's cache cannot change which tests
# there are; and ctest fails rather than pass when it finds none.
for phase in test sanitize; do
    cmake --preset "$phase" >/dev/null
    cmake --build --preset "$phase" -j"$(nproc)"
    scripts/ctest.sh "$phase"
done
