#pragma once

#include "engine/HXAdHocTimerPort.h"
#include "engine/HXBlacklists.h"
#include "engine/HXCommandOptions.h"
#include "engine/HXConfigurationStore.h"
#include "engine/HXEngineServices.h"
#include "engine/HXFolderPaths.h"
#include "engine/HXHibernation.h"
#include "engine/HXPoolMatcher.h"
#include "engine/HXScreenshots.h"
#include "engine/HXSecurityScopedBookmarkManager.h"
#include "engine/HXTickShortcut.h"
#include "engine/HXTickTime.h"
#include "engine/HXUndoHistory.h"
#include "foundation/HXDictionary.h"
#include "foundation/HXTimerReset.h"

#include <QObject>

#include <optional>
#include <vector>

// The tracker's state and operations, without any user interface: the configuration, the sampling tick
// and the organizer lists it builds, pools, the pause level, and undo and redo. The user interface
// connects to its signals and calls its commands.
class HXMainController : public QObject, public HXAdHocTimerDelegate {
    Q_OBJECT

public:
    explicit HXMainController(const HXEngineServices& services, QObject* parent = nullptr);
    ~HXMainController() override;

    const HXEngineServices& services() const { return m_services; }
    // Reads the list settings from the user defaults: the sort column and which inactive items show.
    void restoreSettings();
    const HXFolderPaths& folderPaths() const { return m_paths; }
    HXConfigurationStore& configurationStore() { return m_store; }
    const HXDictionaryRef& configuration() const { return m_store.configuration(); }
    // The smaller of "First Timestamp" and "First Pool Timestamp" (a missing one counts as 0): where a
    // merged history and the reset-all report begin.
    double firstTimestamp() const;

    // The sampling tick. The scheduled tick skips while paused or while an organizer cell is edited; a
    // command's tick cancels the scheduled one and always runs. Either way exactly one scheduled tick is
    // pending afterwards.
    void updateLists(HXTrigger trigger);
    double updateInterval() const;
    void setUpdateInterval(double seconds);
    // The next tick attributes no time (after a pause, a reset).
    void setIgnoreLastUpdateDate() { m_ignoreLastUpdateDate = true; }
    void forgetLastUpdateDate() { m_lastUpdateDate.reset(); }
    void setEditingOrganizerCell(bool editing) { m_editingOrganizerCell = editing; }

    double overallApplicationTime() const { return m_overallApplicationTime; }
    double overallPoolTime() const { return m_overallPoolTime; }
    void setOverallTimes(double applications, double pools);
    const HXArrayRef& listApplications() const { return m_listApplications; }
    const HXArrayRef& listPools() const { return m_listPools; }
    // For views that update only what a tick changed. After a full pass any record may have changed;
    // otherwise only the applications and pools the last tick looked at, with their windows and items,
    // since everything else changes through commands, whose ticks are full passes.
    bool lastTickLookedAtEverything() const { return m_lastTickLookedAtEverything; }
    bool lastTickLookedAt(const HXDictionary* applicationOrPool) const;
    void setShowInactiveApplications(bool show) { m_showInactiveApplications = show; }
    void setShowInactivePools(bool show) { m_showInactivePools = show; }
    // The organizer's sort column (0 name, 1 foreground time, 2 total time); setting it runs a tick.
    int sortColumn() const { return m_sortColumn; }
    void setSortColumn(int column);

    // Pausing: nested; the tick after the last resume is a gap tick.
    void setPaused(bool paused);
    bool isPaused() const { return m_pauseLevel > 0; }
    int pauseLevel() const { return m_pauseLevel; }
    void pauseTransitorily();

    // Pools.
    void togglePauseForPool(const HXDictionaryRef& pool);
    // False when there is no item (the caller beeps).
    bool toggleMatchAnyApplication(const HXDictionaryRef& item);
    std::optional<std::vector<HXDictionaryRef>> poolAncestorsOfItem(const HXDictionary* record) const;

    // Modal while an editing sheet is up (the export panel, the filter editor, the notes editor): item
    // commands are disabled and no context menu is offered.
    bool isModal() const { return m_isModal; }
    void setModal(bool modal);

