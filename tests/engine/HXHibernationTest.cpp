#include "EngineHarness.h"

#include <gtest/gtest.h>

using namespace HXKeys;

namespace {

const QString kEditor = QStringLiteral("org.example.Editor");

// A launched tracker with one running application and the idle countdown armed.
struct Launched : EngineHarness {
    Launched() {
        windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor"))});
        defaults->setInteger(u"Hibernation Interval", 60);
        lifecycle->applicationWillFinishLaunching();
        lifecycle->applicationDidFinishLaunching();
    }
    HXHibernation& hibernation() { return controller->hibernation(); }
    double editorTime() { return application(kEditor)->timeIntervalForKey(Time); }
};

} // namespace

TEST(HXHibernation, IdleCountdownHibernatesAndInputWakesWithAGap) {
    Launched h;
    h.time.advance(59.9);
    EXPECT_FALSE(h.hibernation().isHibernating());
    // Input re-arms the countdown a full interval into the future.
    h.inputMonitor.simulateInput();
    const double inputAt = h.time.now();
    h.time.advance(59.9);
    EXPECT_FALSE(h.hibernation().isHibernating());
    const double beforeSleep = h.editorTime();
    h.time.advance(0.2);
    EXPECT_TRUE(h.hibernation().isHibernating());
    EXPECT_TRUE(h.controller->isPaused());
    const double hibernatedAt = h.hibernation().hibernationTimestamp();
    EXPECT_NEAR(hibernatedAt, inputAt + 60, 0.001);
    h.time.advance(3600);
    EXPECT_NEAR(h.editorTime(), beforeSleep + 0.1, 0.51);

    h.inputMonitor.simulateInput();
    EXPECT_FALSE(h.hibernation().isHibernating());
    EXPECT_FALSE(h.controller->isPaused());
    h.time.advance(1);
    // The hibernated hour counts for nothing; the open entry ended at the last tick before it.
    EXPECT_NEAR(h.editorTime(), beforeSleep + 0.5, 0.51);
    const auto log = logValues(h.application(kEditor)->arrayForKey(ActiveLog));
    ASSERT_EQ(log.size(), 3u);
    EXPECT_LE(-log[1], hibernatedAt);
    EXPECT_GE(log[2], hibernatedAt + 3600);
}

TEST(HXHibernation, NestedAwayLevelsNeedEveryReturn) {
    Launched h;
    h.presenceMonitor.simulateLeave(QStringLiteral("display sleep"));
    h.presenceMonitor.simulateLeave(QStringLiteral("system sleep"));
    EXPECT_EQ(h.hibernation().userAwayLevel(), 2);
    h.presenceMonitor.simulateReturn(QStringLiteral("system wake"));
    EXPECT_TRUE(h.hibernation().isHibernating());
    // Input while away wakes nothing and arms no countdown.
    h.inputMonitor.simulateInput();
    EXPECT_TRUE(h.hibernation().isHibernating());
    EXPECT_FALSE(h.time.hasPendingPerform(&h.hibernation(), "hibernate"));
    h.presenceMonitor.simulateReturn(QStringLiteral("display wake"));
    EXPECT_FALSE(h.hibernation().isHibernating());
    EXPECT_TRUE(h.time.hasPendingPerform(&h.hibernation(), "hibernate"));
    // A stray return never makes the level negative.
    h.presenceMonitor.simulateReturn(QStringLiteral("again"));
    EXPECT_EQ(h.hibernation().userAwayLevel(), 0);
}

