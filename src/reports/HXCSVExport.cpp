#include "reports/HXCSVExport.h"

#include "reports/HXExportRows.h"
#include "reports/HXFixedPointText.h"
#include "reports/HXLiveReportSource.h"

#include "foundation/HXAtomicFile.h"
#include "foundation/HXLog.h"
#include "foundation/HXUserDefaults.h"

#include <algorithm>
#include <cmath>

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
                configuration ? configuration->dictionaryForKey(u"Applications") : nullptr) {
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
        pools = records(configuration ? configuration->arrayForKey(u"Pools") : nullptr);
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
public:
    Writer(const Columns& columns, const QString& separator, const QString& rowSeparator)
        : m_columns(columns), m_separator(separator), m_separatorUtf8(separator.toUtf8()),
          m_rowSeparator(rowSeparator.toUtf8()), m_decimal(HXLocaleDecimalSeparator()) {
        HXAppendFixedPoint(m_zero, 0, 2, m_decimal);
    }

    QByteArray write(const HXExportRows& rows) {
        QByteArray out;
        out.reserve(static_cast<qsizetype>(rows.rows.size()) * 64 + 256);
        writeHeader(out);
        std::vector<QByteArray> texts;
        texts.reserve(rows.texts.size());
        for (const HXExportRowTexts& t : rows.texts)
            texts.push_back(textColumns(t));
        for (const HXExportRow& row : rows.rows) {
            out.append(texts[row.texts]);
            if (m_columns.front) {
                appendTime(out, row.foregroundBegin);
                out.append(m_separatorUtf8);
                appendTime(out, row.foregroundEnd);
                if (m_columns.total)
                    out.append(m_separatorUtf8);
            }
            if (m_columns.total) {
                appendTime(out, row.totalBegin);
                out.append(m_separatorUtf8);
                appendTime(out, row.totalEnd);
            }
            out.append(m_rowSeparator);
        }
        return out;
    }

private:
    void writeHeader(QByteArray& out) const {
        QStringList names;
        if (m_columns.pool)
            names.append(QStringLiteral("Pool"));
        if (m_columns.poolNotes)
            names.append(QStringLiteral("Pool Notes"));
        if (m_columns.application)
            names.append(QStringLiteral("Application"));
        if (m_columns.window)
            names.append(QStringLiteral("Window"));
        if (m_columns.front)
            names << QStringLiteral("Foreground Begin (Unix Time)")
                  << QStringLiteral("Foreground End (Unix Time)");
        if (m_columns.total)
            names << QStringLiteral("Total Begin (Unix Time)") << QStringLiteral("Total End (Unix Time)");
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

    // A time holding the separator (a decimal comma) is quoted like any other field.
    void appendTime(QByteArray& out, double value) {
        if (std::isnan(value)) {
            appendField(out, m_zero);
            return;
        }
        m_scratch.clear();
        HXAppendFixedPoint(m_scratch, value, 2, m_decimal);
        appendField(out, m_scratch);
    }

    void appendField(QByteArray& out, const QByteArray& text) const {
        if (!m_separatorUtf8.isEmpty() && text.contains(m_separatorUtf8))
            out.append(HXCSVStringWithField(QString::fromUtf8(text), m_separator).toUtf8());
        else
            out.append(text);
    }

    Columns m_columns;
    QString m_separator;
    QByteArray m_separatorUtf8;
    QByteArray m_rowSeparator;
    QByteArray m_decimal;
    QByteArray m_zero;
    QByteArray m_scratch;
};

} // namespace

std::optional<QByteArray> exportPoolAsCSVData(const HXLiveReportSource& source, const HXDictionaryRef& pool,
                                              double begin, double end) {
    const HXUserDefaults& defaults = source.userDefaults();
    Columns columns;
    columns.pool = pool || defaults.boolForKey(u"Export Column: Pool");
    columns.poolNotes = defaults.boolForKey(u"Export Column: Pool Notes");
    columns.application = defaults.boolForKey(u"Export Column: Application");
    columns.window = defaults.boolForKey(u"Export Column: Window");
    columns.front = defaults.boolForKey(u"Export Column: Front");
    columns.total = defaults.boolForKey(u"Export Column: Total");
    if ((!columns.application && !columns.pool) || (!columns.front && !columns.total)) {
        HXSystemLog(
            QStringLiteral("you managed to uncheck all relevant columns, so there's nothing to export"));
        return std::nullopt;
    }
    const bool everything = defaults.integerForKey(u"Exported Report Content") == 1;
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
