#!/usr/bin/env bash
# Builds everything and runs the test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
cd build && ctest --output-on-failure -j"$(nproc)" --timeout 600
