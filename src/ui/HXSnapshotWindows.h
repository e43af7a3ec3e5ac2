#pragma once

#include <QObject>
#include <QStringList>

#include <map>
#include <memory>

class HXReportSnapshotStore;
class HXUserDefaults;
class QPlainTextEdit;

// Exported CSV files reopened as read-only reports, one window per file: the whole snapshot's report
// list as text until the drawn report view exists. Opening a file twice brings its window forward.
class HXSnapshotWindows : public QObject {
    Q_OBJECT

public:
    explicit HXSnapshotWindows(const HXUserDefaults& defaults, QObject* parent = nullptr);
    ~HXSnapshotWindows() override;

    void showReportSnapshotFromCSVFile(const QString& path);

private:
    void refresh(const QString& path);

    const HXUserDefaults& m_defaults;
    std::unique_ptr<HXReportSnapshotStore> m_store;
    std::map<QString, std::unique_ptr<QPlainTextEdit>> m_windows;
};
