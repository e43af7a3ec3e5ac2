// The menus as built: the main menu, the menu bar of window mode, the View entries and the context menus.
#include "ui/menus/HXMenuController.h"

#include "engine/HXMainController.h"
#include "foundation/HXLocalization.h"
#include "foundation/HXUserDefaults.h"
#include "ui/menus/HXMenuHost.h"
#include "ui/menus/HXMenuItem.h"
#include "ui/menus/HXMenuTitles.h"

#include <QActionGroup>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

using namespace HXKeys;

namespace {

bool isPool(const HXDictionary& record) {
    return record.stringForKey(Path) == kPoolPath;
}

bool isAdHoc(const HXDictionary& record) {
    return record.stringForKey(ApplicationID) == kAdHocPath;
}

bool isWindowPath(const HXDictionary& record) {
    return record.stringForKey(Path) == kWindowPath;
}

// The rows below the record in the organizer: its list windows, else its children.
qsizetype childCount(const HXDictionary& record) {
    if (const HXArrayRef& windows = record.listWindows(); windows && !windows->isEmpty())
        return windows->count();
    const HXArray* children = record.arrayPointerForKey(Children);
    return children ? children->count() : 0;
}

HXMenuItem* findItem(QMenu& menu, HXMenuAction action, int tag = 0) {
    for (QAction* action_ : menu.actions()) {
        auto* item = qobject_cast<HXMenuItem*>(action_);
        if (item && item->menuAction() == action && item->tag() == tag)
            return item;
        if (action_->menu()) {
            if (HXMenuItem* found = findItem(*action_->menu(), action, tag))
                return found;
        }
    }
    return nullptr;
}

} // namespace

HXMenuController::HXMenuController(HXMainController& controller, HXMenuHost& host,
                                   HXAdHocTimerCommands& adHocTimer, HXItemIcons& icons, QObject* parent)
    : QObject(parent), m_controller(controller), m_host(host), m_adHocTimer(adHocTimer), m_icons(icons) {}

HXMenuController::~HXMenuController() = default;

HXMenuItem* HXMenuController::addItem(QMenu& menu, const QString& title, HXMenuAction action) {
    auto* item = new HXMenuItem(title, action, &menu);
    connect(item, &QAction::triggered, this, [this, item] { perform(*item); });
    menu.addAction(item);
    return item;
}

void HXMenuController::watch(QMenu& menu) {
    connect(&menu, &QMenu::aboutToShow, this,
            [this, &menu] { validateMenu(menu, QGuiApplication::queryKeyboardModifiers()); });
    // Holding or letting go of Alt or Control while the menu is open switches its alternates.
    menu.installEventFilter(this);
}

bool HXMenuController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Alt || key->key() == Qt::Key_Control || key->key() == Qt::Key_Shift) {
            if (auto* menu = qobject_cast<QMenu*>(watched))
                showAlternates(*menu, QGuiApplication::queryKeyboardModifiers());
        }
    }
    return QObject::eventFilter(watched, event);
}

void HXMenuController::showAlternates(QMenu& menu, Qt::KeyboardModifiers modifiers) const {
    const Qt::KeyboardModifiers relevant =
        modifiers & (Qt::AltModifier | Qt::ControlModifier | Qt::ShiftModifier);
    HXMenuItem* primary = nullptr;
    for (QAction* action : menu.actions()) {
        auto* item = qobject_cast<HXMenuItem*>(action);
        if (!item) {
            primary = nullptr;
            continue;
        }
        if (!item->isAlternate()) {
            primary = item;
            item->setVisible(true);
            continue;
        }
        const bool shown = relevant == item->alternateModifiers();
        item->setVisible(shown);
        if (primary && shown)
            primary->setVisible(false);
    }
}

