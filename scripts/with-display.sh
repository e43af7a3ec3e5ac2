#!/usr/bin/env bash
# Runs a command with a private X server (Xvfb), a window manager (openbox) and a D-Bus session bus,
# so that tests of the real window system work on a machine without a desktop.
set -euo pipefail

# The server picks a free display itself and writes its number once it accepts clients: choosing a
# number here raced with other runs started at the same moment, whose server the probe then reached.
display_file=$(mktemp)
wm_pid=""
xvfb_pid=""
cleanup() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -f "$display_file"
}
trap cleanup EXIT

# Without -noreset the server starts over whenever its last client leaves, which a readiness probe is.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do
    [ -s "$display_file" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
display_number=$(tr -dc '0-9' <"$display_file")
[ -n "$display_number" ] || { echo "with-display: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":${display_number}"
xdpyinfo >/dev/null 2>&1 || { echo "with-display: Xvfb does not answer on $DISPLAY" >&2; exit 1; }

wm_ready() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' &&
        xprop -root _NET_SUPPORTED 2>/dev/null | grep -q '_NET_CLIENT_LIST_STACKING'
}
for attempt in 1 2 3; do
    openbox >/dev/null 2>&1 &
    wm_pid=$!
    for _ in $(seq 1 100); do
        wm_ready && break
        kill -0 "$wm_pid" 2>/dev/null || break
        sleep 0.1
    done
    if wm_ready && kill -0 "$wm_pid" 2>/dev/null; then
        break
    fi
    kill "$wm_pid" 2>/dev/null || true
    wm_pid=""
    [ "$attempt" = 3 ] && { echo "with-display: the window manager did not start on $DISPLAY" >&2; exit 1; }
done
# The window manager announces itself a moment before it manages new windows.
sleep 0.5

dbus-run-session -- "$@"
