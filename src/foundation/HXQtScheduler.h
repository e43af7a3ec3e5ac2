#pragma once

#include "foundation/HXScheduler.h"

#include <QObject>

#include <list>
#include <memory>
#include <string>

class QTimer;

// Delayed calls on Qt timers; Qt's event loop keeps them firing in menus and modal dialogs.
class HXQtScheduler final : public HXScheduler {
public:
    HXQtScheduler();
    ~HXQtScheduler() override;

    void performAfterDelay(const void* target, std::string_view action, double seconds,
                           std::function<void()> call) override;
    void cancelPerforms(const void* target, std::string_view action) override;
    bool hasPendingPerform(const void* target, std::string_view action) const override;

private:
    struct Pending {
        const void* target;
        std::string action;
        std::unique_ptr<QTimer> timer;
    };
    std::list<Pending> m_pending;
};
