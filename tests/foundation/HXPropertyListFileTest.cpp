#include "PlistTestSupport.h"

#include "foundation/HXDictionary.h"
#include "foundation/HXMappedFile.h"
#include "foundation/HXPropertyList.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <random>

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

// Records with event logs, their names shared between records, large enough to be mapped.
HXValue manyRecords() {
    auto applications = HXDictionary::create();
    std::mt19937 random(7);
    for (int i = 0; i < 400; ++i) {
        auto application = HXDictionary::create();
        application->setValue(HXKeys::Name, QStringLiteral("Program %1").arg(i % 37));
        std::vector<double> log;
        double t = 1.7e9;
        for (int k = 0; k < 500; ++k) {
            t += static_cast<double>(random() % 100 + 1);
            log.push_back(t);
            t += static_cast<double>(random() % 100 + 1);
            log.push_back(-t);
        }
        application->setValue(HXKeys::ActiveLog, HXArray::createWithDoubles(std::move(log)));
        applications->setValue(QStringLiteral("program%1").arg(i), application);
    }
    auto root = HXDictionary::create();
    root->setValue(HXKey(u"Applications"), applications);
    return HXValue(root);
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(PropertyListFile, LargeFileIsMappedGivenBackWhileReadAndReadAlike) {
    ScratchFolder folder;
    const QString path = folder.file(QStringLiteral("Default.plist"));
    const HXValue written = manyRecords();
    ASSERT_TRUE(writeToBinaryFile(written, path, true));
    const QByteArray original = contents(path);
    ASSERT_GE(original.size(), HXMappedFile::kMappingThreshold);

    const HXMappedFile file(path);
    ASSERT_TRUE(file.isReadable());
    EXPECT_TRUE(file.isMapped());
    EXPECT_TRUE(file.bytes() == QByteArrayView(original));

    std::vector<std::pair<quint64, quint64>> given;
    const HXPropertyListResult result = HXPropertyList::read(file.bytes(), [&](quint64 from, quint64 to) {
        given.emplace_back(from, to);
        file.release(from, to);
    });
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_TRUE(*result.value.toDictionary() == *written.toDictionary());

    // Event logs are given back in large pieces within the data; together they are most of it.
    quint64 total = 0;
    for (const auto& [from, to] : given) {
        EXPECT_LT(from, to);
        EXPECT_LE(to, static_cast<quint64>(original.size()));
        EXPECT_GE(to - from, quint64{1} << 20);
        total += to - from;
    }
    EXPECT_GE(total, static_cast<quint64>(original.size()) / 2);

    // What was given back reads the same again, from the file.
    file.release(0, static_cast<quint64>(original.size()));
    EXPECT_TRUE(file.bytes() == QByteArrayView(original));
    EXPECT_TRUE(*HXPropertyList::read(file.bytes()).value.toDictionary() == *written.toDictionary());
}

TEST(PropertyListFile, SmallFileIsReadAndMissingFileSaysWhy) {
    ScratchFolder folder;
    const QString path = folder.file(QStringLiteral("small.plist"));
    ASSERT_TRUE(writeToBinaryFile(configuration(7), path, true));
    const HXMappedFile small(path);
    ASSERT_TRUE(small.isReadable());
    EXPECT_FALSE(small.isMapped());
    EXPECT_TRUE(small.bytes() == QByteArrayView(contents(path)));
    small.release(0, 1 << 20);
    EXPECT_EQ(PlistTest::dump(HXPropertyList::read(small.bytes()).value), PlistTest::dump(configuration(7)));

    const HXMappedFile missing(folder.file(QStringLiteral("missing.plist")));
    EXPECT_FALSE(missing.isReadable());
    EXPECT_FALSE(missing.errorString().isEmpty());
    EXPECT_TRUE(missing.bytes().isEmpty());
}

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
