#pragma once

#include <functional>
#include <string_view>

// The one way delayed work is scheduled: a call identified by its target and action, performed after a
// delay also while menus, modal dialogs and drags run. A zero delay means the next pass of the event
// loop. Pending calls of a target and action can be cancelled.
class HXScheduler {
public:
    virtual ~HXScheduler() = default;

    virtual void performAfterDelay(const void* target, std::string_view action, double seconds,
                                   std::function<void()> call) = 0;
    virtual void cancelPerforms(const void* target, std::string_view action) = 0;
    virtual bool hasPendingPerform(const void* target, std::string_view action) const = 0;
};
