#!/usr/bin/env bash
# Retakes the README's picture of the organizer: the list window of the tracker in window mode on a
# private X server (scripts/picture-session.sh: two days of replayed work, two programs running), with an
# application and a pool expanded and a pool row selected.
#   scripts/organizer-picture.sh [BUILD_DIR] [OUT.png]      (default: build, docs/organizer.png)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${QD_PICTURE_INSIDE:-}" ]; then
    QD_PICTURE_INSIDE=1 exec scripts/with-display.sh "$0" "$@"
fi
build=${1:-build}
out=${2:-docs/organizer.png}
. scripts/picture-session.sh

start_tracker '<key>Report: Default: Closed</key><true/>
<key>Window Frame: Organizer</key><string>40 40 560 520</string>'
list=$(tracker_window Qualdern)
# A moment for the first ticks; then the first pool, where the keyboard cursor starts, is selected.
sleep 2
xdotool windowactivate --sync "$list" >/dev/null 2>&1 || true
xdotool key --window "$list" Tab space
xdotool mousemove 0 0
sleep 1
shoot_window "$list" "$out"
stop_tracker
