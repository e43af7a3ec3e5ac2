#include "ui/shell/HXListWindow.h"

#include "foundation/HXUserDefaults.h"
#include "ui/shell/HXWindowFrames.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace {

const QString kAutosaveName = QStringLiteral("Organizer");

} // namespace

HXListWindow::HXListWindow(HXUserDefaults& defaults, QWidget* parent)
    : QMainWindow(parent), m_defaults(defaults) {
    setWindowTitle(QStringLiteral("Qualdern"));
    setMinimumSize(320, 300);
    restoreWindowFrame(*this, defaults, kAutosaveName, HXHalfScreenFrame(false));
    m_frameSave.setSingleShot(true);
    m_frameSave.setInterval(500);
    connect(&m_frameSave, &QTimer::timeout, this,
            [this] { saveWindowFrame(*this, m_defaults, kAutosaveName); });
    applyStayInFront();
}

HXListWindow::~HXListWindow() = default;

void HXListWindow::setContainer(QWidget* container) {
    // The container sits in a holder, so that it can leave and come back without the window noticing.
    if (!centralWidget()) {
        auto* holder = new QWidget(this);
        auto* layout = new QVBoxLayout(holder);
        layout->setContentsMargins(0, 0, 0, 0);
        setCentralWidget(holder);
    }
    centralWidget()->layout()->addWidget(container);
    container->show();
}

void HXListWindow::applyStayInFront() {
    const bool stay = m_defaults.boolForKey(u"Organizer: Stay In Front");
    if (stay == windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        return;
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, stay);
    if (visible)
        show();
}

void HXListWindow::closeEvent(QCloseEvent* event) {
    if (event->spontaneous()) {
        m_defaults.setBool(u"Organizer: Closed", true);
        m_defaults.setBool(u"Report: Default: Closed Last", false);
    }
    saveWindowFrame(*this, m_defaults, kAutosaveName);
    QMainWindow::closeEvent(event);
}

void HXListWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (isVisible())
        m_frameSave.start();
}

void HXListWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (isVisible())
        m_frameSave.start();
}
