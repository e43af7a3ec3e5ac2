#include "PlistTestSupport.h"

#include "foundation/HXArray.h"
#include "foundation/HXDictionary.h"
#include "foundation/HXPropertyList.h"

#include <QStringEncoder>

#include <gtest/gtest.h>

#include <cmath>

using PlistTest::dump;

namespace {

QByteArray document(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n" +
           body + "\n</plist>\n";
}

HXValue readOK(const QByteArray& body) {
    const HXPropertyListResult result = HXPropertyList::readXML(document(body));
    EXPECT_TRUE(result.ok()) << result.error.toStdString() << " in " << body.toStdString();
    return result.value;
}

} // namespace

TEST(XMLPropertyList, ReadsEntitiesCDATACommentsAndWhitespace) {
    const HXValue value = readOK("<!-- a comment --><dict>\n\t<key>a &amp; b</key>\n"
                                 "<string>&lt;&gt;&amp;&quot;&apos; &#233;&#x1F600;</string>"
                                 "<key>cdata</key><string><![CDATA[<not markup> & more]]> and text</string>"
                                 "<key>split</key><string>one<!-- inside -->two</string>"
                                 "<key>spaces</key><string>  kept  </string>"
                                 "<key>empty</key><string/>"
                                 "</dict>");
    const HXDictionaryRef dictionary = value.toDictionary();
    ASSERT_TRUE(dictionary);
    EXPECT_EQ(dictionary->stringForKey(HXKey(u"a & b")),
              QString::fromUtf8("<>&\"' \xC3\xA9\xF0\x9F\x98\x80"));
    EXPECT_EQ(dictionary->stringForKey(HXKey(u"cdata")), QStringLiteral("<not markup> & more and text"));
    EXPECT_EQ(dictionary->stringForKey(HXKey(u"split")), QStringLiteral("onetwo"));
    EXPECT_EQ(dictionary->stringForKey(HXKey(u"spaces")), QStringLiteral("  kept  "));
    EXPECT_TRUE(dictionary->contains(HXKey(u"empty")));
}

TEST(XMLPropertyList, ReadsNumberAndDateSpellings) {
    const HXValue reals =
        readOK("<array><real>nan</real><real>NaN</real><real>inf</real><real>+inf</real>"
               "<real>-inf</real><real>Infinity</real><real>-infinity</real><real> 2.5 </real>"
               "<real>1e+16</real><real>1.</real><real>.5</real><real>+3</real><real>-0.0</real>"
               "<real>5e-324</real></array>");
    const HXArrayRef array = reals.toArray();
    ASSERT_TRUE(array);
    EXPECT_TRUE(array->isPacked());
    const std::vector<double> numbers(array->doubles().begin(), array->doubles().end());
    ASSERT_EQ(numbers.size(), 14u);
    EXPECT_TRUE(std::isnan(numbers[0]) && std::isnan(numbers[1]));
    EXPECT_EQ(numbers[2], HUGE_VAL);
    EXPECT_EQ(numbers[3], HUGE_VAL);
    EXPECT_EQ(numbers[4], -HUGE_VAL);
    EXPECT_EQ(numbers[5], HUGE_VAL);
    EXPECT_EQ(numbers[6], -HUGE_VAL);
    EXPECT_EQ(numbers[7], 2.5);
    EXPECT_EQ(numbers[8], 1e16);
    EXPECT_EQ(numbers[9], 1.0);
    EXPECT_EQ(numbers[10], 0.5);
    EXPECT_EQ(numbers[11], 3.0);
    EXPECT_TRUE(numbers[12] == 0.0 && std::signbit(numbers[12]));
    EXPECT_EQ(numbers[13], 5e-324);

    const HXValue integers = readOK("<array><integer> 42 </integer><integer>-7</integer><integer>+7</integer>"
                                    "<integer>0x1F</integer><integer>0XfF</integer>"
                                    "<integer>18446744073709551615</integer>"
                                    "<integer>-9223372036854775808</integer></array>");
    EXPECT_EQ(dump(integers), std::string("[int:42,int:-7,int:7,int:31,int:255,int:18446744073709551615,"
                                          "int:-9223372036854775808]"));

    const HXValue dates =
        readOK("<array><date>2020-05-17T03:04:05Z</date><date>2020Z</date><date>2020-05Z</date>"
               "<date>2020-05-17Z</date><date>2020-05-17T03Z</date><date>2020-05-17T03:04Z</date>"
               "<date>1969-12-31T23:59:59Z</date></array>");
    const HXArrayRef dateArray = dates.toArray();
    ASSERT_TRUE(dateArray);
    EXPECT_EQ(dateArray->at(0).toDate(), HXDate::fromUnixTime(1589684645));
    EXPECT_EQ(dateArray->at(1).toDate(), HXDate::fromUnixTime(1577836800));
    EXPECT_EQ(dateArray->at(2).toDate(), HXDate::fromUnixTime(1588291200));
    EXPECT_EQ(dateArray->at(3).toDate(), HXDate::fromUnixTime(1589673600));
    EXPECT_EQ(dateArray->at(4).toDate(), HXDate::fromUnixTime(1589684400));
    EXPECT_EQ(dateArray->at(5).toDate(), HXDate::fromUnixTime(1589684640));
    EXPECT_EQ(dateArray->at(6).toDate(), HXDate::fromUnixTime(-1));
}

