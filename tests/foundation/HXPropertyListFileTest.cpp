#include "PlistTestSupport.h"

#include "foundation/HXAtomicFile.h"
#include "foundation/HXDictionary.h"
#include "foundation/HXMappedFile.h"
#include "foundation/HXPropertyList.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <random>

#include <sys/stat.h>

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

TEST(PropertyListFile, FileCutShortOrRewrittenWhileMappedReadsAsItWasOpened) {
    // Another program rewriting the file in place (cp over it) cuts it short under the reader: the bytes
    // being read stay those of the file as it was opened, and nothing faults.
    ScratchFolder folder;
    const QString path = folder.file(QStringLiteral("Default.plist"));
    const HXValue written = manyRecords();
    ASSERT_TRUE(writeToBinaryFile(written, path, true));
    const QByteArray original = contents(path);
    const HXMappedFile file(path);
    ASSERT_TRUE(file.isReadable()) << file.errorString().toStdString();
    ASSERT_TRUE(file.isMapped());
    {
        QFile rewrite(path);
        ASSERT_TRUE(rewrite.open(QIODevice::WriteOnly | QIODevice::Truncate));
        rewrite.write(QByteArray(100, 'x'));
    }
    file.release(0, static_cast<quint64>(original.size()));
    EXPECT_TRUE(file.bytes() == QByteArrayView(original));
    const HXPropertyListResult result =
        HXPropertyList::read(file.bytes(), [&file](quint64 from, quint64 to) { file.release(from, to); });
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_TRUE(*result.value.toDictionary() == *written.toDictionary());
    // No copy is left behind.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Default.plist")});
}

TEST(PropertyListFile, OnlyRegularFilesAreReadAndMissingIsToldApartFromUnreadable) {
    ScratchFolder folder;
    const QString fifo = folder.file(QStringLiteral("pipe.plist"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString dangling = folder.file(QStringLiteral("dangling.plist"));
    ASSERT_TRUE(QFile::link(folder.file(QStringLiteral("nowhere")), dangling));
    const QString toZero = folder.file(QStringLiteral("zero.plist"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), toZero));
    const std::vector<std::pair<QString, QString>> unreadable{
        {fifo, QStringLiteral("is a named pipe")},
        {toZero, QStringLiteral("is a device")},
        {folder.path(), QStringLiteral("is a folder")},
        {dangling, QStringLiteral("is a link to a missing file")},
    };
    for (const auto& [path, reason] : unreadable) {
        const HXMappedFile mapped(path);
        EXPECT_FALSE(mapped.isReadable()) << path.toStdString();
        EXPECT_EQ(mapped.status(), HXRegularFile::Status::Unreadable) << path.toStdString();
        EXPECT_EQ(mapped.errorString(), reason);
        QString error;
        EXPECT_FALSE(HXReadRegularFile(path, &error));
        EXPECT_EQ(error, reason);
        EXPECT_FALSE(HXDictionary::deeplyMutableDictionaryWithContentsOfFile(path));
    }
    const HXMappedFile missing(folder.file(QStringLiteral("missing.plist")));
    EXPECT_EQ(missing.status(), HXRegularFile::Status::Missing);

    // A size limit far above any configuration, said plainly.
    const QString small = folder.file(QStringLiteral("small.plist"));
    ASSERT_TRUE(writeToBinaryFile(configuration(7), small, true));
    QString error;
    EXPECT_FALSE(HXReadRegularFile(small, &error, 8));
    EXPECT_EQ(error, u"larger than 8 bytes");
    EXPECT_EQ(HXRegularFile(small, HXRegularFile::kSizeLimit).errorString(), QString());
    EXPECT_TRUE(HXReadRegularFile(small));
}

TEST(PropertyListFile, FileRewrittenInPlaceAfterOpeningIsSeenAsChanged) {
    ScratchFolder folder;
    const QString path = folder.file(QStringLiteral("Default.plist"));
    ASSERT_TRUE(writeToBinaryFile(configuration(7), path, true));
    HXRegularFile file(path);
    ASSERT_TRUE(file.isOpen());
    EXPECT_TRUE(file.isUnchanged());
    {
        QFile rewrite(path);
        ASSERT_TRUE(rewrite.open(QIODevice::WriteOnly | QIODevice::Truncate));
        rewrite.write("<plist><dict/></plist>");
    }
    EXPECT_FALSE(file.isUnchanged());
    QByteArray data;
    EXPECT_FALSE(file.readAll(data));
    EXPECT_EQ(file.errorString(), u"changed while being read");
}

TEST(PropertyListFile, AtomicWriteNeverReplacesAFolderPipeOrDevice) {
    ScratchFolder folder;
    const QString fifo = folder.file(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString link = folder.file(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), link));
    const QString sub = folder.file(QStringLiteral("sub"));
    ASSERT_TRUE(QDir().mkdir(sub));
    for (const QString& path : {fifo, link, sub}) {
        QString error;
        EXPECT_FALSE(HXAtomicFile::write(path, "data", true, &error)) << path.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
    struct stat s {};
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &s), 0);
    EXPECT_TRUE(S_ISFIFO(s.st_mode));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    ASSERT_EQ(::stat("/dev/null", &s), 0);
    EXPECT_TRUE(S_ISCHR(s.st_mode));
    // Through a link to a regular file, the file itself is replaced and the link stays.
    const QString target = folder.file(QStringLiteral("target.plist"));
    const QString toTarget = folder.file(QStringLiteral("to-target.plist"));
    ASSERT_TRUE(writeToBinaryFile(configuration(1), target, true));
    ASSERT_TRUE(QFile::link(target, toTarget));
    ASSERT_TRUE(writeToBinaryFile(configuration(2), toTarget, true));
    EXPECT_TRUE(QFileInfo(toTarget).isSymLink());
    EXPECT_EQ(PlistTest::dump(readBack(target)), PlistTest::dump(configuration(2)));
}

TEST(PropertyListFile, ReplacingKeepsTheOwnersPermissionsUnlessThePrivateWriteIsAsked) {
    ScratchFolder folder;
    const QString path = folder.file(QStringLiteral("shared.png"));
    ASSERT_TRUE(HXAtomicFile::write(path, "one"));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadGroup | QFileDevice::ReadOther));
    ASSERT_TRUE(HXAtomicFile::write(path, "two"));
    EXPECT_EQ(PlistTest::fileMode(path), 0644);
    ASSERT_TRUE(HXAtomicFile::writePrivate(path, "three"));
    EXPECT_EQ(PlistTest::fileMode(path), 0600);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("three"));
    EXPECT_FALSE(HXAtomicFile::writePrivate(folder.file(QStringLiteral("missing/x.png")), "x"));
}
