#include "ui/shell/HXDesktopShell.h"

#include "engine/HXMainController.h"
#include "engine/HXUserInterfacePort.h"
#include "filters/widgets/HXWindowTitleFilterEditing.h"
#include "foundation/HXLocalization.h"
#include "foundation/HXLog.h"
#include "foundation/HXUserDefaults.h"
#include "pictures/HXFrontActivityColor.h"
#include "pictures/HXIcons.h"
#include "platform/HXApplicationControl.h"
#include "platform/HXWorkspace.h"
#include "reports/HXCSVExport.h"
#include "reports/HXLiveReportSource.h"
#include "ui/menus/HXMenuController.h"
#include "ui/menus/HXMenuItem.h"
#include "ui/organizer/HXItemIcons.h"
#include "ui/organizer/HXItemList.h"
#include "ui/organizer/HXNotesEditor.h"
#include "ui/organizer/HXOrganizerModel.h"
#include "ui/organizer/HXOrganizerView.h"
#include "ui/shell/HXControllerAdHocTimer.h"
#include "ui/shell/HXExportFileName.h"
#include "ui/shell/HXListWindow.h"
#include "ui/shell/HXLiveReportWindowPort.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTextBrowser>

using namespace HXKeys;

namespace {

QIcon programIcon(const HXUserDefaults& defaults) {
    const QColor color = frontActivityColorForReportViewContext(false, 0, defaults);
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(colorQualdernIconWithSize(QSizeF(size, size), color)));
    return icon;
}

// The running application a record stands for: by bundle identifier, else by path.
std::optional<HXRunningApplication> itemRunningApplication(HXWorkspace& workspace, const HXDictionary& item) {
    const QString& id = item.stringForKey(ApplicationID);
    if (id.isEmpty())
        return std::nullopt;
    const std::vector<HXRunningApplication> running = workspace.runningApplications();
    for (const HXRunningApplication& application : running) {
        if (application.bundleIdentifier == id)
            return application;
    }
    for (const HXRunningApplication& application : running) {
        if (application.bundlePath && application.bundlePath->compare(id, Qt::CaseInsensitive) == 0)
            return application;
    }
    return std::nullopt;
}

// The user's part of the guide: everything before the builders' part.
QString userGuide() {
    QFile file(QStringLiteral(":/help/README.md"));
    if (!file.open(QIODevice::ReadOnly))
        return HXLocalized("The user guide is missing from this installation.");
    QString text = QString::fromUtf8(file.readAll());
    const qsizetype builders = text.indexOf(QStringLiteral("\n## Building and testing by hand"));
    if (builders > 0)
        text.truncate(builders);
    return text;
}

} // namespace

// The help resource lives in this library; a static library registers it by hand.
static void initializeHelpResource() {
    Q_INIT_RESOURCE(help);
}

HXDesktopShell::HXDesktopShell(Services services, QObject* parent)
    : QObject(parent), m_services(std::move(services)),
      m_controllerAdHocTimer(
          std::make_unique<HXControllerAdHocTimer>(m_services.controller, [this] { beep(); })),
      m_adHocTimer(m_services.adHocTimer ? m_services.adHocTimer : m_controllerAdHocTimer.get()),
      m_icons(std::make_unique<HXItemIcons>(m_services.applications)),
      m_menus(std::make_unique<HXMenuController>(m_services.controller, *this, *m_adHocTimer, *m_icons)),
      m_notesEditor(std::make_unique<HXNotesEditor>(m_services.controller)) {
    initializeHelpResource();
    HXMainController& controller = m_services.controller;
    QApplication::setWindowIcon(programIcon(controller.services().defaults));
    m_listWindow = std::make_unique<HXListWindow>(controller.services().defaults);
    m_organizer = new HXOrganizerView(controller, m_adHocTimer, *m_icons);
    m_listWindow->setContainer(m_organizer);
    installMenuBar(*m_listWindow, nullptr);
    for (HXItemList* list : {&m_organizer->applicationList(), &m_organizer->poolList()}) {
        list->setContextMenuProvider(
            [this](const HXDictionaryRef& record) { return m_menus->contextMenuForItem(record); });
        list->setActionHandler([this](const HXDictionaryRef& record) { performActionForItem(record); });
        list->setDeleteHandler([this] { deleteSelection(); });
        list->setDraggedDeletionHandler([&controller](const HXDictionaryRef& record) {
            return controller.deleteItem(record, {.confirm = false});
        });
    }
    // Shortcuts of the menu bars must be usable whenever they would be: their entries follow the state.
    connect(&m_services.controller, &HXMainController::poolListReloaded, this,
            &HXDesktopShell::validateMenuBars);
    connect(qApp, &QApplication::focusChanged, this, &HXDesktopShell::validateMenuBars);
}

