// Bytes from the fuzzer as a CSV file: the scanner and the snapshot reader must neither crash nor hang,
// the scanner must agree with itself between the record list and the streaming form, and a snapshot that
// reads must give a report list whose records all carry a source.
#include "reports/HXCSVScanner.h"
#include "reports/HXReportSnapshot.h"

#include "foundation/HXLog.h"

#include <cstdint>
#include <cstdlib>

namespace {

const QString kSeparators[] = {QStringLiteral(","), QStringLiteral(";"), QStringLiteral("\t"),
                               QStringLiteral("::")};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // Dropped-record lines would flood the output; a capture keeps them in memory instead.
    static HXLogging::Capture* const quiet = new HXLogging::Capture;
    quiet->clear();
    const std::uint8_t options = data[0];
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const QString& separator = kSeparators[options & 3];
    const bool trim = (options & 4) != 0;

    const QString text = QString::fromUtf8(bytes);
    const std::optional<QList<QStringList>> records = scanCSVRecordsWithFieldSeparator(text, separator, trim);
    qsizetype streamed = 0;
    HXCSVScanner scanner(text, separator, trim);
    const bool scanned = scanner.scan([&](std::span<const QStringView> fields) {
        if (records && streamed < records->size() &&
            static_cast<qsizetype>(fields.size()) != records->at(streamed).size())
            std::abort();
        ++streamed;
    });
    if (scanned != records.has_value() || (records && streamed != records->size()))
        std::abort();
    if (records) {
        for (const QStringList& record : *records) {
            if (record.size() != records->first().size())
                std::abort();
        }
    }

    QStringList errors;
    const HXDictionaryRef snapshot =
        reportSnapshotConfigurationFromCSVData(bytes, QStringLiteral("/fuzz.csv"), &errors, separator);
    if (!snapshot) {
        if (errors.size() != 1)
            std::abort();
        return 0;
    }
    const double first = snapshot->timeIntervalForKey(u"First Timestamp");
    const double last = snapshot->timeIntervalForKey(u"Last Timestamp");
    if (!(last - first >= 0.001))
        std::abort();
    const HXArrayRef list = snapshotReportList(*snapshot, first, last);
    for (qsizetype i = 0; i < list->count(); ++i) {
        const HXDictionaryRef record = list->dictionaryAt(i);
        if (!record || !record->find(HXKeys::Source))
            std::abort();
    }
    return 0;
}
