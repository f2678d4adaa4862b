#!/usr/bin/env bash
# Builds the picture-loading fuzz target with clang and libFuzzer (ASan + UBSan).
# Usage: tests/fuzz/build.sh OUTPUT_BINARY
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
out="${1:-$root/build-fuzz/decode_fuzzer}"
mkdir -p "$(dirname "$out")"
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -fPIC \
    -I"$root" $(pkg-config --cflags Qt6Gui cfitsio) \
    "$root/tests/fuzz/DecodeFuzzer.cpp" "$root/pictures/LoadPictureFile.cpp" "$root/pictures/Completeness.cpp" \
    "$root/pictures/FitsFile.cpp" "$root/pictures/LoadFailure.cpp" "$root/pictures/Gzip.cpp" \
    "$root/pictures/FrameOrientation.cpp" \
    "$root/platform/Picture.cpp" "$root/platform/Surface.cpp" "$root/platform/Himetric.cpp" \
    "$root/platform/Dpi.cpp" \
    $(pkg-config --libs Qt6Gui cfitsio zlib) -o "$out"