TEST(XMLPropertyList, ReadsDataBooleansAndOtherEncodings) {
    const HXValue value = readOK("<array><data>\n\tAAEC\n\tAw==\n</data><data></data><true/><false></false>"
                                 "<true> </true></array>");
    EXPECT_EQ(dump(value), "[data:00010203,data:,true,false,true]");

    QStringEncoder toUTF16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    const QByteArray utf16 =
        toUTF16(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><plist version=\"1.0\">"
                               "<string>\u00E9t\u00E9</string></plist>"));
    const HXPropertyListResult result = HXPropertyList::readXML(utf16);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.value.toString(), QStringLiteral("\u00E9t\u00E9"));
    EXPECT_TRUE(HXPropertyList::read(utf16).ok());
}

TEST(XMLPropertyList, DuplicateKeysKeepTheLaterValue) {
    const HXValue value = readOK("<dict><key>a</key><integer>1</integer><key>b</key><integer>2</integer>"
                                 "<key>a</key><integer>3</integer></dict>");
    const HXDictionaryRef dictionary = value.toDictionary();
    ASSERT_TRUE(dictionary);
    EXPECT_EQ(dictionary->count(), 2);
    EXPECT_EQ(dictionary->integerForKey(HXKey(u"a")), 3);
}

TEST(XMLPropertyList, WritesPlistlibLayout) {
    auto dictionary = HXDictionary::create();
    dictionary->setValue(HXKey(u"Name"), QStringLiteral("A & B <c>"));
    dictionary->setValue(HXKeys::ActiveLog, HXArray::createWithDoubles({1.0, -2.5, 1e16}));
    dictionary->setValue(HXKey(u"Count"), 3);
    dictionary->setValue(HXKey(u"On"), true);
    dictionary->setValue(HXKey(u"Empty"), HXArray::create());
    dictionary->setValue(HXKey(u"Blob"), QByteArray("\x00\x01\x02", 3));
    dictionary->setValue(HXKey(u"When"), HXDate::fromUnixTime(1589684645.9));
    const std::optional<QByteArray> xml = HXPropertyList::writeXML(HXValue(dictionary));
    ASSERT_TRUE(xml);
    EXPECT_EQ(xml->toStdString(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                  "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                  "<plist version=\"1.0\">\n"
                                  "\t<dict>\n"
                                  "\t\t<key>Name</key>\n"
                                  "\t\t<string>A &amp; B &lt;c&gt;</string>\n"
                                  "\t\t<key>Active Log</key>\n"
                                  "\t\t<array>\n"
                                  "\t\t\t<real>1.0</real>\n"
                                  "\t\t\t<real>-2.5</real>\n"
                                  "\t\t\t<real>1e+16</real>\n"
                                  "\t\t</array>\n"
                                  "\t\t<key>Count</key>\n"
                                  "\t\t<integer>3</integer>\n"
                                  "\t\t<key>On</key>\n"
                                  "\t\t<true/>\n"
                                  "\t\t<key>Empty</key>\n"
                                  "\t\t<array/>\n"
                                  "\t\t<key>Blob</key>\n"
                                  "\t\t<data>\n"
                                  "\t\tAAEC\n"
                                  "\t\t</data>\n"
                                  "\t\t<key>When</key>\n"
                                  "\t\t<date>2020-05-17T03:04:05Z</date>\n"
                                  "\t</dict>\n"
                                  "</plist>\n");
}

TEST(XMLPropertyList, WriterRefusesWhatXMLCannotHoldAndKeepsCarriageReturns) {
    QString error;
    EXPECT_FALSE(HXPropertyList::writeXML(HXValue(), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("null"))) << error.toStdString();
    error.clear();
    EXPECT_FALSE(HXPropertyList::writeXML(HXValue(HXArray::createWithValues({1, HXValue()})), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("null"))) << error.toStdString();
    error.clear();
    EXPECT_FALSE(HXPropertyList::writeXML(HXValue(QStringLiteral("bell \a")), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("U+0007"))) << error.toStdString();
    auto badKey = HXDictionary::create();
    badKey->setValue(HXKey(QStringLiteral("nul \x01")), 1);
    EXPECT_FALSE(HXPropertyList::writeXML(HXValue(badKey)));

    const QString text = QStringLiteral("one\rtwo\r\nthree\n\tfour");
    const std::optional<QByteArray> xml = HXPropertyList::writeXML(text);
    ASSERT_TRUE(xml);
    EXPECT_TRUE(xml->contains("one&#13;two&#13;\nthree")) << xml->toStdString();
    EXPECT_EQ(HXPropertyList::readXML(*xml).value.toString(), text);
}
