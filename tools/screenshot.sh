#!/usr/bin/env bash
# Starts a program under a private Xvfb display, waits for it to draw, saves a
# PNG of the screen and stops both.
#   tools/screenshot.sh OUT.png [--delay SECONDS] [--size WxH] -- PROGRAM [ARGS...]
# Example: tools/screenshot.sh /tmp/form.png -- build/tools/demoform/demoform
set -euo pipefail

usage() { echo "usage: $0 OUT.png [--delay SECONDS] [--size WxH] -- PROGRAM [ARGS...]" >&2; exit 2; }
[ $# -ge 3 ] || usage
out=$1; shift
delay=3
size=1024x768
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  case $1 in
    --delay) delay=$2; shift 2 ;;
    --size) size=$2; shift 2 ;;
    *) usage ;;
  esac
done
[ "${1:-}" = "--" ] || usage
shift
[ $# -ge 1 ] || usage

# The first display number nobody holds.
display=99
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done

auth=$(mktemp)
xauth -f "$auth" add ":$display" . "$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')"
Xvfb ":$display" -screen 0 "${size}x24" -auth "$auth" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
program=
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -f "$auth"
}
trap cleanup EXIT

export DISPLAY=":$display" XAUTHORITY="$auth" QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do xauth -f "$auth" list >/dev/null 2>&1 && [ -e "/tmp/.X11-unix/X${display}" ] && break; sleep 0.1; done

"$@" &
program=$!
sleep "$delay"
if ! kill -0 "$program" 2>/dev/null; then
  echo "$0: the program ended before the screenshot" >&2
  exit 1
fi
import -window root "$out"
echo "$out"
