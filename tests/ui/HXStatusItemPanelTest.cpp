// The status item's panel and clicks on virtual time, offscreen: clicks show and hide it beside the icon,
// Escape and focus loss fade it away unless a dialog of it is open, the scope bar switches views and
// remembers the choice, the strip resizes within its limits, the middle or Alt click toggles insomnia with
// its one hint, and the right-click menu is rebuilt each time it opens.
#include "ui/statusitem/HXStatusItemPanel.h"
#include "ui/statusitem/HXScopeBar.h"
#include "ui/statusitem/HXStatusItemController.h"
#include "ui/statusitem/HXStatusItemPanelResizeView.h"
#include "ui/statusitem/HXStatusItemView.h"

#include "animation/HXFadeEnvironment.h"
#include "animation/HXWindowAlphaValueAnimationManager.h"
#include "foundation/HXUserDefaults.h"
#include "foundation/HXVirtualTime.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class FakeEnvironment final : public HXFadeEnvironment {
public:
    bool isMainOrKeyWindow(const QWidget&) const override { return true; }
    bool isApplicationActive() const override { return true; }
    QPoint pointerPosition() const override { return QPoint(-1000, -1000); }
    void hidePointerUntilMoved() override {}
    void sleep(double) override {}
};

class Delegate final : public HXStatusItemControllerDelegate {
public:
    bool toggleInsomniaForStatusItemController(HXStatusItemController& controller) override {
        ++toggles;
        if (insomniaDisabled && !insomniac)
            return false;
        insomniac = !insomniac;
        controller.statusItemView().setInsomniac(insomniac);
        return true;
    }
    void populateMainMenu(QMenu& menu, HXStatusItemController&) override {
        ++populations;
        menu.addAction(QStringLiteral("Suspend Timers..."));
        menu.addAction(QStringLiteral("Quit Qualdern"));
    }
    void updateLiveReportForStatusItemController(HXStatusItemController&) override { ++reportUpdates; }
    void beep() override { ++beeps; }

    bool insomniac = false;
    bool insomniaDisabled = false;
    int toggles = 0;
    int populations = 0;
    int reportUpdates = 0;
    int beeps = 0;
};

class StatusItemPanel : public testing::Test {
protected:
    StatusItemPanel()
        : defaults(folder.file(QStringLiteral("Defaults.plist"))),
          controller({defaults, time, &environment}, delegate) {
        // A tray at the top right of the primary screen.
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        icon = QRect(available.right() - 40, available.top(), 22, 22);
        controller.setIconGeometryProvider([this] { return icon; });
        controller.setPointerProvider([this] { return icon.center(); });
        organizer.setObjectName(QStringLiteral("organizer"));
        report.setObjectName(QStringLiteral("report"));
        controller.setView(&organizer, HXStatusItemController::organizerIdentifier());
        controller.setView(&report, HXStatusItemController::activityReportIdentifier());
    }
    HXWindowAlphaValueAnimationManager& manager() {
        return *controller.panel().windowAlphaValueAnimationManager();
    }
    // Runs pending fades and vanishes to their end; how many steps of 0.02 s it took.
    int settle() {
        int steps = 0;
        while (time.pendingCount() > 0 && steps < 1000) {
            time.advance(0.01);
            ++steps;
        }
        return steps;
    }
    bool click(Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               QSystemTrayIcon::ActivationReason reason = QSystemTrayIcon::Trigger) {
        return controller.handleMouseDown(reason, modifiers);
    }

    ScratchFolder folder;
    HXUserDefaults defaults;
    HXVirtualTime time;
    FakeEnvironment environment;
    Delegate delegate;
    QWidget organizer;
    QWidget report;
    HXStatusItemController controller;
    QRect icon;
};

} // namespace

TEST_F(StatusItemPanel, AClickShowsThePanelBesideTheIconAndASecondFadesItOut) {
    HXStatusItemPanel& panel = controller.panel();
    EXPECT_FALSE(panel.isVisible());
    EXPECT_TRUE(click());
    EXPECT_TRUE(panel.isVisible());
    EXPECT_TRUE(controller.statusItemView().isHighlighted());
    EXPECT_EQ(delegate.reportUpdates, 1) << "the live report is brought up to date before it can show";
    // Below the tray, its right edge on the icon's (the icon is near the screen's right edge).
    EXPECT_EQ(panel.geometry().right(), icon.right());
    EXPECT_EQ(panel.geometry().top(), icon.bottom() + 1);
    EXPECT_EQ(panel.minimumSize(), QSize(510, 300));
    EXPECT_TRUE(panel.resizeView()->canResizeLeft());
    EXPECT_FALSE(panel.resizeView()->canResizeRight());
    // Fading in: 9 steps of 0.12.
    EXPECT_LT(manager().alphaValue(), 0.2);
    settle();
    EXPECT_EQ(manager().alphaValue(), 1.0);

    EXPECT_TRUE(click());
    EXPECT_TRUE(manager().isVanishingToClose());
    time.advance(0.01);
    EXPECT_FALSE(controller.statusItemView().isHighlighted()) << "cleared as the fade-out starts";
    settle();
    EXPECT_FALSE(panel.isVisible());
    EXPECT_TRUE(click()) << "and a third shows it again";
    EXPECT_TRUE(panel.isVisible());
    EXPECT_TRUE(click(Qt::NoModifier, QSystemTrayIcon::DoubleClick)) << "a double click keeps it open";
    EXPECT_TRUE(controller.isPanelVisible());
}

