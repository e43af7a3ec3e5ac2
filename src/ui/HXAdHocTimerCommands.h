#pragma once

#include "foundation/HXDictionary.h"

#include <QString>

// What the menus and the organizer ask of the ad hoc timer: whether it runs, which pool and entry it
// times, and starting it from a menu entry. The timer's window answers it; until it exists, the program
// answers with a timer that never runs.
class HXAdHocTimerCommands {
public:
    virtual ~HXAdHocTimerCommands() = default;

    virtual bool isRunning() const = 0;
    // While running: the pool being timed (null for none yet) and the trimmed text of its name field.
    virtual HXDictionaryRef timedPool() const = 0;
    virtual QString timedName() const = 0;
    // Starts a timer for the entry's item: a pool, a named timer of a pool, or null for a new pool.
    virtual void startAdHocTimerForItem(const HXDictionaryRef& item) = 0;
};
