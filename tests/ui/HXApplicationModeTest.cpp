// The two application modes on virtual time, offscreen: status item mode and window mode at launch and
// switched while running (the organizer and the live report move between the panel and their windows,
// taskbar entries follow), window mode for a session without a tray, the taskbar icon and desktop report
// drawn from the live report every 5 s, and starting again bringing the program to the front.
#include "ui/HXApplicationModeController.h"
#include "ui/HXApplicationModeWindows.h"
#include "ui/statusitem/HXStatusItemPanel.h"
#include "ui/statusitem/HXStatusItemView.h"

#include "EngineHarness.h"
#include "animation/HXFullscreenReportWindow.h"
#include "animation/HXWindowAlphaValueAnimationManager.h"
#include "foundation/HXLog.h"
#include "platform/HXDesktopPresence.h"

#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <map>

namespace {

class FakeShell final : public HXDesktopPresence {
public:
    QString trayKind() const override { return tray; }
    void setSkipsTaskbar(quintptr windowId, bool skip) override { skips[windowId] = skip; }
    void setOnAllDesktops(quintptr windowId) override { onAllDesktops.push_back(windowId); }

    QString tray = QStringLiteral("XEmbed");
    std::map<quintptr, bool> skips;
    std::vector<quintptr> onAllDesktops;
};

class FakeWindows final : public HXApplicationModeWindows {
public:
    FakeWindows() {
        for (QWidget* window : {&listWindow, &reportWindow})
            window->setLayout(new QVBoxLayout);
        attachContainersToWindows();
    }
    ~FakeWindows() override { detachContainers(); }
    QWidget* listContainer() override { return &list; }
    QWidget* liveReportContainer() override { return &report; }
    void detachContainers() override {
        listWindow.hide();
        reportWindow.hide();
        for (QWidget* container : {&list, &report}) {
            container->hide();
            container->setParent(nullptr);
        }
    }
    void attachContainersToWindows() override {
        listWindow.layout()->addWidget(&list);
        reportWindow.layout()->addWidget(&report);
        list.show();
        report.show();
    }
    void restoreListDividerPosition() override { ++dividerRestores; }
    bool isPreferencesWindowVisible() const override { return false; }
    void orderListWindowBelowPreferences() override {}
    void bringWindowsToFront() override {
        ++fronts;
        listWindow.show();
        reportWindow.show();
    }

    QWidget list;
    QWidget report;
    QWidget listWindow;
    QWidget reportWindow;
    int dividerRestores = 0;
    int fronts = 0;
};

// A live report that is one colour, which the test changes.
class FakeImages final : public HXLiveReportImages {
public:
    void updateLiveReport() override { ++updates; }
    QImage liveReportImage(const QSize& size, bool withBackground) override {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(withBackground ? color : QColor(color.red(), color.green(), color.blue(), 128));
        backgrounds.push_back(withBackground);
        return image;
    }

    QColor color = Qt::green;
    int updates = 0;
    std::vector<bool> backgrounds;
};

class ApplicationMode : public testing::Test {
protected:
    ApplicationMode() {
        engine.defaults->setBool(u"Status Item Toggles Login Item Automatically", false);
        mode = std::make_unique<HXApplicationModeController>(
            HXApplicationModeController::Services{*engine.defaults, engine.time, engine.ui,
                                                  engine.controller->hibernation(), &shell},
            windows, images);
    }
    void launch() {
        mode->checkStatusItem();
        mode->checkStatusItemInterface();
    }
    QColor iconPixelInReport() const {
        // The middle of the report picture's screen.
        return mode->windowIconImage().pixelColor(64, 64);
    }

    EngineHarness engine;
    FakeShell shell;
    FakeWindows windows;
    FakeImages images;
    std::unique_ptr<HXApplicationModeController> mode;
};

} // namespace

TEST_F(ApplicationMode, WindowModeUnlessTheSettingSaysStatusItem) {
    launch();
    EXPECT_FALSE(mode->isStatusItemMode());
    EXPECT_FALSE(mode->statusItemController());
    EXPECT_EQ(windows.list.parentWidget(), &windows.listWindow);
    EXPECT_EQ(windows.report.parentWidget(), &windows.reportWindow);
}

