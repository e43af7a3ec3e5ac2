#include "PlistTestSupport.h"

#include "foundation/HXArray.h"
#include "foundation/HXDictionary.h"
#include "foundation/HXPropertyList.h"

#include <gtest/gtest.h>

#include <limits>

using PlistTest::dump;

namespace {

HXValue throughBinary(const HXValue& value) {
    QString error;
    const std::optional<QByteArray> data = HXPropertyList::writeBinary(value, &error);
    EXPECT_TRUE(data.has_value()) << error.toStdString();
    if (!data)
        return {};
    const HXPropertyListResult result = HXPropertyList::readBinary(*data);
    EXPECT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.format, HXPropertyListFormat::Binary);
    return result.value;
}

HXValue throughXML(const HXValue& value) {
    QString error;
    const std::optional<QByteArray> data = HXPropertyList::writeXML(value, &error);
    EXPECT_TRUE(data.has_value()) << error.toStdString();
    if (!data)
        return {};
    const HXPropertyListResult result = HXPropertyList::readXML(*data);
    EXPECT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.format, HXPropertyListFormat::XML);
    return result.value;
}

QByteArray binaryOf(const HXValue& value) {
    return HXPropertyList::writeBinary(value).value_or(QByteArray());
}

// The marker and payload of a one-object file: the bytes between the header and the offset table.
QByteArray soleObject(const HXValue& value) {
    const QByteArray data = binaryOf(value);
    const int offsetSize = static_cast<uchar>(data[data.size() - 26]);
    return data.mid(8, data.size() - 8 - offsetSize - 32);
}

int trailerByte(const QByteArray& data, int index) {
    return static_cast<uchar>(data[data.size() - 32 + index]);
}

} // namespace

TEST(PropertyListRoundTrip, EveryTypeSurvivesEachFormatAndBoth) {
    const HXValue withNull = PlistTest::variedSample(true);
    EXPECT_EQ(dump(throughBinary(withNull), true), dump(withNull, true));

    const HXValue sample = PlistTest::variedSample(false);
    EXPECT_EQ(dump(throughXML(sample), true), dump(sample, true));
    const HXValue both = throughBinary(throughXML(throughBinary(sample)));
    EXPECT_EQ(dump(both, true), dump(sample, true));
    // The writer is deterministic: the same value gives the same bytes.
    EXPECT_EQ(binaryOf(both), binaryOf(sample));

    const HXValue large = PlistTest::largeSample();
    EXPECT_EQ(dump(throughBinary(large), true), dump(large, true));
    EXPECT_EQ(dump(throughXML(large), true), dump(large, true));
}

TEST(PropertyListRoundTrip, ScalarRootsAndInsertionOrder) {
    for (const HXValue& root : {HXValue(QStringLiteral("text")), HXValue(42), HXValue(2.5), HXValue(true),
                                HXValue(HXDate{12.0}), HXValue(QByteArray("raw"))}) {
        EXPECT_EQ(dump(throughBinary(root)), dump(root));
        EXPECT_EQ(dump(throughXML(root)), dump(root));
    }
    EXPECT_EQ(throughBinary(HXValue()).type(), HXValueType::Null);

    auto ordered = HXDictionary::create();
    for (const QString& key : {QStringLiteral("zeta"), QStringLiteral("alpha"), QStringLiteral("mu")})
        ordered->setValue(HXKey(key), key);
    const QStringList expected{QStringLiteral("zeta"), QStringLiteral("alpha"), QStringLiteral("mu")};
    EXPECT_EQ(throughBinary(HXValue(ordered)).toDictionary()->keys(), expected);
    EXPECT_EQ(throughXML(HXValue(ordered)).toDictionary()->keys(), expected);
}

TEST(PropertyListRoundTrip, IntegersKeepTheirTypeAndUseTheSmallestEncoding) {
    constexpr qint64 kMin = std::numeric_limits<qint64>::min();
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    constexpr quint64 kUnsignedMax = std::numeric_limits<quint64>::max();
    for (const HXValue& value : {HXValue(kMin), HXValue(kMax), HXValue(-1), HXValue(0)}) {
        EXPECT_EQ(throughBinary(value).type(), HXValueType::Integer);
        EXPECT_EQ(throughBinary(value).integerValue(), value.integerValue());
        EXPECT_EQ(throughXML(value).type(), HXValueType::Integer);
        EXPECT_EQ(throughXML(value).integerValue(), value.integerValue());
    }
    for (const HXValue& value : {HXValue(static_cast<quint64>(kMax) + 1), HXValue(kUnsignedMax)}) {
        ASSERT_EQ(value.type(), HXValueType::UnsignedInteger);
        EXPECT_EQ(throughBinary(value).type(), HXValueType::UnsignedInteger);
        EXPECT_EQ(throughBinary(value).unsignedValue(), value.unsignedValue());
        EXPECT_EQ(throughXML(value).type(), HXValueType::UnsignedInteger);
        EXPECT_EQ(throughXML(value).unsignedValue(), value.unsignedValue());
    }

    EXPECT_EQ(soleObject(255).toHex(), "10ff");
    EXPECT_EQ(soleObject(256).toHex(), "110100");
    EXPECT_EQ(soleObject(65536).toHex(), "1200010000");
    EXPECT_EQ(soleObject(4294967296LL).toHex(), "130000000100000000");
    EXPECT_EQ(soleObject(-2).toHex(), "13fffffffffffffffe");
    EXPECT_EQ(soleObject(HXValue(kUnsignedMax)).toHex(), "140000000000000000ffffffffffffffff");
    EXPECT_EQ(soleObject(2.5).toHex(), "234004000000000000");
    EXPECT_EQ(soleObject(HXDate{1.0}).toHex(), "333ff0000000000000");
}

