#!/usr/bin/env bash
# Builds the book-loader fuzz target with clang and runs it for SECONDS (default
# 60) on a scratch copy of the seed corpus. Exits non-zero when it finds a crash,
# a leak, a hang or a broken round trip; the input is left in fuzz-corpus/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
bash scripts/install-deps.sh
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ \
  -DCARDOLIN_FUZZ=ON -DCARDOLIN_GUI=OFF -DCARDOLIN_TESTS=OFF -DCARDOLIN_BENCH=OFF -DCARDOLIN_SANITIZE=OFF
cmake --build build-fuzz --target book_loader_fuzz

corpus=fuzz-corpus/book
artifacts=fuzz-corpus/crashes/
mkdir -p "$corpus" "$artifacts"
cp fuzz/corpus/book/* "$corpus"/
# Qt's own allocations are not instrumented; leaks in our code still are.
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}"
status=0
build-fuzz/fuzz/book_loader_fuzz "$corpus" \
  -dict=fuzz/book.dict -max_total_time="$seconds" -max_len=65536 -timeout=10 \
  -artifact_prefix="$artifacts" -print_final_stats=1 || status=$?
if [ "$status" -ne 0 ]; then
  echo "fuzz.sh: the fuzzer stopped with status $status; the input is in $artifacts" >&2
  ls -l "$artifacts" >&2
fi
exit "$status"
