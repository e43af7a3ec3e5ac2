#include <QCoreApplication>

#include <gtest/gtest.h>

// Timers need an event loop, which the tests run while they wait.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
