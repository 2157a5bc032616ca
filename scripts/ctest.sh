#!/usr/bin/env bash
# Runs the tests of a test preset (CMakePresets.json), then prints each test that was skipped, with
# the reason it gave: ctest shows a test's own output only when it fails. Fails as ctest does.
#   scripts/ctest.sh PRESET
set -uo pipefail
cd "$(dirname "$0")/.."
out=$(mktemp)
trap 'rm -f "$out"' EXIT
ctest --preset "$1" | tee "$out"
status=${PIPESTATUS[0]}
# ctest names the build folder first, and keeps every test's output there.
awk '/^\[ RUN/ { test = $4 } /: Skipped$/ { getline; print "Skipped " test ": " $0 }' \
    "$(sed -n 's/^Test project //p' "$out")/Testing/Temporary/LastTest.log"
exit "$status"
