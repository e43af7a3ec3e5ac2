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

TEST(HXScreenshots, PruningLeavesTheUsersOwnPicturesAndFoldersAlone) {
    // "~/Pictures" as export folder: its "Screenshots" subfolder is where desktops put the user's own.
    EngineHarness h(1800000000);
    const QString pictures = h.scratch.file(QStringLiteral("Pictures"));
    const QString shots = pictures + QStringLiteral("/Screenshots");
    QDir().mkpath(shots + QStringLiteral("/Trip"));
    const auto touch = [](const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("png");
    };
    const QString elsewhere = h.scratch.file(QStringLiteral("elsewhere.png"));
    touch(elsewhere);
    const QStringList users{
        QStringLiteral("Screenshot from 2026-01-01 10-00-00.png"),
        QStringLiteral("holiday.png"),
        QStringLiteral("Trip"),
        QStringLiteral("Trip/1.png"),
        // Named like a screenshot of this program, but a folder holding something else...
        HXScreenshots::baseName(1700000000),
        HXScreenshots::baseName(1700000000) + QStringLiteral("/1.png"),
        HXScreenshots::baseName(1700000000) + QStringLiteral("/notes.txt"),
        // ... or a link to a picture elsewhere, or a picture named almost like one.
        HXScreenshots::baseName(1700000060) + QStringLiteral(".png"),
        QStringLiteral("2026-01-01 10-00 (1700000000) copy.png"),
    };
    for (const QString& name : users) {
        if (name == HXScreenshots::baseName(1700000000))
            QDir().mkpath(shots + u'/' + name);
        else if (name == HXScreenshots::baseName(1700000060) + QStringLiteral(".png"))
            ASSERT_TRUE(QFile::link(elsewhere, shots + u'/' + name));
        else if (name != u"Trip")
            touch(shots + u'/' + name);
    }
    h.defaults->setString(u"Auto-Export Folder", pictures);
    h.defaults->setInteger(u"Screenshots: Interval", 1);
    h.defaults->setInteger(u"Screenshots: Amount", 3);
    h.capture.setScreenCount(2);
    for (int minute = 0; minute < 5; ++minute)
        h.tickAt(1800000000 + 60 * minute);
    h.capture.setScreenCount(1);
    for (int minute = 5; minute < 10; ++minute)
        h.tickAt(1800000000 + 60 * minute);
    EXPECT_EQ(h.capture.captures(), 10);

    for (const QString& name : users)
        EXPECT_TRUE(QFileInfo::exists(shots + u'/' + name)) << name.toStdString();
    EXPECT_TRUE(QFileInfo::exists(elsewhere));
    // Of its own, the newest three are kept.
    QStringList own;
    for (const QString& name : entries(shots)) {
        if (!users.contains(name))
            own.append(name);
    }
    EXPECT_EQ(own, QStringList({HXScreenshots::baseName(1800000420) + QStringLiteral(".png"),
                                HXScreenshots::baseName(1800000480) + QStringLiteral(".png"),
                                HXScreenshots::baseName(1800000540) + QStringLiteral(".png")}));
}