TEST_F(ApplicationMode, SwitchesBothWaysWhileRunningWithTheViewsAndTaskbarEntriesFollowing) {
    engine.defaults->setBool(u"Status Item", true);
    launch();
    ASSERT_TRUE(mode->isStatusItemMode());
    HXStatusItemController* controller = mode->statusItemController();
    ASSERT_TRUE(controller);
    EXPECT_TRUE(controller->statusItem().isVisible());
    HXStatusItemPanel& panel = controller->panel();
    EXPECT_TRUE(panel.isAncestorOf(&windows.list));
    EXPECT_TRUE(panel.isAncestorOf(&windows.report));
    EXPECT_FALSE(windows.listWindow.isVisible());

    // A window shown in status item mode stays out of the taskbar.
    QWidget snapshot;
    snapshot.show();
    EXPECT_TRUE(shell.skips.at(snapshot.winId()));

    // To window mode: no tray icon, the views back in their windows, the windows in the taskbar and in front.
    engine.defaults->setBool(u"Status Item", false);
    EXPECT_FALSE(mode->isStatusItemMode());
    EXPECT_FALSE(mode->statusItemController());
    EXPECT_EQ(windows.list.parentWidget(), &windows.listWindow);
    EXPECT_EQ(windows.report.parentWidget(), &windows.reportWindow);
    EXPECT_FALSE(shell.skips.at(snapshot.winId()));
    engine.time.advance(0.5);
    EXPECT_GE(windows.fronts, 1);
    EXPECT_TRUE(windows.listWindow.isVisible());

    // And back again, the panel showing what was chosen last.
    engine.defaults->setBool(u"Status Item Shows Activity Report", true);
    engine.defaults->setBool(u"Status Item", true);
    ASSERT_TRUE(mode->statusItemController());
    EXPECT_TRUE(mode->statusItemController()->panel().isAncestorOf(&windows.report));
    EXPECT_TRUE(mode->statusItemController()->statusItemView().showsLiveReport());
    EXPECT_TRUE(shell.skips.at(snapshot.winId()));
    EXPECT_FALSE(windows.listWindow.isVisible());
}

TEST_F(ApplicationMode, WithoutATrayTheSessionRunsInWindowModeAndTheSettingStays) {
    shell.tray.clear();
    HXLogging::Capture log;
    engine.defaults->setBool(u"Status Item", true);
    launch();
    EXPECT_FALSE(mode->isStatusItemMode());
    EXPECT_TRUE(mode->isRunningWithoutTray());
    EXPECT_FALSE(mode->statusItemController());
    EXPECT_TRUE(engine.defaults->boolForKey(u"Status Item"));
    EXPECT_TRUE(log.contains(QStringLiteral("no tray on this desktop: running in window mode")));
    engine.time.runDue();
    const auto boxes = [] {
        int count = 0;
        for (QWidget* top : QApplication::topLevelWidgets())
            count += qobject_cast<QMessageBox*>(top) && top->isVisible() ? 1 : 0;
        return count;
    };
    EXPECT_EQ(boxes(), 1);
    // Told once: the setting applied again says nothing more.
    mode->checkStatusItem();
    engine.time.runDue();
    EXPECT_EQ(boxes(), 1);
    EXPECT_EQ(log.lines().filter(QStringLiteral("no tray")).size(), 1);
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMessageBox*>(top))
            top->close();
    }
}

TEST_F(ApplicationMode, TheTaskbarIconShowsTheLiveReportRedrawnEveryFiveSeconds) {
    launch();
    const QImage plain = mode->windowIconImage();
    EXPECT_FALSE(plain.isNull());
    engine.defaults->setBool(u"Show Activity Report In Dock", true);
    EXPECT_EQ(iconPixelInReport(), QColor(Qt::green));
    EXPECT_EQ(QApplication::windowIcon().pixmap(128, 128).toImage().pixelColor(64, 64), QColor(Qt::green));
    const int updates = images.updates;
    images.color = Qt::blue;
    engine.time.advance(4.9);
    EXPECT_EQ(iconPixelInReport(), QColor(Qt::green));
    engine.time.advance(0.1);
    EXPECT_EQ(iconPixelInReport(), QColor(Qt::blue));
    EXPECT_EQ(images.updates, updates + 1);
    // A call with a sender draws at once and starts the rhythm over.
    images.color = Qt::red;
    engine.time.advance(2);
    mode->updateIcon(true);
    EXPECT_EQ(iconPixelInReport(), QColor(Qt::red));
    EXPECT_EQ(engine.time.pendingPerformCount(mode.get(), "updateIcon"), 1u);
    EXPECT_NEAR(engine.time.nextDueTime() - engine.time.now(), 5, 1e-6);

    // Hibernating: the program's icon in grey; the fake report as the fallback; off: the plain icon.
    engine.controller->hibernation().hibernate();
    const QColor grey = mode->windowIconImage().pixelColor(100, 64);
    EXPECT_EQ(grey.red(), grey.green());
    engine.controller->hibernation().deferHibernation();
    engine.defaults->setBool(u"Show Activity Report In Dock", false);
    EXPECT_EQ(mode->windowIconImage(), plain);
    engine.defaults->setBool(u"Fall Back To Fake Activity Report In Dock", true);
    EXPECT_NE(mode->windowIconImage(), plain);
    EXPECT_NE(iconPixelInReport(), QColor(Qt::red));
    engine.time.advance(10);
    EXPECT_EQ(engine.time.pendingPerformCount(mode.get(), "updateIcon"), 0u)
        << "no rhythm without the report";
}

