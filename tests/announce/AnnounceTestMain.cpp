#include "DBusTestSupport.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <memory>

// Badges and icons need a GUI application (offscreen is enough); the announcements travel on a private
// session bus that is in the environment before anything opens a bus.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("com.corvella.Qualdern"));
    auto session = std::make_unique<PrivateBus>();
    if (session->address().isEmpty())
        return 1;
    qputenv("DBUS_SESSION_BUS_ADDRESS", session->address());
    return RUN_ALL_TESTS();
}
