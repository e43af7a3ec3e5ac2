#include "platform/HXWindowSourceChooser.h"
#include "foundation/HXLog.h"
#include "platform/fake/HXFakeWindowSystem.h"

#include <gtest/gtest.h>

namespace {

// A source whose state the test sets; its window system tells the sources apart by their front process.
class ScriptedSource final : public HXWindowSource {
public:
    ScriptedSource(QString name, std::int64_t pid, State afterStart = State::Answering)
        : m_name(std::move(name)), m_afterStart(afterStart) {
        HXFakeApplication app;
        app.application.processIdentifier = pid;
        app.application.bundlePath = m_name;
        app.windows.push_back({static_cast<std::uint64_t>(pid), m_name});
        m_system.setApplications({app});
        m_system.setFrontProcess(pid);
    }

    QString name() const override { return m_name; }
    void start() override {
        ++starts;
        m_state = m_afterStart;
    }
    State state() override { return m_state; }
    void stop() override {
        ++stops;
        m_state = State::Failed;
    }
    QString failureReason() const override { return reason; }
    QString advice() const override { return adviceText; }
    HXWindowServer& windowServer() override { return m_system; }
    HXWorkspace& workspace() override { return m_system; }

    void set(State state) { m_state = state; }
    void setAfterStart(State state) { m_afterStart = state; }

    int starts = 0;
    int stops = 0;
    QString reason;
    QString adviceText;

private:
    QString m_name;
    State m_afterStart;
    State m_state = State::Failed;
    HXFakeWindowSystem m_system;
};

using State = HXWindowSource::State;

std::optional<QString> frontName(HXWindowSourceChooser& chooser) {
    const std::optional<HXRunningApplication> front = chooser.menuBarOwner();
    return front ? front->bundlePath : std::nullopt;
}

} // namespace

TEST(HXWindowSourceChooser, TakesTheFirstThatAnswersAndLogsTheChoiceOnce) {
    HXLogging::Capture log;
    ScriptedSource wlroots(QStringLiteral("wlroots"), 1, State::Failed);
    ScriptedSource kwin(QStringLiteral("kwin"), 2);
    ScriptedSource x11(QStringLiteral("x11"), 3);
    HXWindowSourceChooser chooser({&wlroots, &kwin, &x11});
    ASSERT_TRUE(chooser.start());
    EXPECT_EQ(frontName(chooser), QStringLiteral("kwin"));
    ASSERT_TRUE(chooser.onScreenWindows());
    EXPECT_EQ(chooser.onScreenWindows()->front().name, QStringLiteral("kwin"));
    EXPECT_EQ(chooser.runningApplications().size(), 1u);
    EXPECT_EQ(chooser.runningApplications().front().processIdentifier, 2);
    EXPECT_EQ(wlroots.stops, 1) << "a failed source gives back what it took";
    EXPECT_EQ(x11.starts, 0) << "later candidates are not started";
    for (int tick = 0; tick < 5; ++tick)
        chooser.menuBarOwner();
    EXPECT_EQ(log.lines().filter(QStringLiteral("window source: kwin")).size(), 1);
    EXPECT_EQ(log.lines().filter(QStringLiteral("window source wlroots does not answer")).size(), 1);
}

TEST(HXWindowSourceChooser, AnswersNothingWhileASourceStartsAndMovesOnWhenItFails) {
    ScriptedSource kwin(QStringLiteral("kwin"), 2, State::Starting);
    ScriptedSource x11(QStringLiteral("x11"), 3);
    HXWindowSourceChooser chooser({&kwin, &x11});
    ASSERT_TRUE(chooser.start());
    EXPECT_FALSE(chooser.menuBarOwner());
    EXPECT_FALSE(chooser.onScreenWindows());
    EXPECT_FALSE(chooser.allWindows());
    EXPECT_TRUE(chooser.runningApplications().empty());
    EXPECT_FALSE(chooser.isOrderedIn(2));
    EXPECT_EQ(x11.starts, 0);
    kwin.set(State::Failed);
    EXPECT_EQ(frontName(chooser), QStringLiteral("x11"));
    EXPECT_TRUE(chooser.isOrderedIn(3));
}

