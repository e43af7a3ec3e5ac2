#include "reports/widgets/HXReportWindow.h"

#include "reports/HXReportController.h"
#include "reports/widgets/HXReportPane.h"

#include "foundation/HXFrameString.h"
#include "foundation/HXUserDefaults.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr QSize kMinimumSize(360, 200);

} // namespace

HXReportWindow::HXReportWindow(HXReportController& controller, HXUserDefaults& defaults, QString autosaveName,
                               HXReportPane* pane, QWidget* parent)
    : QWidget(parent, Qt::Window), m_controller(controller), m_defaults(defaults),
      m_autosaveName(std::move(autosaveName)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setMinimumSize(kMinimumSize);
    if (pane)
        attachPane(pane);
}

HXReportWindow::~HXReportWindow() = default;

void HXReportWindow::attachPane(HXReportPane* pane) {
    if (m_pane == pane)
        return;
    if (m_pane)
        detachPane();
    m_pane = pane;
    layout()->addWidget(pane);
    pane->show();
}

HXReportPane* HXReportWindow::detachPane() {
    hideQuietly();
    HXReportPane* pane = m_pane;
    m_pane = nullptr;
    if (pane) {
        layout()->removeWidget(pane);
        pane->hide();
        pane->setParent(nullptr);
    }
    return pane;
}

HXReportView& HXReportWindow::view() const {
    return m_pane->view();
}

QToolButton& HXReportWindow::viewButton() const {
    return m_pane->viewButton();
}

QComboBox& HXReportWindow::intervalSelector() const {
    return m_pane->intervalSelector();
}

QMenu& HXReportWindow::viewMenu() const {
    return m_pane->viewMenu();
}

void HXReportWindow::hideQuietly() {
    if (!isVisible())
        return;
    m_quiet = true;
    close();
    m_quiet = false;
}

QRect HXReportWindow::halfScreenFrame() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QRect();
    const QRect v = screen->availableGeometry();
    // Small screens keep room for the bar's controls.
    const int width = std::min(v.width(), std::max(500, static_cast<int>(std::floor(0.5 * v.width() - 225))));
    const int height = std::max(240, v.height() - 300);
    return QRect(v.x() + v.width() - 150 - width, v.y() + 150, width, height);
}

void HXReportWindow::restoreFrame(const QRect& fallback) {
    m_restoringFrame = true;
    QRect frame =
        HXFrameFromString(m_defaults.stringForKey(QStringLiteral("Window Frame: ") + m_autosaveName))
            .value_or(QRect());
    bool onScreen = false;
    for (const QScreen* screen : QGuiApplication::screens())
        onScreen = onScreen || screen->availableGeometry().intersects(frame);
    if (frame.width() < 100 || frame.height() < 80 || !onScreen)
        frame = QRect();
    if (frame.isNull())
        frame = fallback;
    if (!frame.isNull()) {
        resize(frame.size());
        move(frame.topLeft());
    }
    m_restoringFrame = false;
}

void HXReportWindow::saveFrame() {
    if (m_restoringFrame || !isVisible())
        return;
    m_defaults.setString(QStringLiteral("Window Frame: ") + m_autosaveName,
                         HXStringFromFrame(QRect(pos(), size())));
}

void HXReportWindow::setStaysInFront(bool stay) {
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == stay)
        return;
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, stay);
    if (visible)
        show();
}

void HXReportWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    saveFrame();
}

void HXReportWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    saveFrame();
}

bool HXReportWindow::event(QEvent* event) {
    // No narrower than the pane's controls need: squeezed, the date pickers cut their dates short.
    if (event->type() == QEvent::LayoutRequest && layout())
        setMinimumSize(layout()->minimumSize().expandedTo(kMinimumSize));
    return QWidget::event(event);
}

void HXReportWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (m_quiet)
        return;
    m_controller.setClosed(true);
    if (m_pane)
        m_pane->resetFocus();
    Q_EMIT windowWillClose(this);
}
