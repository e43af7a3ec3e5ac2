#include "engine/HXMainController.h"

#include "engine/HXPools.h"
#include "foundation/HXDefaultsKeys.h"
#include "foundation/HXKeys.h"
#include "foundation/HXLog.h"
#include "foundation/HXPropertyList.h"
#include "foundation/HXScheduler.h"
#include "foundation/HXUserDefaults.h"

#include <algorithm>

namespace {

constexpr std::string_view kUpdateListsAction = "updateLists";
constexpr std::string_view kPushRedoStateAction = "pushRedoState";
constexpr std::string_view kEndTransitoryPauseAction = "endTransitoryPause";
constexpr double kMinimumUpdateInterval = 0.5;

} // namespace

HXMainController::HXMainController(const HXEngineServices& services, QObject* parent)
    : QObject(parent), m_services(services), m_paths(services.libraryFolder),
      m_store(m_paths, services.defaults, services.scheduler, services.ui),
      m_bookmarkManager(services.defaults, &services.ui,
                        HXSecurityScopedBookmarkManager::Options{HXApplicationIsSandboxed(), {}}),
      m_screenshots(services.defaults, services.screenCapture, m_paths, m_bookmarkManager),
      m_hibernation(HXHibernation::Services{*this, services.defaults, services.scheduler, services.clock,
                                            services.ui, services.displaySleepInhibitor, services.adHocTimer,
                                            this}),
      m_listApplications(HXArray::create()), m_listPools(HXArray::create()) {}

HXMainController::~HXMainController() {
    for (std::string_view action : {kUpdateListsAction, kPushRedoStateAction, kEndTransitoryPauseAction})
        m_services.scheduler.cancelPerforms(this, action);
}

void HXMainController::restoreSettings() {
    m_sortColumn = static_cast<int>(m_services.defaults.integerForKey(HXDefaultsKeys::Sort));
    m_showInactiveApplications = m_services.defaults.boolForKey(HXDefaultsKeys::ShowInactiveApplications);
    m_showInactivePools = m_services.defaults.boolForKey(HXDefaultsKeys::ShowInactivePools);
}

double HXMainController::firstTimestamp() const {
    const HXDictionaryRef& configuration = m_store.configuration();
    if (!configuration)
        return 0;
    return std::min(configuration->timeIntervalForKey(u"First Timestamp"),
                    configuration->timeIntervalForKey(u"First Pool Timestamp"));
}

double HXMainController::updateInterval() const {
    const double seconds = m_services.defaults.doubleForKey(HXDefaultsKeys::UpdateInterval);
    return seconds > kMinimumUpdateInterval ? seconds : kMinimumUpdateInterval;
}

void HXMainController::setUpdateInterval(double seconds) {
    m_services.defaults.setDouble(HXDefaultsKeys::UpdateInterval, seconds);
}

void HXMainController::setOverallTimes(double applications, double pools) {
    m_overallApplicationTime = applications;
    m_overallPoolTime = pools;
}

void HXMainController::updateLists(HXTrigger trigger) {
    const bool command = trigger == HXTrigger::Command;
    if (command) {
        m_services.scheduler.cancelPerforms(this, kUpdateListsAction);
        // Whoever changed records outside a tick asks for this one: everything is looked at again.
        m_shortcut.requestFullPass();
    }
    if (command || (!isPaused() && !m_editingOrganizerCell))
        runTick();
    Q_EMIT liveReportNeedsUpdate();
    scheduleNextTick();
}

void HXMainController::scheduleNextTick() {
    // A command's tick may come while one is pending; there is always exactly one.
    m_services.scheduler.cancelPerforms(this, kUpdateListsAction);
    m_services.scheduler.performAfterDelay(this, kUpdateListsAction, updateInterval(),
                                           [this] { updateLists(HXTrigger::Schedule); });
}

