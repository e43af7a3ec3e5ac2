#!/usr/bin/env bash
# Retakes the README's picture of the live report window: the tracker in window mode on a private X
# server (scripts/picture-session.sh: two days of replayed work, two programs running) showing today, so
# that the interval ribbon shows at the bottom, with the editor's windows and a pool's items listed.
#   scripts/report-window-picture.sh [BUILD_DIR] [OUT.png]      (default: build, docs/report-window.png)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${QD_PICTURE_INSIDE:-}" ]; then
    QD_PICTURE_INSIDE=1 exec scripts/with-display.sh "$0" "$@"
fi
build=${1:-build}
out=${2:-docs/report-window.png}
. scripts/picture-session.sh

start_tracker '<key>Organizer: Closed</key><true/>
<key>Window Frame: Report: Default</key><string>40 40 580 680</string>'
report=$(tracker_window "Live Report")
# A moment for the first ticks and the drawing; the pointer stays off the rows.
sleep 3
xdotool mousemove 0 0
sleep 1
shoot_window "$report" "$out"
stop_tracker
