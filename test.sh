#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test:
# unit tests and the integration tests that drive the program under Xvfb.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh test
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DGLTEXTDEMO_WERROR=ON >/dev/null
cmake --build build/test -j"$(nproc)"
ctest --test-dir build/test --output-on-failure
