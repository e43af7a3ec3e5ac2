// Stored window frames: written and read back, and anything else in their place read as no frame.
#include "foundation/HXFrameString.h"

#include <gtest/gtest.h>

TEST(HXFrameString, AFrameReadsBackAsWritten) {
    const QRect frame(-40, 25, 640, 480);
    EXPECT_EQ(HXStringFromFrame(frame), u"-40 25 640 480");
    EXPECT_EQ(HXFrameFromString(HXStringFromFrame(frame)), frame);
    EXPECT_EQ(HXFrameFromString(QStringLiteral("  10  20 30 40 ")), QRect(10, 20, 30, 40))
        << "extra spaces are no fault";
}

TEST(HXFrameString, MalformedOrEmptyFramesAreNone) {
    for (const char* text : {"", "10 20 30", "10 20 30 40 50", "10 20 30.5 40", "a b c d", "10,20,30,40",
                             "10 20 0 40", "10 20 30 -1", "{{10, 20}, {30, 40}}", "10 20 99999999999 40"})
        EXPECT_FALSE(HXFrameFromString(QString::fromLatin1(text))) << text;
}
