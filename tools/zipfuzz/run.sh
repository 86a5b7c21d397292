#!/usr/bin/env bash
# Builds the zip fuzz target with clang (ASan, UBSan, libFuzzer) and runs it for
# a bounded time: tools/zipfuzz/run.sh [seconds, default 300]. Findings land in
# build-fuzz/zipfuzz-findings.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-300}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANTA_FUZZ=ON >/dev/null
cmake --build build-fuzz --target zipfuzz -j4
corpus=build-fuzz/zipfuzz-corpus
findings=build-fuzz/zipfuzz-findings
mkdir -p "$corpus" "$findings"
# Seeds, added to what the corpus already holds: the committed archives of the
# older methods (good and corrupt); archives made by zip (stored, deflated,
# encrypted with the password the target reads with, the first and last parts
# of a split set) and by Python (a data descriptor, a raw deflate stream).
cp -n tests/zip/fixtures/*.zip "$corpus"/
seed=$(mktemp -d)
printf 'hello hello hello zip\n' > "$seed/a.txt"
head -c 3000 /dev/urandom > "$seed/b.bin"
mkdir -p "$seed/sub" && printf 'nested\n' > "$seed/sub/c.txt"
head -c 70000 /dev/urandom > "$seed/big.bin"
(
  cd "$seed"
  zip -q -9 -r deflated.zip a.txt b.bin sub
  zip -q -0 -r stored.zip a.txt b.bin sub
  zip -q -P pw encrypted.zip a.txt b.bin
  zip -q -0 -s 64k split.zip big.bin a.txt
  # The first part is larger than any input; its start, with the split marker, is seed enough.
  head -c 8192 split.z01 > split-first.zip
  mv split.zip split-last.zip
)
cp -n "$seed"/{deflated,stored,encrypted,split-first,split-last}.zip "$corpus"/
python3 - "$corpus" <<'PY'
import io, os, sys, zipfile, zlib
corpus = sys.argv[1]
class Pipe(io.RawIOBase):
    def __init__(self, f): self.f = f
    def writable(self): return True
    def write(self, b): return self.f.write(b)
with open(os.path.join(corpus, 'descriptor.zip'), 'wb') as f:
    with zipfile.ZipFile(Pipe(f), 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr('名字.txt', 'text ' * 50)
c = zlib.compressobj(9, zlib.DEFLATED, -15)
open(os.path.join(corpus, 'raw.deflate'), 'wb').write(c.compress(b'abcabcabc' * 40 + bytes(range(64))) + c.flush())
PY
rm -rf "$seed"
./build-fuzz/tools/zipfuzz/zipfuzz -max_total_time="$seconds" -max_len=32768 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$findings/" "$corpus"
