#include "PlistTestSupport.h"

#include "foundation/HXArray.h"
#include "foundation/HXDictionary.h"
#include "foundation/HXPropertyList.h"
#include "support/TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

// Python's plistlib is the independent oracle: files it writes must read as the same values here, and
// files written here must read as the same values there. Both sides print the canonical dump.

namespace {

class PlistlibConformance : public ::testing::Test {
protected:
    void SetUp() override {
        m_python = PlistTest::python3();
        ASSERT_FALSE(m_python.isEmpty()) << "python3 is needed as the reference for property lists";
    }

    // Runs the helper script; its standard output, trimmed.
    std::string oracle(const QStringList& arguments) {
        const PlistTest::ProcessResult result =
            PlistTest::runProgram(m_python, QStringList{PlistTest::oracleScript()} + arguments);
        EXPECT_EQ(result.exitCode, 0) << result.standardError.toStdString();
        return result.standardOutput.trimmed().toStdString();
    }

    static HXPropertyListResult readFile(const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        return HXPropertyList::read(file.readAll());
    }

    void checkWrittenByPlistlib(const QString& sample, const QString& format) {
        const QString path = m_folder.file(sample + u'.' + format);
        const std::string expected = oracle({QStringLiteral("write"), sample, format, path});
        ASSERT_FALSE(expected.empty());
        const HXPropertyListResult result = readFile(path);
        ASSERT_TRUE(result.ok()) << result.error.toStdString();
        EXPECT_EQ(result.format,
                  format == u"binary" ? HXPropertyListFormat::Binary : HXPropertyListFormat::XML);
        EXPECT_EQ(PlistTest::dump(result.value), expected)
            << sample.toStdString() << " " << format.toStdString();
    }

    void checkReadByPlistlib(const HXValue& value, HXPropertyListFormat format, const QString& name) {
        QString error;
        const std::optional<QByteArray> data = format == HXPropertyListFormat::Binary
                                                   ? HXPropertyList::writeBinary(value, &error)
                                                   : HXPropertyList::writeXML(value, &error);
        ASSERT_TRUE(data) << error.toStdString();
        const QString path = m_folder.file(name);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(*data);
        file.close();
        EXPECT_EQ(oracle({QStringLiteral("dump"), path}), PlistTest::dump(value)) << name.toStdString();
    }

    QString m_python;
    ScratchFolder m_folder;
};

} // namespace

TEST_F(PlistlibConformance, ReadsWhatPlistlibWrites) {
    for (const QString& sample : {QStringLiteral("varied"), QStringLiteral("large")}) {
        for (const QString& format : {QStringLiteral("binary"), QStringLiteral("xml")})
            checkWrittenByPlistlib(sample, format);
    }
}

TEST_F(PlistlibConformance, PlistlibEventLogsLoadPacked) {
    const QString path = m_folder.file(QStringLiteral("varied.bplist"));
    oracle({QStringLiteral("write"), QStringLiteral("varied"), QStringLiteral("binary"), path});
    const HXPropertyListResult result = readFile(path);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    const HXDictionaryRef sample = result.value.toDictionary();
    ASSERT_TRUE(sample);
    EXPECT_TRUE(sample->arrayForKey(HXKey(u"event log"))->isPacked());
    EXPECT_FALSE(sample->arrayForKey(HXKey(u"mixed"))->isPacked());
    EXPECT_FALSE(sample->arrayForKey(HXKey(u"integer array"))->isPacked());
}

TEST_F(PlistlibConformance, PlistlibReadsWhatWeWrite) {
    checkReadByPlistlib(PlistTest::variedSample(true), HXPropertyListFormat::Binary,
                        QStringLiteral("ours.bplist"));
    checkReadByPlistlib(PlistTest::variedSample(false), HXPropertyListFormat::XML,
                        QStringLiteral("ours.xml"));
    checkReadByPlistlib(PlistTest::largeSample(), HXPropertyListFormat::Binary,
                        QStringLiteral("large.bplist"));
    checkReadByPlistlib(PlistTest::largeSample(), HXPropertyListFormat::XML, QStringLiteral("large.xml"));
    checkReadByPlistlib(PlistTest::nestedArrays(HXPropertyList::kMaximumDepth), HXPropertyListFormat::Binary,
                        QStringLiteral("deep.bplist"));
}
