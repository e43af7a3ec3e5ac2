// Window fades on virtual time: step counts and their end values, automatic vanishing and its
// postponement under the pointer, reference windows, and vanishing to close.
#include "animation/HXAlphaValueAnimation.h"
#include "animation/HXAlphaValueAnimationWindow.h"
#include "animation/HXFadeEnvironment.h"
#include "animation/HXWindowAlphaValueAnimationManager.h"

#include "foundation/HXUserDefaults.h"
#include "foundation/HXVirtualTime.h"
#include "support/TestSupport.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <vector>

namespace {

// The desktop as the test says it is; blocking pauses move virtual time.
class FakeEnvironment final : public HXFadeEnvironment {
public:
    explicit FakeEnvironment(HXVirtualTime& time) : m_time(time) {}
    bool isMainOrKeyWindow(const QWidget&) const override { return referenceIsMain; }
    bool isApplicationActive() const override { return applicationActive; }
    QPoint pointerPosition() const override { return pointer; }
    void hidePointerUntilMoved() override { ++pointerHidden; }
    void sleep(double seconds) override {
        m_time.setNow(m_time.now() + seconds);
        ++sleeps;
    }

    bool referenceIsMain = true;
    bool applicationActive = true;
    QPoint pointer{-1000, -1000};
    int pointerHidden = 0;
    int sleeps = 0;

private:
    HXVirtualTime& m_time;
};

class TestWindow final : public HXAlphaValueAnimationWindow {
public:
    TestWindow(HXScheduler& scheduler, const HXUserDefaults& defaults, HXFadeEnvironment* environment,
               double quantum = 0.05)
        : HXAlphaValueAnimationWindow(scheduler, defaults, {}, environment), m_quantum(quantum) {}

    QWidget* alphaValueAnimationReferenceWindow() const override { return reference; }
    double alphaValueAnimationQuantum() const override { return m_quantum; }
    void didAppear() override { hooks.push_back("didAppear"); }
    void willAppear() override { hooks.push_back("willAppear"); }
    void willVanish() override { hooks.push_back("willVanish"); }
    void didVanish() override { hooks.push_back("didVanish"); }

    QWidget* reference = nullptr;
    std::vector<std::string> hooks;

private:
    double m_quantum;
};

class WindowFade : public testing::Test {
protected:
    WindowFade()
        : defaults(folder.file(QStringLiteral("Defaults.plist"))), environment(time),
          window(time, defaults, &environment) {
        window.setGeometry(100, 100, 200, 100);
    }
    HXWindowAlphaValueAnimationManager& manager() { return *window.windowAlphaValueAnimationManager(); }
    // Runs the fade to its end; answers how many steps it took.
    int runFade() {
        int steps = 1;
        while (time.pendingPerformCount(&manager(), "performAsynchronousAlphaValueAnimationStep") > 0) {
            EXPECT_NEAR(time.nextDueTime() - time.now(), 0.02, 1e-6);
            time.advance(0.02);
            ++steps;
        }
        return steps;
    }

    ScratchFolder folder;
    HXUserDefaults defaults;
    HXVirtualTime time;
    FakeEnvironment environment;
    TestWindow window;
    QWidget reference;
};

} // namespace

TEST_F(WindowFade, FullFadeTakesTwentyStepsAndEndsExactly) {
    manager().orderFrontWithAlpha(0);
    EXPECT_TRUE(manager().appearRegardless(true, true, 0.995, false));
    EXPECT_EQ(runFade(), 20);
    EXPECT_EQ(manager().alphaValue(), 1.0);
    EXPECT_NEAR(window.windowOpacity(), 1.0, 0.005);
    EXPECT_EQ(window.hooks, (std::vector<std::string>{"willAppear", "didAppear"}));
    // A vanish to 0.005 ends at exactly 0.
    EXPECT_TRUE(manager().vanishRegardless(true, true, 0.005, false, false));
    EXPECT_EQ(runFade(), 20);
    EXPECT_EQ(manager().alphaValue(), 0.0);
    EXPECT_EQ(window.hooks.back(), "didVanish");
    EXPECT_NEAR(window.alphaValueAnimationOverallInterval(), 0.4, 1e-9);
}

TEST_F(WindowFade, LargerQuantumSnapsOnItsNinthStep) {
    TestWindow panel(time, defaults, &environment, 0.12);
    HXWindowAlphaValueAnimationManager& m = *panel.windowAlphaValueAnimationManager();
    m.orderFrontWithAlpha(0);
    m.appearRegardless(true, true, 1, false);
    int steps = 1;
    while (time.pendingPerformCount(&m, "performAsynchronousAlphaValueAnimationStep") > 0) {
        EXPECT_LT(m.alphaValue(), 0.99);
        time.advance(0.02);
        ++steps;
    }
    EXPECT_EQ(steps, 9);
    EXPECT_EQ(m.alphaValue(), 1.0);
}

TEST_F(WindowFade, SynchronousFadesBlockForTheirSteps) {
    manager().orderFrontWithAlpha(0);
    const double start = time.now();
    manager().appearRegardless(true, true, 1, true);
    EXPECT_EQ(manager().alphaValue(), 1.0);
    EXPECT_EQ(environment.sleeps, 19);
    EXPECT_NEAR(time.now() - start, 0.38, 1e-6);
    EXPECT_EQ(time.pendingCount(), 0u);
}

