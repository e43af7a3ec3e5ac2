#include "PlistTestSupport.h"

#include "foundation/HXPropertyList.h"
#include "support/TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

using PlistTest::ProcessResult;

namespace {

ProcessResult tool(const QStringList& arguments) {
    return PlistTest::runProgram(QStringLiteral(QD_PLIST_TOOL), arguments);
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int lineCount(const QByteArray& text) {
    return static_cast<int>(text.count('\n'));
}

} // namespace

TEST(PlistTool, HelpAndUsageErrors) {
    const ProcessResult help = tool({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.standardOutput.contains("convert --xml|--binary IN OUT"));

    for (const QStringList& arguments :
         {QStringList{}, QStringList{QStringLiteral("check")},
          QStringList{QStringLiteral("frobnicate"), QStringLiteral("x")},
          QStringList{QStringLiteral("convert"), QStringLiteral("--yaml"), QStringLiteral("a"),
                      QStringLiteral("b")},
          QStringList{QStringLiteral("convert"), QStringLiteral("--xml"), QStringLiteral("a")}}) {
        const ProcessResult result = tool(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(result.standardError.startsWith("qualdern-plist: usage:"))
            << result.standardError.toStdString();
        EXPECT_EQ(lineCount(result.standardError), 1);
        EXPECT_TRUE(result.standardOutput.isEmpty());
    }
}

TEST(PlistTool, ConvertsBothWaysIntoPrivateFiles) {
    ScratchFolder folder;
    const HXValue sample = PlistTest::variedSample(false);
    const QString binary = folder.file(QStringLiteral("in.bplist"));
    writeFile(binary, HXPropertyList::writeBinary(sample).value_or(QByteArray()));

    const QString xml = folder.file(QStringLiteral("out.xml"));
    const ProcessResult toXML = tool({QStringLiteral("convert"), QStringLiteral("--xml"), binary, xml});
    ASSERT_EQ(toXML.exitCode, 0) << toXML.standardError.toStdString();
    const QByteArray xmlData = readFile(xml);
    EXPECT_TRUE(xmlData.startsWith("<?xml"));
    EXPECT_EQ(PlistTest::dump(HXPropertyList::readXML(xmlData).value, true), PlistTest::dump(sample, true));
    EXPECT_EQ(PlistTest::fileMode(xml), 0600);

    const QString back = folder.file(QStringLiteral("back.bplist"));
    const ProcessResult toBinary = tool({QStringLiteral("convert"), QStringLiteral("--binary"), xml, back});
    ASSERT_EQ(toBinary.exitCode, 0) << toBinary.standardError.toStdString();
    EXPECT_EQ(readFile(back), readFile(binary));
    EXPECT_EQ(PlistTest::fileMode(back), 0600);
}

TEST(PlistTool, ChecksGoodAndBadFiles) {
    ScratchFolder folder;
    const QString binary = folder.file(QStringLiteral("good.bplist"));
    const QString xml = folder.file(QStringLiteral("good.xml"));
    auto dictionary = HXDictionary::create();
    dictionary->setValue(HXKey(u"Version"), 1295);
    dictionary->setValue(HXKeys::ActiveLog, HXArray::createWithDoubles({1.0, -2.0, 3.0}));
    writeFile(binary, HXPropertyList::writeBinary(HXValue(dictionary)).value_or(QByteArray()));
    writeFile(xml, HXPropertyList::writeXML(HXValue(dictionary)).value_or(QByteArray()));

    const ProcessResult goodBinary = tool({QStringLiteral("check"), binary});
    EXPECT_EQ(goodBinary.exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(goodBinary.standardOutput),
              binary + QStringLiteral(": binary property list, dictionary of 2 keys, 8 values\n"));
    const ProcessResult goodXML = tool({QStringLiteral("check"), xml});
    EXPECT_EQ(goodXML.exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(goodXML.standardOutput),
              xml + QStringLiteral(": XML property list, dictionary of 2 keys, 8 values\n"));

    const QString bad = folder.file(QStringLiteral("bad.bplist"));
    QByteArray damaged = readFile(binary);
    damaged.chop(3);
    writeFile(bad, damaged);
    for (const QString& path : {bad, folder.file(QStringLiteral("missing.plist"))}) {
        const ProcessResult result = tool({QStringLiteral("check"), path});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(result.standardOutput.isEmpty());
        EXPECT_TRUE(
            result.standardError.startsWith(QStringLiteral("qualdern-plist: %1: ").arg(path).toUtf8()))
            << result.standardError.toStdString();
        EXPECT_EQ(lineCount(result.standardError), 1);
    }
}

TEST(PlistTool, FailedConversionsWriteNothing) {
    ScratchFolder folder;
    const QString withNull = folder.file(QStringLiteral("null.bplist"));
    writeFile(withNull, HXPropertyList::writeBinary(PlistTest::variedSample(true)).value_or(QByteArray()));
    const QString out = folder.file(QStringLiteral("out.xml"));
    const ProcessResult nullToXML = tool({QStringLiteral("convert"), QStringLiteral("--xml"), withNull, out});
    EXPECT_EQ(nullToXML.exitCode, 1);
    EXPECT_TRUE(nullToXML.standardError.contains("null")) << nullToXML.standardError.toStdString();
    EXPECT_FALSE(QFile::exists(out));

    const QString garbage = folder.file(QStringLiteral("garbage.xml"));
    writeFile(garbage, "<plist><dict><key>a</key></dict></plist>");
    EXPECT_EQ(tool({QStringLiteral("convert"), QStringLiteral("--binary"), garbage, out}).exitCode, 1);
    EXPECT_FALSE(QFile::exists(out));

    const ProcessResult noFolder = tool({QStringLiteral("convert"), QStringLiteral("--binary"), withNull,
                                         folder.file(QStringLiteral("missing/out.bplist"))});
    EXPECT_EQ(noFolder.exitCode, 1);
    EXPECT_EQ(lineCount(noFolder.standardError), 1);
}

TEST(PlistTool, SpecialFilesAreRefusedAtOnce) {
    ScratchFolder folder;
    const QString fifo = folder.file(QStringLiteral("pipe.plist"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const auto& [path, reason] : {std::pair{QStringLiteral("/dev/zero"), QByteArray("is a device")},
                                       std::pair{fifo, QByteArray("is a named pipe")},
                                       std::pair{folder.path(), QByteArray("is a folder")}}) {
        const ProcessResult check = tool({QStringLiteral("check"), path});
        EXPECT_EQ(check.exitCode, 1) << path.toStdString();
        EXPECT_EQ(check.standardError, "qualdern-plist: " + QFile::encodeName(path) + ": " + reason + '\n');
        const ProcessResult convert = tool(
            {QStringLiteral("convert"), QStringLiteral("--xml"), path, folder.file(QStringLiteral("out"))});
        EXPECT_EQ(convert.exitCode, 1);
    }
    // Nor is a special file written over.
    writeFile(folder.file(QStringLiteral("in.plist")),
              HXPropertyList::writeXML(PlistTest::variedSample(false)).value_or(QByteArray()));
    const ProcessResult onto = tool({QStringLiteral("convert"), QStringLiteral("--binary"),
                                     folder.file(QStringLiteral("in.plist")), fifo});
    EXPECT_EQ(onto.exitCode, 1);
    EXPECT_TRUE(onto.standardError.contains("is not a regular file")) << onto.standardError.toStdString();
}
