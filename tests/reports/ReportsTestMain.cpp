#include <QCoreApplication>

#include <gtest/gtest.h>

// The application object exists as it does in the program: translations and thread pools expect it.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
