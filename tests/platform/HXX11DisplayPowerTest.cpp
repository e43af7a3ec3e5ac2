#include "X11TestSupport.h"

#include "platform/x11/HXX11DisplayPower.h"
#include "platform/x11/HXX11DisplayPowerMonitor.h"

#include "foundation/HXVirtualTime.h"

#include <QElapsedTimer>
#include <QThread>

namespace {

TEST(X11DisplayPower, ReadsThePowerStateOrSaysWhyNot) {
    QD_REQUIRE_DISPLAY();
    HXX11DisplayPower power;
    QString why;
    if (power.open(&why)) {
        // The first read only asks; an answer follows without waiting on the caller's side.
        std::optional<bool> asleep = power.displaysAsleep();
        QElapsedTimer waited;
        waited.start();
        while (!asleep && waited.elapsed() < 5000) {
            QThread::msleep(10);
            asleep = power.displaysAsleep();
        }
        ASSERT_TRUE(asleep.has_value());
        EXPECT_FALSE(*asleep) << "the test display is on";
        return;
    }
    // Xvfb has no DPMS: the monitor says so once and reports nothing, not even a poll.
    EXPECT_EQ(why, QStringLiteral("the X server has no DPMS extension"));
    EXPECT_FALSE(power.displaysAsleep().has_value());
    HXVirtualTime time;
    HXX11DisplayPowerMonitor monitor(time);
    int events = 0;
    monitor.start({[&events](const QString&) { ++events; },
                   [&events](const QString&) {
                       ++events;
                   }},
                  true);
    time.advance(60);
    EXPECT_EQ(time.pendingCount(), 0u);
    monitor.stop();
    EXPECT_EQ(events, 0);
}

TEST(X11DisplayPower, NoDisplayIsSaidPlainly) {
    HXX11DisplayPower power(":4711");
    QString why;
    EXPECT_FALSE(power.open(&why));
    EXPECT_EQ(why, QStringLiteral("cannot connect to the X display"));
    EXPECT_FALSE(power.displaysAsleep().has_value());
}

} // namespace
