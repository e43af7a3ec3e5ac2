// The commands that destroy data: resets, clears and deletes. None of them is final: each is undoable.
#include "engine/HXBlacklists.h"
#include "engine/HXMainController.h"
#include "engine/HXUserInterfacePort.h"
#include "foundation/HXKeys.h"
#include "foundation/HXLocalization.h"
#include "foundation/HXSorting.h"
#include "foundation/HXStringChecks.h"

using namespace HXKeys;

namespace {

QString undoableMessage(const char* question) {
    return HXLocalized(question) + QStringLiteral("\n\n") +
           HXLocalized("If you change your mind after the fact, this action is undoable.");
}

HXDictionaryRef nonEmptyApplications(const HXDictionary* configuration) {
    HXDictionaryRef applications = configuration ? configuration->dictionaryForKey(Applications) : nullptr;
    return applications && !applications->isEmpty() ? applications : nullptr;
}

HXArrayRef nonEmptyPools(const HXDictionary* configuration) {
    HXArrayRef pools = configuration ? configuration->arrayForKey(Pools) : nullptr;
    return pools && !pools->isEmpty() ? pools : nullptr;
}

} // namespace

bool HXMainController::confirmDestruction(const QString& title, const QString& message,
                                          const QString& button) {
    m_services.ui.bringToFront();
    return m_services.ui.runAlert(HXAlert{title, message, QString(), {button, HXLocalized("Cancel")}}) == 0;
}

void HXMainController::resetTimers(const HXTimerReset& reset) {
    HXDictionary* configuration = m_store.configuration().get();
    bool asked = false;
    bool pushed = false;
    bool did = false;
    const auto ask = [&] {
        asked = true;
        return confirmDestruction(HXLocalized("Reset Timers"),
                                  undoableMessage("Are you sure you want to reset?"), HXLocalized("Reset"));
    };
    if (const HXDictionaryRef records = reset.applications ? nonEmptyApplications(configuration) : nullptr) {
        if (reset.pushUndoState) {
            if (reset.confirm && !ask())
                return;
            pushUndoStateAndClearRedoStatesAfterDelay();
            pushed = true;
        }
        records->clear();
        configuration->remove(FirstTimestamp);
        configuration->remove(OverallTime);
        setIgnoreLastUpdateDate();
        did = true;
    }
    const HXArrayRef poolRecords = nonEmptyPools(configuration);
    if (poolRecords && reset.pools) {
        if (reset.pushUndoState) {
            if (reset.confirm && !asked && !ask())
                return;
            if (!pushed)
                pushUndoStateAndClearRedoStatesAfterDelay();
        }
        for (const HXValue& pool : poolRecords->values()) {
            if (const HXDictionaryRef& record = pool.toDictionary())
                record->resetTimersRecursively();
        }
        configuration->remove(FirstPoolTimestamp);
        configuration->remove(OverallPoolTime);
        setIgnoreLastUpdateDate();
        updateLists(HXTrigger::Command);
        return;
    }
    if (!poolRecords && reset.applications) {
        if (configuration) {
            configuration->remove(FirstPoolTimestamp);
            configuration->remove(OverallPoolTime);
        }
        setIgnoreLastUpdateDate();
        updateLists(HXTrigger::Command);
        return;
    }
    if (did)
        updateLists(HXTrigger::Command);
}

void HXMainController::clearApplications() {
    if (!confirmDestruction(HXLocalized("Clear Apps"),
                            undoableMessage("Are you sure you want to clear all your apps?"),
                            HXLocalized("Clear")))
        return;
    pushUndoStateAndClearRedoStatesAfterDelay();
    if (HXDictionary* configuration = m_store.configuration().get()) {
        configuration->setValue(Applications, HXDictionary::create());
        configuration->remove(FirstTimestamp);
        configuration->remove(OverallTime);
    }
    setIgnoreLastUpdateDate();
    updateLists(HXTrigger::Command);
}

void HXMainController::clearPools() {
    HXDictionary* configuration = m_store.configuration().get();
    const HXArrayRef pools = nonEmptyPools(configuration);
    if (!pools)
        return;
    if (!confirmDestruction(HXLocalized("Clear Pools"),
                            undoableMessage("Are you sure you want to clear all your pools?"),
                            HXLocalized("Clear")))
        return;
    pushUndoStateAndClearRedoStatesAfterDelay();
    pools->clear();
    configuration->remove(FirstPoolTimestamp);
    configuration->remove(OverallPoolTime);
    updateLists(HXTrigger::Command);
}

void HXMainController::clearAll() {
    if (!confirmDestruction(HXLocalized("Clear All"),
                            undoableMessage("Are you sure you want to clear all your apps and pools?"),
                            HXLocalized("Clear")))
        return;
    pushUndoStateAndClearRedoStatesAfterDelay();
    forgetLastUpdateDate();
    m_store.setConfiguration(nullptr);
    updateLists(HXTrigger::Command);
    Q_EMIT blacklistsReplaced();
}

