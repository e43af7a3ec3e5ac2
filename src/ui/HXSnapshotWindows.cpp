#include "ui/HXSnapshotWindows.h"

#include "foundation/HXLocalization.h"
#include "reports/HXReportSnapshotStore.h"
#include "reports/cli/HXReportListOutput.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QTextStream>

HXSnapshotWindows::HXSnapshotWindows(const HXUserDefaults& defaults, QObject* parent)
    : QObject(parent), m_defaults(defaults), m_store(std::make_unique<HXReportSnapshotStore>(defaults)) {
    connect(m_store.get(), &HXReportSnapshotStore::snapshotChanged, this, &HXSnapshotWindows::refresh);
}

HXSnapshotWindows::~HXSnapshotWindows() = default;

void HXSnapshotWindows::showReportSnapshotFromCSVFile(const QString& path) {
    if (path.isEmpty())
        return;
    const QString key = HXReportSnapshotStore::normalizedPath(path);
    auto& window = m_windows[key];
    if (!window) {
        window = std::make_unique<QPlainTextEdit>();
        window->setReadOnly(true);
        window->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        window->setWindowTitle(QFileInfo(path).fileName());
        window->resize(720, 480);
        m_store->open(key);
        refresh(key);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void HXSnapshotWindows::refresh(const QString& path) {
    const auto found = m_windows.find(path);
    if (found == m_windows.end())
        return;
    const QString status = m_store->statusText(path);
    double first = 0;
    double last = 0;
    if (!status.isEmpty() || !m_store->getFirstTimestamp(path, &first, &last)) {
        found->second->setPlainText(status.isEmpty() ? HXLocalized("Cannot read file") : status);
        return;
    }
    QString text;
    QTextStream out(&text);
    HXWriteReportList(out, *m_store->eventLogsClippedBetweenTimestamp(path, first, last), first, last,
                      m_defaults, HXReportOutputFormat::Text);
    out.flush();
    found->second->setPlainText(text);
}