void HXMenuController::addFileMenuItems(QMenu& menu) {
    addItem(menu, HXLocalized("Open Snapshot..."), HXMenuAction::OpenCSV);
    addItem(menu, QStringLiteral("<< Export >>"), HXMenuAction::ExportCSV);
    menu.addSeparator();
    addItem(menu, QStringLiteral("<< Ad Hoc >>"), HXMenuAction::StartAdHocTimer);
    addItem(menu, QStringLiteral("<< Pause >>"), HXMenuAction::TogglePause);
    addItem(menu, HXLocalized("Reset Timer..."), HXMenuAction::ResetTimer);
    menu.addSeparator();
    addItem(menu, HXLocalized("Reset All App Timers..."), HXMenuAction::ResetApplicationTimers);
    addItem(menu, HXLocalized("Reset All Pool Timers..."), HXMenuAction::ResetPoolTimers);
    addItem(menu, HXLocalized("Reset All Timers..."), HXMenuAction::ResetAllTimers);
    if (m_controller.services().defaults.boolForKey(u"Status Item Menu Includes Clear Items")) {
        menu.addSeparator();
        addItem(menu, HXLocalized("Clear Pools..."), HXMenuAction::ClearPools);
        addItem(menu, HXLocalized("Clear All..."), HXMenuAction::ClearAll);
    }
    menu.addSeparator();
    addItem(menu, QStringLiteral("<< Filter >>"), HXMenuAction::EditWindowTitleFilters);
    addItem(menu, QStringLiteral("<< Notes >>"), HXMenuAction::EditNotes);
}

QMenu* HXMenuController::populateMainMenu(QMenu* menu) {
    if (!menu)
        menu = new QMenu(QStringLiteral("Qualdern"));
    // The tray's menu is filled again each time it shows: the earlier submenus go, and the menu is
    // watched once.
    for (QMenu* earlier : menu->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        earlier->deleteLater();
    if (!menu->property("qualdernWatched").toBool()) {
        watch(*menu);
        menu->setProperty("qualdernWatched", true);
    }
    addItem(*menu, QStringLiteral("<< Suspend Timers >>"), HXMenuAction::ToggleHibernation);
    addItem(*menu, HXLocalized("Preferences..."), HXMenuAction::ShowPreferencesWindow);
    HXMenuItem* debug = addItem(*menu, HXLocalized("Enable Debug Logging"), HXMenuAction::ToggleDebugLogging);
    debug->setCheckable(true);
    debug->setAlternateModifiers(Qt::AltModifier | Qt::ControlModifier);
    menu->addSeparator();

    QMenu* file = menu->addMenu(HXLocalized("File"));
    watch(*file);
    addFileMenuItems(*file);
    QMenu* view = menu->addMenu(HXLocalized("View"));
    populateViewMenu(view, nullptr);
    menu->addSeparator();

    addItem(*menu, HXLocalized("Undo"), HXMenuAction::Undo);
    addItem(*menu, HXLocalized("Redo"), HXMenuAction::Redo);
    menu->addSeparator();
    addItem(*menu, HXLocalized("About Qualdern"), HXMenuAction::ShowAboutWindow);
    addItem(*menu, HXLocalized("Help"), HXMenuAction::Help);
    menu->addSeparator();
    addItem(*menu, HXLocalized("Quit"), HXMenuAction::QuitDeliberately);
    HXMenuItem* quitNow = addItem(*menu, HXLocalized("Quit"), HXMenuAction::QuitDeliberately);
    quitNow->setTag(1);
    quitNow->setAlternateModifiers(Qt::AltModifier);
    showAlternates(*menu, Qt::NoModifier);
    return menu;
}

void HXMenuController::populateMenuBar(QMenuBar* menuBar, HXReportMenuTarget* report) {
    QMenu* file = menuBar->addMenu(HXLocalized("&File"));
    watch(*file);
    addFileMenuItems(*file);
    file->addSeparator();
    addItem(*file, QStringLiteral("<< Suspend Timers >>"), HXMenuAction::ToggleHibernation);
    file->addSeparator();
    addItem(*file, HXLocalized("Quit"), HXMenuAction::QuitDeliberately)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    HXMenuItem* quitNow = addItem(*file, HXLocalized("Quit"), HXMenuAction::QuitDeliberately);
    quitNow->setTag(1);
    quitNow->setAlternateModifiers(Qt::AltModifier);
    findItem(*file, HXMenuAction::OpenCSV)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    findItem(*file, HXMenuAction::ExportCSV)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));

    QMenu* edit = menuBar->addMenu(HXLocalized("&Edit"));
    watch(*edit);
    addItem(*edit, HXLocalized("Undo"), HXMenuAction::Undo)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    addItem(*edit, HXLocalized("Redo"), HXMenuAction::Redo)
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    edit->addSeparator();
    addItem(*edit, HXLocalized("Remove from List..."), HXMenuAction::DeleteSelection)
        ->setShortcut(QKeySequence(Qt::Key_Delete));
    edit->addSeparator();
    addItem(*edit, HXLocalized("Preferences..."), HXMenuAction::ShowPreferencesWindow);
    HXMenuItem* debug = addItem(*edit, HXLocalized("Enable Debug Logging"), HXMenuAction::ToggleDebugLogging);
    debug->setCheckable(true);
    debug->setAlternateModifiers(Qt::AltModifier | Qt::ControlModifier);

    QMenu* view = menuBar->addMenu(HXLocalized("&View"));
    populateViewMenu(view, report);
    view->addSeparator();
    addItem(*view, HXLocalized("Organizer"), HXMenuAction::ToggleListWindow)->setCheckable(true);
    addItem(*view, HXLocalized("Live Report"), HXMenuAction::ToggleReportWindow)->setCheckable(true);
    view->addSeparator();
    addItem(*view, HXLocalized("Stay in Front"), HXMenuAction::ToggleStayInFront)->setCheckable(true);

    QMenu* help = menuBar->addMenu(HXLocalized("&Help"));
    watch(*help);
    addItem(*help, HXLocalized("Help"), HXMenuAction::Help)->setShortcut(QKeySequence(Qt::Key_F1));
    addItem(*help, HXLocalized("About Qualdern"), HXMenuAction::ShowAboutWindow);

    for (QMenu* menu : {file, edit, view, help})
        showAlternates(*menu, Qt::NoModifier);
}

