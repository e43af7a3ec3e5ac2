#include "platform/x11/HXQtDisplayConnection.h"

#include <QGuiApplication>

#include <sys/socket.h>
#include <xcb/xcb.h>

namespace {

xcb_connection_t* qtConnection() {
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

} // namespace

bool HXQtDisplayConnectionBroke() {
    xcb_connection_t* connection = qtConnection();
    return connection && xcb_connection_has_error(connection);
}

std::function<void()> HXQtDisplayConnectionCutter() {
    xcb_connection_t* connection = qtConnection();
    if (!connection || xcb_connection_has_error(connection))
        return {};
    const int descriptor = xcb_get_file_descriptor(connection);
    // Only the socket is shut, not closed: xcb still owns the descriptor and sees the connection broken.
    return [descriptor] {
        ::shutdown(descriptor, SHUT_RDWR);
    };
}
