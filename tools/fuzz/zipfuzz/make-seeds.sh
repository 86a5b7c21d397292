#!/usr/bin/env bash
# Writes the zip target's seeds into FOLDER (tests/fuzz/zipfuzz holds its
# output): archives made by zip (stored, deflated, encrypted with the password
# the target reads with, the first and last parts of a split set) and by
# Python (a data descriptor, a raw deflate stream). The committed archives of
# the older methods are seeds too, from tests/zip/fixtures.
set -euo pipefail
mkdir -p "${1:?usage: make-seeds.sh FOLDER}"
corpus=$(realpath "$1")
seed=$(mktemp -d)
trap 'rm -rf "$seed"' EXIT
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
cp "$seed"/{deflated,stored,encrypted,split-first,split-last}.zip "$corpus"/
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
