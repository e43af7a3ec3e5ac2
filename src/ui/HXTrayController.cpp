#include "ui/HXTrayController.h"

#include "engine/HXMainController.h"
#include "foundation/HXLocalization.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QWidget>

namespace {

// A clock face: filled while tracking, hollow while suspended.
QIcon statusIcon(bool hibernating) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x66, 0x44, 0x66), 3));
    painter.setBrush(hibernating ? Qt::transparent : QColor(0x99, 0x66, 0x99));
    painter.drawEllipse(QRectF(3, 3, 26, 26));
    painter.setPen(QPen(Qt::white, 3));
    painter.drawLine(QPointF(16, 16), QPointF(16, 8));
    painter.drawLine(QPointF(16, 16), QPointF(22, 16));
    return QIcon(pixmap);
}

} // namespace

HXTrayController::HXTrayController(HXMainController& controller, std::function<void()> quit, QObject* parent)
    : QObject(parent), m_controller(controller), m_quit(std::move(quit)) {
    connect(&controller.hibernation(), &HXHibernation::iconNeedsUpdate, this, &HXTrayController::updateIcon);
}

HXTrayController::~HXTrayController() = default;

void HXTrayController::chooseApplicationMode() {
    m_menu = std::make_unique<QMenu>();
    m_menu->addAction(HXLocalized("Suspend Timers..."), this,
                      [this] { m_controller.hibernation().toggleHibernation(); });
    m_menu->addSeparator();
    m_menu->addAction(HXLocalized("Quit Qualdern"), this, [this] { m_quit(); });
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray = std::make_unique<QSystemTrayIcon>(statusIcon(false));
        m_tray->setToolTip(QStringLiteral("Qualdern"));
        m_tray->setContextMenu(m_menu.get());
        m_tray->show();
        return;
    }
    // No tray on this desktop: a small window keeps the program reachable.
    m_window = std::make_unique<QWidget>();
    m_window->setWindowTitle(QStringLiteral("Qualdern"));
    // Starting the tracker must not take the focus from what the user is doing.
    m_window->setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QHBoxLayout(m_window.get());
    layout->addWidget(new QLabel(HXLocalized("Qualdern is tracking."), m_window.get()));
    auto* suspend = new QPushButton(HXLocalized("Suspend Timers..."), m_window.get());
    connect(suspend, &QPushButton::clicked, this, [this] { m_controller.hibernation().toggleHibernation(); });
    layout->addWidget(suspend);
    auto* quitButton = new QPushButton(HXLocalized("Quit"), m_window.get());
    connect(quitButton, &QPushButton::clicked, this, [this] { m_quit(); });
    layout->addWidget(quitButton);
}

bool HXTrayController::isStatusItemMode() const {
    return static_cast<bool>(m_tray);
}

void HXTrayController::completeUserInterface() {
    updateIcon();
}

void HXTrayController::doAutoTasksIfNecessary() {
    if (m_autoTasks)
        m_autoTasks();
}

void HXTrayController::showReportSnapshots(const QStringList& files) {
    if (m_openSnapshots)
        m_openSnapshots(files);
}

void HXTrayController::terminate() {
    if (!m_terminationCheck || m_terminationCheck())
        QApplication::quit();
}

void HXTrayController::updateIcon() {
    const bool hibernating = m_controller.hibernation().isHibernating();
    if (m_tray) {
        m_tray->setIcon(statusIcon(hibernating));
        m_tray->setToolTip(hibernating ? HXLocalized("Qualdern (suspended)") : QStringLiteral("Qualdern"));
    }
    if (m_window) {
        m_window->setWindowIcon(statusIcon(hibernating));
        m_window->show();
    }
}