void HXMenuController::populateViewMenu(QMenu* menu, HXReportMenuTarget* report) {
    watch(*menu);
    // Choices that exclude each other are a group: they show as such (radio marks) and one click moves the
    // mark.
    auto* formats = new QActionGroup(menu);
    const auto reportItem = [&](const char* title, HXMenuAction action, int tag) {
        HXMenuItem* item = addItem(*menu, HXLocalized(title), action);
        item->setTag(tag);
        item->setReportTarget(report);
        item->setCheckable(true);
        if (action == HXMenuAction::SetTimeFormat)
            formats->addAction(item);
    };
    reportItem("as Time Lapse", HXMenuAction::SetTimeFormat, 0);
    reportItem("as Time Portions", HXMenuAction::SetTimeFormat, 1);
    menu->addSeparator();
    reportItem("Foreground Activity", HXMenuAction::ToggleShownActivity, 0);
    reportItem("Total Activity", HXMenuAction::ToggleShownActivity, 1);
    menu->addSeparator();
    addItem(*menu, HXLocalized("Show Percentages"), HXMenuAction::TogglePercentages)->setCheckable(true);
    addItem(*menu, HXLocalized("Express >=24-Hour Intervals in Days"), HXMenuAction::ToggleConversionToDays)
        ->setCheckable(true);
    menu->addSeparator();
    QMenu* schemes = menu->addMenu(HXLocalized("Color Scheme"));
    watch(*schemes);
    auto* schemeGroup = new QActionGroup(schemes);
    const auto scheme = [&](const QString& title, int tag) {
        HXMenuItem* item = addItem(*schemes, title, HXMenuAction::SelectColorScheme);
        item->setTag(tag);
        item->setCheckable(true);
        schemeGroup->addAction(item);
    };
    scheme(HXLocalized("Original"), 0);
    schemes->addSeparator();
    schemes->addAction(HXLocalized("Standard Highlight Color"))->setEnabled(false);
    scheme(HXMenuTitles::indented(HXLocalized("Dark")), 1);
    scheme(HXMenuTitles::indented(HXLocalized("Light")), 2);
}

HXReportMenuTarget* HXMenuController::reportTargetOf(const HXMenuItem& item) const {
    return item.reportTarget() ? item.reportTarget() : m_liveReport;
}

std::unique_ptr<QMenu> HXMenuController::contextMenuForEventLog(const HXDictionary& eventLog) {
    const HXValue* source = eventLog.find(Source);
    return source ? contextMenuForItem(source->toDictionary(), &eventLog) : nullptr;
}

