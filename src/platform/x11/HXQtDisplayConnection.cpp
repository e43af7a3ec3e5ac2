#include "platform/x11/HXQtDisplayConnection.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

bool HXQtDisplayConnectionBroke() {
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 && x11->connection() && xcb_connection_has_error(x11->connection());
}
