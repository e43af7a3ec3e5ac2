#include "reports/HXReportSnapshot.h"

#include "reports/HXCSVColumns.h"
#include "reports/HXCSVScanner.h"
#include "reports/HXCSVTextCheck.h"
#include "reports/HXClippedEventLog.h"
#include "reports/HXSnapshotNumberReader.h"
#include "reports/HXSnapshotRowIndex.h"

#include "foundation/HXKeys.h"
#include "foundation/HXLocalization.h"
#include "foundation/HXRegularFile.h"
#include "foundation/HXSorting.h"

#include <QStringDecoder>

#include <algorithm>
#include <memory>

using namespace HXKeys;

namespace {

constexpr double kEpsilon = 0.001;

struct Columns {
    qsizetype pool = -1;
    qsizetype application = -1;
    qsizetype window = -1;
    qsizetype foregroundBegin = -1;
    qsizetype foregroundEnd = -1;
    qsizetype totalBegin = -1;
    qsizetype totalEnd = -1;
};

QString sniffSeparator(QStringView text, const QString& fallback) {
    qsizetype end = 0;
    while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
        ++end;
    QString first = text.first(end).toString();
    for (QStringView name : {HXCSVColumns::Pool, HXCSVColumns::Application, HXCSVColumns::Window})
        first.remove(name.toString());
    if (!first.isEmpty() && (first[0] == u',' || first[0] == u';' || first[0] == u'\t'))
        return QString(first[0]);
    return fallback;
}

// Builds the tree while the scanner hands over rows.
class SnapshotBuilder {
public:
    SnapshotBuilder(const Columns& columns, qsizetype textSize)
        : m_columns(columns), m_children(HXDictionary::create()) {
        // Exported rows are rarely shorter than 40 characters.
        m_pairs.reserve(static_cast<std::size_t>(textSize / 40));
    }

    void addRow(std::span<const QStringView> fields) {
        const QStringView poolName = field(fields, m_columns.pool);
        QStringView applicationName = field(fields, m_columns.application);
        const QStringView windowName = field(fields, m_columns.window);
        if (!windowName.isEmpty() && applicationName.isEmpty())
            applicationName = u"*";
        if (poolName.isEmpty() && applicationName.isEmpty())
            return;
        // Rows of one item recur throughout a file sorted by time: its node is found once.
        std::uint32_t target = m_targetIndex.find(poolName, applicationName, windowName);
        if (target == HXSnapshotRowIndex::kAbsent) {
            target = static_cast<std::uint32_t>(m_targets.size());
            m_targets.push_back(Target{node(poolName, applicationName, windowName)});
            m_targetIndex.insert(poolName, applicationName, windowName, target);
        }
        if (addPair(fields, m_columns.foregroundBegin, m_columns.foregroundEnd, target, 0))
            m_foreground = true;
        if (addPair(fields, m_columns.totalBegin, m_columns.totalEnd, target, 1))
            m_total = true;
    }

    HXDictionaryRef finish(const QString& path, QStringList* errors) {
        appendPairsToLogs();
        if (m_first < kEpsilon || m_last - m_first < kEpsilon) {
            if (errors)
                errors->append(HXLocalized("No events found"));
            return nullptr;
        }
        HXDictionaryRef configuration = HXDictionary::create();
        configuration->setBool(m_foreground, u"Foreground Activity");
        configuration->setBool(m_total, u"Total Activity");
        configuration->setValue(Path, path);
        configuration->setValue(FirstTimestamp, m_first);
        configuration->setValue(LastTimestamp, m_last);
        configuration->setValue(Children, m_children);
        return configuration;
    }

private:
    // The node of a row, made on demand: the pool, its pool item and window, or the application and window.
    HXDictionary* node(QStringView poolName, QStringView applicationName, QStringView windowName) {
        HXDictionary* n = nullptr;
        const bool inPool = !poolName.isEmpty();
        if (inPool)
            n = child(*container(Pools.text, true), poolName, kPoolPath, true);
        if (!applicationName.isEmpty()) {
            HXDictionary& parent = inPool ? *n : *container(Applications.text, false);
            n = child(parent, applicationName, nullptr, inPool);
            if (!windowName.isEmpty())
                n = child(*n, windowName, kWindowPath, inPool);
        }
        return n;
    }

    static QStringView field(std::span<const QStringView> fields, qsizetype index) {
        return index >= 0 && static_cast<std::size_t>(index) < fields.size()
                   ? fields[static_cast<std::size_t>(index)]
                   : QStringView();
    }