std::unique_ptr<QMenu> HXMenuController::contextMenuForItem(const HXDictionaryRef& item,
                                                            const HXDictionary* eventLog) {
    if (!item || m_controller.isModal())
        return nullptr;
    auto menu = std::make_unique<QMenu>(HXLocalized("Context"));
    watch(*menu);
    const HXDictionary& i = *item;
    const auto add = [&](const QString& title, HXMenuAction action) {
        HXMenuItem* entry = addItem(*menu, title, action);
        entry->setRepresentedObject(item);
        return entry;
    };
    const qsizetype n = childCount(i);

    if (eventLog) {
        QAction* heading = menu->addAction(HXMenuTitles::escaped(i.itemName().toUpper()));
        heading->setEnabled(false);
        if (n > 0 && m_controller.services().defaults.integerForKey(u"Live Report Content (1252)") <= 1 &&
            m_host.hasRowForItem(&i)) {
            add(m_host.isRowExpandedForItem(&i) ? HXLocalized("Collapse") : HXLocalized("Expand"),
                HXMenuAction::ToggleExpansion);
            menu->addSeparator();
        }
    }

    const bool pool = isPool(i);
    const bool poolItem = !pool && i.isPoolOrPoolItem();
    if (pool) {
        add(QStringLiteral("<< Ad Hoc >>"), HXMenuAction::StartAdHocTimer);
        add(QStringLiteral("<< Pause >>"), HXMenuAction::TogglePause);
    } else if (isAdHoc(i)) {
        add(QStringLiteral("<< Ad Hoc >>"), HXMenuAction::StartAdHocTimer);
        menu->addSeparator();
    } else if (!poolItem && !isWindowPath(i) && i.contains(Path)) {
        add(QStringLiteral("<< Filter >>"), HXMenuAction::EditWindowTitleFilters);
        menu->addSeparator();
    }
    add(HXLocalized("Reset Timer..."), HXMenuAction::ResetTimer);
    menu->addSeparator();

    if (pool || poolItem) {
        if (poolItem && !isAdHoc(i)) {
            if (!isWindowPath(i)) {
                addTrackEntry(*menu, item);
            } else if (const auto ancestors = m_controller.poolAncestorsOfItem(&i);
                       ancestors && ancestors->size() == 2) {
                addTrackEntry(*menu, ancestors->back());
            }
        }
        if (pool) {
            add(QStringLiteral("<< Notes >>"), HXMenuAction::EditNotes);
            add(QStringLiteral("<< Export >>"), HXMenuAction::ExportCSV);
            menu->addSeparator();
        }
        add(HXLocalized("Remove from List..."), HXMenuAction::DeleteItem);
    } else {
        if (!i.boolForKey(Active))
            add(HXLocalized("Remove from List..."), HXMenuAction::DeleteItem);
        add(HXLocalized("Remove from List and Add to Blacklist..."), HXMenuAction::DeleteItem)->setTag(-1);
    }

    const bool applicationLike = !pool && !isWindowPath(i) && !isAdHoc(i);
    if (applicationLike && QFileInfo::exists(i.stringForKey(Path))) {
        menu->addSeparator();
        if (i.boolForKey(Active)) {
            add(HXLocalized("Bring to Foreground"), HXMenuAction::LaunchApplication);
            add(HXLocalized("Quit"), HXMenuAction::QuitApplication);
        } else {
            add(HXLocalized("Launch"), HXMenuAction::LaunchApplication);
        }
    }
    return menu;
}

// "Track ..." acts on the application pool item: every application's windows, or its own again.
void HXMenuController::addTrackEntry(QMenu& menu, const HXDictionaryRef& target) {
    const HXDictionary& a = *target;
    QString title;
    if (a.boolForKey(MatchAnyApplication)) {
        title = HXLocalized("Track %@ Only")
                    .replace(QStringLiteral("%@"), a.itemNameOrAnyApplicationSpecifier(false));
    } else {
        const HXArray* children = a.arrayPointerForKey(Children);
        const qsizetype n = children ? children->count() : 0;
        title = n == 0   ? HXLocalized("Track All Apps")
                : n == 1 ? HXLocalized("Track Across All Apps")
                         : HXLocalized("Track Window Titles Across All Apps");
    }
    HXMenuItem* item = addItem(menu, HXMenuTitles::escaped(title), HXMenuAction::ToggleMatchAnyApplication);
    item->setRepresentedObject(target);
    menu.addSeparator();
}
