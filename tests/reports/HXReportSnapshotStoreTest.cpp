#include "ReportsTestSupport.h"

#include "reports/HXReportSnapshotStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

namespace {

void writeText(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// Runs the event loop until the store has no file loading, at most five seconds.
bool settle(const HXReportSnapshotStore& store) {
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        bool loading = false;
        for (const QString& path : store.paths())
            loading = loading || store.isLoading(path);
        if (!loading)
            return true;
        if (timer.elapsed() > 5000)
            return false;
        QThread::msleep(5);
    }
}

} // namespace

TEST(ReportSnapshotStore, LoadsInTheBackgroundAndReportsFailures) {
    ScratchFolder scratch;
    const QString good = scratch.file(QStringLiteral("good.csv"));
    const QString bad = scratch.file(QStringLiteral("bad.csv"));
    writeText(good, "Application;Total Begin (Unix Time);Total End (Unix Time)\nMail;1000.00;2000.00\n");
    writeText(bad, "Application,Total Begin (Unix Time),Total End (Unix Time)\n");
    HXUserDefaults defaults(scratch.file(QStringLiteral("Defaults.plist")));
    HXReportSnapshotStore store(defaults);
    QStringList changed;
    QObject::connect(&store, &HXReportSnapshotStore::snapshotChanged,
                     [&](const QString& p) { changed.append(p); });

    EXPECT_TRUE(store.open(good));
    EXPECT_TRUE(store.open(bad));
    // The same file again, also under another spelling of its path, is the open one.
    EXPECT_FALSE(store.open(scratch.path() + QStringLiteral("/./good.csv")));
    EXPECT_FALSE(store.open(QString()));
    EXPECT_EQ(store.statusText(good), u"Loading...");
    EXPECT_FALSE(store.configuration(good));
    ASSERT_TRUE(settle(store));

    EXPECT_EQ(changed.size(), 2);
    EXPECT_TRUE(store.statusText(good).isEmpty());
    double first = 0;
    double last = 0;
    EXPECT_TRUE(store.getFirstTimestamp(good, &first, &last));
    EXPECT_EQ(first, 1000);
    EXPECT_EQ(last, 2000);
    EXPECT_EQ(namesOf(*store.eventLogsClippedBetweenTimestamp(good, first, last)), strings({u"Mail"}));
    EXPECT_EQ(store.statusText(bad), u"Empty");
    EXPECT_FALSE(store.getFirstTimestamp(bad, &first, &last));
    EXPECT_TRUE(store.eventLogsClippedBetweenTimestamp(bad, 0, 1)->isEmpty());

    // A file that cannot be read says why.
    const QString missing = scratch.file(QStringLiteral("missing.csv"));
    EXPECT_TRUE(store.open(missing));
    ASSERT_TRUE(settle(store));
    EXPECT_EQ(store.statusText(missing), u"Cannot open file: No such file or directory");

    // Closing forgets; a result arriving for a closed file is dropped.
    store.close(good);
    EXPECT_FALSE(store.isOpen(good));
    EXPECT_TRUE(store.open(good));
    store.close(good);
    ASSERT_TRUE(settle(store));
    EXPECT_FALSE(store.isOpen(good));
    EXPECT_EQ(store.paths().size(), 2);
}

TEST(ReportSnapshotStore, DestroyedWhileLoading) {
    ScratchFolder scratch;
    const QString path = scratch.file(QStringLiteral("big.csv"));
    QByteArray text = "Application,Total Begin (Unix Time),Total End (Unix Time)\n";
    for (int i = 0; i < 20000; ++i)
        text += "App " + QByteArray::number(i % 50) + "," + QByteArray::number(1000 + i) + ".00," +
                QByteArray::number(1000 + i) + ".50\n";
    writeText(path, text);
    HXUserDefaults defaults(scratch.file(QStringLiteral("Defaults.plist")));
    {
        HXReportSnapshotStore store(defaults);
        EXPECT_TRUE(store.open(path));
    }
    // The posted result of the finished parse must not reach the destroyed store (ASan builds catch it).
    QCoreApplication::processEvents();
}
