#!/usr/bin/env bash
# The running tracker's cost on Wayland: CPU time (user + system, from /proc/PID/stat) over a minute and
# resident memory, with the heavy fixture as its configuration and 50 foot windows of 10 app_ids on a
# headless sway of its own. sway refuses root: run as root, the compositor, the terminals and the tracker
# run as the user qualdern-test (./test.sh creates it).
#   bench/platform/measure_tracker_wayland.sh BUILD_DIR [SECONDS]
set -euo pipefail
build=$(realpath "${1:?build folder}")
seconds=${2:-60}
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

as_user=()
if [ "$(id -u)" -eq 0 ]; then
    id qualdern-test >/dev/null 2>&1 || { echo "no user qualdern-test (./test.sh creates it)" >&2; exit 1; }
    as_user=(setpriv --reuid=qualdern-test --regid=qualdern-test --clear-groups)
fi
mkdir -p "$work/runtime" "$work/data/Qualdern/Configurations" "$work/config"
chmod 700 "$work/runtime"
"$build/bench/fixture/make_fixture" --out "$work/data/Qualdern/Configurations/Default.plist" >/dev/null
echo "configuration: $(du -h "$work/data/Qualdern/Configurations/Default.plist" | cut -f1)"
# Where the session's user can run it.
cp "$build/src/app/qualdern" "$work/qualdern"
printf 'output HEADLESS-1 resolution 1920x1080\n' >"$work/sway.conf"
[ ${#as_user[@]} -eq 0 ] || chown -R qualdern-test: "$work"

session=(env -i HOME="$work" PATH=/usr/bin:/bin LANG=C.UTF-8 XDG_RUNTIME_DIR="$work/runtime"
         XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config")
"${as_user[@]}" "${session[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do
    display=$(cd "$work/runtime" && ls wayland-? 2>/dev/null | head -n 1) || true
    [ -n "$display" ] && break
    sleep 0.1
done
[ -n "$display" ] || { echo "sway did not start:"; cat "$work/sway.log"; exit 1; }
session+=(WAYLAND_DISPLAY="$display")
bus=$("${as_user[@]}" "${session[@]}" dbus-daemon --session --fork --print-address=1 --print-pid=1)
pids+=("$(echo "$bus" | sed -n 2p)")
session+=(DBUS_SESSION_BUS_ADDRESS="$(echo "$bus" | sed -n 1p)")

for p in $(seq 1 10); do
    for w in $(seq 1 5); do
        "${as_user[@]}" "${session[@]}" foot --title "Document $w of program $p" --app-id "program$p" \
            sleep $((seconds + 120)) >/dev/null 2>&1 &
        pids+=($!)
    done
done
sleep 5

"${as_user[@]}" "${session[@]}" ${QD_PRELOAD:+LD_PRELOAD=$QD_PRELOAD} "$work/qualdern" 2>"$work/tracker.log" &
tracker=$!
pids+=("$tracker")
sleep 10
grep -m1 'window source:' "$work/tracker.log" || { echo "the tracker chose no window source:"; cat "$work/tracker.log"; exit 1; }
ticks=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$tracker/stat"; }
# Loading the fixture takes a while on a busy machine: the minute starts once two seconds pass at less
# than a tenth of a core.
for _ in $(seq 1 60); do
    start=$(cpu)
    sleep 2
    [ $(( $(cpu) - start )) -lt $(( ticks / 5 )) ] && break
done
before=$(cpu)
sleep "$seconds"
after=$(cpu)
awk -v used=$((after - before)) -v hz="$ticks" -v s="$seconds" \
    'BEGIN { printf "CPU over %d s: %.2f s = %.3f%% of one core\n", s, used / hz, 100 * used / hz / s }'
grep -E 'VmRSS|VmHWM' "/proc/$tracker/status"
kill -TERM "$tracker"
wait "$tracker" || true