    HXDictionary* container(QStringView name, bool pools) {
        HXDictionary*& cached = pools ? m_pools : m_applications;
        if (!cached) {
            HXDictionaryRef node = HXDictionary::create();
            node->setValue(Name, name.toString());
            if (pools)
                node->setValue(Type, QString::fromUtf16(kPoolItemType));
            m_children->setValue(name, node);
            cached = node.get();
        }
        return cached;
    }

    // An application's "Path" is its name; pools and windows have fixed ones.
    static HXDictionary* child(HXDictionary& parent, QStringView name, const char16_t* fixedPath,
                               bool poolItem) {
        HXDictionaryRef children = parent.dictionaryForKey(Children);
        if (!children) {
            children = HXDictionary::create();
            parent.setValue(Children, children);
        }
        if (const HXValue* existing = children->find(name)) {
            if (const HXDictionaryRef& d = existing->toDictionary())
                return d.get();
        }
        HXDictionaryRef node = HXDictionary::create();
        node->setValue(Name, name.toString());
        if (poolItem)
            node->setValue(Type, QString::fromUtf16(kPoolItemType));
        node->setValue(Path, fixedPath ? QString::fromUtf16(fixedPath) : name.toString());
        children->setValue(name, node);
        return node.get();
    }

    // Pairs are kept in file order and appended to their logs at the end, log by log: appending as the
    // rows come would touch a different log for almost every row.
    bool addPair(std::span<const QStringView> fields, qsizetype beginIndex, qsizetype endIndex,
                 std::uint32_t target, std::uint32_t kind) {
        if (beginIndex < 0 || endIndex < 0)
            return false;
        const QStringView beginText = field(fields, beginIndex);
        if (!m_reader) {
            if (beginText.size() < 4)
                return false;
            m_reader = std::make_unique<HXSnapshotNumberReader>(beginText);
        }
        const double begin = m_reader->read(beginText);
        const double end = m_reader->read(field(fields, endIndex));
        if (!(begin > kEpsilon && end > kEpsilon && end - begin > kEpsilon))
            return false;
        m_pairs.push_back(Pair{target * 2 + kind, begin, end});
        if (m_first < kEpsilon || begin < m_first)
            m_first = begin;
        m_last = std::max(m_last, end);
        return true;
    }

    void appendPairsToLogs() {
        std::vector<std::uint32_t> counts(m_targets.size() * 2 + 1, 0);
        for (const Pair& p : m_pairs)
            ++counts[p.log + 1];
        for (std::size_t i = 1; i < counts.size(); ++i)
            counts[i] += counts[i - 1];
        std::vector<std::uint32_t> order(m_pairs.size());
        std::vector<std::uint32_t> next(counts.begin(), counts.end() - 1);
        for (std::uint32_t i = 0; i < m_pairs.size(); ++i)
            order[next[m_pairs[i].log]++] = i;
        for (std::size_t log = 0; log + 1 < counts.size(); ++log) {
            if (counts[log] == counts[log + 1])
                continue;
            HXDictionary& node = *m_targets[log / 2].node;
            const HXKey key = log % 2 == 0 ? FrontActiveLog : ActiveLog;
            HXArrayRef array = node.arrayForKey(key);
            if (!array) {
                array = HXArray::create();
                node.setValue(key, array);
            }
            array->reserve(array->count() + 2 * (counts[log + 1] - counts[log]));
            for (std::uint32_t k = counts[log]; k < counts[log + 1]; ++k) {
                array->appendDouble(m_pairs[order[k]].begin);
                array->appendDouble(-m_pairs[order[k]].end);
            }
        }
        m_pairs.clear();
    }

