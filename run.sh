#!/usr/bin/env bash
# Installs what is missing, builds, and starts the tracker on this desktop session.
#   ./run.sh          the tracker (needs a desktop session: X11, or Wayland)
#   ./run.sh --demo   the tracker at work headless: a private X server, a few scripted windows switched in
#                     front for half a minute, and the report of what it recorded
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
qd_install_missing "${QD_BUILD_PACKAGES[@]}" "${QD_RUN_PACKAGES[@]}"

cmake -G Ninja -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build -j"$(nproc)" qualdern qd_test_window_app

if [ "${1:-}" = "--demo" ]; then
    exec scripts/with-display.sh scripts/demo-session.sh
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display here: Qualdern tracks the windows of a desktop session (X11 or Wayland)." >&2
    echo "To see it work without one, run: ./run.sh --demo" >&2
    exit 1
fi
exec build/src/app/qualdern "$@"
