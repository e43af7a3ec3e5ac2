#!/usr/bin/env bash
# The running tracker's cost: CPU time (user + system, from /proc/PID/stat) over a minute and resident
# memory, with the heavy fixture as its configuration and 50 windows of 10 programs on a private X server.
#   scripts/with-display.sh bench/platform/measure_tracker.sh BUILD_DIR [SECONDS]
# QD_SETTINGS=FILE starts the tracker with those settings (a Defaults.plist); QD_FIXTURE_NOW=SECONDS makes
# the fixture's logs end then (now: "$(date +%s)"), so that recent intervals hold its data.
set -euo pipefail
build=${1:?build folder}
seconds=${2:-60}
home=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$home"' EXIT
export XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config"
mkdir -p "$XDG_DATA_HOME/Qualdern/Configurations"
"$build/bench/fixture/make_fixture" --out "$XDG_DATA_HOME/Qualdern/Configurations/Default.plist" \
    ${QD_FIXTURE_NOW:+--now "$QD_FIXTURE_NOW"} >/dev/null
if [ -n "${QD_SETTINGS:-}" ]; then
    mkdir -p "$XDG_CONFIG_HOME/Qualdern"
    cp "$QD_SETTINGS" "$XDG_CONFIG_HOME/Qualdern/Defaults.plist"
fi
echo "configuration: $(du -h "$XDG_DATA_HOME/Qualdern/Configurations/Default.plist" | cut -f1)"

for p in $(seq 1 10); do
    args=(--class "program$p,Program$p")
    for w in $(seq 1 5); do args+=(--title "Document $w of program $p"); done
    (sleep $((seconds + 60))) | "$build/tests/platform/qd_test_window_app" "${args[@]}" >/dev/null &
done
sleep 2

env QT_QPA_PLATFORM=xcb ${QD_PRELOAD:+LD_PRELOAD=$QD_PRELOAD} "$build/src/app/qualdern" 2>/dev/null &
tracker=$!
sleep 10
ticks=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$tracker/stat"; }
before=$(cpu)
sleep "$seconds"
after=$(cpu)
awk -v used=$((after - before)) -v hz="$ticks" -v s="$seconds" \
    'BEGIN { printf "CPU over %d s: %.2f s = %.3f%% of one core\n", s, used / hz, 100 * used / hz / s }'
grep -E 'VmRSS|VmHWM' "/proc/$tracker/status"
kill -TERM "$tracker"
wait "$tracker" || true
