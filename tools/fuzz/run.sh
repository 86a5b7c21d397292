#!/usr/bin/env bash
# Builds one fuzz target with clang (libFuzzer, ASan, UBSan; the whole tree
# instrumented) and runs it for a bounded time, a developer tool:
#   tools/fuzz/run.sh NAME SECONDS [libFuzzer options...]
# The run starts from the committed corpus (tests/fuzz/NAME and the target's
# other seed folders, read only) and grows its own in build-fuzz/NAME-corpus;
# findings land in build-fuzz/NAME-findings. Commit a finding's input to
# tests/fuzz/NAME once it is mended, so that the suite replays it.
set -euo pipefail
cd "$(dirname "$0")/../.."
name=${1:?usage: tools/fuzz/run.sh NAME SECONDS [libFuzzer options...]}
seconds=${2:?usage: tools/fuzz/run.sh NAME SECONDS [libFuzzer options...]}
shift 2
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANTA_FUZZ=ON >/dev/null
cmake --build build-fuzz --target "$name" -j"${CORVANTA_JOBS:-$(nproc)}"
corpus=build-fuzz/$name-corpus
findings=build-fuzz/$name-findings
mkdir -p "$corpus" "$findings"
mapfile -t seeds < "build-fuzz/fuzz/$name.corpus"
export QT_QPA_PLATFORM=offscreen
"build-fuzz/fuzz/$name" -max_total_time="$seconds" -max_len=32768 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$findings/" "$@" "$corpus" "${seeds[@]}"
