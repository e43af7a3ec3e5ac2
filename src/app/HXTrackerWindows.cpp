#include "app/HXTrackerWindows.h"

#include "foundation/HXUserDefaults.h"
#include "reports/HXReportController.h"
#include "reports/widgets/HXLiveReportWindow.h"
#include "reports/widgets/HXReportPane.h"
#include "reports/widgets/HXReportWindow.h"
#include "ui/shell/HXDesktopShell.h"
#include "ui/shell/HXListWindow.h"

#include <QLayout>

namespace {

void takeOut(QWidget* container) {
    if (container->parentWidget() && container->parentWidget()->layout())
        container->parentWidget()->layout()->removeWidget(container);
    container->hide();
    container->setParent(nullptr);
}

} // namespace

HXTrackerWindows::HXTrackerWindows(HXDesktopShell& shell, HXUserDefaults& defaults,
                                   HXLiveReportWindow& liveReport, QObject* parent)
    : QObject(parent), m_shell(shell), m_defaults(defaults), m_liveReport(liveReport),
      m_menuTarget(liveReport.controller(), [&liveReport] { return liveReport.isVisible(); }) {
    connect(&m_liveReport, &HXLiveReportWindow::contextMenuRequested, &m_shell,
            &HXDesktopShell::showContextMenuForEventLog);
    const auto addMenuBar = [this](HXReportWindow* window) {
        m_shell.installMenuBar(*window, &m_menuTarget);
    };
    if (HXReportWindow* window = m_liveReport.window())
        addMenuBar(window);
    connect(&m_liveReport, &HXLiveReportWindow::windowCreated, this, addMenuBar);
}

HXTrackerWindows::~HXTrackerWindows() {
    detachContainers();
}

QWidget* HXTrackerWindows::listContainer() {
    return m_shell.listContainer();
}

QWidget* HXTrackerWindows::liveReportContainer() {
    return &m_liveReport.pane();
}

QWidget* HXTrackerWindows::listWindow() const {
    return m_shell.listWindow();
}

QWidget* HXTrackerWindows::liveReportWindow() const {
    return m_liveReport.window();
}

void HXTrackerWindows::detachContainers() {
    m_shell.saveOrganizerDividerPosition();
    if (QWidget* window = listWindow())
        window->close();
    if (QWidget* container = listContainer())
        takeOut(container);
    m_liveReport.detachPane();
}

void HXTrackerWindows::attachContainersToWindows() {
    if (QWidget* container = listContainer())
        m_shell.listWindow()->setContainer(container);
    m_liveReport.attachPaneToWindow();
}

void HXTrackerWindows::restoreListDividerPosition() {
    m_shell.restoreOrganizerDividerPosition();
}

void HXTrackerWindows::showWindows(bool activate) {
    if (activate)
        m_liveReport.showReportWindowUnlessClosed();
    else
        m_liveReport.openUnlessClosed();
    // A window always shows.
    QWidget* list = listWindow();
    if (list && (!m_defaults.boolForKey(u"Organizer: Closed") || !m_liveReport.isVisible())) {
        list->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
        list->show();
        restoreListDividerPosition();
    }
}

void HXTrackerWindows::bringWindowsToFront() {
    QWidget* container = listContainer();
    if (!container || container->window() != listWindow())
        return;
    m_defaults.setBool(u"Organizer: Closed", false);
    showWindows(true);
    listWindow()->raise();
    if (isPreferencesWindowVisible())
        orderListWindowBelowPreferences();
    else
        listWindow()->activateWindow();
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

QWidget* HXTrackerWindows::reportWindow() {
    return &m_liveReport.loadReportWindow();
}

void HXTrackerWindows::toggleReportWindow() {
    m_liveReport.toggleReportWindow();
}

bool HXTrackerWindows::isReportWindowOpen() const {
    return m_liveReport.isWindowOpen();
}

bool HXTrackerWindows::isReportWindowClosed() const {
    return m_defaults.boolForKey(u"Report: Default: Closed");
}

bool HXTrackerWindows::isReportViewVisible() const {
    return m_liveReport.isVisible();
}

void HXTrackerWindows::getReportInterval(double* begin, double* end) {
    // What its pickers show, resolved now: a named interval runs to the newest data.
    m_liveReport.controller().getBeginTimestamp(begin, end, nullptr, nullptr);
}

void HXTrackerWindows::applyStayInFront() {
    m_liveReport.setStaysInFront(m_defaults.boolForKey(u"Report: Default: Stay In Front"));
}