HXDesktopShell::~HXDesktopShell() = default;

HXOrganizerView* HXDesktopShell::organizer() const {
    return m_organizer;
}

void HXDesktopShell::beep() const {
    m_services.controller.services().ui.beep();
}

void HXDesktopShell::setLiveReportWindow(HXLiveReportWindowPort* window) {
    m_liveReport = window;
    m_menus->setLiveReportMenuTarget(window ? window->menuTarget() : nullptr);
}

QWidget* HXDesktopShell::listContainer() const {
    return m_organizer;
}

void HXDesktopShell::installMenuBar(QWidget& window, HXReportMenuTarget* report) {
    auto* bar = new QMenuBar(&window);
    m_menus->populateMenuBar(bar, report);
    if (auto* main = qobject_cast<QMainWindow*>(&window))
        main->setMenuBar(bar);
    else if (window.layout())
        window.layout()->setMenuBar(bar);
    m_menuBars.emplace_back(bar);
    for (QAction* menu : bar->actions()) {
        if (menu->menu())
            m_menus->validateMenu(*menu->menu(), Qt::NoModifier);
    }
}

void HXDesktopShell::showContextMenuForEventLog(const HXDictionaryRef& log, const QPoint& globalPosition) {
    std::unique_ptr<QMenu> menu = log ? m_menus->contextMenuForEventLog(*log) : nullptr;
    if (menu)
        menu->exec(globalPosition);
}

void HXDesktopShell::validateMenuBars() {
    // A copy: validating may make the live report window, whose menu bar joins the list.
    const std::vector<QPointer<QMenuBar>> bars = m_menuBars;
    for (const QPointer<QMenuBar>& bar : bars) {
        if (!bar)
            continue;
        for (QAction* top : bar->actions()) {
            QMenu* menu = top->menu();
            if (!menu || menu->isVisible())
                continue;
            for (QAction* action : menu->actions()) {
                auto* item = qobject_cast<HXMenuItem*>(action);
                // Entries with a keyboard shortcut; the others are validated when their menu opens.
                if (item && !item->shortcut().isEmpty())
                    item->setEnabled(m_menus->validateMenuItem(*item));
            }
        }
    }
}

void HXDesktopShell::showReportSnapshots(const QStringList& files) {
    if (m_services.openSnapshots)
        m_services.openSnapshots(files);
}

void HXDesktopShell::saveOrganizerDividerPosition() {
    if (m_organizer)
        m_organizer->saveListSplitViewDividerPosition();
}

void HXDesktopShell::restoreOrganizerDividerPosition() {
    if (m_organizer)
        m_organizer->restoreListSplitViewDividerPosition();
}

bool HXDesktopShell::isListWindowKey() const {
    return m_listWindow && m_listWindow->isActiveWindow();
}

bool HXDesktopShell::isLiveReportWindowKey() const {
    // Only an open window can be key: asking no further leaves a window never opened unmade.
    if (!m_liveReport || !m_liveReport->isReportWindowOpen())
        return false;
    QWidget* window = m_liveReport->reportWindow();
    return window && window->isActiveWindow();
}

bool HXDesktopShell::isListWindowOpen() const {
    return m_listWindow && m_listWindow->isVisible() && !m_listWindow->isMinimized();
}

bool HXDesktopShell::isLiveReportWindowOpen() const {
    return m_liveReport && m_liveReport->isReportWindowOpen();
}

bool HXDesktopShell::isListWindowActive() const {
    if (isListWindowKey())
        return true;
    // The status item's panel showing the organizer.
    QWidget* holder = m_organizer ? m_organizer->window() : nullptr;
    return holder && holder != m_listWindow.get() && holder != m_organizer && holder->isVisible() &&
           m_organizer->isVisible();
}

bool HXDesktopShell::isReportWindowKey() const {
    if (isLiveReportWindowKey())
        return true;
    // Snapshot windows are the program's other top-level windows.
    QWidget* active = QApplication::activeWindow();
    return active && active != m_listWindow.get() && !qobject_cast<QDialog*>(active);
}

bool HXDesktopShell::isLiveReportViewVisible() const {
    return m_liveReport && m_liveReport->isReportViewVisible();
}

