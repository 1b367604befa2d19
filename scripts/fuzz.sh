#!/usr/bin/env bash
# Builds the fuzz targets (book loader, the book's two readers compared, CSV
# import, vCard, LDIF and .contact readers) with clang and runs them for SECONDS in all (default 60, shared evenly) on
# scratch copies of the seed corpora. Exits non-zero when one finds a crash, a
# leak, a hang or a broken round trip; the input is left in fuzz-corpus/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
bash scripts/install-deps.sh
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ \
  -DCARDOLIN_FUZZ=ON -DCARDOLIN_GUI=OFF -DCARDOLIN_TESTS=OFF -DCARDOLIN_BENCH=OFF -DCARDOLIN_SANITIZE=OFF
targets=(book_loader_fuzz:book book_readers_fuzz:book csv_import_fuzz:csv vcard_reader_fuzz:vcard ldif_reader_fuzz:ldif contact_reader_fuzz:contact
         registry_text_fuzz:registry)
cmake --build build-fuzz --target "${targets[@]%%:*}"

# The time is shared evenly between the targets.
share=$(( seconds / ${#targets[@]} ))
[ "$share" -ge 1 ] || share=1
artifacts=fuzz-corpus/crashes/
mkdir -p "$artifacts"
# Qt's own allocations are not instrumented; leaks in our code still are.
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}"
status=0
for entry in "${targets[@]}"; do
  target="${entry%%:*}" name="${entry##*:}"
  corpus="fuzz-corpus/$name"
  mkdir -p "$corpus"
  cp fuzz/corpus/"$name"/* "$corpus"/
  dict=()
  [ -f "fuzz/$name.dict" ] && dict=(-dict="fuzz/$name.dict")
  build-fuzz/fuzz/"$target" "$corpus" "${dict[@]}" -max_total_time="$share" -max_len=65536 -timeout=10 \
    -artifact_prefix="$artifacts$name-" -print_final_stats=1 || status=$?
  if [ "$status" -ne 0 ]; then
    echo "fuzz.sh: $target stopped with status $status; the input is in $artifacts" >&2
    ls -l "$artifacts" >&2
    exit "$status"
  fi
done
exit "$status"
