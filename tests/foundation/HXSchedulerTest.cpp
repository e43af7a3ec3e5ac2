#include "foundation/HXQtScheduler.h"
#include "foundation/HXVirtualTime.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <string>
#include <vector>

TEST(HXVirtualTime, RunsCallsInDueOrderAtTheirOwnTimes) {
    HXVirtualTime time(1000);
    std::vector<std::pair<std::string, double>> ran;
    int target = 0;
    time.performAfterDelay(&target, "b", 2, [&] { ran.emplace_back("b", time.now()); });
    time.performAfterDelay(&target, "a", 1, [&] {
        ran.emplace_back("a", time.now());
        time.performAfterDelay(&target, "c", 0.5, [&] { ran.emplace_back("c", time.now()); });
    });
    time.performAfterDelay(&target, "late", 10, [&] { ran.emplace_back("late", time.now()); });
    EXPECT_EQ(time.advance(2), 3);
    ASSERT_EQ(ran.size(), 3u);
    EXPECT_EQ(ran[0], std::make_pair(std::string("a"), 1001.0));
    EXPECT_EQ(ran[1], std::make_pair(std::string("c"), 1001.5));
    EXPECT_EQ(ran[2], std::make_pair(std::string("b"), 1002.0));
    EXPECT_EQ(time.now(), 1002.0);
    EXPECT_EQ(time.nextDueTime(), 1010.0);
}

TEST(HXVirtualTime, CancelsByTargetAndAction) {
    HXVirtualTime time;
    int first = 0;
    int second = 0;
    int ran = 0;
    time.performAfterDelay(&first, "tick", 1, [&] { ++ran; });
    time.performAfterDelay(&first, "tick", 2, [&] { ++ran; });
    time.performAfterDelay(&second, "tick", 1, [&] { ran += 10; });
    time.performAfterDelay(&first, "save", 1, [&] { ran += 100; });
    EXPECT_TRUE(time.hasPendingPerform(&first, "tick"));
    time.cancelPerforms(&first, "tick");
    EXPECT_FALSE(time.hasPendingPerform(&first, "tick"));
    time.advance(5);
    EXPECT_EQ(ran, 110);
}

TEST(HXQtScheduler, FiresOnTheEventLoopAndCancels) {
    int argc = 0;
    QCoreApplication app(argc, nullptr);
    HXQtScheduler scheduler;
    int target = 0;
    std::vector<std::string> ran;
    scheduler.performAfterDelay(&target, "cancelled", 0.01, [&] { ran.push_back("cancelled"); });
    scheduler.performAfterDelay(&target, "late", 0.05, [&] {
        ran.push_back("late");
        QCoreApplication::quit();
    });
    scheduler.performAfterDelay(&target, "soon", 0, [&] {
        ran.push_back("soon");
        // Rescheduling from inside a call works like any other call.
        scheduler.performAfterDelay(&target, "again", 0, [&] { ran.push_back("again"); });
    });
    scheduler.cancelPerforms(&target, "cancelled");
    QElapsedTimer watchdog;
    watchdog.start();
    QCoreApplication::exec();
    EXPECT_LT(watchdog.elapsed(), 5000);
    EXPECT_EQ(ran, (std::vector<std::string>{"soon", "again", "late"}));
    EXPECT_FALSE(scheduler.hasPendingPerform(&target, "late"));
}