void HXMainController::setSortColumn(int column) {
    m_sortColumn = column;
    m_services.defaults.setInteger(HXDefaultsKeys::Sort, column);
    updateLists(HXTrigger::Command);
}

void HXMainController::setModal(bool modal) {
    if (modal == m_isModal)
        return;
    m_isModal = modal;
    Q_EMIT modalChanged(modal);
}

void HXMainController::setPaused(bool paused) {
    if (paused) {
        ++m_pauseLevel;
        return;
    }
    if (m_pauseLevel == 1)
        m_ignoreLastUpdateDate = true;
    --m_pauseLevel;
}

void HXMainController::pauseTransitorily() {
    setPaused(true);
    m_services.scheduler.performAfterDelay(this, kEndTransitoryPauseAction, 0.5,
                                           [this] { setPaused(false); });
}

void HXMainController::togglePauseForPool(const HXDictionaryRef& pool) {
    if (!pool)
        return;
    pool->setBool(!pool->boolForKey(HXKeys::Paused), HXKeys::Paused);
    updateLists(HXTrigger::Command);
}

bool HXMainController::toggleMatchAnyApplication(const HXDictionaryRef& item) {
    if (!item)
        return false;
    pushUndoStateAndClearRedoStatesAfterDelay();
    item->setBool(!item->boolForKey(HXKeys::MatchAnyApplication), HXKeys::MatchAnyApplication);
    updateLists(HXTrigger::Command);
    return true;
}

std::optional<std::vector<HXDictionaryRef>>
HXMainController::poolAncestorsOfItem(const HXDictionary* record) const {
    const HXDictionaryRef& configuration = m_store.configuration();
    return ::poolAncestorsOfItem(configuration ? configuration->arrayForKey(HXKeys::Pools).get() : nullptr,
                                 record);
}

void HXMainController::pushUndoStateAndClearRedoStatesAfterDelay() {
    const HXDictionaryRef& configuration = m_store.configuration();
    if (!configuration)
        return;
    const QByteArray data = propertyListData(HXValue(configuration));
    if (data.isNull())
        return;
    // The file on disk then matches the state before the change.
    m_store.save(HXTrigger::Command, data);
    pushUndoState(data);
    m_services.scheduler.performAfterDelay(this, kPushRedoStateAction, 0,
                                           [this] { pushRedoState(QByteArray()); });
}

void HXMainController::popUndoStateAndCancelRedoStateClearing() {
    m_services.scheduler.cancelPerforms(this, kPushRedoStateAction);
    m_undoHistory.popUndoState();
}

void HXMainController::pushUndoState(const QByteArray& snapshot) {
    m_undoHistory.pushUndoState(snapshot);
}

void HXMainController::pushRedoState(const QByteArray& snapshot) {
    m_undoHistory.pushRedoState(snapshot);
}

void HXMainController::undo() {
    restoreSnapshot(true);
}

void HXMainController::redo() {
    restoreSnapshot(false);
}

void HXMainController::restoreSnapshot(bool fromUndo) {
    const QByteArray* top = fromUndo ? m_undoHistory.topUndoState() : m_undoHistory.topRedoState();
    if (!top)
        return;
    const HXDictionaryRef& configuration = m_store.configuration();
    const QByteArray current = configuration ? propertyListData(HXValue(configuration)) : QByteArray();
    HXDictionaryRef restored = HXDictionary::deeplyMutableDictionaryWithData(*top);
    if (fromUndo)
        m_undoHistory.popUndoState();
    else
        m_undoHistory.popRedoState();
    if (!restored) {
        HXSystemLog(QStringLiteral("cannot restore %1 snapshot")
                        .arg(fromUndo ? QStringLiteral("undo") : QStringLiteral("redo")));
        return;
    }
    m_store.setConfiguration(std::move(restored));
    if (!current.isNull()) {
        if (fromUndo)
            pushRedoState(current);
        else
            pushUndoState(current);
    }
    updateLists(HXTrigger::Command);
    Q_EMIT blacklistsReplaced();
}
