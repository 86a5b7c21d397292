#!/usr/bin/env bash
# Builds the program folder and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
echo "The program folder is built under build/program; the main window does not exist yet, so nothing starts."
