#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each on a scratch copy of its seed
# corpus, sharing SECONDS (default 60) between them. Exits non-zero when one finds
# a crash, a leak, a hang or a broken invariant; the input is left in fuzz-corpus/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
bash scripts/install-deps.sh
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ \
  -DCARDOLIN_FUZZ=ON -DCARDOLIN_GUI=OFF -DCARDOLIN_TESTS=OFF -DCARDOLIN_BENCH=OFF -DCARDOLIN_SANITIZE=OFF
cmake --build build-fuzz --target book_loader_fuzz csv_import_fuzz

# Qt's own allocations are not instrumented; leaks in our code still are.
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}"
targets=(book csv)
share=$(( seconds / ${#targets[@]} ))
[ "$share" -gt 0 ] || share=1
artifacts=fuzz-corpus/crashes/
mkdir -p "$artifacts"
status=0
for name in "${targets[@]}"; do
  case "$name" in
    book) binary=book_loader_fuzz; dict=fuzz/book.dict; max_len=65536 ;;
    csv) binary=csv_import_fuzz; dict=fuzz/csv.dict; max_len=65536 ;;
  esac
  corpus=fuzz-corpus/$name
  mkdir -p "$corpus"
  cp fuzz/corpus/"$name"/* "$corpus"/
  build-fuzz/fuzz/"$binary" "$corpus" \
    -dict="$dict" -max_total_time="$share" -max_len="$max_len" -timeout=10 \
    -artifact_prefix="$artifacts" -print_final_stats=1 || status=$?
  if [ "$status" -ne 0 ]; then
    echo "fuzz.sh: $binary stopped with status $status; the input is in $artifacts" >&2
    ls -l "$artifacts" >&2
    break
  fi
done
exit "$status"