    // Ad hoc timers. The pool a timer started from the item times into (the item itself for a pool,
    // its pool for a pool's child) and, for an ad hoc entry, the entry's name; null outside the pools.
    HXDictionaryRef poolWithAdHocTimerRelatedItem(const HXDictionary* item,
                                                  std::optional<QString>* timerName) const;
    // Starts the timer for the item (null: no pool, no name); false when one is active already.
    bool startAdHocTimer(const HXDictionary* relatedItem);
    HXArrayRef poolsForAdHocTimer(const HXAdHocTimerPort& timer) override;
    bool absorbAdHocTimer(const HXAdHocTimerPort& timer) override;

    // Undo and redo of whole-configuration snapshots.
    void pushUndoStateAndClearRedoStatesAfterDelay();
    void popUndoStateAndCancelRedoStateClearing();
    void pushUndoState(const QByteArray& snapshot);
    void pushRedoState(const QByteArray& snapshot);
    void undo();
    void redo();
    bool canUndo() const { return m_undoHistory.canUndo(); }
    bool canRedo() const { return m_undoHistory.canRedo(); }
    const HXUndoHistory& undoHistory() const { return m_undoHistory; }
    const HXScreenshots& screenshots() const { return m_screenshots; }
    // The process's bookmark manager: folder grants for the export and screenshot folders.
    HXSecurityScopedBookmarkManager& bookmarkManager() { return m_bookmarkManager; }

    void save(HXTrigger trigger) { m_store.save(trigger); }

    HXHibernation& hibernation() { return m_hibernation; }

    // Destructive commands. Each asks first where told to, pushes one undo state when it changes
    // anything, and runs a tick so that lists and reports show the result.
    void resetTimers(const HXTimerReset& reset);
    void resetApplicationTimers() { resetTimers({.applications = true}); }
    void resetPoolTimers() { resetTimers({.pools = true}); }
    void resetAllTimers() { resetTimers({.applications = true, .pools = true}); }
    void clearApplications();
    void clearPools();
    void clearAll();
    // False when there is no record (the menu command beeps).
    bool resetTimer(const HXDictionaryRef& record);
    // True when the record was removed or the user cancelled; false when there is nothing to delete.
    bool deleteItem(const HXDictionaryRef& record, const HXDeleteOptions& options);
    // Sorts a blacklist of the configuration the way the blacklist editor shows it.
    void sortBlacklist(const QString& name);

Q_SIGNALS:
    // The organizer lists were rebuilt; outlines reload and restore their expansion states.
    void applicationListReloaded();
    void poolListReloaded();
    // The live report redraws (when visible).
    void liveReportNeedsUpdate();
    // The configuration was replaced; the blacklist editors show its lists again.
    void blacklistsReplaced();
    // Deleting an item added an entry to this blacklist.
    void blacklistAppended(const QString& name);
    // An editing sheet came up or went; the preferences' mode switch follows.
    void modalChanged(bool modal);

private:
    void runTick();
    HXTickTime startTick(HXDictionary& configuration);
    HXPoolMatcher& poolMatcher(const HXDictionary& configuration, bool fullPass);
    void scheduleNextTick();
    void restoreSnapshot(bool fromUndo);
    bool confirmDestruction(const QString& title, const QString& message, const QString& button);
    bool deletePoolItem(const HXDictionaryRef& record);
    bool deleteApplicationOrWindow(const HXDictionaryRef& record, bool forceBlacklisting);

    HXEngineServices m_services;
    HXFolderPaths m_paths;
    HXConfigurationStore m_store;
    HXUndoHistory m_undoHistory;
    HXSecurityScopedBookmarkManager m_bookmarkManager;
    HXScreenshots m_screenshots;
    HXHibernation m_hibernation;
    HXBlacklistCache m_blacklists;
    HXTickShortcut m_shortcut;
    // The pools as ticks match against them, built again on every full pass.
    std::optional<HXPoolMatcher> m_poolMatcher;
    bool m_poolMatcherMatchesViaID = true;

    std::optional<double> m_lastUpdateDate;
    bool m_ignoreLastUpdateDate = false;
    bool m_editingOrganizerCell = false;
    double m_overallApplicationTime = 0;
    double m_overallPoolTime = 0;
    HXArrayRef m_listApplications;
    HXArrayRef m_listPools;
    bool m_lastTickLookedAtEverything = true;
    // Sorted by address.
    std::vector<const HXDictionary*> m_lastTickLookedAt;
    bool m_showInactiveApplications = true;
    bool m_showInactivePools = true;
    int m_sortColumn = 1;
    int m_pauseLevel = 0;
    bool m_isModal = false;
};