TEST(HXHibernation, DeepHibernationSurvivesInputAndRestartUntilToggled) {
    double stored = 0;
    ScratchFolder shared;
    {
        Launched h;
        h.defaults->setInteger(u"Hibernation Mode", 2);
        int hides = 0;
        QObject::connect(&h.hibernation(), &HXHibernation::statusItemPanelShouldHide, [&] { ++hides; });
        h.hibernation().toggleHibernation();
        EXPECT_EQ(hides, 1);
        EXPECT_TRUE(h.hibernation().isHibernating());
        EXPECT_TRUE(h.hibernation().isDeeplyHibernating());
        stored = h.defaults->doubleForKey(u"Deep Hibernation");
        EXPECT_NEAR(stored, h.time.now(), 0.001);
        h.inputMonitor.simulateInput();
        h.presenceMonitor.simulateLeave(QStringLiteral("lock"));
        h.presenceMonitor.simulateReturn(QStringLiteral("unlock"));
        EXPECT_TRUE(h.hibernation().isHibernating());
        h.lifecycle->shutdown();
        QFile::copy(h.defaults->path(), shared.file(QStringLiteral("Defaults.plist")));
    }
    EngineHarness next;
    QFile::remove(next.defaults->path());
    QDir().mkpath(QFileInfo(next.defaults->path()).absolutePath());
    QFile::copy(shared.file(QStringLiteral("Defaults.plist")), next.defaults->path());
    next.lifecycle.reset();
    next.controller.reset();
    next.defaults = std::make_unique<HXUserDefaults>(next.defaults->path(), &next.time);
    next.controller = std::make_unique<HXMainController>(HXEngineServices{
        *next.defaults, next.time, next.time, next.windows, next.windows, next.ui, &next.capture,
        &next.adHocTimer, &next.inhibitor, next.scratch.file(QStringLiteral("data/Qualdern"))});
    next.lifecycle = std::make_unique<HXLifecycle>(*next.controller, next.lifecyclePort, &next.inputMonitor,
                                                   &next.presenceMonitor);
    int looks = 0;
    QObject::connect(&next.controller->hibernation(), &HXHibernation::hibernatingChanged,
                     [&](bool hibernating, bool animate) { looks += hibernating && !animate; });
    next.lifecycle->applicationWillFinishLaunching();
    next.lifecycle->applicationDidFinishLaunching();
    HXHibernation& hibernation = next.controller->hibernation();
    EXPECT_TRUE(hibernation.isHibernating());
    EXPECT_EQ(looks, 1);
    EXPECT_EQ(hibernation.hibernationTimestamp(), stored);
    EXPECT_EQ(next.controller->pauseLevel(), 1);
    next.inputMonitor.simulateInput();
    EXPECT_TRUE(hibernation.isHibernating());
    hibernation.toggleHibernation();
    EXPECT_FALSE(hibernation.isHibernating());
    EXPECT_FALSE(hibernation.isDeeplyHibernating());
    EXPECT_FALSE(next.controller->isPaused());
}

TEST(HXHibernation, SuspendCommandAsksUnlessTheModeIsSet) {
    Launched h;
    h.ui.answers = {2};
    h.hibernation().toggleHibernation();
    ASSERT_EQ(h.ui.alerts.size(), 1u);
    EXPECT_EQ(h.ui.alerts[0].message, QStringLiteral("Suspend Timers..."));
    EXPECT_EQ(h.ui.alerts[0].buttons.size(), 3);
    EXPECT_FALSE(h.hibernation().isHibernating());

    // "Wake Up Automatically": hibernates half a second later, so the choosing input does not wake it.
    h.ui.answers = {0};
    h.hibernation().toggleHibernation();
    EXPECT_FALSE(h.hibernation().isHibernating());
    h.time.advance(0.5);
    EXPECT_TRUE(h.hibernation().isHibernating());
    EXPECT_FALSE(h.hibernation().isDeeplyHibernating());
    h.inputMonitor.simulateInput();
    EXPECT_FALSE(h.hibernation().isHibernating());

    h.defaults->setInteger(u"Hibernation Mode", 1);
    h.hibernation().toggleHibernation();
    EXPECT_EQ(h.ui.alerts.size(), 2u);
}

