#!/usr/bin/env bash
# Builds the zip fuzz target with clang (ASan, UBSan, libFuzzer) and runs it for
# a bounded time: tools/zipfuzz/run.sh [seconds, default 300]. Seeds are small
# archives made by zip and Python; findings land in build-fuzz/zipfuzz-findings.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-300}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANTA_FUZZ=ON >/dev/null
cmake --build build-fuzz --target zipfuzz -j4
corpus=build-fuzz/zipfuzz-corpus
findings=build-fuzz/zipfuzz-findings
mkdir -p "$corpus" "$findings"
if [ -z "$(ls -A "$corpus")" ]; then
  seed=$(mktemp -d)
  printf 'hello hello hello zip\n' > "$seed/a.txt"
  head -c 3000 /dev/urandom > "$seed/b.bin"
  mkdir -p "$seed/sub" && printf 'nested\n' > "$seed/sub/c.txt"
  (cd "$seed" && zip -q -9 -r "$OLDPWD/$corpus/deflated.zip" . && zip -q -0 -r "$OLDPWD/$corpus/stored.zip" .)
  python3 - "$seed" "$corpus" <<'PY'
import io, os, sys, zipfile, zlib
seed, corpus = sys.argv[1], sys.argv[2]
class Pipe(io.RawIOBase):
    def __init__(self, f): self.f = f
    def writable(self): return True
    def write(self, b): return self.f.write(b)
with open(os.path.join(corpus, 'descriptor.zip'), 'wb') as f:
    with zipfile.ZipFile(Pipe(f), 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr('名字.txt', 'text ' * 50)
c = zlib.compressobj(9, zlib.DEFLATED, -15)
open(os.path.join(corpus, 'raw.deflate'), 'wb').write(c.compress(b'abcabcabc' * 40 + os.urandom(64)) + c.flush())
PY
  rm -rf "$seed"
fi
./build-fuzz/tools/zipfuzz/zipfuzz -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$findings/" "$corpus"
