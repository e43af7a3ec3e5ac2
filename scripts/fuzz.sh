#!/usr/bin/env bash
# Long fuzzing: builds the sanitizer build with its fuzz targets (as test.sh does), runs every target for
# SECONDS each (default 600) on a copy of its corpus in fuzz/corpus/<target>/, merges what it found into
# that corpus minimised (only inputs that add coverage), and prints each target's runs and any crash.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
qd_install_missing "${QD_BUILD_PACKAGES[@]}" || exit 1

seconds=${1:-600}
shift || true
case "$seconds" in
'' | *[!0-9]*)
    echo "usage: scripts/fuzz.sh [SECONDS] [TARGET...]" >&2
    exit 2
    ;;
esac

CC=clang CXX=clang++ cmake -G Ninja -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 \
    -DQD_SANITIZE=ON -DQD_FUZZ=ON -DQD_GUI=OFF -DQD_BENCH=OFF >/dev/null || exit 1
ninja -C build-asan || exit 1

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
artifacts=build-asan/fuzz-artifacts
mkdir -p "$artifacts"
status=0
summary=()

for target in build-asan/fuzz/*/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then
        continue
    fi
    corpus="fuzz/corpus/$name"
    mkdir -p "$corpus"
    work=$(mktemp -d)
    cp -r "$corpus"/. "$work"/
    args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$artifacts/$name-")
    dict=$(ls fuzz/*/"$name".dict 2>/dev/null | head -n 1)
    [ -n "$dict" ] && args+=(-dict="$dict")
    log="build-asan/$name.fuzz.log"
    echo "==== $name: ${seconds} s"
    "$target" "${args[@]}" "$work" >"$log" 2>&1
    rc=$?
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -n 1)
    crashes=$(grep -o "Test unit written to [^ ]*" "$log" | sed 's/Test unit written to //')
    if [ $rc -ne 0 ] || [ -n "$crashes" ]; then
        status=1
        tail -n 60 "$log"
        summary+=("$name: ${runs:-?} runs, CRASH (status $rc): ${crashes:-see $log}")
    else
        summary+=("$name: ${runs:-?} runs in ${seconds} s, no crash")
    fi
    # Only inputs that reach code the corpus does not yet reach are added.
    if ! "$target" -merge=1 -timeout=10 -rss_limit_mb=2048 "$corpus" "$work" >"build-asan/$name.merge.log" 2>&1; then
        echo "$name: merging into $corpus failed, see build-asan/$name.merge.log" >&2
    fi
    rm -rf "$work"
done

echo
printf '%s\n' "${summary[@]}"
exit $status
