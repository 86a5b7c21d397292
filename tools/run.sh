#!/usr/bin/env bash
# Builds the program folder and starts the program from it. Only the program
# and what lies beside it are built (the corvanta target lays out the whole
# folder); tests, benchmarks and demos are left to tools/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target corvanta
exec build/program/corvanta
