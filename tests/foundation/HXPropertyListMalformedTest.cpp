#include "PlistTestSupport.h"

#include "foundation/HXArray.h"
#include "foundation/HXPropertyList.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

using PlistTest::asciiString;
using PlistTest::marker;
using PlistTest::RawBinaryPlist;
using PlistTest::ref;

namespace {

struct Corrupt {
    const char* name;
    QByteArray data;
    const char* errorFragment;
};

RawBinaryPlist plistOf(std::vector<QByteArray> objects, int refSize = 1) {
    RawBinaryPlist plist;
    plist.objects = std::move(objects);
    plist.refSize = refSize;
    return plist;
}

QByteArray withTrailer(RawBinaryPlist plist, std::int64_t objectCount, std::int64_t tableOffset,
                       int offsetSize, int refSize, std::uint64_t top = 0) {
    plist.objectCount = objectCount;
    plist.tableOffset = tableOffset;
    plist.topObject = top;
    QByteArray data = plist.bytes();
    data[data.size() - 26] = static_cast<char>(offsetSize);
    data[data.size() - 25] = static_cast<char>(refSize);
    return data;
}

// Every container doubles the one below it: 2^40 elements if read naively.
QByteArray expandingArrays() {
    RawBinaryPlist plist;
    for (int i = 0; i < 40; ++i)
        plist.objects.push_back(marker(0xA2) + ref(static_cast<std::uint64_t>(i + 1)) +
                                ref(static_cast<std::uint64_t>(i + 1)));
    plist.objects.push_back(asciiString("x"));
    return plist.bytes();
}

std::vector<Corrupt> corruptBinaryInputs() {
    const RawBinaryPlist valid =
        plistOf({marker(0xA2) + ref(1) + ref(2), asciiString("ab"), marker(0x10) + "\x05"});
    QByteArray beyondTable = valid.bytes();
    beyondTable[beyondTable.size() - 32 - 3] = '\x7F'; // offset of object 0 points past the objects
    return {
        {"empty", QByteArray(), "truncated"},
        {"header only", QByteArray("bplist00"), "truncated"},
        {"bad magic", QByteArray("bplist01") + valid.bytes().mid(8), "header"},
        {"truncated trailer", valid.bytes().chopped(5), nullptr},
        {"offset size 0", withTrailer(valid, -1, -1, 0, 1), "offset size"},
        {"offset size 9", withTrailer(valid, -1, -1, 9, 1), "offset size"},
        {"reference size 0", withTrailer(valid, -1, -1, 1, 0), "reference size"},
        {"no objects", withTrailer(valid, 0, -1, 1, 1), "no objects"},
        {"top object out of range", withTrailer(valid, -1, -1, 1, 1, 3), "top object"},
        {"table beyond the data", withTrailer(valid, -1, 4000, 1, 1), "offset table"},
        {"table inside the header", withTrailer(valid, -1, 4, 1, 1), "offset table"},
        {"more objects than the table holds", withTrailer(valid, 1000000, -1, 1, 1), "do not fit"},
        {"huge object count", withTrailer(valid, INT64_MAX, -1, 8, 8), "do not fit"},
        {"offset beyond the objects", beyondTable, "outside the data"},
        {"reference out of range", plistOf({marker(0xA1) + ref(9)}).bytes(), "out of range"},
        {"array contains itself", plistOf({marker(0xA2) + ref(1) + ref(0), asciiString("a")}).bytes(),
         "itself"},
        {"indirect cycle",
         plistOf(
             {marker(0xD1) + ref(1) + ref(2), asciiString("k"), marker(0xA2) + ref(3) + ref(0), marker(0x09)})
             .bytes(),
         "itself"},
        {"dictionary contains itself", plistOf({marker(0xD1) + ref(1) + ref(0), asciiString("k")}).bytes(),
         "itself"},
        {"absurd array count",
         plistOf({marker(0xAF) + marker(0x12) + QByteArray("\x7F\xFF\xFF\xFF", 4)}).bytes(), "overruns"},
        {"absurd dictionary count", plistOf({marker(0xDF) + marker(0x13) + QByteArray(8, '\x7F')}).bytes(),
         "overruns"},
        {"absurd string length", plistOf({marker(0x5F) + marker(0x11) + QByteArray("\xFF\xFF", 2)}).bytes(),
         "overruns"},
        {"absurd UTF-16 length", plistOf({marker(0x6F) + marker(0x13) + QByteArray(8, '\xFF')}).bytes(),
         "overruns"},
        {"absurd data length", plistOf({marker(0x4F) + marker(0x10) + QByteArray("\xFF", 1)}).bytes(),
         "overruns"},
        {"count marker not an integer", plistOf({marker(0x5F) + marker(0x23) + QByteArray(8, '\0')}).bytes(),
         "count"},
        {"count of 16 bytes", plistOf({marker(0x5F) + marker(0x14) + QByteArray(16, '\0')}).bytes(), "count"},
        {"non-ASCII byte in ASCII string", plistOf({marker(0x52) + "a\xE9"}).bytes(), "ASCII"},
        {"lone high surrogate", plistOf({marker(0x62) + QByteArray("\x00\x61\xD8\x00", 4)}).bytes(),
         "UTF-16"},
        {"lone low surrogate", plistOf({marker(0x61) + QByteArray("\xDC\x00", 2)}).bytes(), "UTF-16"},
        {"reversed surrogates", plistOf({marker(0x62) + QByteArray("\xDC\x00\xD8\x00", 4)}).bytes(),
         "UTF-16"},
        {"integer key", plistOf({marker(0xD1) + ref(1) + ref(1), marker(0x10) + "\x01"}).bytes(),
         "not a string"},
        {"data read as a value, then as a key",
         plistOf({marker(0xD2) + ref(1) + ref(2) + ref(2) + ref(3), asciiString("k"), marker(0x41) + "x",
                  marker(0x09)})
             .bytes(),
         "not a string"},
        {"integer of 32 bytes", plistOf({marker(0x15) + QByteArray(32, '\0')}).bytes(), "integer"},
        {"truncated integer", plistOf({marker(0x13) + QByteArray(3, '\0')}).bytes(), "truncated"},
        {"integer beyond 64 bits",
         plistOf({marker(0x14) + QByteArray("\0\0\0\0\0\0\0\1", 8) + QByteArray(8, '\0')}).bytes(), "64-bit"},
        {"negative integer beyond 64 bits",
         plistOf({marker(0x14) + QByteArray(8, '\xFF') + QByteArray(8, '\0')}).bytes(), "64-bit"},
        {"real of 2 bytes", plistOf({marker(0x21) + QByteArray(2, '\0')}).bytes(), "real"},
        {"truncated real", plistOf({marker(0x23) + QByteArray(4, '\0')}).bytes(), "truncated"},
        {"truncated real in an event log",
         plistOf({marker(0xA1) + ref(1), marker(0x23) + QByteArray(4, '\0')}).bytes(), "truncated"},
        {"date with the wrong size", plistOf({marker(0x32) + QByteArray(4, '\0')}).bytes(), "marker"},
        {"fill byte", plistOf({marker(0x0F)}).bytes(), "marker"},
        {"unknown marker", plistOf({marker(0x70)}).bytes(), "marker"},
        {"UID", plistOf({marker(0x80) + "\x01"}).bytes(), "UID"},
        {"set", plistOf({marker(0xC1) + ref(1), marker(0x09)}).bytes(), "sets"},
        {"ordered set", plistOf({marker(0xB0)}).bytes(), "sets"},
        {"too deep", PlistTest::nestedArraysBinary(HXPropertyList::kMaximumDepth + 1), "nesting"},
        {"shared containers expanding", expandingArrays(), "expand"},
    };
}

std::vector<Corrupt> corruptXMLInputs() {
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">";
    const auto plist = [&](const QByteArray& body) {
        return head + body + "</plist>";
    };
    return {
        {"empty", QByteArray(), nullptr},
        {"not XML", QByteArray("hello, world"), nullptr},
        {"wrong root", QByteArray("<?xml version=\"1.0\"?><dict></dict>"), "root"},
        {"empty plist", plist(""), "no value"},
        {"two values", plist("<true/><false/>"), "more than one"},
        {"unknown element", plist("<float>1</float>"), "unknown element"},
        {"text in a dictionary", plist("<dict>stray<key>a</key><true/></dict>"), "unexpected text"},
        {"text beside the value", plist("<true/>stray"), "unexpected text"},
        {"value without key", plist("<dict><string>a</string></dict>"), "key"},
        {"key without value", plist("<dict><key>a</key></dict>"), "no value"},
        {"unclosed", head + "<array><true/>", nullptr},
        {"mismatched tags", plist("<array><true/></dict>"), nullptr},
        {"element inside a string", plist("<string>a<b/>c</string>"), "unexpected <b>"},
        {"element inside a key", plist("<dict><key>a<b/></key><true/></dict>"), "unexpected <b>"},
        {"bad integer", plist("<integer>12a</integer>"), "integer"},
        {"empty integer", plist("<integer></integer>"), "integer"},
        {"integer too large", plist("<integer>18446744073709551616</integer>"), "integer"},
        {"integer too small", plist("<integer>-9223372036854775809</integer>"), "integer"},
        {"double sign", plist("<integer>--1</integer>"), "integer"},
        {"bad real", plist("<real>1.2.3</real>"), "real"},
        {"bad real in an event log", plist("<array><real>1</real><real>x</real></array>"), "real"},
        {"empty real", plist("<real/>"), "real"},
        {"real out of range", plist("<real>1e999</real>"), "real"},
        {"bad month", plist("<date>2020-13-01T00:00:00Z</date>"), "date"},
        {"bad day", plist("<date>2021-02-29T00:00:00Z</date>"), "date"},
        {"bad hour", plist("<date>2021-02-01T24:00:00Z</date>"), "date"},
        {"date without zone", plist("<date>2021-02-01T00:00:00</date>"), "date"},
        {"date with fraction", plist("<date>2021-02-01T00:00:00.5Z</date>"), "date"},
        {"bad base64", plist("<data>@@@@</data>"), "data"},
        {"text in true", plist("<true>yes</true>"), "true"},
        {"undeclared entity", plist("<string>&foo;</string>"), nullptr},
        {"content after plist", plist("<true/>") + "<true/>", nullptr},
        {"too deep", PlistTest::nestedArraysXML(HXPropertyList::kMaximumDepth + 1), "nesting"},
        {"bad character reference", plist("<string>&#0;</string>"), nullptr},
    };
}

void expectRefused(const HXPropertyListResult& result, const Corrupt& input) {
    EXPECT_FALSE(result.ok()) << input.name;
    EXPECT_FALSE(result.error.isEmpty()) << input.name;
    EXPECT_TRUE(result.value.isNull()) << input.name;
    if (input.errorFragment) {
        EXPECT_TRUE(result.error.contains(QString::fromUtf8(input.errorFragment)))
            << input.name << ": " << result.error.toStdString();
    }
}

// A changed file may still parse; then what it holds must be writable and read back the same.
void expectRefusedOrConsistent(const HXPropertyListResult& result) {
    if (!result.ok()) {
        EXPECT_TRUE(result.value.isNull());
        return;
    }
    const std::optional<QByteArray> again = HXPropertyList::writeBinary(result.value);
    ASSERT_TRUE(again);
    EXPECT_EQ(PlistTest::dump(HXPropertyList::readBinary(*again).value, true),
              PlistTest::dump(result.value, true));
}

QByteArray validBinary() {
    return HXPropertyList::writeBinary(PlistTest::variedSample(true)).value_or(QByteArray());
}

QByteArray validXML() {
    return HXPropertyList::writeXML(PlistTest::variedSample(false)).value_or(QByteArray());
}

} // namespace

