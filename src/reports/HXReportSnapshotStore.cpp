#include "reports/HXReportSnapshotStore.h"

#include "reports/HXCSVExport.h"
#include "reports/HXReportSnapshot.h"

#include "foundation/HXKeys.h"
#include "foundation/HXLocalization.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaObject>

HXReportSnapshotStore::HXReportSnapshotStore(const HXUserDefaults& defaults, QObject* parent)
    : QObject(parent), m_defaults(defaults) {
    m_pool.setMaxThreadCount(1);
}

// No parse outlives the store: its result is posted to the store, which must still exist then.
HXReportSnapshotStore::~HXReportSnapshotStore() {
    m_pool.waitForDone();
}

QString HXReportSnapshotStore::normalizedPath(const QString& path) {
    if (path.isEmpty())
        return QString();
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

bool HXReportSnapshotStore::open(const QString& path) {
    const QString key = normalizedPath(path);
    if (key.isEmpty() || m_snapshots.count(key))
        return false;
    Snapshot& snapshot = m_snapshots[key];
    snapshot.status = HXLocalized("Loading...");
    snapshot.generation = ++m_generation;
    const quint64 generation = snapshot.generation;
    const QString separator = reportSnapshotFieldSeparator(m_defaults);
    m_pool.start([this, key, generation, separator] {
        QStringList errors;
        HXDictionaryRef configuration = reportSnapshotConfigurationFromCSVFile(key, &errors, separator);
        QMetaObject::invokeMethod(
            this,
            [this, key, generation, configuration, errors] {
                finish(key, generation, configuration, errors);
            },
            Qt::QueuedConnection);
    });
    return true;
}

void HXReportSnapshotStore::finish(const QString& path, quint64 generation, HXDictionaryRef configuration,
                                   const QStringList& errors) {
    const auto it = m_snapshots.find(path);
    // Closed, or closed and opened again, while it was read.
    if (it == m_snapshots.end() || it->second.generation != generation)
        return;
    Snapshot& snapshot = it->second;
    snapshot.loading = false;
    snapshot.configuration = std::move(configuration);
    if (snapshot.configuration)
        snapshot.status.clear();
    else
        snapshot.status = errors.isEmpty() ? HXLocalized("Cannot read file") : errors.join(u'\n');
    Q_EMIT snapshotChanged(path);
}

void HXReportSnapshotStore::close(const QString& path) {
    m_snapshots.erase(normalizedPath(path));
}

bool HXReportSnapshotStore::isOpen(const QString& path) const {
    return m_snapshots.count(normalizedPath(path)) != 0;
}

bool HXReportSnapshotStore::isLoading(const QString& path) const {
    const auto it = m_snapshots.find(normalizedPath(path));
    return it != m_snapshots.end() && it->second.loading;
}

QStringList HXReportSnapshotStore::paths() const {
    QStringList list;
    for (const auto& [path, snapshot] : m_snapshots)
        list.append(path);
    return list;
}

HXDictionaryRef HXReportSnapshotStore::configuration(const QString& path) const {
    const auto it = m_snapshots.find(normalizedPath(path));
    return it == m_snapshots.end() ? nullptr : it->second.configuration;
}

QString HXReportSnapshotStore::statusText(const QString& path) const {
    const auto it = m_snapshots.find(normalizedPath(path));
    return it == m_snapshots.end() ? QString() : it->second.status;
}

HXArrayRef HXReportSnapshotStore::eventLogsClippedBetweenTimestamp(const QString& path, double a,
                                                                   double b) const {
    const HXDictionaryRef c = configuration(path);
    return c ? snapshotReportList(*c, a, b) : HXArray::create();
}

bool HXReportSnapshotStore::getFirstTimestamp(const QString& path, double* first, double* last) const {
    const HXDictionaryRef c = configuration(path);
    if (!c)
        return false;
    if (first)
        *first = c->timeIntervalForKey(HXKeys::FirstTimestamp);
    if (last)
        *last = c->timeIntervalForKey(HXKeys::LastTimestamp);
    return true;
}
