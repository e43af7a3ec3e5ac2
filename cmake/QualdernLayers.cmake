# Which folder of src/ may use which: the one table of the layering rule. Configuring checks every
# #include of src/ and every target's link libraries against it and stops with a message naming both
# ends of each wrong direction (QualdernLayering.cmake does the checking).
#
# One row per folder: "folder : folders of ours it may use : libraries it may use".
# - A file belongs to the row of its folder, else of the nearest parent folder that has a row. A folder of
#   src/ that belongs to no row is an error: give it a row here.
# - A folder may always use itself. A row means that folder only: "platform" is the interfaces, not the
#   backends under it, and "reports" does not include "reports/widgets".
# - "*/widgets" is the row of any X/widgets without a row of its own; there "*" stands for X.
# - Libraries: Qt modules by name (QtCore, QtGui, QtWidgets, QtDBus, ...), ICU, X11 (xcb, xkbcommon),
#   wayland. Standard and system headers are open to everyone. Tests, benchmarks and fuzz targets may use
#   any layer and are not checked.
set(QD_LAYERS
    # The value model, property lists, settings, scheduling, logging: nothing of ours.
    "foundation      :                                                      : QtCore"
    # Window title filters and blacklist texts.
    "filters         : foundation                                           : QtCore ICU"
    # Event-log arithmetic, report assembly, texts, CSV, snapshots, scheduled tasks.
    "reports         : foundation                                           : QtCore ICU"
    # The command-line verbs; render draws through the report drawing function and pictures.
    "reports/cli     : foundation reports reports/widgets pictures           : QtCore QtGui"
    # Interfaces to the desktop, which the engine and the interface call.
    "platform        : foundation                                           : QtCore"
    # Backends: only app/ (and tests) choose and use them; the replay tool drives the fake one.
    "platform/fake   : foundation platform                                  : QtCore"
    "platform/x11    : foundation platform                                  : QtCore QtGui X11 ICU"
    "platform/dbus   : foundation platform                                  : QtCore QtDBus"
    # Wayland's sources name applications by their desktop entries, as X11's does.
    "platform/wayland: foundation platform platform/x11                     : QtCore QtGui QtDBus wayland"
    # The tracking engine: QtCore only, the world reaches it through platform/ and its own ports.
    "engine          : foundation filters reports platform                  : QtCore"
    # Ad hoc timers, hot keys and icon announcements, each with its widgets below it.
    "adhoc           : foundation reports platform engine                   : QtCore"
    "hotkeys         : foundation platform                                  : QtCore"
    "announce        : foundation platform pictures                         : QtCore QtGui"
    # Pie images and image operations: free functions over QImage and QPainter.
    "pictures        : foundation                                           : QtCore QtGui"
    # Window fades and self-drawing overlay windows.
    "animation       : foundation platform pictures                         : QtCore QtGui QtWidgets"
    # Widgets of one area: that area and what any widget may draw with.
    "*/widgets       : * foundation platform pictures animation             : QtCore QtGui QtWidgets"
    "reports/widgets : reports foundation platform pictures animation       : QtCore QtGui QtWidgets"
    "adhoc/widgets   : adhoc engine foundation platform pictures animation  : QtCore QtGui QtWidgets"
    # The user interface shell: everything but the backends.
    "ui              : foundation filters filters/widgets reports reports/cli reports/widgets engine
                       platform pictures animation adhoc adhoc/widgets hotkeys hotkeys/widgets announce
                                                                            : QtCore QtGui QtWidgets"
    # The program: everything, and it chooses the backends.
    "app             : foundation filters filters/widgets reports reports/cli reports/widgets engine
                       platform platform/x11 platform/dbus platform/wayland pictures animation adhoc
                       adhoc/widgets hotkeys hotkeys/widgets announce ui
                                                                            : QtCore QtGui QtWidgets QtDBus"
    # qualdern-plist, and the replay tool on the fake backend.
    "tools           : foundation                                           : QtCore"
    "tools/replay    : foundation filters reports engine platform platform/fake : QtCore"
)