TEST(MalformedPropertyList, BinaryReaderRefusesCorruptInputs) {
    for (const Corrupt& input : corruptBinaryInputs())
        expectRefused(HXPropertyList::readBinary(input.data), input);
}

TEST(MalformedPropertyList, XMLReaderRefusesCorruptInputs) {
    for (const Corrupt& input : corruptXMLInputs())
        expectRefused(HXPropertyList::readXML(input.data), input);
}

TEST(MalformedPropertyList, SharedContainersAreReadAsSeparateCopies) {
    // plistlib writes a list that appears twice only once; both places get their own array.
    const RawBinaryPlist plist =
        plistOf({marker(0xA2) + ref(1) + ref(1), marker(0xA1) + ref(2), marker(0x10) + "\x07"});
    const HXPropertyListResult result = HXPropertyList::readBinary(plist.bytes());
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    const HXArrayRef outer = result.value.toArray();
    EXPECT_EQ(PlistTest::dump(result.value), "[[int:7],[int:7]]");
    EXPECT_NE(outer->at(0).toArray(), outer->at(1).toArray());
}

TEST(MalformedPropertyList, EveryTruncationIsRefused) {
    const QByteArray binary = validBinary();
    for (qsizetype length = 0; length < binary.size(); ++length)
        ASSERT_FALSE(HXPropertyList::readBinary(binary.first(length)).ok()) << length;
    const QByteArray xml = validXML();
    // Only the final line break may go without losing part of the document.
    for (qsizetype length = 0; length + 1 < xml.size(); length += 7)
        ASSERT_FALSE(HXPropertyList::readXML(xml.first(length)).ok()) << length;
}

TEST(MalformedPropertyList, RandomDamageIsRefusedOrReadConsistently) {
    std::mt19937 random(20240229);
    const QByteArray binary = validBinary();
    const QByteArray xml = validXML();
    const auto started = std::chrono::steady_clock::now();
    for (int round = 0; round < 3000; ++round) {
        for (const QByteArray* original : {&binary, &xml}) {
            QByteArray damaged = *original;
            const int flips = 1 + static_cast<int>(random() % 4);
            for (int i = 0; i < flips; ++i) {
                const auto position = static_cast<qsizetype>(random() % static_cast<quint32>(damaged.size()));
                damaged[position] = static_cast<char>(damaged[position] ^ (1 << (random() % 8)));
            }
            if (random() % 4 == 0)
                damaged.truncate(static_cast<qsizetype>(random() % static_cast<quint32>(damaged.size())));
            expectRefusedOrConsistent(HXPropertyList::read(damaged));
        }
    }
    // Damage must never make a reader slow.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60));
}
