#include "platform/HXInputMonitorChooser.h"
#include "foundation/HXLog.h"
#include "platform/fake/HXFakeInputMonitor.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    return true;
}

} // namespace

TEST(HXInputMonitorChooser, InstallsTheFirstThatCanBeAndMovesOnWhenItStopsAnswering) {
    HXLogging::Capture log;
    HXFakeInputMonitor ext, kde, x11;
    ext.setInstallable(false);
    bool kdeAnswers = true;
    HXInputMonitorChooser chooser({{QStringLiteral("ext"), &ext, nullptr},
                                   {QStringLiteral("kde"), &kde,
                                    [&] {
                                        return kdeAnswers;
                                    }},
                                   {QStringLiteral("x11"), &x11, nullptr}},
                                  std::chrono::milliseconds(20));
    int activity = 0;
    ASSERT_TRUE(chooser.install([&] { ++activity; }));
    EXPECT_EQ(chooser.currentName(), QStringLiteral("kde"));
    EXPECT_TRUE(kde.isInstalled());
    EXPECT_FALSE(x11.isInstalled());
    kde.simulateInput();
    EXPECT_EQ(activity, 1);
    EXPECT_TRUE(log.contains(QStringLiteral("idle source: kde")));

    kdeAnswers = false;
    ASSERT_TRUE(waitUntil([&] { return chooser.currentName() == u"x11"; }, 2000));
    EXPECT_FALSE(kde.isInstalled()) << "the one that stopped is removed";
    x11.simulateInput();
    EXPECT_EQ(activity, 2);
    EXPECT_TRUE(log.contains(QStringLiteral("idle source kde stopped answering")));
    chooser.remove();
    EXPECT_FALSE(x11.isInstalled());
    EXPECT_TRUE(chooser.currentName().isEmpty());
}

TEST(HXInputMonitorChooser, FailsWhenNoneCanBeInstalled) {
    HXFakeInputMonitor only;
    only.setInstallable(false);
    HXInputMonitorChooser chooser({{QStringLiteral("only"), &only, nullptr}});
    EXPECT_FALSE(chooser.install([] {}));
    HXInputMonitorChooser empty({});
    EXPECT_FALSE(empty.install([] {}));
}
