#include "engine/HXHibernation.h"

#include "engine/HXAdHocTimerPort.h"
#include "engine/HXMainController.h"
#include "engine/HXUserInterfacePort.h"
#include "foundation/HXClock.h"
#include "foundation/HXDefaultsKeys.h"
#include "foundation/HXLocalization.h"
#include "foundation/HXLog.h"
#include "foundation/HXScheduler.h"
#include "foundation/HXUserDefaults.h"
#include "platform/HXDisplaySleepInhibitor.h"

namespace {

constexpr std::string_view kHibernateAction = "hibernate";

} // namespace

HXHibernation::HXHibernation(const Services& services, QObject* parent)
    : QObject(parent), m_services(services) {}

HXHibernation::~HXHibernation() {
    m_services.scheduler.cancelPerforms(this, kHibernateAction);
}

bool HXHibernation::isDeeplyHibernating() const {
    return !m_services.defaults.objectForKey(HXDefaultsKeys::DeepHibernation).isNull();
}

void HXHibernation::restoreAtLaunch() {
    m_hibernationInterval =
        static_cast<int>(m_services.defaults.integerForKey(HXDefaultsKeys::HibernationInterval));
    if (!isDeeplyHibernating())
        return;
    m_hibernating = true;
    m_hibernationTimestamp = m_services.defaults.doubleForKey(HXDefaultsKeys::DeepHibernation);
    Q_EMIT hibernatingChanged(true, false);
    m_services.controller.setPaused(true);
}

void HXHibernation::wakeUp() {
    m_hibernating = false;
    Q_EMIT hibernatingChanged(false, true);
    m_services.controller.setPaused(false);
    Q_EMIT iconNeedsUpdate();
    disableDisplaySleep(m_insomniac);
    if (m_hibernationTimestamp <= 0 || !m_services.defaults.boolForKey(u"Hibernation Timer"))
        return;
    // The hibernated period goes to the ad hoc timer, for the user to name and keep or discard.
    HXAdHocTimerPort* timer = m_services.adHocTimer;
    if (!timer)
        return;
    if (timer->active()) {
        if (timer->retroactive() && timer->resumeAtTimestamp(m_hibernationTimestamp))
            timer->stop();
    } else if (timer->startAtTimestamp(m_hibernationTimestamp, std::nullopt, nullptr,
                                       m_services.adHocTimerDelegate)) {
        timer->setRetroactive(true);
        timer->stop();
    }
}

void HXHibernation::deferHibernation() {
    if (m_hibernating && m_userAwayLevel == 0 && !isDeeplyHibernating())
        wakeUp();
    m_services.scheduler.cancelPerforms(this, kHibernateAction);
    if (m_hibernationInterval >= 1 && m_userAwayLevel == 0 && !m_insomniac)
        m_services.scheduler.performAfterDelay(this, kHibernateAction, m_hibernationInterval,
                                               [this] { hibernate(); });
}

void HXHibernation::hibernateUntilRevoked(bool deep) {
    if (m_hibernating)
        return;
    m_hibernating = true;
    m_hibernationTimestamp = m_services.clock.now();
    if (deep)
        m_services.defaults.setDouble(HXDefaultsKeys::DeepHibernation, m_hibernationTimestamp);
    Q_EMIT hibernatingChanged(true, true);
    m_services.controller.setPaused(true);
    Q_EMIT iconNeedsUpdate();
    // The display may sleep while hibernating, even with insomnia.
    disableDisplaySleep(false);
}

void HXHibernation::toggleHibernation() {
    if (isDeeplyHibernating()) {
        m_services.defaults.removeObject(HXDefaultsKeys::DeepHibernation);
        deferHibernation();
        return;
    }
    std::int64_t mode = m_services.defaults.integerForKey(u"Hibernation Mode");
    if (mode != 1 && mode != 2) {
        m_services.ui.bringToFront();
        const int answer = m_services.ui.runAlert(HXAlert{
            QString(),
            HXLocalized("Suspend Timers..."),
            HXLocalized("Qualdern can wake up automatically next time you do something, or it can remain in "
                        "deep suspension until you wake it up manually."),
            {HXLocalized("Wake Up Automatically"), HXLocalized("Wake Up Manually"), HXLocalized("Cancel")}});
        if (answer != 0 && answer != 1)
            return;
        mode = answer + 1;
    }
    Q_EMIT statusItemPanelShouldHide();
    if (mode == 1) {
        // The input that chose the command must not wake the tracker at once.
        m_services.scheduler.cancelPerforms(this, kHibernateAction);
        m_services.scheduler.performAfterDelay(this, kHibernateAction, 0.5, [this] { hibernate(); });
    } else {
        hibernateUntilRevoked(true);
    }
}

void HXHibernation::userLeaves() {
    ++m_userAwayLevel;
    m_services.scheduler.cancelPerforms(this, kHibernateAction);
    hibernateUntilRevoked(false);
}

void HXHibernation::userReturns() {
    if (m_userAwayLevel > 0)
        --m_userAwayLevel;
    deferHibernation();
}

void HXHibernation::disableDisplaySleep(bool disable) {
    if (disable && m_services.defaults.boolForKey(u"Insomnia: Leave Display Sleep Alone"))
        disable = false;
    if (disable == (m_assertion != 0))
        return;
    HXDisplaySleepInhibitor* inhibitor = m_services.inhibitor;
    if (disable) {
        const std::optional<std::uint32_t> id =
            inhibitor ? inhibitor->createAssertion(QStringLiteral("Qualdern Insomnia")) : std::nullopt;
        if (id && *id != 0) {
            m_assertion = *id;
            HXDebugLog(QStringLiteral("disabled display sleep"));
        }
        return;
    }
    if (inhibitor && inhibitor->releaseAssertion(m_assertion))
        HXDebugLog(QStringLiteral("re-enabled display sleep"));
    m_assertion = 0;
}

void HXHibernation::disableInsomnia(bool flag) {
    if (flag != m_insomniac)
        return;
    m_insomniac = !flag;
    Q_EMIT insomniacChanged(m_insomniac);
    Q_EMIT hibernationIntervalSelectorChanged(!m_insomniac, m_insomniac ? 0 : m_hibernationInterval);
    deferHibernation();
    disableDisplaySleep(m_insomniac && !m_hibernating);
}

bool HXHibernation::toggleInsomnia() {
    if (!m_insomniac && m_services.defaults.boolForKey(u"Insomnia: Disabled"))
        return false;
    disableInsomnia(m_insomniac);
    return true;
}
