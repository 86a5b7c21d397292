#!/usr/bin/env bash
# Builds the project and prints where the complete program folder lies, or
# copies it to the folder given as the only argument.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
program="$(pwd)/build/program"
if [ $# -ge 1 ]; then
  mkdir -p "$1"
  cp -a "$program/." "$1/"
  echo "Program folder copied to $(cd "$1" && pwd)"
else
  echo "Program folder: $program"
fi