TEST_F(ApplicationMode, TheIconInStatusItemModeIsTheProgramsAndAnnouncesNothing) {
    std::vector<bool> announced;
    mode->setImageAnnouncer([&announced](const QImage* image) { announced.push_back(image != nullptr); });
    engine.defaults->setBool(u"Status Item", true);
    engine.defaults->setBool(u"Show Activity Report In Dock", true);
    launch();
    EXPECT_NE(iconPixelInReport(), QColor(Qt::green));
    ASSERT_FALSE(announced.empty());
    EXPECT_FALSE(announced.back());
    engine.defaults->setBool(u"Status Item", false);
    EXPECT_EQ(iconPixelInReport(), QColor(Qt::green));
    EXPECT_TRUE(announced.back());
}

TEST_F(ApplicationMode, TheDesktopReportLiesBelowEverythingOnTheAvailableAreaAtItsAlpha) {
    launch();
    engine.defaults->setDouble(u"Show Activity Report On Desktop: Alpha", 0.5);
    engine.defaults->setBool(u"Show Activity Report On Desktop", true);
    HXFullscreenReportWindow* desktop = mode->desktopReportWindow();
    ASSERT_TRUE(desktop);
    EXPECT_EQ(desktop->geometry(), QGuiApplication::primaryScreen()->availableGeometry());
    EXPECT_TRUE(desktop->isVisible());
    EXPECT_TRUE(desktop->windowFlags() & Qt::WindowStaysOnBottomHint);
    EXPECT_TRUE(desktop->windowFlags() & Qt::WindowTransparentForInput);
    EXPECT_TRUE(desktop->windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_EQ(shell.onAllDesktops.size(), 1u);
    EXPECT_TRUE(shell.skips.at(desktop->winId()));
    EXPECT_FALSE(images.backgrounds.back()) << "drawn without its background";
    EXPECT_EQ(desktop->image().pixelColor(5, 5), QColor(0, 255, 0, 128));
    // Fading in to the alpha of the setting.
    engine.time.advance(1);
    EXPECT_NEAR(desktop->windowAlphaValueAnimationManager()->alphaValue(), 0.5, 1e-9);
    // Every 5 s the picture is drawn again.
    images.color = Qt::blue;
    engine.time.advance(5);
    EXPECT_EQ(desktop->image().pixelColor(5, 5), QColor(0, 0, 255, 128));
    // Off: it fades out and goes.
    QPointer<HXFullscreenReportWindow> gone(desktop);
    engine.defaults->setBool(u"Show Activity Report On Desktop", false);
    EXPECT_FALSE(mode->desktopReportWindow());
    engine.time.advance(1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(gone);
}

TEST_F(ApplicationMode, StartingAgainBringsTheWindowsOrThePanelToTheFront) {
    launch();
    mode->reopen();
    EXPECT_EQ(windows.fronts, 1);
    engine.defaults->setBool(u"Status Item", true);
    const int fronts = windows.fronts;
    mode->reopen();
    EXPECT_EQ(windows.fronts, fronts);
    ASSERT_TRUE(mode->statusItemController());
    EXPECT_TRUE(mode->statusItemController()->isPanelVisible());
    // The commands that hide the panel.
    Q_EMIT engine.controller->hibernation().statusItemPanelShouldHide();
    EXPECT_FALSE(mode->statusItemController()->isPanelVisible());
}

TEST_F(ApplicationMode, InsomniaAndHibernationReachTheTrayIcon) {
    engine.defaults->setBool(u"Status Item", true);
    launch();
    HXStatusItemView& view = mode->statusItemController()->statusItemView();
    EXPECT_FALSE(view.isInsomniac());
    EXPECT_TRUE(mode->statusItemController()->handleMouseDown(QSystemTrayIcon::MiddleClick, Qt::NoModifier));
    EXPECT_TRUE(engine.controller->hibernation().isInsomniac());
    EXPECT_TRUE(view.isInsomniac());
    engine.controller->hibernation().hibernate();
    EXPECT_TRUE(view.isHibernating());
}
