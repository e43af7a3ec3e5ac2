// Enabling, check marks and final titles of every menu entry, decided when its menu is about to show.
#include "engine/HXHibernation.h"
#include "engine/HXMainController.h"
#include "filters/HXWindowTitleFilters.h"
#include "foundation/HXLocalization.h"
#include "foundation/HXSorting.h"
#include "foundation/HXUserDefaults.h"
#include "hotkeys/HXHibernationHotKey.h"
#include "hotkeys/widgets/HXHotKeyShortcut.h"
#include "ui/HXAdHocTimerCommands.h"
#include "ui/menus/HXMenuController.h"
#include "ui/menus/HXMenuHost.h"
#include "ui/menus/HXMenuItem.h"
#include "ui/menus/HXMenuTitles.h"
#include "ui/menus/HXReportMenuTarget.h"
#include "ui/organizer/HXItemIcons.h"

#include <QMenu>

#include <algorithm>

using namespace HXKeys;

namespace {

bool isPool(const HXDictionaryRef& record) {
    return record && record->stringForKey(Path) == kPoolPath;
}

QString withName(const char* format, const QString& name) {
    return HXLocalized(format).replace(QStringLiteral("%@"), name);
}

} // namespace

HXDictionaryRef HXMenuController::itemFromMenuItem(const HXMenuItem& item) const {
    if (item.representedObject())
        return item.representedObject();
    return m_host.isListWindowActive() ? m_host.selectedItem() : nullptr;
}

void HXMenuController::validateMenu(QMenu& menu, Qt::KeyboardModifiers modifiers) {
    for (QAction* action : menu.actions()) {
        if (auto* item = qobject_cast<HXMenuItem*>(action))
            item->setEnabled(validateMenuItem(*item));
    }
    showAlternates(menu, modifiers);
}

