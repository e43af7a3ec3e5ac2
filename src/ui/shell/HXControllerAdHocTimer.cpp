#include "ui/shell/HXControllerAdHocTimer.h"

#include "engine/HXAdHocTimerPort.h"
#include "engine/HXMainController.h"

bool HXControllerAdHocTimer::isRunning() const {
    const HXAdHocTimerPort* timer = m_controller.services().adHocTimer;
    return timer && timer->active();
}

HXDictionaryRef HXControllerAdHocTimer::timedPool() const {
    return isRunning() ? m_controller.services().adHocTimer->pool() : nullptr;
}

QString HXControllerAdHocTimer::timedName() const {
    return isRunning() ? m_controller.services().adHocTimer->name().trimmed() : QString();
}

void HXControllerAdHocTimer::startAdHocTimerForItem(const HXDictionaryRef& item) {
    HXAdHocTimerPort* timer = m_controller.services().adHocTimer;
    if (timer && timer->active()) {
        timer->showWindow();
        return;
    }
    if (!m_controller.startAdHocTimer(item.get()))
        m_beep();
}