TEST(HXWindowSourceChooser, FallsBackAtRunTimeAndTellsAdviceOnce) {
    HXLogging::Capture log;
    std::vector<QString> told;
    ScriptedSource gnome(QStringLiteral("gnome"), 1);
    gnome.adviceText = QStringLiteral("enable the extension");
    ScriptedSource x11(QStringLiteral("x11"), 2);
    HXWindowSourceChooser chooser({&gnome, &x11});
    chooser.setAdviceHandler([&](const QString& advice) { told.push_back(advice); });
    ASSERT_TRUE(chooser.start());
    EXPECT_EQ(frontName(chooser), QStringLiteral("gnome"));
    gnome.set(State::Failed);
    EXPECT_EQ(frontName(chooser), QStringLiteral("x11"));
    EXPECT_TRUE(log.contains(QStringLiteral("window source gnome stopped answering")));
    EXPECT_TRUE(log.contains(QStringLiteral("window source: x11")));
    EXPECT_EQ(told, std::vector<QString>{QStringLiteral("enable the extension")});
    EXPECT_EQ(gnome.stops, 1);
    chooser.stop();
    EXPECT_EQ(x11.stops, 1) << "stopping stops the source in use";
    EXPECT_FALSE(chooser.menuBarOwner());
}

TEST(HXWindowSourceChooser, WhenAllFailTriesAgainFromTheFirstAfterTheRetryInterval) {
    HXLogging::Capture log;
    auto now = std::chrono::steady_clock::time_point{};
    ScriptedSource kwin(QStringLiteral("kwin"), 1, State::Failed);
    kwin.reason = QStringLiteral("KWin did not load the script");
    ScriptedSource x11(QStringLiteral("x11"), 2, State::Failed);
    HXWindowSourceChooser chooser({&kwin, &x11}, std::chrono::seconds(30), [&] { return now; });
    ASSERT_TRUE(chooser.start());
    EXPECT_TRUE(chooser.isWaitingToRetry());
    EXPECT_FALSE(chooser.menuBarOwner());
    EXPECT_TRUE(
        log.contains(QStringLiteral("window source kwin does not answer: KWin did not load the script")));
    now += std::chrono::seconds(29);
    chooser.menuBarOwner();
    EXPECT_EQ(kwin.starts, 1) << "not before the interval is over";
    kwin.setAfterStart(State::Answering);
    now += std::chrono::seconds(2);
    EXPECT_EQ(frontName(chooser), QStringLiteral("kwin"));
    EXPECT_EQ(kwin.starts, 2);
    EXPECT_FALSE(chooser.isWaitingToRetry());
    // Failing again logs each source's failure no second time, and the retries of one outage once.
    kwin.set(State::Failed);
    kwin.setAfterStart(State::Failed);
    chooser.menuBarOwner();
    for (int retry = 0; retry < 3; ++retry) {
        now += std::chrono::seconds(31);
        chooser.menuBarOwner();
    }
    EXPECT_EQ(kwin.starts, 5);
    EXPECT_EQ(log.lines().filter(QStringLiteral("does not answer")).size(), 2);
    EXPECT_EQ(log.lines().filter(QStringLiteral("stopped answering")).size(), 1);
    EXPECT_EQ(log.lines().filter(QStringLiteral("no window source answers")).size(), 2);
}

TEST(HXWindowSourceChooser, WithoutCandidatesItDoesNotStart) {
    HXWindowSourceChooser chooser({});
    EXPECT_FALSE(chooser.start());
    EXPECT_FALSE(chooser.onScreenWindows());
    EXPECT_EQ(chooser.current(), nullptr);
}
