#include "EngineHarness.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

TEST(HXScreenshots, AreTakenWhenDueNamedByDateAndPruned) {
    EngineHarness h(1800000000);
    const QString exportFolder = h.scratch.file(QStringLiteral("exports"));
    h.defaults->setString(u"Auto-Export Folder", exportFolder);
    h.defaults->setInteger(u"Screenshots: Interval", 1);
    h.defaults->setInteger(u"Screenshots: Amount", 2);
    QDir().mkpath(exportFolder);
    const QString shots = exportFolder + QStringLiteral("/Screenshots");

    h.tickAt(1800000000);
    ASSERT_EQ(entries(shots), QStringList({HXScreenshots::baseName(1800000000) + QStringLiteral(".png")}));
    EXPECT_TRUE(entries(shots).first().endsWith(QStringLiteral("(1800000000).png")));
    h.tickAt(1800000030);
    EXPECT_EQ(h.capture.captures(), 1);
    h.tickAt(1800000060);
    h.tickAt(1800000125);
    EXPECT_EQ(h.capture.captures(), 3);
    // The oldest went; the two newest stay.
    EXPECT_EQ(entries(shots), QStringList({HXScreenshots::baseName(1800000060) + QStringLiteral(".png"),
                                           HXScreenshots::baseName(1800000125) + QStringLiteral(".png")}));
}

TEST(HXScreenshots, SeveralScreensMakeOneFolderThatCountsAsOneShot) {
    EngineHarness h(1800000000);
    const QString exportFolder = h.scratch.file(QStringLiteral("exports"));
    QDir().mkpath(exportFolder);
    h.defaults->setString(u"Auto-Export Folder", exportFolder);
    h.defaults->setInteger(u"Screenshots: Interval", 1);
    h.capture.setScreenCount(3);
    h.tickAt(1800000000);
    const QString folder =
        exportFolder + QStringLiteral("/Screenshots/") + HXScreenshots::baseName(1800000000);
    EXPECT_EQ(entries(folder),
              QStringList({QStringLiteral("1.png"), QStringLiteral("2.png"), QStringLiteral("3.png")}));
    // Hidden files and files of other kinds are never pruned or counted.
    QFile hidden(exportFolder + QStringLiteral("/Screenshots/.keep"));
    ASSERT_TRUE(hidden.open(QIODevice::WriteOnly));
    hidden.close();
    QFile notes(exportFolder + QStringLiteral("/Screenshots/notes.txt"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.close();
    HXScreenshots::prune(exportFolder + QStringLiteral("/Screenshots"), 1);
    EXPECT_TRUE(QFileInfo::exists(folder));
    EXPECT_TRUE(QFileInfo::exists(hidden.fileName()));
    EXPECT_TRUE(QFileInfo::exists(notes.fileName()));
}

TEST(HXScreenshots, UnwritableFolderOrMissingCaptureStillRestartsTheInterval) {
    EngineHarness h(1800000000);
    h.defaults->setString(u"Auto-Export Folder", QStringLiteral("/proc/no-such-place"));
    h.defaults->setInteger(u"Screenshots: Interval", 1);
    h.tickAt(1800000000);
    EXPECT_EQ(h.capture.captures(), 0);
    ASSERT_TRUE(h.controller->screenshots().lastScreenshotDate());
    EXPECT_EQ(*h.controller->screenshots().lastScreenshotDate(), 1800000000);

    h.defaults->setString(u"Auto-Export Folder", h.scratch.file(QStringLiteral("exports")));
    h.capture.setAvailable(false);
    h.tickAt(1800000100);
    EXPECT_EQ(h.capture.captures(), 0);
    EXPECT_EQ(*h.controller->screenshots().lastScreenshotDate(), 1800000100);
    // The default folder lies in the library folder.
    h.defaults->removeObject(u"Auto-Export Folder");
    h.capture.setAvailable(true);
    h.tickAt(1800000200);
    EXPECT_EQ(h.capture.captures(), 1);
    EXPECT_EQ(entries(h.scratch.file(QStringLiteral("data/Qualdern/Reports/Screenshots"))).size(), 1);
}