    struct Target {
        HXDictionary* node;
    };
    // A begin and end for the log numbered 2 × target (foreground) or 2 × target + 1 (total).
    struct Pair {
        std::uint32_t log;
        double begin;
        double end;
    };
    Columns m_columns;
    HXDictionaryRef m_children;
    std::vector<Target> m_targets;
    HXSnapshotRowIndex m_targetIndex;
    std::vector<Pair> m_pairs;
    HXDictionary* m_applications = nullptr;
    HXDictionary* m_pools = nullptr;
    std::unique_ptr<HXSnapshotNumberReader> m_reader;
    double m_first = 0;
    double m_last = 0;
    bool m_foreground = false;
    bool m_total = false;
};

Columns findColumns(std::span<const QStringView> header) {
    Columns c;
    const auto index = [&](QStringView name) -> qsizetype {
        const auto it = std::find(header.begin(), header.end(), name);
        return it == header.end() ? -1 : static_cast<qsizetype>(it - header.begin());
    };
    c.pool = index(HXCSVColumns::Pool);
    c.application = index(HXCSVColumns::Application);
    c.window = index(HXCSVColumns::Window);
    c.foregroundBegin = index(HXCSVColumns::ForegroundBegin);
    c.foregroundEnd = index(HXCSVColumns::ForegroundEnd);
    c.totalBegin = index(HXCSVColumns::TotalBegin);
    c.totalEnd = index(HXCSVColumns::TotalEnd);
    return c;
}

void fail(QStringList* errors, const char* text) {
    if (errors)
        errors->append(HXLocalized(text));
}

} // namespace

HXDictionaryRef reportSnapshotConfigurationFromCSVData(const QByteArray& utf8, const QString& path,
                                                       QStringList* errors,
                                                       const QString& fallbackSeparator) {
    if (utf8.contains('\0')) {
        if (errors)
            errors->append(HXCSVTextProblem(utf8));
        return nullptr;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(utf8);
    if (decoder.hasError()) {
        if (errors)
            errors->append(HXCSVTextProblem(utf8));
        return nullptr;
    }
    const QString separator = sniffSeparator(text, fallbackSeparator);

    std::unique_ptr<SnapshotBuilder> builder;
    qsizetype records = 0;
    bool relevant = true;
    bool streams = true;
    HXCSVScanner scanner(text, separator, false);
    const bool scanned = scanner.scan([&](std::span<const QStringView> fields) {
        if (records++ == 0) {
            const Columns columns = findColumns(fields);
            relevant = columns.pool >= 0 || columns.application >= 0 || columns.window >= 0;
            streams = columns.foregroundEnd >= 0 || columns.totalEnd >= 0;
            if (relevant && streams)
                builder = std::make_unique<SnapshotBuilder>(columns, text.size());
        } else if (builder) {
            builder->addRow(fields);
        }
    });
    if (!scanned) {
        fail(errors, "Closing quote missing");
        return nullptr;
    }
    if (records < 2) {
        fail(errors, "Empty");
        return nullptr;
    }
    if (!relevant) {
        fail(errors, "No relevant event stream types found");
        return nullptr;
    }
    if (!streams) {
        fail(errors, "No event streams found");
        return nullptr;
    }
    return builder->finish(path, errors);
}

HXDictionaryRef reportSnapshotConfigurationFromCSVFile(const QString& path, QStringList* errors,
                                                       const QString& fallbackSeparator) {
    QString error;
    const std::optional<QByteArray> data = HXReadRegularFile(path, &error);
    if (!data) {
        if (errors)
            errors->append(HXLocalized("Cannot open file: %1").arg(error));
        return nullptr;
    }
    return reportSnapshotConfigurationFromCSVData(*data, path, errors, fallbackSeparator);
}

namespace {

std::vector<HXDictionaryRef> childrenByName(const HXDictionary* node) {
    std::vector<HXDictionaryRef> out;
    const HXDictionaryRef children = node ? node->dictionaryForKey(Children) : nullptr;
    if (!children)
        return out;
    for (const HXDictionary::Entry& e : children->entries()) {
        if (const HXDictionaryRef& d = e.value.toDictionary())
            out.push_back(d);
    }
    std::stable_sort(out.begin(), out.end(), [](const HXDictionaryRef& x, const HXDictionaryRef& y) {
        return HXSortItemsByName(*x, *y) < 0;
    });
    return out;
}

void appendTree(HXArray& list, const HXDictionary* node, int depth, double a, double b) {
    for (const HXDictionaryRef& child : childrenByName(node)) {
        list.append(eventLogClippedBetweenTimestamp(child, a, b));
        if (depth > 1)
            appendTree(list, child.get(), depth - 1, a, b);
    }
}

} // namespace

HXArrayRef snapshotReportList(const HXDictionary& configuration, double a, double b) {
    HXArrayRef list = HXArray::create();
    const HXDictionaryRef containers = configuration.dictionaryForKey(Children);
    if (!containers)
        return list;
    appendTree(*list, containers->dictionaryForKey(Applications).get(), 2, a, b);
    appendTree(*list, containers->dictionaryForKey(Pools).get(), 3, a, b);
    return list;
}
