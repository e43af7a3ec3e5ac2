#!/usr/bin/env bash
# The demo inside a private X session: three windows of two programs take turns in front for half a
# minute while the tracker runs with data folders of its own; then the tracker quits and reports.
set -euo pipefail
cd "$(dirname "$0")/.."
demo_home=$(mktemp -d)
export XDG_DATA_HOME="$demo_home/data" XDG_CONFIG_HOME="$demo_home/config"
windows=build/tests/platform/qd_test_window_app

# Desktop entries tell the two demo programs apart, as installed applications are on a real desktop.
mkdir -p "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME/Qualdern"
for name in Editor Mail; do
    cat >"$XDG_DATA_HOME/applications/org.example.$name.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=$name
Exec=$PWD/$windows
StartupWMClass=$name
ENTRY
done
# The report lists every application with all its windows.
cat >"$XDG_CONFIG_HOME/Qualdern/Defaults.plist" <<SETTINGS
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict><key>Live Report Content (1252)</key><integer>2</integer></dict></plist>
SETTINGS

(sleep 60) | "$windows" --class editor,Editor --title "report.txt — Editor" --title "notes.txt — Editor" >"$demo_home/editor.log" &
(sleep 60) | "$windows" --class mail,Mail --title "Inbox (3) — Mail" >"$demo_home/mail.log" &
sleep 1
QT_QPA_PLATFORM=xcb build/src/app/qualdern 2>"$demo_home/qualdern.log" &
tracker=$!
sleep 1

# Each window program prints "ready" and its window ids once its windows exist.
read -r _ report notes <"$demo_home/editor.log"
read -r _ inbox <"$demo_home/mail.log"
echo "Tracking for 30 seconds; the front window changes every 5 seconds:"
for turn in "report.txt:$report" "Inbox:$inbox" "notes.txt:$notes" "report.txt:$report" "Inbox:$inbox" "notes.txt:$notes"; do
    xdotool windowactivate --sync "${turn#*:}" 2>/dev/null || true
    echo "  $(date +%T)  in front: ${turn%%:*}"
    sleep 5
done

kill -TERM "$tracker"
wait "$tracker" || true
echo
echo "What Qualdern recorded (qualdern report --interval today):"
build/src/app/qualdern report --interval today
rm -rf "$demo_home"
pkill -P $$ sleep 2>/dev/null || true
