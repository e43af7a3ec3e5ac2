#include "platform/x11/HXX11Availability.h"

QString HXX11AvailabilityReason(HXX11Availability availability) {
    switch (availability) {
    case HXX11Availability::Available:
        return QString();
    case HXX11Availability::NoDisplay:
        return QStringLiteral("There is no X11 display to connect to, so windows and applications cannot be "
                              "tracked. Qualdern needs an X11 session (or Xwayland).");
    case HXX11Availability::NoWindowManager:
        return QStringLiteral("The X11 display has no window manager with EWMH support, so the window list "
                              "cannot be read.");
    case HXX11Availability::ConnectionLost:
        return QStringLiteral("The connection to the X11 display was lost.");
    case HXX11Availability::NotResponding:
        return QStringLiteral("The X11 display does not answer.");
    }
    return QString();
}