bool HXMenuController::validateMenuItem(HXMenuItem& item) {
    const HXUserDefaults& defaults = m_controller.services().defaults;
    const bool modal = m_controller.isModal();
    const HXDictionaryRef target = itemFromMenuItem(item);
    const auto check = [&item](bool on) {
        item.setCheckable(true);
        item.setChecked(on);
    };
    switch (item.menuAction()) {
    case HXMenuAction::ClearPools:
    case HXMenuAction::ResetPoolTimers: {
        const HXDictionaryRef& configuration = m_controller.configuration();
        const HXArray* pools = configuration ? configuration->arrayPointerForKey(u"Pools") : nullptr;
        return !modal && pools && !pools->isEmpty();
    }
    case HXMenuAction::ExportCSV:
        item.setText(isPool(target)
                         ? HXMenuTitles::escaped(withName("Export %@ Snapshot...", target->itemName()))
                         : HXLocalized("Export Snapshot..."));
        return !modal &&
               (defaults.boolForKey(u"Export Column: Pool") ||
                defaults.boolForKey(u"Export Column: Application")) &&
               (defaults.boolForKey(u"Export Column: Front") || defaults.boolForKey(u"Export Column: Total"));
    case HXMenuAction::StartAdHocTimer:
        return validateAdHocItem(item, target);
    case HXMenuAction::EditWindowTitleFilters: {
        const bool eligible = target && target->isWindowTitleFilterEligibleItem();
        bool set = false;
        if (eligible && m_controller.configuration())
            set = !currentWindowTitleFilter(*m_controller.configuration(), *target)->isEmpty();
        item.setText(set ? HXLocalized("Edit Window Title Filter...")
                         : HXLocalized("Set Window Title Filter..."));
        return eligible && !modal;
    }
    case HXMenuAction::EditNotes:
        if (m_host.isNotesEditorOpen()) {
            item.setText(HXLocalized("Save Notes"));
            return true;
        }
        item.setText(isPool(target) && target->contains(PoolNotes) ? HXLocalized("Edit Notes...")
                                                                   : HXLocalized("Add Notes..."));
        return isPool(target) && !modal;
    case HXMenuAction::TogglePause:
        item.setText(isPool(target) && target->boolForKey(Paused) ? HXLocalized("Resume Pool")
                                                                  : HXLocalized("Pause Pool"));
        return isPool(target) && !modal;
    case HXMenuAction::ResetTimer:
        return !modal && target;
    case HXMenuAction::ToggleStayInFront:
        if (m_host.isListWindowKey())
            check(defaults.boolForKey(u"Organizer: Stay In Front"));
        else if (m_host.isLiveReportWindowKey())
            check(defaults.boolForKey(u"Report: Default: Stay In Front"));
        else
            check(false);
        return m_host.isListWindowKey() || m_host.isLiveReportWindowKey();
    case HXMenuAction::SetTimeFormat:
    case HXMenuAction::ToggleShownActivity:
        return validateReportItem(item);
    case HXMenuAction::ToggleConversionToDays:
        check(defaults.boolForKey(u"Express Time Intervals As Days"));
        return true;
    case HXMenuAction::TogglePercentages:
        if (m_host.isListWindowActive()) {
            check(defaults.boolForKey(u"Organizer Shows Percentages"));
            return true;
        }
        if (m_host.isReportWindowKey() || m_host.isLiveReportViewVisible()) {
            check(defaults.boolForKey(u"Reports Show Percentages"));
            return true;
        }
        check(false);
        return false;
    case HXMenuAction::ToggleDebugLogging:
        check(defaults.boolForKey(u"HXDebugLog"));
        return true;
    case HXMenuAction::ToggleHibernation: {
        HXSetShortcutFromHotKey(item, m_hibernationHotKey ? m_hibernationHotKey->hotKey().get() : nullptr);
        if (!defaults.objectForKey(u"Deep Hibernation").isNull()) {
            item.setText(HXLocalized("Wake Up"));
            return true;
        }
        const std::int64_t mode = defaults.integerForKey(u"Hibernation Mode");
        item.setText(mode == 1   ? HXLocalized("Suspend Timers Temporarily")
                     : mode == 2 ? HXLocalized("Suspend Timers")
                                 : HXLocalized("Suspend Timers..."));
        return true;
    }
    case HXMenuAction::SelectColorScheme:
        check(item.tag() == defaults.integerForKey(u"Color Scheme"));
        return true;
    case HXMenuAction::ToggleListWindow:
        check(m_host.isListWindowOpen());
        return true;
    case HXMenuAction::ToggleReportWindow:
        check(m_host.isLiveReportWindowOpen());
        return true;
    case HXMenuAction::ShowPreferencesWindow:
        return m_host.hasPreferencesWindow();
    case HXMenuAction::DeleteSelection:
        return !modal && m_host.selectedItem();
    default:
        return true;
    }
}

// The time format and activity entries belong to their report; without one they are off.
bool HXMenuController::validateReportItem(HXMenuItem& item) const {
    const HXReportMenuTarget* report = reportTargetOf(item);
    item.setCheckable(true);
    if (!report) {
        item.setChecked(item.menuAction() == HXMenuAction::ToggleShownActivity);
        return false;
    }
    const bool visible = report->isReportViewVisible();
    if (item.menuAction() == HXMenuAction::SetTimeFormat) {
        item.setChecked(item.tag() == report->timeFormat());
        return visible;
    }
    item.setChecked(visible && (item.tag() == 0 ? report->drawFrontActivity() : report->drawTotalActivity()));
    return visible && !report->isSnapshot();
}