TEST(HXHibernation, InsomniaPreventsIdleHibernationAndHoldsTheDisplay) {
    Launched h;
    int selector = -1;
    QObject::connect(&h.hibernation(), &HXHibernation::hibernationIntervalSelectorChanged,
                     [&](bool enabled, int tag) { selector = enabled ? tag : -tag - 100; });
    EXPECT_TRUE(h.hibernation().toggleInsomnia());
    EXPECT_TRUE(h.hibernation().isInsomniac());
    EXPECT_EQ(selector, -100);
    EXPECT_EQ(h.inhibitor.heldAssertions().size(), 1u);
    h.time.advance(600);
    EXPECT_FALSE(h.hibernation().isHibernating());

    // Sleep still hibernates, and lets the display sleep meanwhile.
    h.presenceMonitor.simulateLeave(QStringLiteral("display sleep"));
    EXPECT_TRUE(h.hibernation().isHibernating());
    EXPECT_TRUE(h.inhibitor.heldAssertions().empty());
    h.presenceMonitor.simulateReturn(QStringLiteral("display wake"));
    EXPECT_EQ(h.inhibitor.heldAssertions().size(), 1u);

    EXPECT_TRUE(h.hibernation().toggleInsomnia());
    EXPECT_EQ(selector, 60);
    EXPECT_TRUE(h.inhibitor.heldAssertions().empty());
    EXPECT_EQ(h.hibernation().displaySleepAssertion(), 0u);
    h.time.advance(61);
    EXPECT_TRUE(h.hibernation().isHibernating());
}

TEST(HXHibernation, InsomniaSettingsAndFailingAssertions) {
    Launched h;
    h.defaults->setBool(u"Insomnia: Disabled", true);
    EXPECT_FALSE(h.hibernation().toggleInsomnia());
    EXPECT_FALSE(h.hibernation().isInsomniac());
    h.defaults->setBool(u"Insomnia: Disabled", false);
    h.defaults->setBool(u"Insomnia: Leave Display Sleep Alone", true);
    EXPECT_TRUE(h.hibernation().toggleInsomnia());
    EXPECT_TRUE(h.inhibitor.heldAssertions().empty());
    h.hibernation().toggleInsomnia();
    h.defaults->setBool(u"Insomnia: Leave Display Sleep Alone", false);
    h.inhibitor.setFailing(true);
    EXPECT_TRUE(h.hibernation().toggleInsomnia());
    EXPECT_TRUE(h.hibernation().isInsomniac());
    EXPECT_EQ(h.hibernation().displaySleepAssertion(), 0u);
    // Once the service works again, the next change takes the assertion.
    h.inhibitor.setFailing(false);
    h.hibernation().disableDisplaySleep(true);
    EXPECT_EQ(h.inhibitor.heldAssertions().size(), 1u);
    h.lifecycle->shutdown();
    EXPECT_TRUE(h.inhibitor.heldAssertions().empty());
}

TEST(HXHibernation, HibernationTimerHandsTheAwayPeriodOver) {
    Launched h;
    h.defaults->setBool(u"Hibernation Timer", true);
    h.time.advance(61);
    ASSERT_TRUE(h.hibernation().isHibernating());
    const double hibernatedAt = h.hibernation().hibernationTimestamp();
    h.time.advance(1800);
    h.inputMonitor.simulateInput();
    ASSERT_EQ(h.adHocTimer.starts, std::vector<double>({hibernatedAt}));
    EXPECT_TRUE(h.adHocTimer.retroactive());
    EXPECT_FALSE(h.adHocTimer.running);
    EXPECT_EQ(h.adHocTimer.stops, 1);

    // A paused retroactive timer takes the next away period too.
    h.time.advance(61);
    const double second = h.hibernation().hibernationTimestamp();
    h.inputMonitor.simulateInput();
    EXPECT_EQ(h.adHocTimer.resumes, std::vector<double>({second}));
    EXPECT_EQ(h.adHocTimer.stops, 2);
}

TEST(HXHibernation, PauseNestingAndTransitoryPauses) {
    Launched h;
    h.controller->pauseTransitorily();
    EXPECT_TRUE(h.controller->isPaused());
    h.time.advance(0.5);
    EXPECT_FALSE(h.controller->isPaused());
}
