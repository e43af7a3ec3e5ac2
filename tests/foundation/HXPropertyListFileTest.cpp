#include "PlistTestSupport.h"

#include "foundation/HXDictionary.h"
#include "foundation/HXPropertyList.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

HXValue readBack(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return HXPropertyList::readBinary(file.readAll()).value;
}

HXValue configuration(int version) {
    auto dictionary = HXDictionary::create();
    dictionary->setValue(HXKey(u"Version"), version);
    dictionary->setValue(HXKeys::ActiveLog, HXArray::createWithDoubles({1.0, -2.0}));
    return HXValue(dictionary);
}

} // namespace

TEST(PropertyListFile, AtomicWriteIsPrivateReplacesAndLeavesNoTemporaryFile) {
    ScratchFolder folder;
    const QString path = folder.file(QStringLiteral("Default.plist"));
    ASSERT_TRUE(writeToBinaryFile(configuration(1), path, true));
    EXPECT_EQ(PlistTest::fileMode(path), 0600);
    EXPECT_EQ(PlistTest::dump(readBack(path)), PlistTest::dump(configuration(1)));

    ASSERT_TRUE(writeToBinaryFile(configuration(1295), path, true));
    EXPECT_EQ(PlistTest::dump(readBack(path)), PlistTest::dump(configuration(1295)));
    EXPECT_EQ(PlistTest::fileMode(path), 0600);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Default.plist")});
}

TEST(PropertyListFile, UnwritableValueLeavesTheFileAlone) {
    ScratchFolder folder;
    const QString path = folder.file(QStringLiteral("Default.plist"));
    ASSERT_TRUE(writeToBinaryFile(configuration(7), path, true));
    EXPECT_FALSE(writeToBinaryFile(PlistTest::nestedArrays(HXPropertyList::kMaximumDepth + 1), path, true));
    EXPECT_EQ(PlistTest::dump(readBack(path)), PlistTest::dump(configuration(7)));
    EXPECT_FALSE(
        writeToBinaryFile(configuration(7), folder.file(QStringLiteral("missing/Default.plist")), true));
}

TEST(PropertyListFile, DirectWriteIsPrivateToo) {
    ScratchFolder folder;
    const QString path = folder.file(QStringLiteral("direct.plist"));
    ASSERT_TRUE(writeToBinaryFile(configuration(3), path, false));
    EXPECT_EQ(PlistTest::fileMode(path), 0600);
    EXPECT_EQ(PlistTest::dump(readBack(path)), PlistTest::dump(configuration(3)));
}
