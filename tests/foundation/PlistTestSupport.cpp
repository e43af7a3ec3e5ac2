#include "PlistTestSupport.h"

#include "foundation/HXArray.h"
#include "foundation/HXBinaryPropertyListFormat.h"
#include "foundation/HXDictionary.h"
#include "foundation/HXPropertyListText.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include <sys/stat.h>

namespace {

// As Python's json.dumps with ensure_ascii.
QString quoted(const QString& text) {
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        const char16_t unit = c.unicode();
        switch (unit) {
        case u'"':
            out += QStringLiteral("\\\"");
            break;
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        case u'\b':
            out += QStringLiteral("\\b");
            break;
        case u'\f':
            out += QStringLiteral("\\f");
            break;
        default:
            if (unit < 0x20 || unit >= 0x80)
                out += QStringLiteral("\\u%1").arg(static_cast<uint>(unit), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + u'"';
}

HXDictionaryRef dictionaryOf(std::initializer_list<std::pair<QString, HXValue>> entries) {
    auto dictionary = HXDictionary::create();
    for (const auto& [key, value] : entries)
        dictionary->setValue(HXKey(key), value);
    return dictionary;
}

HXArrayRef arrayOf(std::vector<HXValue> values) {
    return HXArray::createWithValues(std::move(values));
}

} // namespace

namespace {

QString dumpText(const HXValue& value, bool markPacked) {
    switch (value.type()) {
    case HXValueType::Null:
        return QStringLiteral("null");
    case HXValueType::Bool:
        return value.boolValue() ? QStringLiteral("true") : QStringLiteral("false");
    case HXValueType::Integer:
        return QStringLiteral("int:%1").arg(value.integerValue());
    case HXValueType::UnsignedInteger:
        return QStringLiteral("int:%1").arg(value.unsignedValue());
    case HXValueType::Real:
        return QStringLiteral("real:") + HXPropertyListText::formatReal(value.realValue());
    case HXValueType::String:
        return QStringLiteral("str:") + quoted(value.toString());
    case HXValueType::Date:
        return QStringLiteral("date:%1").arg(std::llround(value.toDate().absoluteTime * 1e6));
    case HXValueType::Data:
        return QStringLiteral("data:") + QString::fromLatin1(value.toData().toHex());
    case HXValueType::Array: {
        const HXArray& array = *value.toArray();
        QStringList items;
        for (qsizetype i = 0; i < array.count(); ++i)
            items.append(dumpText(array.at(i), markPacked));
        const QString open = markPacked && array.isPacked() ? QStringLiteral("packed[") : QStringLiteral("[");
        return open + items.join(u',') + u']';
    }
    case HXValueType::Dictionary: {
        std::vector<std::pair<QString, QString>> items;
        for (const HXDictionary::Entry& entry : value.toDictionary()->entries())
            items.emplace_back(quoted(entry.key), dumpText(entry.value, markPacked));
        std::sort(items.begin(), items.end());
        QStringList texts;
        for (const auto& [key, text] : items)
            texts.append(key + u':' + text);
        return u'{' + texts.join(u',') + u'}';
    }
    }
    return {};
}

} // namespace

std::string PlistTest::dump(const HXValue& value, bool markPacked) {
    return dumpText(value, markPacked).toStdString();
}

QByteArray PlistTest::RawBinaryPlist::bytes() const {
    using namespace HXBinaryPropertyList;
    QByteArray out(kMagic, kHeaderSize);
    std::vector<std::uint64_t> offsets;
    for (const QByteArray& object : objects) {
        offsets.push_back(static_cast<std::uint64_t>(out.size()));
        out += object;
    }
    const auto table = static_cast<std::uint64_t>(out.size());
    for (std::uint64_t offset : offsets) {
        QByteArray field(offsetSize, '\0');
        writeBigEndian(reinterpret_cast<uchar*>(field.data()), offset, offsetSize);
        out += field;
    }
    QByteArray trailer(kTrailerSize, '\0');
    auto* t = reinterpret_cast<uchar*>(trailer.data());
    t[6] = static_cast<uchar>(offsetSize);
    t[7] = static_cast<uchar>(refSize);
    writeBigEndian(t + 8, objectCount < 0 ? objects.size() : static_cast<std::uint64_t>(objectCount), 8);
    writeBigEndian(t + 16, topObject, 8);
    writeBigEndian(t + 24, tableOffset < 0 ? table : static_cast<std::uint64_t>(tableOffset), 8);
    return out + trailer;
}

QByteArray PlistTest::marker(int byte) {
    return QByteArray(1, static_cast<char>(byte));
}

QByteArray PlistTest::ref(std::uint64_t object, int refSize) {
    QByteArray field(refSize, '\0');
    HXBinaryPropertyList::writeBigEndian(reinterpret_cast<uchar*>(field.data()), object, refSize);
    return field;
}

QByteArray PlistTest::asciiString(const QByteArray& text) {
    Q_ASSERT(text.size() < 15);
    return marker(0x50 | static_cast<int>(text.size())) + text;
}

QByteArray PlistTest::nestedArraysBinary(int depth) {
    RawBinaryPlist plist;
    plist.refSize = depth > 255 ? 2 : 1;
    plist.offsetSize = 2;
    for (int i = 0; i + 1 < depth; ++i)
        plist.objects.push_back(marker(0xA1) + ref(static_cast<std::uint64_t>(i + 1), plist.refSize));
    plist.objects.push_back(marker(0xA0));
    return plist.bytes();
}

QByteArray PlistTest::nestedArraysXML(int depth) {
    QByteArray text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n";
    for (int i = 0; i + 1 < depth; ++i)
        text += "<array>";
    text += "<array/>";
    for (int i = 0; i + 1 < depth; ++i)
        text += "</array>";
    return text + "\n</plist>\n";
}

HXValue PlistTest::nestedArrays(int depth) {
    HXValue value(HXArray::create());
    for (int i = 1; i < depth; ++i)
        value = HXValue(arrayOf({value}));
    return value;
}

PlistTest::ProcessResult PlistTest::runProgram(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    ProcessResult result;
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit) {
        result.standardError = process.errorString().toUtf8();
        return result;
    }
    result.exitCode = process.exitCode();
    result.standardOutput = process.readAllStandardOutput();
    result.standardError = process.readAllStandardError();
    return result;
}

int PlistTest::fileMode(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return static_cast<int>(info.st_mode & 07777);
}

QString PlistTest::python3() {
    return QStandardPaths::findExecutable(QStringLiteral("python3"));
}

QString PlistTest::oracleScript() {
    return QStringLiteral(QD_TEST_SOURCE_DIR "/plist_oracle.py");
}

HXValue PlistTest::variedSample(bool withNull) {
    const double inf = std::numeric_limits<double>::infinity();
    auto log = HXArray::createWithDoubles({1.7e9 + 0.25, -(1.7e9 + 60.5), 1.7e9 + 3600, -(1.7e9 + 7200.125)});
    auto nested = dictionaryOf({{QStringLiteral("level"), 1}});
    for (int level = 2; level <= 6; ++level)
        nested = dictionaryOf(
            {{QStringLiteral("level"), level},
             {QStringLiteral("children"), arrayOf({HXValue(nested), HXValue(QStringLiteral("leaf"))})}});
    QByteArray bytes;
    for (int i = 0; i < 200; ++i)
        bytes.append(static_cast<char>(i * 7));
    auto sample = dictionaryOf({
        {QStringLiteral("ascii"), QStringLiteral("Hello, World")},
        {QStringLiteral("empty string"), QString()},
        {QStringLiteral("long ascii"), QStringLiteral("A string long enough to need a count object")},
        {QStringLiteral("accents"), QStringLiteral("Grüße, café \u25B8 naïve")},
        {QStringLiteral("non-BMP"), QString::fromUtf8("\xF0\x9F\x98\x80 clef \xF0\x9D\x84\x9E")},
        {QStringLiteral("markup"), QStringLiteral("<tag attr=\"v\"> & 'quoted' ]]> \ttab\nline")},
        {QStringLiteral("carriage return"), QStringLiteral("a\rb\r\nc")},
        {QStringLiteral("Grüße \u25B8 key"), true},
        {QStringLiteral("false"), false},
        {QStringLiteral("integers"),
         arrayOf({0, 1, 255, 256, 65535, 65536, 4294967295LL, 4294967296LL,
                  std::numeric_limits<qint64>::max(), -1, std::numeric_limits<qint64>::min(),
                  HXValue(9223372036854775808ULL), HXValue(std::numeric_limits<quint64>::max())})},
        {QStringLiteral("reals"),
         arrayOf({0.0, -0.0, 1.5, 0.1, 1e-300, 5e-324, 1.7976931348623157e308, 1e16, 1e15, 123456.789,
                  -2.5e-7, 0.0001, inf, -inf, std::numeric_limits<double>::quiet_NaN()})},
        {QStringLiteral("dates"),
         arrayOf({HXDate{0}, HXDate::fromUnixTime(0), HXDate::fromUnixTime(1709210096),
                  HXDate::fromUnixTime(-2208988800), HXDate{-1}})},
        {QStringLiteral("data"), arrayOf({QByteArray(), QByteArray("\x00\x01\x02", 3), bytes})},
        {QStringLiteral("nested"), nested},
        {QStringLiteral("empty array"), HXArray::create()},
        {QStringLiteral("empty dict"), HXDictionary::create()},
        {QStringLiteral("event log"), log},
        {QStringLiteral("mixed"), arrayOf({1, 2.5, QStringLiteral("x"), true})},
        {QStringLiteral("integer array"), arrayOf({1, 2, 3})},
        {QStringLiteral("repeated"),
         arrayOf({QStringLiteral("same text"), QStringLiteral("same text"), QStringLiteral("same text")})},
    });
    if (withNull)
        sample->setValue(HXKey(QStringLiteral("null")), HXValue());
    return HXValue(sample);
}

HXValue PlistTest::largeSample() {
    std::vector<HXValue> integers;
    for (int i = 0; i < 70000; ++i)
        integers.emplace_back(i);
    std::vector<double> log;
    for (int i = 0; i < 20000; ++i)
        log.push_back((i % 2 == 0 ? 1.0 : -1.0) * (1.6e9 + i * 37.5));
    std::vector<HXValue> strings;
    for (int i = 0; i < 300; ++i)
        strings.emplace_back(QStringLiteral("window title %1 \u00E9").arg(i));
    QByteArray data(70000, '\0');
    for (qsizetype i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i % 251);
    return HXValue(dictionaryOf({{QStringLiteral("integers"), arrayOf(std::move(integers))},
                                 {QStringLiteral("log"), HXArray::createWithDoubles(std::move(log))},
                                 {QStringLiteral("strings"), arrayOf(std::move(strings))},
                                 {QStringLiteral("data"), data}}));
}
