#!/usr/bin/env bash
# Builds the benchmarks without sanitizers and times saving and loading contacts
# books. Extra arguments go to bench_book (e.g. --sizes 1000 --big-mib 0).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCARDOLIN_TESTS=OFF -DCARDOLIN_GUI=OFF -DCARDOLIN_BENCH=ON -DCARDOLIN_SANITIZE=OFF -DCARDOLIN_FUZZ=OFF
cmake --build build-bench --target bench_book bench_contacts
# A user's locale: sorting categories and keywords goes through its collation.
exec env LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 TZ=UTC build-bench/bench/bench_book "$@"
