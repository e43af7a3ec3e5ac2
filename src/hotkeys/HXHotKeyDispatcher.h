#pragma once

#include "platform/HXKeyboardEvent.h"

#include <memory>

class HXClock;
class HXHotKeyHandler;
class HXHotKeyRegistrar;
class HXScheduler;
class HXUserDefaults;

// The hot key side of the application's event dispatch: key presses and pressed hot keys go to the
// handler first, and a pressed hot key that the handler asks to repeat is repeated at the user's key
// repeat rate until it is released (or, with "Toggle Repeatable Hot Keys", until it is pressed again).
class HXHotKeyDispatcher {
public:
    using Event = std::shared_ptr<const HXKeyboardEvent>;

    struct Services {
        HXUserDefaults& defaults;
        HXScheduler& scheduler;
        HXClock& clock;
        // The key repeat rate; null: the fallback of half a second.
        const HXHotKeyRegistrar* repeatRate = nullptr;
    };

    explicit HXHotKeyDispatcher(const Services& services);
    ~HXHotKeyDispatcher();
    HXHotKeyDispatcher(const HXHotKeyDispatcher&) = delete;
    HXHotKeyDispatcher& operator=(const HXHotKeyDispatcher&) = delete;

    void setHandler(HXHotKeyHandler* handler) { m_handler = handler; }

    // True when the event was consumed.
    bool sendEvent(const Event& event);
    bool handleKeyDownEvent(const Event& event, bool triggerRepetition);
    // A null event stops the repetition.
    void triggerRepetitionForSystemDefinedEvent(const Event& event, double referenceTimestamp);
    void repeatSystemDefinedEvent();
    const Event& eventToRepeat() const { return m_eventToRepeat; }

private:
    Services m_services;
    HXHotKeyHandler* m_handler = nullptr;
    Event m_eventToRepeat;
};
