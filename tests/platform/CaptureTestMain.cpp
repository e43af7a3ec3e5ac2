#include <QGuiApplication>

#include <gtest/gtest.h>

// Screen capture needs a QGuiApplication on the real X display. Without a display the tests run without
// one and fail (or skip) for that reason themselves.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests) || qEnvironmentVariableIsEmpty("DISPLAY"))
        return RUN_ALL_TESTS();
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
