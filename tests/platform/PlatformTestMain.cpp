#include <QCoreApplication>

#include <gtest/gtest.h>

// The input monitor and the D-Bus backends need an event loop; nothing here needs a display to start.
int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
