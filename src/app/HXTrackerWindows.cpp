#include "app/HXTrackerWindows.h"

#include "engine/HXHibernation.h"
#include "foundation/HXLocalization.h"
#include "reports/widgets/HXLiveReportWindow.h"
#include "reports/widgets/HXReportPane.h"
#include "reports/widgets/HXReportWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

std::unique_ptr<QWidget> makeWindow(const QString& title, QSize size) {
    auto window = std::make_unique<QWidget>();
    window->setWindowTitle(title);
    window->resize(size);
    auto* layout = new QVBoxLayout(window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    return window;
}

void takeOut(QWidget* container) {
    if (container->parentWidget() && container->parentWidget()->layout())
        container->parentWidget()->layout()->removeWidget(container);
    container->hide();
    container->setParent(nullptr);
}

} // namespace

HXTrackerWindows::HXTrackerWindows(HXHibernation& hibernation, HXLiveReportWindow& liveReport,
                                   std::function<void()> quit, QObject* parent)
    : QObject(parent), m_hibernation(hibernation), m_liveReport(liveReport),
      m_listContainer(std::make_unique<QWidget>()),
      m_listWindow(makeWindow(QStringLiteral("Qualdern"), QSize(420, 120))) {
    auto* layout = new QHBoxLayout(m_listContainer.get());
    m_state = new QLabel(m_listContainer.get());
    layout->addWidget(m_state, 1);
    auto* suspend = new QPushButton(HXLocalized("Suspend Timers..."), m_listContainer.get());
    connect(suspend, &QPushButton::clicked, this, [this] { m_hibernation.toggleHibernation(); });
    layout->addWidget(suspend);
    auto* quitButton = new QPushButton(HXLocalized("Quit"), m_listContainer.get());
    m_quitButton = quitButton;
    connect(quitButton, &QPushButton::clicked, this, [quit = std::move(quit)] { quit(); });
    layout->addWidget(quitButton);
    connect(&hibernation, &HXHibernation::hibernatingChanged, this, &HXTrackerWindows::updateState);
    updateState();
}

HXTrackerWindows::~HXTrackerWindows() {
    detachContainers();
}

void HXTrackerWindows::addCommandButton(const QString& title, std::function<void()> command) {
    auto* layout = static_cast<QHBoxLayout*>(m_listContainer->layout());
    auto* button = new QPushButton(title, m_listContainer.get());
    connect(button, &QPushButton::clicked, this, [command = std::move(command)] { command(); });
    layout->insertWidget(layout->indexOf(m_quitButton), button);
}

void HXTrackerWindows::updateState() {
    m_state->setText(m_hibernation.isHibernating() ? HXLocalized("Qualdern is suspended.")
                                                   : HXLocalized("Qualdern is tracking."));
}

QWidget* HXTrackerWindows::liveReportContainer() {
    return &m_liveReport.pane();
}

QWidget* HXTrackerWindows::liveReportWindow() const {
    return m_liveReport.window();
}

void HXTrackerWindows::detachContainers() {
    m_listWindow->close();
    takeOut(m_listContainer.get());
    m_liveReport.detachPane();
}

void HXTrackerWindows::attachContainersToWindows() {
    m_listWindow->layout()->addWidget(m_listContainer.get());
    m_listContainer->show();
    m_liveReport.attachPaneToWindow();
}

void HXTrackerWindows::showWindows(bool activate) {
    if (activate)
        m_liveReport.showReportWindowUnlessClosed();
    else
        m_liveReport.openUnlessClosed();
    m_listWindow->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
    m_listWindow->show();
}

void HXTrackerWindows::bringWindowsToFront() {
    if (!m_listContainer->parentWidget())
        return;
    showWindows(true);
    m_listWindow->raise();
    if (isPreferencesWindowVisible())
        orderListWindowBelowPreferences();
    else
        m_listWindow->activateWindow();
}

bool HXTrackerWindows::isPreferencesWindowVisible() const {
    return m_preferencesWindow && m_preferencesWindow->isVisible();
}

void HXTrackerWindows::orderListWindowBelowPreferences() {
    m_preferencesWindow->raise();
    m_preferencesWindow->activateWindow();
}

void HXTrackerWindows::liveReportChanged() {
    m_liveReport.updateIgnoringVisibility(false);
}
