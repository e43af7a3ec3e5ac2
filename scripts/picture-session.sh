# Sourced by the scripts that retake the README's pictures of the tracker's windows, inside
# scripts/with-display.sh: a private home with five made-up programs (each with a desktop entry),
# yesterday's and today's work replayed into the configuration, the editor and the mail program running.
# Needs $build; gives $home, start_tracker SETTINGS and shoot_window TITLE OUT.
home=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$home"' EXIT
export XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" \
    XDG_STATE_HOME="$home/state"
mkdir -p "$XDG_DATA_HOME/Qualdern/Configurations" "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME/Qualdern"

for name in Editor Mail Browser Terminal Chat; do
    cat >"$XDG_DATA_HOME/applications/org.example.$name.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=$name
Exec=true
StartupWMClass=$name
ENTRY
done

# Yesterday from 9 to 17 o'clock and today since 8 o'clock (at most the last six hours): the programs
# taking turns in front, with breaks, and three pools that collect some of them.
python3 - "$home/days.json" "$home/pools.plist" "$XDG_DATA_HOME/applications" <<'SCRIPT'
import datetime, json, random, sys

entries = sys.argv[3]
now = datetime.datetime.now().astimezone()
midnight = now.replace(hour=0, minute=0, second=0, microsecond=0)
today = max(midnight + datetime.timedelta(minutes=1),
            min(now.replace(hour=8, minute=0, second=0, microsecond=0), now - datetime.timedelta(hours=6)))
yesterday = midnight - datetime.timedelta(days=1)
stretches = [(yesterday + datetime.timedelta(hours=9), yesterday + datetime.timedelta(hours=17)),
             (today, now - datetime.timedelta(minutes=1))]
applications = [
    (1, "Editor", ["report.txt \u2014 Editor", "notes.md \u2014 Editor"]),
    (2, "Mail", ["Inbox (3) \u2014 Mail", "Re: Budget 2027 \u2014 Mail"]),
    (3, "Browser", ["Project wiki \u2014 Browser", "Train times \u2014 Browser"]),
    (4, "Terminal", ["~/src/qualdern \u2014 zsh"]),
    (5, "Chat", ["Team \u2014 Chat"]),
]
weights = [5, 3, 2, 2, 1]
chooser = random.Random(7)
ticks = []
for begin, end in stretches:
    t, turn = begin.timestamp(), 0
    while t < end.timestamp():
        if turn <= 0:
            # A new turn: another program (or a break), for two to twenty minutes.
            front = None if chooser.random() < 0.12 else chooser.choices(applications, weights)[0][0]
            windows = chooser.randrange(2)
            turn = chooser.randrange(2, 21)
        listed = []
        for pid, name, titles in applications:
            order = titles[:] if pid != front or windows == 0 else titles[::-1]
            listed.append({"pid": pid, "bundleIdentifier": "org.example." + name,
                           "bundlePath": "%s/org.example.%s.desktop" % (entries, name), "name": name,
                           "activationPolicy": 0,
                           "windows": [{"number": pid * 10 + i, "title": title, "layer": 0}
                                       for i, title in enumerate(order)]})
        # The night between is a pause, as after sleep.
        ticks.append({"at": t, "gap": t == begin.timestamp(), "front": front, "applications": listed})
        t += 60
        turn -= 1
with open(sys.argv[1], "w") as script:
    json.dump({"defaults": {}, "ticks": ticks}, script)

def item(name):
    return ("<dict><key>Application ID</key><string>org.example.%s</string><key>Name</key><string>%s</string>"
            "<key>Path</key><string>%s/org.example.%s.desktop</string>"
            "<key>Type</key><string>Pool Item</string></dict>" % (name, name, entries, name))

def pool(name, items, extra=""):
    return ("<dict><key>Children</key><array>%s</array><key>Name</key><string>%s</string>"
            "<key>Path</key><string>_Pool</string><key>Type</key><string>Pool Item</string>%s</dict>"
            % ("".join(items), name, extra))

with open(sys.argv[2], "w") as plist:
    plist.write('<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0"><dict><key>Pools</key><array>'
                + pool("Writing", [item("Editor")], "<key>Pool Notes</key><string>Due on Friday</string>")
                + pool("Project Falcon", [item("Browser"), item("Terminal")], "<key>Expanded</key><true/>")
                + pool("Talking", [item("Mail"), item("Chat")], "<key>Paused</key><true/>")
                + "</array></dict></plist>\n")
SCRIPT
configuration="$XDG_DATA_HOME/Qualdern/Configurations/Default.plist"
"$build/src/tools/replay/qualdern-replay" "$home/days.json" --configuration "$home/pools.plist" \
    --out "$configuration" >/dev/null
# The editor's windows show under it.
python3 - "$configuration" <<'SCRIPT'
import plistlib, sys
with open(sys.argv[1], "rb") as f:
    configuration = plistlib.load(f)
configuration["Applications"]["org.example.Editor"]["Expanded"] = True
with open(sys.argv[1], "wb") as f:
    plistlib.dump(configuration, f, fmt=plistlib.FMT_BINARY)
SCRIPT

# The editor and the mail program run; the editor comes last, in front.
(sleep 300) | "$build/tests/platform/qd_test_window_app" --class mail,Mail --title "Inbox (3) — Mail" >/dev/null &
(sleep 300) | "$build/tests/platform/qd_test_window_app" --class editor,Editor --title "report.txt — Editor" \
    --title "notes.md — Editor" >/dev/null &
sleep 1

# start_tracker SETTINGS: the tracker in window mode with these entries (plist XML) among its settings.
start_tracker() {
    cat >"$XDG_CONFIG_HOME/Qualdern/Defaults.plist" <<SETTINGS
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
$1
<key>Status Item Toggles Login Item Automatically</key><false/>
<key>Quit Without Confirmation</key><true/>
</dict></plist>
SETTINGS
    QT_QPA_PLATFORM=xcb "$build/src/app/qualdern" 2>"$home/qualdern.log" &
    tracker=$!
}

# The tracker's mapped window with this title, waited for.
tracker_window() {
    for _ in $(seq 1 150); do
        for id in $(xdotool search --classname '^qualdern$' 2>/dev/null); do
            if [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && xwininfo -id "$id" | grep -q IsViewable; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.1
    done
    echo "no window titled $1" >&2
    cat "$home/qualdern.log" >&2
    return 1
}

# shoot_window ID OUT: the window with its frame (the window manager's extents) on a quiet desktop colour.
shoot_window() {
    local x y w h left right top bottom margin=12
    read -r x y w h < <(xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
        /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }')
    read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS | tr -d ',' | awk '{ print $3, $4, $5, $6 }')
    import -window root "$home/screen.png"
    local fw=$((w + left + right)) fh=$((h + top + bottom))
    convert -size "$((fw + 2 * margin))x$((fh + 2 * margin))" xc:'#56677a' \
        \( "$home/screen.png" -crop "${fw}x${fh}+$((x - left))+$((y - top))" +repage \) \
        -geometry "+${margin}+${margin}" -composite "$2"
    echo "$2: $(identify -format '%wx%h' "$2")"
}

stop_tracker() {
    kill -TERM "$tracker"
    wait "$tracker" || true
}
