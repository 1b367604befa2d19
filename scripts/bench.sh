#!/usr/bin/env bash
# Builds the benchmarks without sanitizers and times saving and loading contacts
# books, then the CSV export and import of every layout, the vCard and LDIF
# files, CardDAV sync and the main window. Extra arguments go to
# bench_book (e.g. --sizes 1000 --big-mib 0).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCARDOLIN_TESTS=OFF -DCARDOLIN_GUI=ON -DCARDOLIN_BENCH=ON -DCARDOLIN_SANITIZE=OFF -DCARDOLIN_FUZZ=OFF
cmake --build build-bench --target bench_book bench_contacts bench_csv bench_vcard_ldif bench_window bench_carddav
# A user's locale: sorting categories and keywords goes through its collation.
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 TZ=UTC
status=0
build-bench/bench/bench_book "$@" || status=$?
# Searching, formatting and deduplicating whole books.
build-bench/bench/bench_contacts || status=$?
# The CSV layouts, 100,000 contacts each way.
build-bench/bench/bench_csv || status=$?
# vCard and LDIF files of 100,000 contacts each way.
build-bench/bench/bench_vcard_ldif || status=$?
# CardDAV sync of 5,000 contacts with Radicale, beside vdirsyncer.
build-bench/bench/bench_carddav || status=$?
# The main window over 100,000 contacts, offscreen.
build-bench/bench/bench_window || status=$?
exit "$status"