TEST(PropertyListRoundTrip, DatesKeepFractionsInBinaryAndWholeSecondsInXML) {
    const HXDate fractional{86400.75};
    EXPECT_EQ(throughBinary(fractional).toDate(), fractional);
    EXPECT_EQ(throughXML(fractional).toDate(), HXDate{86400});
    EXPECT_EQ(throughXML(HXDate{-0.25}).toDate(), HXDate{-1});

    const QByteArray xml = HXPropertyList::writeXML(HXDate::fromUnixTime(951782400)).value_or(QByteArray());
    EXPECT_TRUE(xml.contains("<date>2000-02-29T00:00:00Z</date>")) << xml.toStdString();
    const QByteArray early =
        HXPropertyList::writeXML(HXDate::fromUnixTime(-62135596800)).value_or(QByteArray());
    EXPECT_TRUE(early.contains("<date>0001-01-01T00:00:00Z</date>")) << early.toStdString();
    EXPECT_EQ(throughXML(HXDate::fromUnixTime(-62135596800)).toDate(), HXDate::fromUnixTime(-62135596800));
    EXPECT_EQ(throughXML(HXDate::fromUnixTime(253402300799)).toDate(), HXDate::fromUnixTime(253402300799));

    QString error;
    EXPECT_FALSE(HXPropertyList::writeXML(HXDate::fromUnixTime(253402300800), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("date"))) << error.toStdString();
    EXPECT_FALSE(HXPropertyList::writeXML(HXDate{std::numeric_limits<double>::quiet_NaN()}));
}

TEST(PropertyListRoundTrip, CountsAroundTheInlineLimitAndBeyond) {
    for (qsizetype length : {0, 1, 14, 15, 255, 256, 65535, 65536}) {
        const QString ascii(length, u'a');
        const QString wide(length, QChar(0x00E9));
        const QByteArray data(length, '\x5A');
        const HXValue values = HXValue(HXArray::createWithValues({ascii, wide, data}));
        EXPECT_EQ(dump(throughBinary(values)), dump(values)) << length;
        EXPECT_EQ(dump(throughXML(values)), dump(values)) << length;
        std::vector<double> numbers(static_cast<std::size_t>(length), 0.5);
        const HXValue log(HXArray::createWithDoubles(numbers));
        EXPECT_EQ(dump(throughBinary(log), true), dump(log, true)) << length;
    }
    EXPECT_EQ(soleObject(QStringLiteral("abc")).toHex(), "53616263");
    EXPECT_EQ(soleObject(QString(15, u'x')).left(3).toHex(), "5f100f");
    EXPECT_EQ(soleObject(QString(1, QChar(0x00E9))).toHex(), "6100e9");
}

TEST(PropertyListRoundTrip, NestingUpToTheLimitWorksAndBeyondIsRefused) {
    const int limit = HXPropertyList::kMaximumDepth;
    for (int depth : {limit - 1, limit}) {
        const HXValue nested = PlistTest::nestedArrays(depth);
        EXPECT_EQ(dump(throughBinary(nested)), dump(nested)) << depth;
        EXPECT_EQ(dump(throughXML(nested)), dump(nested)) << depth;
        EXPECT_TRUE(HXPropertyList::readBinary(PlistTest::nestedArraysBinary(depth)).ok()) << depth;
        EXPECT_TRUE(HXPropertyList::readXML(PlistTest::nestedArraysXML(depth)).ok()) << depth;
    }
    QString error;
    const HXValue tooDeep = PlistTest::nestedArrays(limit + 1);
    EXPECT_FALSE(HXPropertyList::writeBinary(tooDeep, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("nesting"))) << error.toStdString();
    error.clear();
    EXPECT_FALSE(HXPropertyList::writeXML(tooDeep, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("nesting"))) << error.toStdString();

    for (const HXPropertyListResult& result :
         {HXPropertyList::readBinary(PlistTest::nestedArraysBinary(limit + 1)),
          HXPropertyList::readXML(PlistTest::nestedArraysXML(limit + 1))}) {
        EXPECT_FALSE(result.ok());
        EXPECT_TRUE(result.error.contains(QStringLiteral("nesting"))) << result.error.toStdString();
        EXPECT_TRUE(result.value.isNull());
    }

    // A container that holds itself would nest forever; the writers stop at the limit.
    auto loop = HXArray::create();
    loop->append(QStringLiteral("first"));
    loop->append(HXValue(loop));
    EXPECT_FALSE(HXPropertyList::writeBinary(HXValue(loop)));
    EXPECT_FALSE(HXPropertyList::writeXML(HXValue(loop)));
    loop->clear();
}

