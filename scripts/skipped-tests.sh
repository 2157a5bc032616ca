#!/usr/bin/env bash
# Prints each test that the last ctest run in BUILD_DIR skipped, with the
# reason it gave: ctest shows a test's own output only when it fails.
#   scripts/skipped-tests.sh BUILD_DIR
set -euo pipefail
awk '/^\[ RUN/ { test = $4 } /: Skipped$/ { getline; print "Skipped " test ": " $0 }' \
    "$1/Testing/Temporary/LastTest.log"