TEST_F(StatusItemPanel, EscapeAndFocusLossHideItUnlessADialogOfItIsOpen) {
    HXStatusItemPanel& panel = controller.panel();
    click();
    settle();
    QTest::keyClick(&panel, Qt::Key_A);
    EXPECT_FALSE(manager().isVanishingToClose()) << "other keys do nothing";
    QTest::keyClick(&panel, Qt::Key_Escape);
    EXPECT_TRUE(manager().isVanishingToClose());
    settle();
    EXPECT_FALSE(panel.isVisible());

    click();
    settle();
    QDialog notes(&organizer);
    notes.setWindowTitle(QStringLiteral("Notes"));
    notes.show();
    EXPECT_TRUE(panel.hasAttachedDialog());
    QTest::keyClick(&panel, Qt::Key_Escape);
    EXPECT_FALSE(manager().isVanishingToClose());
    EXPECT_FALSE(panel.vanishAndCloseIfAppropriate());
    notes.hide();

    // Another window takes the focus.
    panel.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    QWidget other;
    other.setGeometry(10, 10, 100, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_TRUE(manager().isVanishingToClose());
    settle();
    EXPECT_FALSE(panel.isVisible());
}

TEST_F(StatusItemPanel, TheScopeBarSwitchesViewsAndRemembersTheChoice) {
    HXStatusItemPanel& panel = controller.panel();
    HXScopeBar& scopeBar = *panel.scopeBar();
    EXPECT_EQ(scopeBar.identifiers(),
              (QStringList{QStringLiteral("Organizer"), QStringLiteral("Activity Report")}));
    EXPECT_EQ(scopeBar.selectedIdentifier(), QStringLiteral("Organizer"));
    EXPECT_EQ(scopeBar.buttonForIdentifier(QStringLiteral("Activity Report"))->text(),
              QStringLiteral("Activity Report"));
    click();
    EXPECT_TRUE(organizer.isVisible());
    EXPECT_FALSE(report.isVisible());

    const int updates = delegate.reportUpdates;
    scopeBar.buttonForIdentifier(QStringLiteral("Activity Report"))->click();
    EXPECT_TRUE(defaults.boolForKey(u"Status Item Shows Activity Report"));
    EXPECT_FALSE(organizer.isVisible());
    EXPECT_TRUE(report.isVisible());
    EXPECT_EQ(delegate.reportUpdates, updates + 1);
    EXPECT_TRUE(controller.statusItemView().showsLiveReport());

    // Silent selection changes nothing else; updateSelection follows the setting.
    scopeBar.setSelected(QStringLiteral("Organizer"), false);
    EXPECT_TRUE(report.isVisible());
    controller.updateSelection();
    EXPECT_EQ(scopeBar.selectedIdentifier(), QStringLiteral("Activity Report"));
    defaults.setBool(u"Status Item Shows Activity Report", false);
    controller.updateSelection();
    EXPECT_TRUE(organizer.isVisible());
    EXPECT_FALSE(controller.statusItemView().showsLiveReport());
    // The gear carries the main menu.
    ASSERT_TRUE(panel.mainMenuButton()->menu());
    EXPECT_EQ(panel.mainMenuButton()->menu()->actions().size(), 2);
}

TEST_F(StatusItemPanel, TheStripResizesWithinTheAvailableAreaAndTheFrameIsKept) {
    HXStatusItemPanel& panel = controller.panel();
    click();
    settle();
    HXStatusItemPanelResizeView& strip = *panel.resizeView();
    const QRect start = panel.geometry();
    const auto send = [&strip](QEvent::Type type, QPoint local, QPoint global, Qt::MouseButtons buttons) {
        QMouseEvent event(type, local, global, Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(&strip, &event);
    };
    // From the middle: only the height.
    const QPoint middle(strip.width() / 2, strip.height() / 2);
    const QPoint globalMiddle = strip.mapToGlobal(middle);
    send(QEvent::MouseButtonPress, middle, globalMiddle, Qt::LeftButton);
    EXPECT_TRUE(strip.isResizing());
    send(QEvent::MouseMove, middle, globalMiddle + QPoint(80, 60), Qt::LeftButton);
    EXPECT_EQ(panel.geometry(), QRect(start.topLeft(), QSize(start.width(), start.height() + 60)));
    send(QEvent::MouseMove, middle, globalMiddle + QPoint(0, -2000), Qt::LeftButton);
    EXPECT_EQ(panel.geometry().height(), 300) << "the minimum";
    send(QEvent::MouseButtonRelease, middle, globalMiddle + QPoint(0, -2000), Qt::NoButton);
    EXPECT_FALSE(strip.isResizing());
    EXPECT_EQ(defaults.stringForKey(u"Window Frame: StatusItemPanel"),
              QStringLiteral("%1 %2 %3 300").arg(start.x()).arg(start.y()).arg(start.width()));

    // The left corner (the right one is next to the screen's edge and may not move).
    const QRect before = panel.geometry();
    const QPoint corner(5, strip.height() / 2);
    const QPoint globalCorner = strip.mapToGlobal(corner);
    send(QEvent::MouseButtonPress, corner, globalCorner, Qt::LeftButton);
    send(QEvent::MouseMove, corner, globalCorner + QPoint(-100, 20), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, corner, globalCorner + QPoint(-100, 20), Qt::NoButton);
    EXPECT_EQ(panel.geometry(),
              QRect(before.left() - 100, before.top(), before.width() + 100, before.height() + 20));
    EXPECT_EQ(panel.geometry().right(), before.right());
    const QPoint right(strip.width() - 5, strip.height() / 2);
    const QRect beforeRight = panel.geometry();
    send(QEvent::MouseButtonPress, right, strip.mapToGlobal(right), Qt::LeftButton);
    send(QEvent::MouseMove, right, strip.mapToGlobal(right) + QPoint(-50, 0), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, right, strip.mapToGlobal(right), Qt::NoButton);
    EXPECT_EQ(panel.geometry().width(), beforeRight.width())
        << "only the height from a corner that may not move";

    // The next panel of the run comes back at the saved size.
    HXStatusItemController second({defaults, time, &environment}, delegate);
    EXPECT_EQ(second.panel().size(), panel.size());
}

TEST_F(StatusItemPanel, AMiddleOrAltClickTogglesInsomniaAndShowsTheHintOnce) {
    EXPECT_TRUE(click(Qt::NoModifier, QSystemTrayIcon::MiddleClick));
    EXPECT_TRUE(delegate.insomniac);
    EXPECT_TRUE(controller.statusItemView().isInsomniac());
    EXPECT_FALSE(controller.isPanelVisible());
    ASSERT_TRUE(controller.insomniaHint());
    EXPECT_TRUE(defaults.boolForKey(u"Insomnia: Hint Shown"));
    const QLabel* text = controller.insomniaHint()->findChild<QLabel*>();
    ASSERT_TRUE(text);
    EXPECT_TRUE(
        text->text().startsWith(QStringLiteral("Congratulations, you found Qualdern's insomnia mode")));
    // A click into the hint closes it.
    QTest::mouseClick(controller.insomniaHint(), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(controller.insomniaHint());

    EXPECT_TRUE(click(Qt::AltModifier));
    EXPECT_FALSE(delegate.insomniac);
    EXPECT_TRUE(click(Qt::AltModifier));
    EXPECT_TRUE(delegate.insomniac);
    EXPECT_FALSE(controller.insomniaHint()) << "shown once in the life of the settings";
    EXPECT_EQ(delegate.toggles, 3);

    // Insomnia switched off for good: the Alt-click falls through to the panel.
    click(Qt::AltModifier);
    delegate.insomniaDisabled = true;
    EXPECT_TRUE(click(Qt::AltModifier));
    EXPECT_FALSE(delegate.insomniac);
    EXPECT_TRUE(controller.isPanelVisible());
}

TEST_F(StatusItemPanel, TheRightClickMenuIsTheMainMenuRebuiltAsItOpens) {
    QMenu& menu = controller.contextMenu();
    EXPECT_EQ(menu.actions().size(), 2);
    const int before = delegate.populations;
    Q_EMIT menu.aboutToShow();
    Q_EMIT menu.aboutToShow();
    EXPECT_EQ(delegate.populations, before + 2);
    EXPECT_EQ(menu.actions().size(), 2) << "rebuilt, not appended";
    EXPECT_EQ(menu.actions().front()->text(), QStringLiteral("Suspend Timers..."));
    EXPECT_EQ(controller.statusItem().contextMenu(), &menu);
}

TEST_F(StatusItemPanel, TheIconFollowsTheStateAndTheSettings) {
    HXStatusItemView& view = controller.statusItemView();
    defaults.setInteger(u"Status Item Icon (1231)", 11);
    const QImage before = controller.statusItem().icon().pixmap(QSize(26, 21)).toImage();
    view.setHibernating(true);
    const QImage hibernating = controller.statusItem().icon().pixmap(QSize(26, 21)).toImage();
    EXPECT_NE(before, hibernating);
    EXPECT_EQ(controller.statusItem().toolTip(), QStringLiteral("Qualdern (suspended)"));
    view.setHibernating(false);
    EXPECT_EQ(controller.statusItem().icon().pixmap(QSize(26, 21)).toImage(), before);
    defaults.setInteger(u"Status Item Icon (1231)", 12);
    EXPECT_NE(controller.statusItem().icon().pixmap(QSize(26, 21)).toImage(), before);
    EXPECT_EQ(controller.statusItem().toolTip(), QStringLiteral("Qualdern"));

    // Deep hibernation stored at creation: the icon starts hibernating.
    defaults.setDouble(u"Deep Hibernation", 1700000000.0);
    HXStatusItemController later({defaults, time, &environment}, delegate);
    EXPECT_TRUE(later.statusItemView().isHibernating());
}
