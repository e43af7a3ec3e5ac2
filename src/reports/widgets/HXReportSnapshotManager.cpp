#include "reports/widgets/HXReportSnapshotManager.h"

#include "reports/HXReportController.h"
#include "reports/HXReportSnapshotStore.h"
#include "reports/widgets/HXReportPane.h"
#include "reports/widgets/HXReportView.h"
#include "reports/widgets/HXReportWindow.h"

#include "foundation/HXScheduler.h"
#include "foundation/HXUserDefaults.h"

#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QScreen>

struct HXReportSnapshotManager::Snapshot {
    std::unique_ptr<HXReportController> controller;
    std::unique_ptr<HXReportWindow> window;

    ~Snapshot() {
        // The view lets go of the controller first.
        window.reset();
    }
};

HXReportSnapshotManager::HXReportSnapshotManager(HXUserDefaults& defaults, HXScheduler& scheduler,
                                                 const HXClock& clock, QObject* parent)
    : QObject(parent), m_defaults(defaults), m_scheduler(scheduler), m_clock(clock),
      m_store(std::make_unique<HXReportSnapshotStore>(defaults)), m_memorySettings(HXDictionary::create()) {
    connect(m_store.get(), &HXReportSnapshotStore::snapshotChanged, this,
            &HXReportSnapshotManager::snapshotChanged);
}

HXReportSnapshotManager::~HXReportSnapshotManager() {
    m_scheduler.cancelPerforms(this, "forgetClosedSnapshots");
    m_snapshots.clear();
    m_closed.clear();
}

HXReportWindow* HXReportSnapshotManager::windowForPath(const QString& path) const {
    const auto it = m_snapshots.find(HXReportSnapshotStore::normalizedPath(path));
    return it == m_snapshots.end() ? nullptr : it->second->window.get();
}

void HXReportSnapshotManager::showReportSnapshotFromCSVFile(const QString& given) {
    const QString path = HXReportSnapshotStore::normalizedPath(given);
    if (path.isEmpty())
        return;
    if (HXReportWindow* open = windowForPath(path)) {
        open->show();
        open->raise();
        open->activateWindow();
        return;
    }
    auto snapshot = std::make_unique<Snapshot>();
    snapshot->controller = std::make_unique<HXReportController>(
        HXReportSettings(path, m_defaults, m_memorySettings), this, m_clock, m_defaults, false);
    // The pane is the window's own: it goes with it.
    snapshot->window = std::make_unique<HXReportWindow>(
        *snapshot->controller, m_defaults, QStringLiteral("Report: Snapshot"),
        new HXReportPane(*snapshot->controller, m_defaults, m_scheduler, m_clock));
    HXReportWindow& window = *snapshot->window;
    window.setWindowTitle(QFileInfo(path).fileName());
    window.setWindowFilePath(path);
    window.view().setStatusText(m_store->statusText(path));
    connect(&window, &HXReportWindow::windowWillClose, this, [this, path] { reportWindowWillClose(path); });
    // A snapshot's rows are not the tracker's items: its context menu is its View menu.
    connect(&window.view(), &HXReportView::contextMenuRequested, &window,
            [&window](const HXDictionaryRef&, const QPoint& globalPosition) {
                window.viewMenu().exec(globalPosition);
            });
    m_snapshots.emplace(path, std::move(snapshot));
    m_store->open(path);
    window.view().setStatusText(m_store->statusText(path));

    QRect centred(QPoint(0, 0), QSize(640, 480));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        centred.moveCenter(screen->availableGeometry().center());
    window.restoreFrame(centred);
    cascadeReportWindow(window);
    Q_EMIT windowCreated(&window);
    window.show();
    window.raise();
    window.activateWindow();
}

void HXReportSnapshotManager::cascadeReportWindow(HXReportWindow& window) {
    // Each new window's top-left moves on from the last one's; off the screen it starts over.
    if (!m_hasCascadePoint) {
        m_cascadePoint = window.pos();
        m_hasCascadePoint = true;
        return;
    }
    QPoint next = m_cascadePoint + QPoint(24, 24);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        if (!available.contains(QRect(next, QSize(std::min(window.width(), available.width() / 2), 80))))
            next = available.topLeft() + QPoint(24, 24);
    }
    window.move(next);
    m_cascadePoint = next;
}

void HXReportSnapshotManager::snapshotChanged(const QString& path) {
    const auto it = m_snapshots.find(path);
    if (it == m_snapshots.end())
        return;
    Snapshot& snapshot = *it->second;
    snapshot.controller->setSnapshotConfiguration(m_store->configuration(path));
    snapshot.window->view().setStatusText(m_store->statusText(path));
    snapshot.window->view().updateIgnoringVisibility(true);
}

void HXReportSnapshotManager::reportWindowWillClose(const QString& path) {
    const auto it = m_snapshots.find(path);
    if (it == m_snapshots.end())
        return;
    m_store->close(path);
    // The window is in the middle of closing: it goes, with its controller, once the event is handled.
    m_closed.push_back(std::move(it->second));
    m_snapshots.erase(it);
    m_scheduler.performAfterDelay(this, "forgetClosedSnapshots", 0, [this] { m_closed.clear(); });
    if (m_snapshots.empty())
        m_hasCascadePoint = false;
}

HXArrayRef
HXReportSnapshotManager::eventLogsClippedBetweenTimestamp(double begin, double end,
                                                          const HXReportController& controller) const {
    return m_store->eventLogsClippedBetweenTimestamp(controller.identifier(), begin, end);
}

void HXReportSnapshotManager::getFirstTimestamp(double* first, double* last,
                                                const HXReportController& controller) const {
    *first = 0;
    *last = 0;
    m_store->getFirstTimestamp(controller.identifier(), first, last);
}
