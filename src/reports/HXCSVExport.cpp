#include "reports/HXCSVExport.h"

#include "reports/HXCSVColumns.h"
#include "reports/HXExportRows.h"
#include "reports/HXFixedPointText.h"
#include "reports/HXLiveReportSource.h"

#include "foundation/HXAtomicFile.h"
#include "foundation/HXDefaultsKeys.h"
#include "foundation/HXKeys.h"
#include "foundation/HXLog.h"
#include "foundation/HXUserDefaults.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace HXKeys;

QString HXCSVStringWithField(const QString& field, const QString& separator) {
    const bool needsQuotes = (!separator.isEmpty() && field.contains(separator)) || field.contains(u'"') ||
                             field.contains(u'\n') || field.contains(u'\r') ||
                             field.contains(QChar(0x2028)) || field.contains(QChar(0x2029)) ||
                             field.contains(QChar(0x0085));
    if (!needsQuotes)
        return field;
    QString quoted = field;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString reportSnapshotFieldSeparator(const HXUserDefaults& defaults) {
    switch (defaults.integerForKey(u"Exported Report Column Separator")) {
    case 1:
        return QStringLiteral(";");
    case 2:
        return QStringLiteral("\t");
    default:
        return QStringLiteral(",");
    }
}

QString reportSnapshotRowSeparator(const HXUserDefaults& defaults) {
    switch (defaults.integerForKey(u"Exported Report Row Separator")) {
    case 1:
        return QStringLiteral("\r");
    case 2:
        return QStringLiteral("\r\n");
    default:
        return QStringLiteral("\n");
    }
}

namespace {

struct Columns {
    bool pool = false;
    bool poolNotes = false;
    bool application = false;
    bool window = false;
    bool front = false;
    bool total = false;
};

std::vector<HXDictionaryRef> records(const HXArrayRef& array) {
    std::vector<HXDictionaryRef> out;
    if (!array)
        return out;
    for (const HXValue& v : array->values()) {
        if (const HXDictionaryRef& d = v.toDictionary())
            out.push_back(d);
    }
    return out;
}

class RowCollector {
public:
    RowCollector(const Columns& columns, double begin, double end)
        : m_columns(columns), m_begin(begin), m_end(end) {}

    void add(const HXDictionary& item, const HXExportRowTexts& texts) {
        if (m_columns.front)
            addEventStream(m_rows, FrontActiveLog, item, HXExportStream::Foreground, m_begin, m_end, texts);
        if (m_columns.total)
            addEventStream(m_rows, ActiveLog, item, HXExportStream::Total, m_begin, m_end, texts);
    }

    HXExportRows& rows() { return m_rows; }

private:
    Columns m_columns;
    double m_begin;
    double m_end;
    HXExportRows m_rows;
};

void collectApplications(RowCollector& collector, const HXLiveReportSource& source, const Columns& columns,
                         bool everything) {
    std::vector<HXDictionaryRef> apps;
    if (everything) {
        const HXDictionaryRef configuration = source.configuration();
        if (const HXDictionaryRef byKey =
                configuration ? configuration->dictionaryForKey(Applications) : nullptr) {
            for (const HXDictionary::Entry& e : byKey->entries()) {
                if (const HXDictionaryRef& app = e.value.toDictionary())
                    apps.push_back(app);
            }
        }
    } else {
        apps = records(source.listApplications());
    }
    for (const HXDictionaryRef& app : apps) {
        HXExportRowTexts texts;
        texts.application = app->itemName();
        collector.add(*app, texts);
        if (!columns.window)
            continue;
        std::vector<HXDictionaryRef> windows;
        if (everything) {
            if (const HXDictionaryRef byName = app->dictionaryForKey(WindowsByName)) {
                for (const HXDictionary::Entry& e : byName->entries()) {
                    if (const HXDictionaryRef& window = e.value.toDictionary())
                        windows.push_back(window);
                }
            }
        } else if (app->boolForKey(Expanded)) {
            windows = records(app->listWindows());
        }
        for (const HXDictionaryRef& window : windows) {
            HXExportRowTexts windowTexts = texts;
            windowTexts.window = window->itemName();
            collector.add(*window, windowTexts);
        }
    }
}

void collectPools(RowCollector& collector, const HXLiveReportSource& source, const Columns& columns,
                  bool everything, const HXDictionaryRef& only) {
    std::vector<HXDictionaryRef> pools;
    if (only) {
        pools.push_back(only);
    } else if (everything) {
        const HXDictionaryRef configuration = source.configuration();
        pools = records(configuration ? configuration->arrayForKey(Pools) : nullptr);
    } else {
        pools = records(source.listPools());
    }
    for (const HXDictionaryRef& pool : pools) {
        HXExportRowTexts texts;
        texts.pool = pool->itemName();
        texts.poolNotes = pool->stringForKey(PoolNotes);
        collector.add(*pool, texts);
        if (!columns.application || !(everything || pool->boolForKey(Expanded)))
            continue;
        for (const HXDictionaryRef& item : records(pool->arrayForKey(Children))) {
            HXExportRowTexts itemTexts = texts;
            itemTexts.application = item->itemName();
            collector.add(*item, itemTexts);
            if (!columns.window || !(everything || item->boolForKey(Expanded)))
                continue;
            for (const HXDictionaryRef& child : records(item->arrayForKey(Children))) {
                HXExportRowTexts childTexts = itemTexts;
                childTexts.window = child->itemName();
                collector.add(*child, childTexts);
            }
        }
    }
}

class Writer {
    static constexpr qsizetype kLongestDecimal = 8;

public:
    Writer(const Columns& columns, const QString& separator, const QString& rowSeparator)
        : m_columns(columns), m_separator(separator), m_separatorUtf8(separator.toUtf8()),
          m_rowSeparator(rowSeparator.toUtf8()), m_decimal(HXLocaleDecimalSeparator()) {
        // Locales use one character; anything longer would not fit the field buffers.
        if (m_decimal.size() > kLongestDecimal)
            m_decimal = ".";
        HXAppendFixedPoint(m_zero, 0, 2, m_decimal);
        for (const char c : m_separatorUtf8) {
            if ((c >= '0' && c <= '9') || c == '-' || m_decimal.contains(c))
                m_timesMayNeedQuotes = true;
        }
    }

    QByteArray write(const HXExportRows& rows) {
        std::vector<QByteArray> texts;
        texts.reserve(rows.texts.size());
        for (const HXExportRowTexts& t : rows.texts)
            texts.push_back(textColumns(t));
        QByteArray out;
        writeHeader(out);
        // The file is written through a raw pointer into one buffer: appending piece by piece to a
        // QByteArray costs more than the formatting. Room is checked per row with the largest field sizes.
        const qsizetype timeColumns = (m_columns.front ? 2 : 0) + (m_columns.total ? 2 : 0);
        const qsizetype timeRoom =
            kHXFixedPointMaximumLength + 2 * m_decimal.size() + 2 + m_separatorUtf8.size();
        qsizetype used = out.size();
        qsizetype estimate = used + 256;
        for (const HXExportRow& row : rows.rows)
            estimate += texts[row.texts].size() + timeColumns * 24 + m_rowSeparator.size();
        out.resize(estimate);
        for (const HXExportRow& row : rows.rows) {
            const QByteArray& text = texts[row.texts];
            const qsizetype room = text.size() + timeColumns * timeRoom + m_rowSeparator.size();
            if (out.size() - used < room)
                out.resize(std::max(out.size() + out.size() / 2, used + room));
            char* p = out.data() + used;
            p = put(p, text);
            if (m_columns.front) {
                p = putTime(p, row.foregroundBegin);
                p = put(p, m_separatorUtf8);
                p = putTime(p, row.foregroundEnd);
                if (m_columns.total)
                    p = put(p, m_separatorUtf8);
            }
            if (m_columns.total) {
                p = putTime(p, row.totalBegin);
                p = put(p, m_separatorUtf8);
                p = putTime(p, row.totalEnd);
            }
            p = put(p, m_rowSeparator);
            used = p - out.constData();
        }
        out.truncate(used);
        return out;
    }

private:
    void writeHeader(QByteArray& out) const {
        QStringList names;
        if (m_columns.pool)
            names.append(HXCSVColumns::Pool.toString());
        if (m_columns.poolNotes)
            names.append(HXCSVColumns::PoolNotes.toString());
        if (m_columns.application)
            names.append(HXCSVColumns::Application.toString());
        if (m_columns.window)
            names.append(HXCSVColumns::Window.toString());
        if (m_columns.front)
            names << HXCSVColumns::ForegroundBegin.toString() << HXCSVColumns::ForegroundEnd.toString();
        if (m_columns.total)
            names << HXCSVColumns::TotalBegin.toString() << HXCSVColumns::TotalEnd.toString();
        out.append(names.join(m_separator).toUtf8());
        out.append(m_rowSeparator);
    }

    // The text columns of an item with the separator after each: written once per item, not per row.
    QByteArray textColumns(const HXExportRowTexts& t) const {
        QString line;
        const auto add = [&](bool on, const QString& text) {
            if (!on)
                return;
            line += HXCSVStringWithField(text, m_separator);
            line += m_separator;
        };
        add(m_columns.pool, t.pool);
        add(m_columns.poolNotes, t.poolNotes);
        add(m_columns.application, t.application);
        add(m_columns.window, t.window);
        return line.toUtf8();
    }

    static char* put(char* p, const QByteArray& bytes) {
        std::memcpy(p, bytes.constData(), static_cast<std::size_t>(bytes.size()));
        return p + bytes.size();
    }

    // A time holding the separator (a decimal comma) is quoted like any other field.
    char* putTime(char* p, double value) const {
        if (std::isnan(value))
            return putField(p, m_zero);
        char buffer[kHXFixedPointMaximumLength + kLongestDecimal];
        const char* end = HXWriteFixedPoint(buffer, value, 2, m_decimal);
        return putField(p, QByteArrayView(buffer, end - buffer));
    }

    char* putField(char* p, QByteArrayView text) const {
        if (m_timesMayNeedQuotes && text.contains(m_separatorUtf8)) {
            *p++ = '"';
            p = std::copy(text.begin(), text.end(), p);
            *p++ = '"';
            return p;
        }
        return std::copy(text.begin(), text.end(), p);
    }

    Columns m_columns;
    QString m_separator;
    QByteArray m_separatorUtf8;
    QByteArray m_rowSeparator;
    QByteArray m_decimal;
    QByteArray m_zero;
    // Times are digits, a minus and the decimal separator; only a separator among those needs a look.
    bool m_timesMayNeedQuotes = false;
};

} // namespace

std::optional<QByteArray> exportPoolAsCSVData(const HXLiveReportSource& source, const HXDictionaryRef& pool,
                                              double begin, double end) {
    const HXUserDefaults& defaults = source.userDefaults();
    Columns columns;
    columns.pool = pool || defaults.boolForKey(HXDefaultsKeys::ExportColumnPool);
    columns.poolNotes = defaults.boolForKey(u"Export Column: Pool Notes");
    columns.application = defaults.boolForKey(HXDefaultsKeys::ExportColumnApplication);
    columns.window = defaults.boolForKey(HXDefaultsKeys::ExportColumnWindow);
    columns.front = defaults.boolForKey(HXDefaultsKeys::ExportColumnFront);
    columns.total = defaults.boolForKey(u"Export Column: Total");
    if ((!columns.application && !columns.pool) || (!columns.front && !columns.total)) {
        HXSystemLog(
            QStringLiteral("you managed to uncheck all relevant columns, so there's nothing to export"));
        return std::nullopt;
    }
    const bool everything = defaults.integerForKey(HXDefaultsKeys::ExportedReportContent) == 1;
    RowCollector collector(columns, begin, end);
    if (!pool && columns.application)
        collectApplications(collector, source, columns, everything);
    if (columns.pool)
        collectPools(collector, source, columns, everything, pool);
    std::vector<HXExportRow>& rows = collector.rows().rows;
    std::stable_sort(rows.begin(), rows.end(), [](const HXExportRow& a, const HXExportRow& b) {
        return HXSortSnapshotLines(a, b) < 0;
    });
    Writer writer(columns, reportSnapshotFieldSeparator(defaults), reportSnapshotRowSeparator(defaults));
    return writer.write(collector.rows());
}

bool exportPool(const HXLiveReportSource& source, const HXDictionaryRef& pool, double begin, double end,
                const QString& path) {
    const std::optional<QByteArray> data = exportPoolAsCSVData(source, pool, begin, end);
    if (!data)
        return false;
    QString error;
    if (!HXAtomicFile::write(path, *data, true, &error)) {
        HXSystemLog(QStringLiteral("cannot write <%1>: %2").arg(path, error));
        return false;
    }
    return true;
}