HXDictionaryRef HXDesktopShell::selectedItem() const {
    return m_organizer ? m_organizer->selectedItem() : nullptr;
}

bool HXDesktopShell::hasRowForItem(const HXDictionary* record) const {
    return m_organizer && m_organizer->hasRowForItem(record);
}

bool HXDesktopShell::isRowExpandedForItem(const HXDictionary* record) const {
    return m_organizer && m_organizer->isRowExpandedForItem(record);
}

bool HXDesktopShell::toggleExpansionForItem(const HXDictionary* record) {
    return m_organizer && m_organizer->toggleExpansionForItem(record);
}

QWidget* HXDesktopShell::referenceWindow() {
    // In the status item's panel, sheets hang on the panel.
    QWidget* holder = m_organizer ? m_organizer->window() : nullptr;
    if (holder && holder != m_listWindow.get() && holder != m_organizer && holder->isVisible())
        return holder;
    if (!m_listWindow)
        return nullptr;
    if (!m_listWindow->isVisible())
        m_listWindow->show();
    m_listWindow->raise();
    m_listWindow->activateWindow();
    return m_listWindow.get();
}

bool HXDesktopShell::isNotesEditorOpen() const {
    return m_notesEditor->isOpen();
}

void HXDesktopShell::editNotesForPool(const HXDictionaryRef& pool) {
    m_notesEditor->editNotesForPool(pool, referenceWindow());
}

void HXDesktopShell::noteEditorDone() {
    m_notesEditor->noteEditorDone();
}

void HXDesktopShell::performActionForItem(const HXDictionaryRef& record) {
    if (!record)
        return;
    HXMainController& controller = m_services.controller;
    if (record->stringForKey(Path) == kPoolPath) {
        if (controller.services().defaults.boolForKey(u"Show Info Buttons"))
            editNotesForPool(record);
        else
            controller.togglePauseForPool(record);
        return;
    }
    editWindowTitleFiltersForApplication(record);
}

void HXDesktopShell::editWindowTitleFiltersForApplication(const HXDictionaryRef& application) {
    HXMainController& controller = m_services.controller;
    if (!application || !application->isWindowTitleFilterEligibleItem() || !controller.configuration())
        return;
    const bool started = ::editWindowTitleFiltersForApplication(
        controller.configuration(), application, referenceWindow(),
        [&controller] { controller.pushUndoStateAndClearRedoStatesAfterDelay(); },
        [this, &controller](bool changed) {
            controller.setModal(false);
            if (changed)
                controller.updateLists(HXTrigger::Command);
            redisplayLists();
        });
    if (started)
        controller.setModal(true);
}

void HXDesktopShell::exportCSV(const HXDictionaryRef& pool) {
    HXMainController& controller = m_services.controller;
    // From the organizer: all data; otherwise the live report's interval.
    double begin = controller.firstTimestamp();
    double end =
        controller.configuration() ? controller.configuration()->timeIntervalForKey(u"Last Timestamp") : 0;
    QWidget* window = nullptr;
    if (isListWindowKey() || !m_liveReport) {
        window = referenceWindow();
    } else {
        window = m_liveReport->reportWindow();
        if (window && !window->isVisible())
            m_liveReport->toggleReportWindow();
        if (!window || !window->isVisible()) {
            HXSystemLog(QStringLiteral("where's my live report?"));
            beep();
            return;
        }
        m_liveReport->getReportInterval(&begin, &end);
    }
    const QString base = pool ? pool->itemName() : QStringLiteral("Qualdern");
    auto* panel = new QFileDialog(window, HXLocalized("Export Snapshot"));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setAcceptMode(QFileDialog::AcceptSave);
    panel->setFileMode(QFileDialog::AnyFile);
    panel->setNameFilter(HXLocalized("CSV files (*.csv)"));
    panel->setDefaultSuffix(QStringLiteral("csv"));
    panel->setDirectory(QDir::homePath());
    panel->selectFile(proposedExportFileName(base, begin, end) + QStringLiteral(".csv"));
    panel->setWindowModality(Qt::WindowModal);
    controller.setModal(true);
    connect(panel, &QFileDialog::finished, this, [this, &controller, pool, begin, end, panel](int result) {
        controller.setModal(false);
        const QStringList chosen = panel->selectedFiles();
        if (result != QDialog::Accepted || chosen.isEmpty())
            return;
        if (!exportPool(m_services.reports, pool, begin, end, chosen.front())) {
            beep();
            QMessageBox::warning(
                referenceWindow(), HXLocalized("Export Snapshot"),
                HXLocalized("The snapshot could not be written to \u201C%@\u201D.")
                    .replace(QStringLiteral("%@"), QDir::toNativeSeparators(chosen.front())));
        }
    });
    panel->open();
}

