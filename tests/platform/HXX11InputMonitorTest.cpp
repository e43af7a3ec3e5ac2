#include "X11TestSupport.h"

#include "foundation/HXLog.h"
#include "platform/x11/HXX11InputMonitor.h"

#include <QElapsedTimer>
#include <QProcess>

using namespace std::chrono_literals;

namespace {

// Absolute moves to where the pointer already is make no raw motion; relative ones always do. The event
// loop keeps running meanwhile, so that events are read as they come.
bool moveRelative(int steps = 1, const char* pause = "0") {
    QStringList arguments;
    for (int i = 0; i < steps; ++i)
        arguments << QStringLiteral("mousemove_relative") << QStringLiteral("--") << QStringLiteral("5")
                  << QStringLiteral("5") << QStringLiteral("sleep") << QString::fromLatin1(pause);
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), arguments);
    return xdotool.waitForStarted() && waitUntil([&] { return xdotool.state() == QProcess::NotRunning; }) &&
           xdotool.exitCode() == 0;
}

class X11InputMonitorTest : public testing::Test {
protected:
    void SetUp() override { QD_REQUIRE_DISPLAY(); }

    int calls = 0;
    std::function<void()> count = [this] {
        ++calls;
    };
};

TEST_F(X11InputMonitorTest, RawInputReportsPointerAndKeysCoalesced) {
    HXX11InputMonitor monitor;
    ASSERT_TRUE(monitor.install(count));
    EXPECT_EQ(monitor.source(), HXX11InputMonitor::Source::RawInput);
    spin(300);
    EXPECT_EQ(calls, 0) << "activity reported without input";

    ASSERT_TRUE(moveRelative());
    EXPECT_TRUE(waitUntil([&] { return calls >= 1; }, 3000));
    spin(300);

    const int beforeKey = calls;
    ASSERT_TRUE(runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("shift")}));
    EXPECT_TRUE(waitUntil([&] { return calls > beforeKey; }, 3000));
    spin(300);

    // Ten motions 30 ms apart: about one report per coalescing interval, not one per motion.
    const int beforeBurst = calls;
    QElapsedTimer burst;
    burst.start();
    ASSERT_TRUE(moveRelative(10, "0.03"));
    const qint64 span = burst.elapsed();
    spin(int(HXX11InputMonitor::kCoalescingInterval.count()) * 3);
    const int reports = calls - beforeBurst;
    EXPECT_GE(reports, 2);
    EXPECT_LE(reports, span / HXX11InputMonitor::kCoalescingInterval.count() + 2) << "over " << span << " ms";
    EXPECT_LT(reports, 10);

    monitor.remove();
    const int afterRemove = calls;
    ASSERT_TRUE(moveRelative());
    spin(400);
    EXPECT_EQ(calls, afterRemove);
}

TEST_F(X11InputMonitorTest, FallsBackToTheScreenSaverIdleTime) {
    HXLogging::Capture log;
    // Asking for an XInput the server does not have takes the path of a server without XInput2.
    HXX11InputMonitor::Options options;
    options.minimumXInputMajor = 99;
    options.idlePollInterval = 100ms;
    HXX11InputMonitor monitor(options);
    ASSERT_TRUE(monitor.install(count));
    EXPECT_EQ(monitor.source(), HXX11InputMonitor::Source::IdleTime);
    EXPECT_TRUE(log.contains(QStringLiteral("cannot install event monitor")));
    spin(400);
    EXPECT_EQ(calls, 0) << "activity reported without input";

    ASSERT_TRUE(moveRelative());
    EXPECT_TRUE(waitUntil([&] { return calls >= 1; }, 3000));
    monitor.remove();
}

TEST(X11InputMonitorWithoutDisplayTest, InstallFailsAndSaysSo) {
    HXLogging::Capture log;
    HXX11InputMonitor::Options options;
    options.displayName = ":59999";
    HXX11InputMonitor monitor(options);
    int calls = 0;
    EXPECT_FALSE(monitor.install([&] { ++calls; }));
    EXPECT_EQ(monitor.source(), HXX11InputMonitor::Source::None);
    EXPECT_TRUE(log.contains(QStringLiteral("cannot install event monitor")));
}

} // namespace
