#!/usr/bin/env bash
# Builds everything and runs the test suite:
#   tools/test.sh              in build/
#   tools/test.sh --sanitize   the same suite in build-sanitize/, built with
#                              AddressSanitizer (leak detection on) and
#                              UndefinedBehaviorSanitizer; any finding fails
#                              its test. Suppressions: tools/sanitize/.
# CORVANTA_JOBS sets the parallel jobs of the build and the tests (default:
# every core).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${CORVANTA_JOBS:-$(nproc)}
build=build
options=()
case "${1:-}" in
  "") ;;
  --sanitize)
    build=build-sanitize
    options=(-DCORVANTA_SANITIZE=ON)
    # Set before the build too: test discovery runs the test programs.
    export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=0:check_initialization_order=1"
    export LSAN_OPTIONS="suppressions=$PWD/tools/sanitize/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    ;;
  *) echo "usage: tools/test.sh [--sanitize]" >&2; exit 2 ;;
esac
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
cmake --build "$build" -j"$jobs"
cd "$build" && ctest --output-on-failure -j"$jobs" --timeout 600
