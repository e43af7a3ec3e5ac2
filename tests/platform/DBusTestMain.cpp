#include "DBusTestSupport.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

// Two private buses stand for the system and the session bus; they are in the environment before anything
// opens a bus, so the backends' default connections reach them.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    QCoreApplication application(argc, argv);
    auto system = std::make_unique<PrivateBus>();
    auto session = std::make_unique<PrivateBus>();
    if (system->address().isEmpty() || session->address().isEmpty())
        return 1;
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", system->address());
    qputenv("DBUS_SESSION_BUS_ADDRESS", session->address());
    return RUN_ALL_TESTS();
}
