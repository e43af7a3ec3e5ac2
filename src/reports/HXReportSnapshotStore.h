#pragma once

#include "foundation/HXDictionary.h"

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <map>

class HXUserDefaults;

// The open snapshot reports, by file path (compared as paths). Opening a file parses it on a background
// thread; the result arrives on the thread that owns the store, and snapshotChanged() tells. Snapshot
// windows (later) show statusText() while there is no configuration.
class HXReportSnapshotStore : public QObject {
    Q_OBJECT

public:
    explicit HXReportSnapshotStore(const HXUserDefaults& defaults, QObject* parent = nullptr);
    ~HXReportSnapshotStore() override;

    // Starts reading the file unless it is open already; false for an empty path or an open file.
    bool open(const QString& path);
    void close(const QString& path);
    bool isOpen(const QString& path) const;
    bool isLoading(const QString& path) const;
    QStringList paths() const;

    // Null while loading or after a failure.
    HXDictionaryRef configuration(const QString& path) const;
    // "Loading...", the failure's error texts joined by line feeds, or empty once loaded.
    QString statusText(const QString& path) const;
    // The snapshot's report list for [a, b]; empty while there is no configuration.
    HXArrayRef eventLogsClippedBetweenTimestamp(const QString& path, double a, double b) const;
    // "First Timestamp" and "Last Timestamp"; false while there is no configuration.
    bool getFirstTimestamp(const QString& path, double* first, double* last) const;

    static QString normalizedPath(const QString& path);

Q_SIGNALS:
    void snapshotChanged(const QString& path);

private:
    struct Snapshot {
        HXDictionaryRef configuration;
        QString status;
        bool loading = true;
        quint64 generation = 0;
    };

    void finish(const QString& path, quint64 generation, HXDictionaryRef configuration,
                const QStringList& errors);

    const HXUserDefaults& m_defaults;
    std::map<QString, Snapshot> m_snapshots;
    quint64 m_generation = 0;
    QThreadPool m_pool;
};
