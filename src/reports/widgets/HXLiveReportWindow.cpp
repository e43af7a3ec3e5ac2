#include "reports/widgets/HXLiveReportWindow.h"

#include "reports/HXLiveReportDelegate.h"
#include "reports/HXReportController.h"
#include "reports/widgets/HXReportPane.h"
#include "reports/widgets/HXReportWindow.h"

#include "foundation/HXClock.h"
#include "foundation/HXLocalization.h"
#include "foundation/HXUserDefaults.h"

#include <QLayout>
#include <QPainter>

HXLiveReportWindow::HXLiveReportWindow(const HXLiveReportSource& source, HXUserDefaults& defaults,
                                       HXScheduler& scheduler, const HXClock& clock, QObject* parent)
    : QObject(parent), m_defaults(defaults), m_scheduler(scheduler), m_clock(clock),
      m_delegate(std::make_unique<HXLiveReportDelegate>(source)) {
    const QString identifier = QString::fromUtf16(HXReportController::kLiveReportIdentifier);
    HXReportSettings::registerLiveReportDefaults(defaults, identifier);
    m_controller = std::make_unique<HXReportController>(HXReportSettings(identifier, defaults),
                                                        m_delegate.get(), clock, defaults, true);
}

HXLiveReportWindow::~HXLiveReportWindow() {
    // The window lets go of the pane, the pane's view of the controller, before either goes.
    if (m_window)
        m_window->detachPane();
    m_window.reset();
    m_pane.reset();
}

HXReportPane& HXLiveReportWindow::pane() {
    if (!m_pane) {
        m_pane = std::make_unique<HXReportPane>(*m_controller, m_defaults, m_scheduler, m_clock);
        m_pane->view().setKeyRepeatTiming(m_keyRepeat);
        connect(&m_pane->view(), &HXReportView::contextMenuRequested, this,
                &HXLiveReportWindow::contextMenuRequested);
    }
    return *m_pane;
}

HXReportWindow& HXLiveReportWindow::loadReportWindow() {
    if (m_window)
        return *m_window;
    m_window = std::make_unique<HXReportWindow>(*m_controller, m_defaults, QStringLiteral("Report: Default"),
                                                &pane());
    m_window->setWindowTitle(HXLocalized("Live Report"));
    m_window->setStaysInFront(m_controller->staysInFront());
    const QRect half = HXReportWindow::halfScreenFrame();
    if (half.isNull())
        m_window->resize(480, 600);
    else
        m_window->restoreFrame(half);
    Q_EMIT windowCreated(m_window.get());
    return *m_window;
}

void HXLiveReportWindow::attachPaneToWindow() {
    loadReportWindow().attachPane(&pane());
}

void HXLiveReportWindow::detachPane() {
    if (m_window && m_window->pane()) {
        m_window->detachPane();
        return;
    }
    // Out of the status item's panel.
    if (!m_pane || !m_pane->parentWidget())
        return;
    if (QLayout* layout = m_pane->parentWidget()->layout())
        layout->removeWidget(m_pane.get());
    m_pane->hide();
    m_pane->setParent(nullptr);
}

QImage HXLiveReportWindow::liveReportImage(const QSize& size, bool withBackground) {
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const HXReportView& view = pane().view();
    QPainter painter(&image);
    const QRectF bounds(QPointF(0, 0), QSizeF(image.size()));
    drawReportInBounds(painter, view.content(), view.drawingStyle(), HXReportPointerState(), bounds, bounds,
                       withBackground, false, false);
    return image;
}

bool HXLiveReportWindow::isVisible() const {
    return m_window && m_window->isVisible();
}

void HXLiveReportWindow::showReportWindow() {
    HXReportWindow& window = loadReportWindow();
    m_controller->setClosed(false);
    window.view().updateIgnoringVisibility(true);
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

void HXLiveReportWindow::showReportWindowUnlessClosed() {
    if (!m_controller->isClosed())
        showReportWindow();
}

bool HXLiveReportWindow::isWindowOpen() const {
    return m_window && m_window->isVisible() && !m_window->isMinimized();
}

void HXLiveReportWindow::toggleReportWindow() {
    HXReportWindow& window = loadReportWindow();
    // Each window has its own menu bar: the entry's check mark says whether this one is open.
    if (isWindowOpen()) {
        // As its close button does.
        window.close();
        return;
    }
    showReportWindow();
}

void HXLiveReportWindow::openUnlessClosed() {
    if (m_controller->isClosed())
        return;
    HXReportWindow& window = loadReportWindow();
    window.view().updateIgnoringVisibility(true);
    // Starting the tracker must not take the focus from what the user is doing.
    window.setAttribute(Qt::WA_ShowWithoutActivating, true);
    window.show();
    window.setAttribute(Qt::WA_ShowWithoutActivating, false);
}

void HXLiveReportWindow::updateIgnoringVisibility(bool ignoreVisibility) {
    if (!m_pane)
        return;
    // Sampling ticks come twice a second; the report's texts show whole seconds, so once a second is all
    // they can show. Changes the user makes update at once.
    const double now = m_clock.now();
    if (!ignoreVisibility && now >= m_lastTickUpdate && now - m_lastTickUpdate < kTickUpdateInterval)
        return;
    if (!ignoreVisibility)
        m_lastTickUpdate = now;
    pane().view().updateIgnoringVisibility(ignoreVisibility);
}

void HXLiveReportWindow::setStaysInFront(bool stay) {
    m_controller->setStaysInFront(stay);
    if (m_window)
        m_window->setStaysInFront(stay);
}

void HXLiveReportWindow::setKeyRepeatTiming(HXKeyRepeatTiming timing) {
    m_keyRepeat = timing;
    if (m_pane)
        m_pane->view().setKeyRepeatTiming(timing);
}
