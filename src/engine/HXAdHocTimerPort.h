#pragma once

#include "foundation/HXDictionary.h"

#include <QString>

#include <optional>

class HXAdHocTimerDelegate;

// The ad hoc timer as the engine uses it: whether it is active, and the retroactive hand-over of a
// hibernated period.
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
};

// Receives what the timer records; the main controller is one.
class HXAdHocTimerDelegate {
public:
    virtual ~HXAdHocTimerDelegate() = default;
};