TEST(PropertyListRoundTrip, EventLogsStayPackedAndOtherArraysKeepTheirElements) {
    auto record = HXDictionary::create();
    record->setValue(HXKeys::ActiveLog, HXArray::createWithDoubles({1.5e9, -1.5e9 - 10, 1.6e9}));
    record->setValue(HXKeys::FrontActiveLog, HXArray::create());
    record->setValue(HXKey(u"Integers"), HXArray::createWithValues({1, 2}));
    record->setValue(HXKey(u"Mixed"), HXArray::createWithValues({1.5, 2, 2.5}));
    record->setValue(HXKey(u"Reals then text"), HXArray::createWithValues({1.5, QStringLiteral("x")}));
    for (const HXValue& copy : {throughBinary(HXValue(record)), throughXML(HXValue(record))}) {
        const HXDictionaryRef read = copy.toDictionary();
        ASSERT_TRUE(read);
        EXPECT_TRUE(read->arrayForKey(HXKeys::ActiveLog)->isPacked());
        EXPECT_EQ(read->arrayForKey(HXKeys::ActiveLog)->doubles().size(), 3u);
        EXPECT_TRUE(read->arrayForKey(HXKeys::FrontActiveLog)->isEmpty());
        const HXArrayRef integers = read->arrayForKey(HXKey(u"Integers"));
        EXPECT_FALSE(integers->isPacked());
        EXPECT_EQ(integers->at(0).type(), HXValueType::Integer);
        const HXArrayRef mixed = read->arrayForKey(HXKey(u"Mixed"));
        EXPECT_FALSE(mixed->isPacked());
        EXPECT_EQ(mixed->at(0).type(), HXValueType::Real);
        EXPECT_EQ(mixed->at(1).type(), HXValueType::Integer);
        EXPECT_EQ(mixed->at(2).type(), HXValueType::Real);
        EXPECT_EQ(dump(copy, true), dump(HXValue(record), true));
    }
}

TEST(PropertyListRoundTrip, WriterSharesStringsAndUsesTheSmallestTableWidths) {
    const QString title = QStringLiteral("A long window title that repeats in many records of the file");
    std::vector<HXValue> repeated(1000, HXValue(title));
    const QByteArray shared = binaryOf(HXValue(HXArray::createWithValues(repeated)));
    // One copy of the text, 1000 two-byte references, a few objects' offsets.
    EXPECT_LT(shared.size(), title.size() + 2 * 1000 + 200);

    const HXPropertyListResult read = HXPropertyList::readBinary(shared);
    ASSERT_TRUE(read.ok());
    const HXArrayRef strings = read.value.toArray();
    EXPECT_EQ(strings->at(0).toString(), title);
    EXPECT_EQ(strings->at(0).toString().constData(), strings->at(999).toString().constData());

    const QByteArray small = binaryOf(HXValue(HXArray::createWithValues({1, 2, 3})));
    EXPECT_EQ(trailerByte(small, 6), 1); // offsets
    EXPECT_EQ(trailerByte(small, 7), 1); // references
    std::vector<HXValue> three(300);
    for (int i = 0; i < 300; ++i)
        three[static_cast<std::size_t>(i)] = HXValue(i);
    const QByteArray medium = binaryOf(HXValue(HXArray::createWithValues(three)));
    EXPECT_EQ(trailerByte(medium, 6), 2);
    EXPECT_EQ(trailerByte(medium, 7), 2);
    const QByteArray large = binaryOf(PlistTest::largeSample());
    EXPECT_EQ(trailerByte(large, 6), 4);
    EXPECT_EQ(trailerByte(large, 7), 4);
}

TEST(PropertyListRoundTrip, UnpairedSurrogatesAreWrittenAsReplacementCharacters) {
    QString broken = QStringLiteral("a?b?");
    broken[1] = QChar(0xD800);
    broken[3] = QChar(0xDC00);
    const QString expected = QStringLiteral("a\uFFFDb\uFFFD");
    EXPECT_EQ(throughBinary(broken).toString(), expected);
    EXPECT_EQ(throughXML(broken).toString(), expected);
    const QString pair = QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(throughBinary(pair).toString(), pair);
}
