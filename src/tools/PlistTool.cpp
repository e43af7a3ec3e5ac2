#include "foundation/HXArray.h"
#include "foundation/HXAtomicFile.h"
#include "foundation/HXDictionary.h"
#include "foundation/HXPropertyList.h"
#include "foundation/HXRegularFile.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdio>

// qualdern-plist: converts property lists between the binary and the XML format, and checks that a file
// parses. Exit status 0 on success, 1 when a file cannot be read, parsed or written, 2 for bad usage.

namespace {

constexpr int kFailure = 1;
constexpr int kUsageError = 2;

const char kUsage[] = "usage: qualdern-plist convert --xml|--binary IN OUT | check FILE | --help";

void printLine(std::FILE* stream, const QString& line) {
    std::fputs(line.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

int usageError() {
    std::fprintf(stderr, "qualdern-plist: %s\n", kUsage);
    return kUsageError;
}

int failure(const QString& path, const QString& text) {
    printLine(stderr, QStringLiteral("qualdern-plist: %1: %2").arg(path, text));
    return kFailure;
}

bool load(const QString& path, HXPropertyListResult& result) {
    const std::optional<QByteArray> data = HXReadRegularFile(path, &result.error);
    if (!data)
        return false;
    result = HXPropertyList::read(*data);
    return result.ok();
}

// The value itself and everything it contains.
qint64 valueCount(const HXValue& value) {
    qint64 count = 1;
    if (const HXArrayRef& array = value.toArray()) {
        if (array->isPacked())
            return count + array->count();
        for (const HXValue& element : array->values())
            count += valueCount(element);
    } else if (const HXDictionaryRef& dictionary = value.toDictionary()) {
        for (const HXDictionary::Entry& entry : dictionary->entries())
            count += 1 + valueCount(entry.value);
    }
    return count;
}

QString describe(const HXValue& value) {
    switch (value.type()) {
    case HXValueType::Dictionary:
        return QStringLiteral("dictionary of %1 keys").arg(value.toDictionary()->count());
    case HXValueType::Array:
        return QStringLiteral("array of %1 elements").arg(value.toArray()->count());
    case HXValueType::String:
        return QStringLiteral("string");
    case HXValueType::Data:
        return QStringLiteral("data");
    case HXValueType::Date:
        return QStringLiteral("date");
    case HXValueType::Null:
        return QStringLiteral("null");
    default:
        return QStringLiteral("number");
    }
}

int check(const QString& path) {
    HXPropertyListResult result;
    if (!load(path, result))
        return failure(path, result.error);
    const QString format =
        result.format == HXPropertyListFormat::Binary ? QStringLiteral("binary") : QStringLiteral("XML");
    printLine(stdout, QStringLiteral("%1: %2 property list, %3, %4 values")
                          .arg(path, format, describe(result.value))
                          .arg(valueCount(result.value)));
    return 0;
}

int convert(HXPropertyListFormat format, const QString& input, const QString& output) {
    HXPropertyListResult result;
    if (!load(input, result))
        return failure(input, result.error);
    QString error;
    const std::optional<QByteArray> data = format == HXPropertyListFormat::Binary
                                               ? HXPropertyList::writeBinary(result.value, &error)
                                               : HXPropertyList::writeXML(result.value, &error);
    if (!data)
        return failure(input, error);
    if (!HXAtomicFile::write(output, *data, true, &error))
        return failure(output, error);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));
    if (arguments.size() == 1 && (arguments[0] == u"--help" || arguments[0] == u"-h")) {
        std::printf("%s\n\n"
                    "  convert --xml IN OUT     write IN (binary or XML) as an XML property list\n"
                    "  convert --binary IN OUT  write IN (binary or XML) as a binary property list\n"
                    "  check FILE               say whether FILE parses, and what it holds\n",
                    kUsage);
        return 0;
    }
    if (arguments.size() == 2 && arguments[0] == u"check")
        return check(arguments[1]);
    if (arguments.size() == 4 && arguments[0] == u"convert") {
        if (arguments[1] == u"--xml")
            return convert(HXPropertyListFormat::XML, arguments[2], arguments[3]);
        if (arguments[1] == u"--binary")
            return convert(HXPropertyListFormat::Binary, arguments[2], arguments[3]);
    }
    return usageError();
}
