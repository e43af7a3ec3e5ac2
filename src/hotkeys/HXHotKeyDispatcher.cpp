#include "hotkeys/HXHotKeyDispatcher.h"

#include "foundation/HXClock.h"
#include "foundation/HXScheduler.h"
#include "foundation/HXUserDefaults.h"
#include "hotkeys/HXHotKeyDelegate.h"
#include "platform/HXHotKeyRegistrar.h"

#include <algorithm>

namespace {

constexpr std::string_view kRepeatAction = "repeatSystemDefinedEvent";
constexpr double kShortestDelay = 0.01;
constexpr double kFallbackDelay = 0.5;

bool toggleRepeatableHotKeys(const HXUserDefaults& defaults) {
    return defaults.boolForKey(u"Toggle Repeatable Hot Keys");
}

} // namespace

HXHotKeyDispatcher::HXHotKeyDispatcher(const Services& services) : m_services(services) {}

HXHotKeyDispatcher::~HXHotKeyDispatcher() {
    m_services.scheduler.cancelPerforms(this, kRepeatAction);
}

bool HXHotKeyDispatcher::sendEvent(const Event& event) {
    if (!event)
        return false;
    switch (event->type) {
    case HXKeyboardEvent::Type::KeyDown:
        return handleKeyDownEvent(event, false);
    case HXKeyboardEvent::Type::HotKeyReleased:
        if (!toggleRepeatableHotKeys(m_services.defaults))
            triggerRepetitionForSystemDefinedEvent(nullptr, -1);
        return true;
    case HXKeyboardEvent::Type::HotKeyPressed:
        return handleKeyDownEvent(event, true);
    default:
        return false;
    }
}

bool HXHotKeyDispatcher::handleKeyDownEvent(const Event& event, bool triggerRepetition) {
    if (!event)
        return false;
    const double now = m_services.clock.now();
    if (triggerRepetition && m_eventToRepeat && m_eventToRepeat != event) {
        const std::uint32_t repeated = m_eventToRepeat->hotKeyReference;
        triggerRepetitionForSystemDefinedEvent(nullptr, -1);
        // Pressing the repeating hot key again only stops it.
        if (toggleRepeatableHotKeys(m_services.defaults) && event->hotKeyReference == repeated)
            return true;
    }
    bool repeat = false;
    if (!m_handler || !m_handler->handleKeyDownEvent(*event, &repeat))
        return false;
    triggerRepetitionForSystemDefinedEvent(triggerRepetition && repeat ? event : nullptr, now);
    return true;
}

void HXHotKeyDispatcher::triggerRepetitionForSystemDefinedEvent(const Event& event,
                                                                double referenceTimestamp) {
    m_services.scheduler.cancelPerforms(this, kRepeatAction);
    if (!event) {
        m_eventToRepeat.reset();
        return;
    }
    const HXHotKeyRegistrar* rate = m_services.repeatRate;
    const double repeatDelay = rate ? rate->keyRepeatDelay() : 0;
    double delay;
    if (event == m_eventToRepeat) {
        delay = rate ? rate->keyRepeatInterval() : 0;
        if (delay < kShortestDelay)
            delay = repeatDelay >= kShortestDelay ? repeatDelay : kFallbackDelay;
    } else {
        m_eventToRepeat = event;
        delay = repeatDelay >= kShortestDelay ? repeatDelay : kFallbackDelay;
    }
    delay -= m_services.clock.now() - referenceTimestamp;
    m_services.scheduler.performAfterDelay(this, kRepeatAction, std::max(kShortestDelay, delay),
                                           [this] { repeatSystemDefinedEvent(); });
}

void HXHotKeyDispatcher::repeatSystemDefinedEvent() {
    const Event event = m_eventToRepeat;
    handleKeyDownEvent(event, true);
}