TEST_F(WindowFade, InstantSettingsSkipTheSteps) {
    defaults.setBool(u"HXWindowAlphaValueAnimationManager: Always Appear Instantly", true);
    defaults.setBool(u"HXWindowAlphaValueAnimationManager: Always Vanish Instantly", true);
    manager().orderFrontWithAlpha(0);
    manager().appearRegardless(true, true, 0.6, false);
    EXPECT_EQ(manager().alphaValue(), 0.6);
    EXPECT_EQ(time.pendingCount(), 0u);
    manager().vanishRegardless(true, true, 0.2, false, false);
    EXPECT_EQ(manager().alphaValue(), 0.2);
}

TEST_F(WindowFade, WithoutReferenceWindowOnlyRegardlessFadesHappen) {
    manager().orderFrontWithAlpha(0.5);
    EXPECT_FALSE(manager().appearWithReferenceWindowByFadingIn(false));
    EXPECT_FALSE(manager().vanishRegardless(false, false, 0, false, false));
    EXPECT_EQ(manager().alphaValue(), 0.5);
    EXPECT_TRUE(manager().appearRegardless(true, false, 1, false));
    EXPECT_TRUE(manager().vanishRegardless(true, false, 0, false, false));
    EXPECT_EQ(manager().alphaValue(), 0.0);
    // Any window can be asked; one without a manager answers false.
    QWidget plain;
    EXPECT_FALSE(appearRegardless(&plain, true, false, 1, false));
    EXPECT_EQ(alphaValueAnimationManagerIfImplemented(&plain), nullptr);
    EXPECT_TRUE(appearRegardless(&window, true, false, 1, false));
}

TEST_F(WindowFade, AutomaticVanishWaitsWhileThePointerRestsOnTheWindow) {
    window.reference = &reference;
    manager().orderFrontWithAlpha(0);
    ASSERT_TRUE(manager().appearWithReferenceWindowByFadingIn(false));
    EXPECT_EQ(manager().alphaValue(), 1.0);
    environment.pointer = QPoint(150, 130);
    for (int round = 0; round < 3; ++round) {
        // The default vanish interval is 5 seconds; every time the pointer is still there.
        time.advance(4.9);
        EXPECT_EQ(manager().alphaValue(), 1.0);
        time.advance(0.1);
        EXPECT_EQ(manager().alphaValue(), 1.0);
        EXPECT_EQ(time.pendingPerformCount(&manager(), "vanishWithReferenceWindow"), 1u);
    }
    environment.pointer = QPoint(10, 10);
    time.advance(5);
    EXPECT_LT(manager().alphaValue(), 1.0);
    EXPECT_EQ(environment.pointerHidden, 1);
    time.advance(1);
    EXPECT_EQ(manager().alphaValue(), 0.0);
}

TEST_F(WindowFade, VanishIntervalComesFromTheSettings) {
    window.reference = &reference;
    environment.referenceIsMain = false;
    defaults.setDouble(u"Window Vanish Interval", 2);
    manager().appearWithReferenceWindowByFadingIn(false);
    time.advance(2);
    EXPECT_EQ(manager().alphaValue(), 0.95);
    // Not the user's window: no postponing, no hidden pointer.
    EXPECT_EQ(environment.pointerHidden, 0);
    defaults.setDouble(u"Window Vanish Interval", 0);
    manager().appearWithReferenceWindowByFadingIn(false);
    time.advance(4.99);
    EXPECT_EQ(manager().alphaValue(), 1.0);
    time.advance(0.01);
    EXPECT_LT(manager().alphaValue(), 1.0);
}

TEST_F(WindowFade, VanishAndCloseClosesOnceAndOrderingFrontKeepsItOpen) {
    window.show();
    manager().orderFrontWithAlpha(1);
    manager().vanishAndClose();
    EXPECT_TRUE(manager().isVanishingToClose());
    EXPECT_TRUE(window.testAttribute(Qt::WA_TransparentForMouseEvents));
    time.advance(0.01);
    time.advance(0.1);
    const double during = manager().alphaValue();
    EXPECT_LT(during, 1.0);
    // A second request changes nothing.
    manager().vanishAndClose();
    EXPECT_EQ(manager().alphaValue(), during);
    time.advance(1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(manager().isVanishingToClose());
    EXPECT_FALSE(window.testAttribute(Qt::WA_TransparentForMouseEvents));

    window.show();
    manager().orderFrontWithAlpha(1);
    manager().vanishAndClose();
    time.advance(0.1);
    manager().orderFrontWithAlpha(1);
    time.advance(2);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(manager().alphaValue(), 1.0);
    EXPECT_FALSE(window.testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST_F(WindowFade, OrderingFrontStartsInvisibleWindowsFromNothing) {
    QSignalSpy appeared(&manager(), &HXWindowAlphaValueAnimationManager::windowDidAppear);
    EXPECT_TRUE(orderFrontAndFadeInToAlphaValue(&window, 0.8, false));
    EXPECT_TRUE(window.isVisible());
    EXPECT_NEAR(manager().alphaValue(), 0.05, 1e-9);
    runFade();
    EXPECT_EQ(manager().alphaValue(), 0.8);
    EXPECT_EQ(appeared.count(), 1);
    // Destroying the window with steps pending leaves nothing behind.
    {
        TestWindow other(time, defaults, &environment);
        other.windowAlphaValueAnimationManager()->appearRegardless(true, true, 1, false);
        other.windowAlphaValueAnimationManager()->vanishAndCloseAfterNextEvent();
    }
    time.advance(100);
}
