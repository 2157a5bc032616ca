#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: with g++ and warnings as errors,
# then with clang under AddressSanitizer and UndefinedBehaviorSanitizer, with the fuzz target. Unit
# tests of the plain functions, and integration tests that drive the real program under Xvfb.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh test

# The presets (CMakePresets.json) give every option the run relies on, each time, so nothing an
# earlier configure cached can change which tests there are; and ctest fails if it finds none.
for phase in test sanitize; do
    cmake --preset "$phase" >/dev/null
    cmake --build --preset "$phase" -j"$(nproc)"
    scripts/ctest.sh "$phase"
done
