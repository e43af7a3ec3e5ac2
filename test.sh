#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the full build under a private X server and
# D-Bus session, then the non-graphical suites again under AddressSanitizer and UndefinedBehaviorSanitizer,
# and each fuzz target for a short while.
set -uo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
qd_install_missing "${QD_BUILD_PACKAGES[@]}" "${QD_TEST_PACKAGES[@]}" || exit 1

jobs=$(nproc)
status=0
failures=()

step() { echo; echo "==== $* (at ${SECONDS} s)"; }

# Line tables are all a failing test's backtrace needs, and full debug information costs a third of the
# compile time; precompiled headers save a quarter of the rest.
step "build (optimised, with line tables)"
cmake -G Ninja -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
    -DQD_PRECOMPILED_HEADERS=ON >/dev/null || exit 1
ninja -C build -j"$jobs" || exit 1

# sway refuses to run as root: the Wayland tests run the compositor, its clients and the tracker as an
# unprivileged user of their own.
if [ "$(id -u)" -eq 0 ] && ! id qualdern-test >/dev/null 2>&1; then
    useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin qualdern-test ||
        echo "cannot create the user qualdern-test: the Wayland tests will fail" >&2
fi

step "tests"
if ! scripts/with-display.sh ctest --test-dir build --output-on-failure -j"$jobs" --timeout 300; then
    status=1
    failures+=("tests")
fi

step "build (AddressSanitizer + UndefinedBehaviorSanitizer, clang, with fuzz targets)"
CC=clang CXX=clang++ cmake -G Ninja -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 \
    -DCMAKE_CXX_FLAGS_DEBUG=-gline-tables-only -DQD_PRECOMPILED_HEADERS=ON -DQD_SANITIZE=ON -DQD_FUZZ=ON -DQD_GUI=OFF \
    -DQD_BENCH=OFF >/dev/null || exit 1
ninja -C build-asan -j"$jobs" || exit 1

step "tests under sanitizers"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
if ! ctest --test-dir build-asan --output-on-failure -j"$jobs" -L unit --timeout 600; then
    status=1
    failures+=("sanitizer tests")
fi

step "fuzz targets (short runs, all at once)"
fuzz_names=()
fuzz_pids=()
for target in build-asan/fuzz/*/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    work=$(mktemp -d)
    [ -d "fuzz/corpus/$name" ] && cp -r "fuzz/corpus/$name"/. "$work"/
    "$target" -max_total_time=20 -timeout=5 -rss_limit_mb=2048 -artifact_prefix="build-asan/$name-" "$work" \
        >"build-asan/$name.log" 2>&1 &
    fuzz_pids+=($!)
    fuzz_names+=("$name")
done
for i in "${!fuzz_pids[@]}"; do
    name=${fuzz_names[$i]}
    if ! wait "${fuzz_pids[$i]}"; then
        tail -n 40 "build-asan/$name.log"
        # The input, so that the failure can be reproduced from this log alone.
        for input in "build-asan/$name"-crash-* "build-asan/$name"-timeout-* "build-asan/$name"-oom-*; do
            [ -f "$input" ] && echo "input $input (base64):" && base64 "$input" | head -c 8000 && echo
        done
        status=1
        failures+=("$name")
    else
        echo "$name: $(grep -c '' "build-asan/$name.log") log lines, no crash"
    fi
done

echo
if [ $status -eq 0 ]; then
    echo "All tests passed (${SECONDS} s)."
else
    echo "FAILED: ${failures[*]} (${SECONDS} s)"
fi
exit $status