void HXDesktopShell::openCSV() {
    QWidget* window = QApplication::activeWindow();
    auto* panel = new QFileDialog(window, HXLocalized("Open Snapshot"));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setAcceptMode(QFileDialog::AcceptOpen);
    panel->setFileMode(QFileDialog::ExistingFiles);
    panel->setNameFilter(HXLocalized("CSV files (*.csv)"));
    panel->setDirectory(QDir::homePath());
    connect(panel, &QFileDialog::filesSelected, this,
            [this](const QStringList& files) { showReportSnapshots(files); });
    panel->open();
}

void HXDesktopShell::showPreferencesWindow() {
    if (m_showPreferences)
        m_showPreferences();
}

void HXDesktopShell::showAboutWindow() {
    QMessageBox::about(QApplication::activeWindow(), HXLocalized("About Qualdern"),
                       QStringLiteral("<h3>Qualdern %1</h3><p>%2</p>")
                           .arg(QCoreApplication::applicationVersion().toHtmlEscaped(),
                                HXLocalized("A personal time tracker: how long each application, window and "
                                            "pool was in use, and in front.")
                                    .toHtmlEscaped()));
}

void HXDesktopShell::help() {
    if (!m_helpWindow) {
        m_helpWindow = std::make_unique<QTextBrowser>();
        m_helpWindow->setWindowTitle(HXLocalized("Qualdern Help"));
        m_helpWindow->setOpenExternalLinks(true);
        m_helpWindow->setSearchPaths({QStringLiteral(":/help")});
        m_helpWindow->setMarkdown(userGuide());
        m_helpWindow->resize(720, 640);
    }
    m_helpWindow->show();
    m_helpWindow->raise();
    m_helpWindow->activateWindow();
}

void HXDesktopShell::quitDeliberately(bool withoutConfirmation) {
    if (m_services.quit)
        m_services.quit(withoutConfirmation);
}

void HXDesktopShell::deleteSelection() {
    const HXDictionaryRef selected = selectedItem();
    if (!selected || !m_services.controller.deleteItem(selected, {}))
        beep();
}

bool HXDesktopShell::launchApplication(const HXDictionaryRef& item) {
    if (!item || !m_services.applications)
        return false;
    HXWorkspace& workspace = m_services.controller.services().workspace;
    if (const std::optional<HXRunningApplication> running = itemRunningApplication(workspace, *item)) {
        if (m_services.applications->activate(*running))
            return true;
    }
    return m_services.applications->launch(item->stringForKey(Path));
}

bool HXDesktopShell::quitApplication(const HXDictionaryRef& item) {
    if (!item || !m_services.applications)
        return false;
    const std::optional<HXRunningApplication> running =
        itemRunningApplication(m_services.controller.services().workspace, *item);
    return running && m_services.applications->close(*running);
}

void HXDesktopShell::toggleListWindow() {
    if (!m_listWindow)
        return;
    HXUserDefaults& defaults = m_services.controller.services().defaults;
    // Every window has its own menu bar here, so the entry's check mark says whether the list window is
    // open, and choosing the entry flips that from either window.
    const bool wasOpen = isListWindowOpen();
    if (wasOpen) {
        m_listWindow->close();
        defaults.setBool(u"Report: Default: Closed Last", false);
    } else {
        m_listWindow->setWindowState(m_listWindow->windowState() & ~Qt::WindowMinimized);
        m_listWindow->show();
        m_listWindow->raise();
        m_listWindow->activateWindow();
        m_organizer->restoreListSplitViewDividerPosition();
    }
    defaults.setBool(u"Organizer: Closed", wasOpen);
}

void HXDesktopShell::toggleReportWindow() {
    if (m_liveReport)
        m_liveReport->toggleReportWindow();
    else
        beep();
}

void HXDesktopShell::applyStayInFront(bool liveReportWindow) {
    if (liveReportWindow) {
        if (m_liveReport)
            m_liveReport->applyStayInFront();
    } else if (m_listWindow) {
        m_listWindow->applyStayInFront();
    }
}

void HXDesktopShell::redisplayLists() {
    if (m_organizer)
        m_organizer->redisplay();
}

void HXDesktopShell::redisplayReports() {
    if (m_liveReport)
        m_liveReport->redisplay();
}
