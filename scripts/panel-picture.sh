#!/usr/bin/env bash
# Retakes the README's picture of the status item's panel: the tracker in status item mode in trayer at the
# top of a private X server, with a working day replayed into its data, its panel opened by a click on
# the tray icon; the picture is cropped to the tray and the panel.
#   scripts/panel-picture.sh [BUILD_DIR] [OUT.png]      (default: build, docs/status-item-panel.png)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${QD_PANEL_PICTURE_INSIDE:-}" ]; then
    QD_PANEL_PICTURE_INSIDE=1 exec scripts/with-display.sh "$0" "$@"
fi
build=${1:-build}
out=${2:-docs/status-item-panel.png}
home=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$home"' EXIT
export XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config"
mkdir -p "$XDG_DATA_HOME/Qualdern/Configurations" "$XDG_CONFIG_HOME/Qualdern"

# Today since 8 o'clock (at most the last six hours): five programs taking turns in front, with breaks,
# and three pools that collect some of them.
python3 - "$home/day.json" "$home/pools.plist" <<'SCRIPT'
import datetime, json, random, sys

now = datetime.datetime.now().astimezone()
midnight = now.replace(hour=0, minute=0, second=0, microsecond=0)
start = max(midnight + datetime.timedelta(minutes=1),
            min(now.replace(hour=8, minute=0, second=0, microsecond=0), now - datetime.timedelta(hours=6)))
applications = [
    (1, "org.example.Editor", "Editor", ["report.txt \u2014 Editor", "notes.md \u2014 Editor"]),
    (2, "org.example.Mail", "Mail", ["Inbox (3) \u2014 Mail", "Re: Budget 2027 \u2014 Mail"]),
    (3, "org.example.Browser", "Browser", ["Project wiki \u2014 Browser", "Train times \u2014 Browser"]),
    (4, "org.example.Terminal", "Terminal", ["~/src/qualdern \u2014 zsh"]),
    (5, "org.example.Chat", "Chat", ["Team \u2014 Chat"]),
]
weights = [5, 3, 2, 2, 1]
chooser = random.Random(7)
ticks, t = [], start.timestamp()
front, windows, turn = 1, 0, 0
while t < now.timestamp() - 60:
    if turn <= 0:
        # A new turn: another program (or a break), for two to twenty minutes.
        front = None if chooser.random() < 0.12 else chooser.choices(applications, weights)[0][0]
        windows = chooser.randrange(2)
        turn = chooser.randrange(2, 21)
    listed = []
    for pid, identifier, name, titles in applications:
        order = titles[:] if pid != front or windows == 0 else titles[::-1]
        listed.append({"pid": pid, "bundleIdentifier": identifier,
                       "bundlePath": "/usr/share/applications/%s.desktop" % identifier, "name": name,
                       "activationPolicy": 0,
                       "windows": [{"number": pid * 10 + i, "title": title, "layer": 0}
                                   for i, title in enumerate(order)]})
    ticks.append({"at": t, "front": front, "applications": listed})
    t += 60
    turn -= 1
with open(sys.argv[1], "w") as script:
    json.dump({"defaults": {}, "ticks": ticks}, script)

def item(name, identifier):
    return ("<dict><key>Application ID</key><string>%s</string><key>Name</key><string>%s</string>"
            "<key>Path</key><string>/usr/share/applications/%s.desktop</string>"
            "<key>Type</key><string>Pool Item</string></dict>" % (identifier, name, identifier))

def pool(name, items):
    return ("<dict><key>Children</key><array>%s</array><key>Name</key><string>%s</string>"
            "<key>Path</key><string>_Pool</string><key>Type</key><string>Pool Item</string></dict>"
            % ("".join(items), name))

with open(sys.argv[2], "w") as plist:
    plist.write('<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0"><dict><key>Pools</key><array>'
                + pool("Writing", [item("Editor", "org.example.Editor")])
                + pool("Project Falcon", [item("Browser", "org.example.Browser"),
                                          item("Terminal", "org.example.Terminal")])
                + pool("Talking", [item("Mail", "org.example.Mail"), item("Chat", "org.example.Chat")])
                + "</array></dict></plist>\n")
SCRIPT
"$build/src/tools/replay/qualdern-replay" "$home/day.json" --configuration "$home/pools.plist" \
    --out "$XDG_DATA_HOME/Qualdern/Configurations/Default.plist"

# The panel opens on the live report.
cat >"$XDG_CONFIG_HOME/Qualdern/Defaults.plist" <<SETTINGS
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
<key>Status Item</key><true/>
<key>Status Item Shows Activity Report</key><true/>
<key>Status Item Toggles Login Item Automatically</key><false/>
<key>Quit Without Confirmation</key><true/>
</dict></plist>
SETTINGS

trayer --edge top --align right --widthtype request --height 24 --SetDockType true --SetPartialStrut true \
    >/dev/null 2>&1 &
sleep 1
QT_QPA_PLATFORM=xcb "$build/src/app/qualdern" 2>"$home/qualdern.log" &
tracker=$!

# The program's mapped windows as "id x y width height".
windows() {
    for id in $(xdotool search --classname '^qualdern$' 2>/dev/null); do
        xwininfo -id "$id" | awk -v id="$id" '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
            /Width:/ { w = $2 } /Height:/ { h = $2 } /IsViewable/ { v = 1 }
            END { if (v) print id, x, y, w, h }'
    done
}
wait_for() { # width comparison, e.g. "<= 48"
    for _ in $(seq 1 150); do
        found=$(windows | awk "\$4 $1" | head -n 1)
        [ -n "$found" ] && { echo "$found"; return 0; }
        sleep 0.1
    done
    echo "panel-picture: no window with width $1" >&2
    cat "$home/qualdern.log" >&2
    return 1
}

icon=$(wait_for "<= 48")
read -r _ ix iy iw ih <<<"$icon"
# A moment for the first tick and the icon's picture.
sleep 2
xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 1
panel=$(wait_for ">= 300")
read -r _ px py pw ph <<<"$panel"
# Past the fade-in; the pointer goes where it covers nothing.
screen_width=$(xdpyinfo | awk '/dimensions:/ { split($2, size, "x"); print size[1] }')
xdotool mousemove 0 $((py + ph + 100))
sleep 1.5
import -window root "$home/screen.png"
tray=$(for id in $(xdotool search --class '^trayer$' 2>/dev/null); do
    xwininfo -id "$id" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
        /Width:/ { w = $2 } /Height:/ { h = $2 } /IsViewable/ { v = 1 } END { if (v && w > 1) print x, y, w, h }'
done | head -n 1)
read -r tx ty tw th <<<"$tray"
# From a margin left of the panel to the screen's right edge, from the top to a margin below the panel;
# the bare X root (black) becomes a quiet desktop colour around the tray and the panel.
margin=12
left=$((px - margin))
convert -size "$((screen_width - left))x$((py + ph + margin))" xc:'#56677a' \
    \( "$home/screen.png" -crop "${pw}x${ph}+${px}+${py}" +repage \) -geometry "+$((px - left))+${py}" -composite \
    \( "$home/screen.png" -crop "${tw}x${th}+${tx}+${ty}" +repage \) -geometry "+$((tx - left))+${ty}" -composite \
    "$out"
echo "$out: $(identify -format '%wx%h' "$out")"

kill -TERM "$tracker"
wait "$tracker" || true
