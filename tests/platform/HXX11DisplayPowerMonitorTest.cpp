#include "platform/x11/HXX11DisplayPowerMonitor.h"

#include "foundation/HXVirtualTime.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <optional>

namespace {

// A display whose power state the test sets, and the leaves and returns it caused.
class DisplayPowerMonitor : public testing::Test {
protected:
    HXUserPresenceMonitor::Handlers handlers() {
        return {[this](const QString& reason) { events.append(QStringLiteral("leave: ") + reason); },
                [this](const QString& reason) {
                    events.append(QStringLiteral("return: ") + reason);
                }};
    }

    void poll() { time.advance(HXX11DisplayPowerMonitor::kPollInterval); }

    HXVirtualTime time;
    std::optional<bool> asleep;
    int reads = 0;
    HXX11DisplayPowerMonitor monitor{time, [this] {
                                         ++reads;
                                         return asleep;
                                     }};
    QStringList events;
};

const QString kLeave = QStringLiteral("leave: displays asleep");
const QString kReturn = QStringLiteral("return: displays asleep");

TEST_F(DisplayPowerMonitor, LeavesWhileTheDisplaysSleepAndReturnsWhenTheyWake) {
    monitor.start(handlers(), false);
    EXPECT_EQ(reads, 1);
    // Not known yet: neither away nor back.
    poll();
    EXPECT_TRUE(events.isEmpty());

    asleep = true;
    EXPECT_TRUE(events.isEmpty()) << "only a poll notices";
    poll();
    poll();
    EXPECT_EQ(events, QStringList{kLeave});
    // An unknown state in between changes nothing.
    asleep.reset();
    poll();
    asleep = false;
    poll();
    poll();
    EXPECT_EQ(events, (QStringList{kLeave, kReturn}));
    EXPECT_EQ(reads, 7);
}

TEST_F(DisplayPowerMonitor, StoppingPaysTheReturnOwedAndEndsPolling) {
    monitor.start(handlers(), false);
    asleep = true;
    poll();
    monitor.stop();
    EXPECT_EQ(events, (QStringList{kLeave, kReturn}));
    const int readsWhenStopped = reads;
    asleep = false;
    time.advance(10 * HXX11DisplayPowerMonitor::kPollInterval);
    EXPECT_EQ(reads, readsWhenStopped);
    EXPECT_EQ(time.pendingCount(), 0u);

    // Watching again starts from awake.
    events.clear();
    asleep = true;
    monitor.start(handlers(), true);
    EXPECT_EQ(events, QStringList{kLeave});
}

TEST_F(DisplayPowerMonitor, AHandlerMayStopTheMonitor) {
    monitor.start({[this](const QString& reason) {
                       events.append(QStringLiteral("leave: ") + reason);
                       monitor.stop();
                   },
                   [this](const QString& reason) {
                       events.append(QStringLiteral("return: ") + reason);
                   }},
                  false);
    asleep = true;
    poll();
    // The stop inside the leave still balances it, and polling ends.
    EXPECT_EQ(events, (QStringList{kLeave, kReturn}));
    EXPECT_EQ(time.pendingCount(), 0u);
}

} // namespace
