#pragma once

#include "foundation/HXDictionary.h"

#include <QString>

#include <optional>

class HXAdHocTimerDelegate;

// The ad hoc timer as the engine uses it: whether it is active, the retroactive hand-over of a
// hibernated period, and what keeping it hands over.
class HXAdHocTimerPort {
public:
    virtual ~HXAdHocTimerPort() = default;

    virtual bool active() const = 0;
    virtual bool retroactive() const = 0;
    virtual void setRetroactive(bool retroactive) = 0;
    virtual bool resumeAtTimestamp(double timestamp) = 0;
    virtual bool startAtTimestamp(double timestamp, const std::optional<QString>& name,
                                  const HXDictionaryRef& pool, HXAdHocTimerDelegate* delegate) = 0;
    virtual bool stop() = 0;
    // Brings the timer's window to the front and makes it key.
    virtual void showWindow() = 0;

    // The timed stretches as an event log; null until the first stop.
    virtual HXArrayRef eventStream() const = 0;
    // The pool chosen for the time; null for none (keeping then makes a new pool).
    virtual HXDictionaryRef pool() const = 0;
    // The name typed for the time, as typed.
    virtual QString name() const = 0;
};

// Supplies the pools a timer offers and takes what it recorded; the main controller is one.
class HXAdHocTimerDelegate {
public:
    virtual ~HXAdHocTimerDelegate() = default;

    // The configuration's "Pools" (null when there are none).
    virtual HXArrayRef poolsForAdHocTimer(const HXAdHocTimerPort& timer) = 0;
    // Merges the timed stretches into the pool, its ad hoc pool item and the named entry; false when
    // nothing was recorded.
    virtual bool absorbAdHocTimer(const HXAdHocTimerPort& timer) = 0;
};
