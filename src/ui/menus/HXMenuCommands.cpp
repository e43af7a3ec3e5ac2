// What choosing a menu entry does: the small commands here, the others handed to the engine or to the
// windows around the menus.
#include "engine/HXHibernation.h"
#include "engine/HXMainController.h"
#include "engine/HXUserInterfacePort.h"
#include "foundation/HXUserDefaults.h"
#include "ui/HXAdHocTimerCommands.h"
#include "ui/menus/HXMenuController.h"
#include "ui/menus/HXMenuHost.h"
#include "ui/menus/HXMenuItem.h"
#include "ui/menus/HXReportMenuTarget.h"

using namespace HXKeys;

namespace {

bool isPool(const HXDictionaryRef& record) {
    return record && record->stringForKey(Path) == kPoolPath;
}

void flip(HXUserDefaults& defaults, QStringView key) {
    defaults.setBool(key, !defaults.boolForKey(key));
}

} // namespace

void HXMenuController::beep() const {
    m_controller.services().ui.beep();
}

void HXMenuController::perform(HXMenuItem& item) {
    // Validation may have gone stale since the menu showed (a tick passed, a shortcut was typed).
    if (!validateMenuItem(item)) {
        beep();
        return;
    }
    HXUserDefaults& defaults = m_controller.services().defaults;
    const HXDictionaryRef target = itemFromMenuItem(item);
    switch (item.menuAction()) {
    case HXMenuAction::None:
    case HXMenuAction::ShowPreferencesWindow:
        m_host.showPreferencesWindow();
        return;
    case HXMenuAction::ToggleHibernation:
        m_controller.hibernation().toggleHibernation();
        return;
    case HXMenuAction::ToggleDebugLogging:
        flip(defaults, u"HXDebugLog");
        return;
    case HXMenuAction::OpenCSV:
        m_host.openCSV();
        return;
    case HXMenuAction::ExportCSV:
        m_host.exportCSV(isPool(target) ? target : nullptr);
        return;
    case HXMenuAction::StartAdHocTimer:
        // Entries of the submenu name their pool or timer themselves ("New Pool..." names none).
        m_adHocTimer.startAdHocTimerForItem(item.tag() != 0 ? item.representedObject() : target);
        return;
    case HXMenuAction::TogglePause:
        if (isPool(target))
            m_controller.togglePauseForPool(target);
        return;
    case HXMenuAction::ResetTimer:
        if (!m_controller.resetTimer(target))
            beep();
        return;
    case HXMenuAction::ResetApplicationTimers:
        m_controller.resetApplicationTimers();
        return;
    case HXMenuAction::ResetPoolTimers:
        m_controller.resetPoolTimers();
        return;
    case HXMenuAction::ResetAllTimers:
        m_controller.resetAllTimers();
        return;
    case HXMenuAction::ClearPools:
        m_controller.clearPools();
        return;
    case HXMenuAction::ClearAll:
        m_controller.clearAll();
        return;
    case HXMenuAction::EditWindowTitleFilters:
        if (target && target->isWindowTitleFilterEligibleItem())
            m_host.editWindowTitleFiltersForApplication(target);
        return;
    case HXMenuAction::EditNotes:
        if (m_host.isNotesEditorOpen())
            m_host.noteEditorDone();
        else if (isPool(target))
            m_host.editNotesForPool(target);
        return;
    case HXMenuAction::Undo:
        m_controller.undo();
        return;
    case HXMenuAction::Redo:
        m_controller.redo();
        return;
    case HXMenuAction::ShowAboutWindow:
        m_host.showAboutWindow();
        return;
    case HXMenuAction::Help:
        m_host.help();
        return;
    case HXMenuAction::QuitDeliberately:
        m_host.quitDeliberately(item.tag() == 1);
        return;
    case HXMenuAction::ToggleExpansion:
        if (!item.representedObject() || !m_host.toggleExpansionForItem(item.representedObject().get()))
            beep();
        else
            m_host.redisplayReports();
        return;
    case HXMenuAction::ToggleMatchAnyApplication:
        if (!m_controller.toggleMatchAnyApplication(item.representedObject()))
            beep();
        return;
    case HXMenuAction::DeleteItem:
        if (!m_controller.deleteItem(item.representedObject(), {.forceBlacklisting = item.tag() < 0}))
            beep();
        return;
    case HXMenuAction::DeleteSelection:
        m_host.deleteSelection();
        return;
    case HXMenuAction::LaunchApplication:
        if (!m_host.launchApplication(target))
            beep();
        return;
    case HXMenuAction::QuitApplication:
        if (!m_host.quitApplication(target))
            beep();
        return;
    case HXMenuAction::ToggleListWindow:
        m_host.toggleListWindow();
        return;
    case HXMenuAction::ToggleReportWindow:
        m_host.toggleReportWindow();
        return;
    case HXMenuAction::ToggleStayInFront: {
        const bool report = m_host.isLiveReportWindowKey();
        flip(defaults, report ? u"Report: Default: Stay In Front" : u"Organizer: Stay In Front");
        m_host.applyStayInFront(report);
        return;
    }
    case HXMenuAction::SetTimeFormat:
        if (HXReportMenuTarget* report = reportTargetOf(item))
            report->setTimeFormat(item.tag());
        return;
    case HXMenuAction::ToggleShownActivity:
        if (HXReportMenuTarget* report = reportTargetOf(item))
            report->toggleShownActivity(item.tag());
        return;
    case HXMenuAction::TogglePercentages:
        if (m_host.isListWindowActive()) {
            flip(defaults, u"Organizer Shows Percentages");
            m_host.redisplayLists();
        } else {
            flip(defaults, u"Reports Show Percentages");
            m_host.redisplayReports();
        }
        return;
    case HXMenuAction::ToggleConversionToDays:
        flip(defaults, u"Express Time Intervals As Days");
        m_host.redisplayLists();
        m_host.redisplayReports();
        return;
    case HXMenuAction::SelectColorScheme:
        defaults.setInteger(u"Color Scheme", item.tag());
        m_host.redisplayLists();
        m_host.redisplayReports();
        return;
    }
}
