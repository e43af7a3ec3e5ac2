#include <QApplication>

#include <gtest/gtest.h>

// Widgets need an application object. CTest runs these tests offscreen; test discovery at build time
// runs the program without that environment, so offscreen is the default here too.
int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