bool HXMainController::resetTimer(const HXDictionaryRef& record) {
    if (!record)
        return false;
    if (!confirmDestruction(HXLocalized("Reset Timer: %1").arg(record->itemName()),
                            undoableMessage("Are you sure you want to reset this timer?"),
                            HXLocalized("Reset")))
        return true;
    pushUndoStateAndClearRedoStatesAfterDelay();
    record->resetTimersRecursively();
    updateLists(HXTrigger::Command);
    return true;
}

bool HXMainController::deleteItem(const HXDictionaryRef& record, const HXDeleteOptions& options) {
    if (!record)
        return false;
    if (options.confirm && !confirmDestruction(HXLocalized("Remove: %1").arg(record->itemName()),
                                               undoableMessage("Are you sure?"), HXLocalized("Remove")))
        return true;
    if (record->isPoolOrPoolItem())
        return deletePoolItem(record);
    return deleteApplicationOrWindow(record, options.forceBlacklisting);
}

bool HXMainController::deletePoolItem(const HXDictionaryRef& record) {
    const HXDictionaryRef& configuration = m_store.configuration();
    const HXArrayRef pools = configuration ? configuration->arrayForKey(Pools) : nullptr;
    if (!pools)
        return false;
    const auto removeFrom = [&](const HXArrayRef& list, const HXDictionaryRef& parent) {
        if (!list || list->indexOfDictionary(record.get()) < 0)
            return false;
        pushUndoStateAndClearRedoStatesAfterDelay();
        list->removeDictionary(record.get());
        // A pool item that loses its last window item counts the whole application again.
        if (parent && list->isEmpty())
            parent->remove(Children);
        updateLists(HXTrigger::Command);
        return true;
    };
    if (removeFrom(pools, nullptr))
        return true;
    for (const HXValue& poolValue : pools->values()) {
        const HXDictionaryRef& pool = poolValue.toDictionary();
        if (pool && removeFrom(pool->arrayForKey(Children), nullptr))
            return true;
    }
    for (const HXValue& poolValue : pools->values()) {
        const HXDictionaryRef& pool = poolValue.toDictionary();
        const HXArrayRef children = pool ? pool->arrayForKey(Children) : nullptr;
        if (!children)
            continue;
        for (const HXValue& childValue : children->values()) {
            const HXDictionaryRef& child = childValue.toDictionary();
            if (child && removeFrom(child->arrayForKey(Children), child))
                return true;
        }
    }
    return false;
}

bool HXMainController::deleteApplicationOrWindow(const HXDictionaryRef& record, bool forceBlacklisting) {
    const HXDictionaryRef& configuration = m_store.configuration();
    const HXDictionaryRef applications =
        configuration ? configuration->dictionaryForKey(Applications) : nullptr;
    if (!applications)
        return false;
    QString name;
    std::optional<QString> qualifier;
    bool found = false;
    for (const QString& key : applications->keys()) {
        const HXDictionaryRef application = applications->dictionaryForKey(key);
        if (!application)
            continue;
        if (application == record) {
            name = record->itemName();
            pushUndoStateAndClearRedoStatesAfterDelay();
            applications->remove(key);
            found = true;
            break;
        }
        const HXDictionaryRef windows = application->dictionaryForKey(WindowsByName);
        if (!windows)
            continue;
        for (const HXDictionary::Entry& entry : windows->entries()) {
            if (entry.value.toDictionary() != record)
                continue;
            name = record->itemName();
            qualifier = application->itemName();
            pushUndoStateAndClearRedoStatesAfterDelay();
            windows->remove(QString(entry.key));
            found = true;
            break;
        }
        if (found)
            break;
    }
    if (!found)
        return false;

    // Something still in use comes back at the next tick unless it is blacklisted.
    if (forceBlacklisting || record->boolForKey(Active)) {
        const QString listName = (qualifier ? WindowBlacklist : ApplicationBlacklist).text.toString();
        const HXArrayRef list = blacklistWithName(*configuration, listName);
        if (validItemNameCheckedAgainstPotentiallyQualifiedBlacklist(name, list.get(), qualifier)) {
            list->append(qualifier
                             ? QStringLiteral("%1 %2 %3").arg(*qualifier, QChar(kRightTriangleArrow), name)
                             : name);
            Q_EMIT blacklistAppended(listName);
        }
    }
    updateLists(HXTrigger::Command);
    return true;
}

void HXMainController::sortBlacklist(const QString& name) {
    if (!m_store.configuration())
        return;
    blacklistWithName(*m_store.configuration(), name)->sortValues([](const HXValue& a, const HXValue& b) {
        return HXSortStrings(a.toString(), b.toString());
    });
}
