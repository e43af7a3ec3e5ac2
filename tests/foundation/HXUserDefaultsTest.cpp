#include "foundation/HXUserDefaults.h"
#include "foundation/HXLog.h"
#include "foundation/HXPropertyList.h"
#include "foundation/HXVirtualTime.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

HXDictionaryRef readFile(const QString& path) {
    return HXDictionary::deeplyMutableDictionaryWithContentsOfFile(path);
}

} // namespace

TEST(HXUserDefaults, UserValuesOverrideRegisteredOnesAndConvertDefensively) {
    ScratchFolder scratch;
    HXUserDefaults defaults(scratch.file(QStringLiteral("Defaults.plist")));
    defaults.registerDefaults(*makeDictionary(
        {{QStringLiteral("Sort"), HXValue(1)}, {QStringLiteral("Show Inactive Pools"), HXValue(true)}}));
    EXPECT_EQ(defaults.integerForKey(u"Sort"), 1);
    defaults.setInteger(u"Sort", 2);
    EXPECT_EQ(defaults.integerForKey(u"Sort"), 2);
    defaults.removeObject(u"Sort");
    EXPECT_EQ(defaults.integerForKey(u"Sort"), 1);
    EXPECT_TRUE(defaults.boolForKey(u"Show Inactive Pools"));

    defaults.setString(u"Update Interval", QStringLiteral("2.5 seconds"));
    EXPECT_EQ(defaults.doubleForKey(u"Update Interval"), 2.5);
    defaults.setString(u"Flag", QStringLiteral("YES"));
    EXPECT_TRUE(defaults.boolForKey(u"Flag"));
    defaults.setString(u"Flag", QStringLiteral("0"));
    EXPECT_FALSE(defaults.boolForKey(u"Flag"));
    defaults.setObject(u"List", HXValue(makeArray({HXValue(1)})));
    EXPECT_EQ(defaults.integerForKey(u"List"), 0);
    EXPECT_EQ(defaults.stringForKey(u"List"), QString());
    EXPECT_EQ(defaults.arrayForKey(u"Sort"), nullptr);
}

TEST(HXUserDefaults, ContainersAreCopiedInAndOut) {
    ScratchFolder scratch;
    HXUserDefaults defaults(scratch.file(QStringLiteral("Defaults.plist")));
    auto list = makeArray({HXValue(QStringLiteral("a"))});
    defaults.setObject(u"List", HXValue(list));
    list->append(QStringLiteral("b"));
    EXPECT_EQ(defaults.arrayForKey(u"List")->count(), 1);
    defaults.arrayForKey(u"List")->append(QStringLiteral("c"));
    EXPECT_EQ(defaults.arrayForKey(u"List")->count(), 1);
}

TEST(HXUserDefaults, ChangesAreWrittenOncePerPassAsPrivateXML) {
    ScratchFolder scratch;
    const QString path = scratch.file(QStringLiteral("sub/Qualdern/Defaults.plist"));
    HXVirtualTime time;
    {
        HXUserDefaults defaults(path, &time);
        defaults.setBool(u"A", true);
        defaults.setDouble(u"B", 1.25);
        EXPECT_EQ(time.pendingCount(), 1u);
        EXPECT_FALSE(QFileInfo::exists(path));
        EXPECT_EQ(time.runDue(), 1);
        EXPECT_TRUE(QFileInfo::exists(path));
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("<?xml"));
    EXPECT_EQ(QFileInfo(path).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
    EXPECT_EQ(QFileInfo(QFileInfo(path).absolutePath()).permissions() &
                  (QFileDevice::ExeGroup | QFileDevice::ExeOther | QFileDevice::ReadOther),
              0);
    const HXDictionaryRef stored = readFile(path);
    ASSERT_TRUE(stored);
    EXPECT_TRUE(stored->boolForKey(u"A"));
    EXPECT_EQ(stored->value(u"B").type(), HXValueType::Real);

    HXUserDefaults reread(path);
    EXPECT_EQ(reread.doubleForKey(u"B"), 1.25);
}

TEST(HXUserDefaults, SynchronizeWritesWithoutAScheduler) {
    ScratchFolder scratch;
    const QString path = scratch.file(QStringLiteral("Defaults.plist"));
    HXUserDefaults defaults(path);
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_FALSE(QFileInfo::exists(path));
    defaults.setInteger(u"Hibernation Interval", 300);
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_EQ(readFile(path)->integerForKey(u"Hibernation Interval"), 300);
}

TEST(HXUserDefaults, UnreadableFileIsMovedAsideNotOverwritten) {
    ScratchFolder scratch;
    const QString path = scratch.file(QStringLiteral("Defaults.plist"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<?xml version=\"1.0\"?><plist><dict><key>x</key>");
    }
    HXLogging::Capture log;
    HXUserDefaults defaults(path);
    EXPECT_TRUE(log.contains(QStringLiteral("user defaults unreadable")));
    const QStringList aside = QDir(scratch.path()).entryList({QStringLiteral("Defaults.plist.unreadable-*")});
    ASSERT_EQ(aside.size(), 1);
    QFile kept(scratch.file(aside.first()));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_TRUE(kept.readAll().endsWith("<key>x</key>"));
    defaults.setBool(u"A", true);
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_TRUE(readFile(path)->boolForKey(u"A"));
}
