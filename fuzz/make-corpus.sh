#!/usr/bin/env bash
# Writes the fuzzer's seed corpus, valid files of every kind the decoder takes
# apart (JPEG baseline, progressive, CMYK, grey, with restart markers, EXIF in
# every orientation and with broken directories; BMP of every depth and RLE;
# GIF still, interlaced and animated), into the folder given.
#   bash fuzz/make-corpus.sh DIR      (needs scripts/build.sh fuzz first)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:?usage: make-corpus.sh DIR}
rm -rf "$out"
"$root/build/fuzz/fuzz/kalvio_fuzz_seeds" "$out"
echo "make-corpus: $(find "$out" -type f | wc -l) seeds in $out"
