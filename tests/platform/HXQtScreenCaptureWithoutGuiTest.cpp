#include "platform/x11/HXQtScreenCapture.h"
#include "support/TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

// This program has a QCoreApplication only: no screens to capture.
TEST(HXQtScreenCaptureWithoutGuiTest, IsUnavailableAndWritesNothing) {
    HXQtScreenCapture capture;
    EXPECT_FALSE(capture.isAvailable());
    EXPECT_EQ(capture.screenCount(), 0);
    ScratchFolder scratch;
    const QString file = scratch.file(QStringLiteral("1.png"));
    EXPECT_FALSE(capture.captureScreens({file}));
    EXPECT_FALSE(QFile::exists(file));
}

} // namespace
