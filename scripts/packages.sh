# Debian packages the build, the tests and the tracker need; sourced by run.sh and test.sh.
QD_BUILD_PACKAGES=(
    cmake ninja-build g++ clang libclang-rt-14-dev lld pkg-config python3
    qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins libqt6dbus6 libqt6concurrent6
    libicu-dev libjemalloc-dev
    libxcb1-dev libxcb-ewmh-dev libxcb-icccm4-dev libxcb-xinput-dev libxcb-keysyms1-dev libxcb-res0-dev
    libxcb-screensaver0-dev libxcb-dpms0-dev libxcb-xkb-dev libxkbcommon-x11-dev libxcb-xtest0-dev
    libwayland-dev libwayland-bin wayland-protocols plasma-wayland-protocols
    libgtest-dev libgmock-dev libbenchmark-dev
)
# sway, foot (and a font for it), Xwayland and wtype: the Wayland tests run a headless sway with real
# clients; Qt's JavaScript engine runs the KWin script in its stand-in, gjs the GNOME Shell extension's.
# trayer: an XEmbed tray for the status item tests; AT-SPI (at-spi2-core, python3-pyatspi) reads what
# the program shows as a screen reader would; gdbus asks the tray icon's exported menu. xkb-data: key
# names from keyboard layouts compiled by name.
QD_TEST_PACKAGES=(xvfb openbox xdotool wmctrl x11-utils xkb-data dbus dbus-bin libplist-utils
                  sway foot xwayland wtype fonts-dejavu-core qt6-wayland qt6-declarative-dev gjs
                  trayer at-spi2-core python3-pyatspi gir1.2-atspi-2.0 libglib2.0-bin)
# The Qt Wayland plugin: the tracker's own windows on a Wayland session; xkb-data: the hot key's names.
QD_RUN_PACKAGES=(xvfb openbox xdotool xkb-data dbus dbus-bin qt6-wayland)

# Installs whatever of the given packages is missing (as root, or through sudo).
qd_install_missing() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
