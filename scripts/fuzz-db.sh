#!/bin/sh
# Builds the libFuzzer target of the table reader with clang and runs it.
#   scripts/fuzz-db.sh [seconds]        (default 300)
# The normal build does not need clang; this script builds on its own in
# build-fuzz/. Findings (crash-*, leak-*, timeout-*) land in build-fuzz/.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build-fuzz"
seconds=${1:-300}
mkdir -p "$out/corpus"
qt=$(pkg-config --cflags --libs Qt6Core)
# shellcheck disable=SC2086
clang++ -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" $qt \
  "$root/tests/fuzz/FuzzTableReader.cpp" \
  "$root/platform/db/Format.cpp" "$root/platform/db/Table.cpp" "$root/platform/db/DataSet.cpp" \
  "$root/platform/db/Values.cpp" "$root/platform/os/Formats.cpp" "$root/platform/os/Codec.cpp" \
  -o "$out/fuzz_table_reader"
KELDORAN_FUZZ_SEEDS="$out/corpus" "$out/fuzz_table_reader" >/dev/null 2>&1 || true
cd "$out"
exec ./fuzz_table_reader -max_total_time="$seconds" -max_len=65536 -timeout=10 corpus