bool HXMenuController::validateAdHocItem(HXMenuItem& item, const HXDictionaryRef& target) {
    // An entry of the submenu.
    if (item.tag() != 0)
        return true;
    if (QMenu* old = item.menu()) {
        item.setMenu(static_cast<QMenu*>(nullptr));
        old->deleteLater();
    }
    const bool busy = m_controller.isModal() || m_adHocTimer.isRunning();
    std::optional<QString> timerName;
    const HXDictionaryRef related = m_controller.poolWithAdHocTimerRelatedItem(target.get(), &timerName);
    if (busy || timerName) {
        item.setText(timerName ? HXLocalized("Run...") : HXLocalized("Run Ad Hoc Timer..."));
        if (busy)
            item.setRepresentedObject(nullptr);
        return !busy;
    }
    const HXDictionaryRef& configuration = m_controller.configuration();
    const HXArray* pools = configuration ? configuration->arrayPointerForKey(u"Pools") : nullptr;
    if (!pools || pools->isEmpty()) {
        item.setText(HXLocalized("Run Ad Hoc Timer in New Pool..."));
        return true;
    }
    item.setText(related ? HXLocalized("Run Ad Hoc Timer...") : HXLocalized("Run Ad Hoc Timer in Pool..."));
    buildAdHocSubmenu(item, related);
    return true;
}

void HXMenuController::buildAdHocSubmenu(HXMenuItem& item, const HXDictionaryRef& related) {
    std::vector<HXDictionaryRef> listed;
    if (related) {
        listed.push_back(related);
    } else {
        for (const HXValue& value : m_controller.configuration()->arrayForKey(u"Pools")->values()) {
            if (const HXDictionaryRef& pool = value.toDictionary())
                listed.push_back(pool);
        }
        const int column = m_controller.sortColumn();
        std::stable_sort(listed.begin(), listed.end(),
                         [column](const HXDictionaryRef& a, const HXDictionaryRef& b) {
                             return HXSortItems(*a, *b, column) < 0;
                         });
    }
    auto submenu = std::make_unique<QMenu>(HXLocalized("Ad Hoc"));
    const auto entry = [&](const QString& title, const HXDictionaryRef& record) {
        HXMenuItem* added = addItem(*submenu, title, HXMenuAction::StartAdHocTimer);
        added->setTag(1);
        added->setRepresentedObject(record);
        if (record)
            added->setIcon(m_icons.cached16IconForActiveItem(*record, true, false));
        return added;
    };
    std::vector<int> groupEnds;
    bool timers = false;
    for (const HXDictionaryRef& pool : listed) {
        if (!related)
            entry(HXMenuTitles::escaped(pool->itemName()), pool);
        if (const HXArray* children = pool->arrayPointerForKey(Children)) {
            for (const HXValue& childValue : children->values()) {
                const HXDictionaryRef& child = childValue.toDictionary();
                if (!child || child->stringForKey(ApplicationID) != kAdHocPath)
                    continue;
                if (const HXArray* named = child->arrayPointerForKey(Children)) {
                    for (const HXValue& timerValue : named->values()) {
                        const HXDictionaryRef& timer = timerValue.toDictionary();
                        if (!timer || timer->stringForKey(Name).isEmpty())
                            continue;
                        const QString title = HXMenuTitles::escaped(timer->stringForKey(Name));
                        entry(related ? title : HXMenuTitles::indented(title), timer);
                        timers = true;
                    }
                }
                break;
            }
        }
        if (!related)
            groupEnds.push_back(static_cast<int>(submenu->actions().size()));
    }
    if (!related) {
        if (timers && listed.size() > 1) {
            // Between the groups, from the last to the first, so that the noted positions hold.
            const QList<QAction*> actions = submenu->actions();
            for (auto end = groupEnds.rbegin() + 1; end != groupEnds.rend(); ++end)
                submenu->insertSeparator(actions[*end]);
        }
        submenu->addSeparator();
        entry(HXLocalized("New Pool..."), nullptr);
    }
    if (submenu->actions().isEmpty())
        return;
    watch(*submenu);
    QMenu* attached = submenu.release();
    // The entry owns its submenu from here on.
    connect(&item, &QObject::destroyed, attached, &QObject::deleteLater);
    item.setMenu(attached);
}
