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

step() { echo; echo "==== $*"; }

step "build (release with debug info)"
cmake -G Ninja -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
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
    -DQD_SANITIZE=ON -DQD_FUZZ=ON -DQD_GUI=OFF -DQD_BENCH=OFF >/dev/null || exit 1
ninja -C build-asan -j"$jobs" || exit 1

step "tests under sanitizers"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
if ! ctest --test-dir build-asan --output-on-failure -j"$jobs" -L unit --timeout 600; then
    status=1
    failures+=("sanitizer tests")
fi

step "fuzz targets (short runs)"
for target in build-asan/fuzz/*/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus="fuzz/corpus/$name"
    args=(-max_total_time=20 -timeout=5 -rss_limit_mb=2048)
    if [ -d "$corpus" ]; then
        work=$(mktemp -d)
        cp -r "$corpus"/. "$work"/
        "$target" "${args[@]}" "$work" >"build-asan/$name.log" 2>&1
    else
        "$target" "${args[@]}" >"build-asan/$name.log" 2>&1
    fi
    if [ $? -ne 0 ]; then
        tail -n 40 "build-asan/$name.log"
        status=1
        failures+=("$name")
    else
        echo "$name: $(grep -c '' "build-asan/$name.log") log lines, no crash"
    fi
done

echo
if [ $status -eq 0 ]; then
    echo "All tests passed."
else
    echo "FAILED: ${failures[*]}"
fi
exit $status
