// "qualdern defaults": reading registered and written values, writing each type, deleting, and refusing
// to write while a tracker holds the lock or when the settings file cannot be read.
#include "app/HXDefaultsCommand.h"

#include "foundation/HXPaths.h"
#include "foundation/HXUserDefaults.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLockFile>

#include <gtest/gtest.h>

namespace {

class DefaultsCommand : public testing::Test {
protected:
    DefaultsCommand() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch.file(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(scratch.file(QStringLiteral("data"))));
        QDir().mkpath(HXLibraryFolder());
    }
    int run(const QStringList& arguments) {
        output.clear();
        errors.clear();
        QTextStream out(&output);
        QTextStream err(&errors);
        return HXRunDefaultsCommand(arguments, out, err);
    }
    HXValue stored(const QString& key) {
        return HXUserDefaults(HXUserDefaults::standardPath(), HXUserDefaults::ReadOnly{}).objectForKey(key);
    }

    ScratchFolder scratch;
    QString output;
    QString errors;
};

} // namespace

TEST_F(DefaultsCommand, ReadsWritesAndDeletes) {
    EXPECT_EQ(run({QStringLiteral("read"), QStringLiteral("Hibernation Interval")}), 0);
    EXPECT_EQ(output, u"600\n") << "the registered default";
    EXPECT_EQ(run({QStringLiteral("read"), QStringLiteral("No Such Key")}), 1);

    EXPECT_EQ(run({QStringLiteral("write"), QStringLiteral("Update Interval"), QStringLiteral("-float"),
                   QStringLiteral("2.5")}),
              0);
    EXPECT_DOUBLE_EQ(stored(QStringLiteral("Update Interval")).toDouble(), 2.5);
    EXPECT_EQ(run({QStringLiteral("write"), QStringLiteral("Quit Without Confirmation"),
                   QStringLiteral("-bool"), QStringLiteral("yes")}),
              0);
    EXPECT_TRUE(stored(QStringLiteral("Quit Without Confirmation")).toBool());
    EXPECT_EQ(run({QStringLiteral("write"), QStringLiteral("Auto-Export Hour"), QStringLiteral("-int"),
                   QStringLiteral("21")}),
              0);
    EXPECT_EQ(run({QStringLiteral("write"), QStringLiteral("Auto-Export Folder"), QStringLiteral("-string"),
                   QStringLiteral("~/Exports")}),
              0);
    EXPECT_EQ(stored(QStringLiteral("Auto-Export Folder")).toString(), u"~/Exports");

    EXPECT_EQ(run({QStringLiteral("read")}), 0);
    EXPECT_TRUE(output.contains(u"\"Auto-Export Hour\" = 21\n"));
    EXPECT_TRUE(output.contains(u"\"Quit Without Confirmation\" = true\n"));
    EXPECT_FALSE(output.contains(u"Hibernation Interval")) << "only what was written";

    EXPECT_EQ(run({QStringLiteral("delete"), QStringLiteral("Auto-Export Hour")}), 0);
    EXPECT_TRUE(stored(QStringLiteral("Auto-Export Hour")).isNull());
}

TEST_F(DefaultsCommand, WritesBeforeTheTrackerEverRan) {
    ASSERT_TRUE(QDir(HXLibraryFolder()).removeRecursively());
    EXPECT_EQ(
        run({QStringLiteral("write"), QStringLiteral("Sort"), QStringLiteral("-int"), QStringLiteral("2")}),
        0)
        << errors.toStdString();
    EXPECT_EQ(stored(QStringLiteral("Sort")).toInteger(), 2);
}

TEST_F(DefaultsCommand, RefusesBadValuesARunningTrackerAndAnUnreadableFile) {
    EXPECT_EQ(run({QStringLiteral("write"), QStringLiteral("Update Interval"), QStringLiteral("-float"),
                   QStringLiteral("fast")}),
              2);
    EXPECT_EQ(run({QStringLiteral("write"), QStringLiteral("Update Interval"), QStringLiteral("-float"),
                   QStringLiteral("nan")}),
              2);
    EXPECT_EQ(run({QStringLiteral("write"), QStringLiteral("Update Interval")}), 2);
    EXPECT_EQ(run({QStringLiteral("frobnicate")}), 2);
    EXPECT_EQ(run({QStringLiteral("--help")}), 0);
    EXPECT_TRUE(output.startsWith(u"usage: qualdern defaults"));

    {
        QLockFile tracker(HXLibraryFolder() + QStringLiteral("/tracker.lock"));
        ASSERT_TRUE(tracker.tryLock(0));
        EXPECT_EQ(run({QStringLiteral("write"), QStringLiteral("Sort"), QStringLiteral("-int"),
                       QStringLiteral("0")}),
                  1);
        EXPECT_TRUE(errors.contains(u"Qualdern is running"));
        EXPECT_EQ(run({QStringLiteral("read"), QStringLiteral("Sort")}), 0) << "reading is always safe";
    }
    EXPECT_TRUE(stored(QStringLiteral("Sort")).isNull()) << "nothing written";

    // A settings file that cannot be read is left as it is.
    QDir().mkpath(QFileInfo(HXUserDefaults::standardPath()).absolutePath());
    QFile file(HXUserDefaults::standardPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a property list");
    file.close();
    EXPECT_EQ(
        run({QStringLiteral("write"), QStringLiteral("Sort"), QStringLiteral("-int"), QStringLiteral("0")}),
        1);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("not a property list"));
}
