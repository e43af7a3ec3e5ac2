#include "QtTypePrinting.h"
#include "X11TestSupport.h"

#include "platform/x11/HXX11Display.h"
#include "platform/x11/HXX11Workspace.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <xcb/xcb.h>

#include <memory>

using namespace std::chrono_literals;

namespace {

const QStringList kAlpha{QStringLiteral("--class"), QStringLiteral("qdtest-alpha,QdTestAlpha")};
const QStringList kBeta{QStringLiteral("--class"), QStringLiteral("qdtest-beta,QdTestBeta")};

QStringList titled(QStringList options, std::initializer_list<const char*> titles) {
    for (const char* t : titles)
        options << QStringLiteral("--title") << QString::fromUtf8(t);
    return options;
}

class X11WorkspaceTest : public testing::Test {
protected:
    void SetUp() override {
        QD_REQUIRE_DISPLAY();
        display = std::make_shared<HXX11Display>();
        display->setSnapshotLifetime(0ms);
        ASSERT_EQ(display->availability(), HXX11Availability::Available)
            << display->availabilityReason().toStdString();
        applications = scratch.file(QStringLiteral("applications"));
        ASSERT_TRUE(QDir().mkpath(applications));
        QFile entry(applications + QStringLiteral("/qdtest-alpha.desktop"));
        ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=Alpha Test\nName[de]=Alpha-Pr\xc3\xbc"
                    "fung\nStartupWMClass=QdTestAlpha\nExec=qd-not-installed\n");
        entry.close();
        workspace = std::make_unique<HXX11Workspace>(
            display, HXDesktopEntryMatcher(HXDesktopEntryIndex({applications},
                                                               HXDesktopLocale(QStringLiteral("de_DE.UTF-8")),
                                                               qEnvironmentVariable("PATH"))));
    }

    std::optional<HXRunningApplication> running(std::int64_t pid) {
        for (const HXRunningApplication& app : workspace->runningApplications()) {
            if (app.processIdentifier == pid)
                return app;
        }
        return std::nullopt;
    }

    qsizetype position(std::int64_t pid) {
        const std::vector<HXRunningApplication> list = workspace->runningApplications();
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (list[i].processIdentifier == pid)
                return static_cast<qsizetype>(i);
        }
        return -1;
    }

    std::int64_t ownerPid() {
        const std::optional<HXRunningApplication> owner = workspace->menuBarOwner();
        return owner ? owner->processIdentifier : -1;
    }

    static bool activate(std::uint64_t window) {
        return runTool(QStringLiteral("xdotool"),
                       {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(window)});
    }

    void setActiveWindowProperty(xcb_window_t window) {
        xcb_connection_t* c = display->connection();
        xcb_intern_atom_reply_t* atom =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, 18, "_NET_ACTIVE_WINDOW"), nullptr);
        ASSERT_NE(atom, nullptr);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, display->rootWindow(), atom->atom, XCB_ATOM_WINDOW, 32,
                            1, &window);
        std::free(atom);
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    }

    ScratchFolder scratch;
    QString applications;
    std::shared_ptr<HXX11Display> display;
    std::unique_ptr<HXX11Workspace> workspace;
};

TEST_F(X11WorkspaceTest, ApplicationsAreProcessesWithWindowsNamedByTheirDesktopEntry) {
    TestWindowApp alpha(titled(kAlpha, {"Alpha One", "Alpha Two"}));
    TestWindowApp beta(titled(kBeta, {"Beta One"}));
    TestWindowApp tool(titled({QStringLiteral("--class"), QStringLiteral("qdtool,QdTool"),
                               QStringLiteral("--type"), QStringLiteral("utility")},
                              {"Palette"}));
    TestWindowApp skipper(titled({QStringLiteral("--skip-taskbar")}, {"Hidden From Taskbar"}));
    TestWindowApp dock(titled({QStringLiteral("--type"), QStringLiteral("dock")}, {"Panel"}));
    ASSERT_TRUE(alpha.isReady() && beta.isReady() && tool.isReady() && skipper.isReady() && dock.isReady());
    ASSERT_TRUE(waitUntil([&] {
        return running(alpha.pid()) && running(beta.pid()) && running(tool.pid()) && running(skipper.pid()) &&
               running(dock.pid());
    }));

    const std::vector<HXRunningApplication> list = workspace->runningApplications();
    EXPECT_EQ(
        std::count_if(list.begin(), list.end(),
                      [&](const HXRunningApplication& a) { return a.processIdentifier == alpha.pid(); }),
        1);
    const HXRunningApplication a = *running(alpha.pid());
    EXPECT_EQ(a.bundleIdentifier, QStringLiteral("qdtest-alpha"));
    EXPECT_EQ(a.bundlePath, applications + QStringLiteral("/qdtest-alpha.desktop"));
    EXPECT_EQ(a.localizedName, QStringLiteral("Alpha-Prüfung"));
    EXPECT_EQ(a.activationPolicy, HXActivationPolicy::Regular);

    const HXRunningApplication b = *running(beta.pid());
    EXPECT_EQ(b.bundleIdentifier, QString());
    EXPECT_EQ(b.bundlePath, QFileInfo(QStringLiteral(QD_TEST_WINDOW_APP)).canonicalFilePath());
    EXPECT_EQ(b.localizedName, QStringLiteral("QdTestBeta"));
    EXPECT_EQ(b.activationPolicy, HXActivationPolicy::Regular);

    EXPECT_EQ(running(tool.pid())->activationPolicy, HXActivationPolicy::Accessory);
    EXPECT_EQ(running(skipper.pid())->activationPolicy, HXActivationPolicy::Accessory);
    EXPECT_EQ(running(dock.pid())->activationPolicy, HXActivationPolicy::Prohibited);

    // Front to back by each application's front-most window.
    ASSERT_TRUE(activate(alpha.window(1)));
    ASSERT_TRUE(activate(beta.window(0)));
    EXPECT_TRUE(waitUntil([&] { return position(beta.pid()) < position(alpha.pid()); }));
    ASSERT_TRUE(activate(alpha.window(0)));
    EXPECT_TRUE(waitUntil([&] { return position(alpha.pid()) < position(beta.pid()); }));

    alpha.stop();
    EXPECT_TRUE(waitUntil([&] { return !running(alpha.pid()); }));
    EXPECT_TRUE(running(beta.pid()));
}

// The window list is read twice a second: a process is described (its desktop entry matched, its program
// read) when it appears, its main window's class changes or the desktop entries change, not every time.
TEST_F(X11WorkspaceTest, ProcessesAreDescribedAgainOnlyWhenSomethingTheirDescriptionReadsChanged) {
    workspace = std::make_unique<HXX11Workspace>(
        display,
        HXDesktopEntryMatcher(HXDesktopEntryIndex({applications}, HXDesktopLocale(QStringLiteral("C")),
                                                  qEnvironmentVariable("PATH")),
                              0ms));
    TestWindowApp alpha(titled(kAlpha, {"Alpha One"}));
    TestWindowApp beta(titled(kBeta, {"Beta One"}));
    ASSERT_TRUE(alpha.isReady() && beta.isReady());
    ASSERT_TRUE(waitUntil([&] { return running(alpha.pid()) && running(beta.pid()); }));
    const std::uint64_t described = workspace->descriptionCount();
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(running(alpha.pid()) && running(beta.pid()));
    EXPECT_EQ(workspace->descriptionCount(), described);

    TestWindowApp gamma(
        titled({QStringLiteral("--class"), QStringLiteral("qdtest-gamma,QdTestGamma")}, {"Gamma One"}));
    ASSERT_TRUE(gamma.isReady());
    ASSERT_TRUE(waitUntil([&] { return running(gamma.pid()).has_value(); }));
    EXPECT_EQ(workspace->descriptionCount(), described + 1);
    EXPECT_EQ(running(gamma.pid())->localizedName, QStringLiteral("QdTestGamma"));

    // A desktop entry installed for a running program names it from then on.
    QFile entry(applications + QStringLiteral("/qdtest-gamma.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=Gamma Test\nStartupWMClass=QdTestGamma\n"
                "Exec=qd-not-installed\n");
    entry.close();
    EXPECT_TRUE(
        waitUntil([&] { return running(gamma.pid())->localizedName == QStringLiteral("Gamma Test"); }));
    EXPECT_EQ(running(gamma.pid())->bundleIdentifier, QStringLiteral("qdtest-gamma"));
    EXPECT_EQ(running(alpha.pid())->localizedName, QStringLiteral("Alpha Test"));
}

TEST_F(X11WorkspaceTest, MenuBarOwnerFollowsTheActiveWindow) {
    TestWindowApp alpha(titled(kAlpha, {"Alpha One"}));
    TestWindowApp beta(titled(kBeta, {"Beta One"}));
    ASSERT_TRUE(alpha.isReady() && beta.isReady());
    ASSERT_TRUE(activate(alpha.window(0)));
    EXPECT_TRUE(waitUntil([&] { return ownerPid() == alpha.pid(); }));
    EXPECT_EQ(workspace->menuBarOwner()->bundleIdentifier, QStringLiteral("qdtest-alpha"));
    ASSERT_TRUE(activate(beta.window(0)));
    EXPECT_TRUE(waitUntil([&] { return ownerPid() == beta.pid(); }));
}

TEST_F(X11WorkspaceTest, LastActiveWindowStandsInWhileFocusChangesHands) {
    TestWindowApp alpha(titled(kAlpha, {"Alpha One"}));
    ASSERT_TRUE(alpha.isReady());
    ASSERT_TRUE(activate(alpha.window(0)));
    ASSERT_TRUE(waitUntil([&] { return ownerPid() == alpha.pid(); }));

    // What the property reads for a moment while focus moves from one window to the next.
    setActiveWindowProperty(XCB_WINDOW_NONE);
    ASSERT_EQ(display->snapshot()->activeWindow, XCB_WINDOW_NONE);
    EXPECT_EQ(ownerPid(), alpha.pid());
    spin(int(HXX11Workspace::kActiveWindowGrace.count()) + 200);
    EXPECT_EQ(display->snapshot()->activeWindow, XCB_WINDOW_NONE);
    EXPECT_EQ(ownerPid(), -1);

    // The window manager sees no change of focus to announce, so the property is put back by hand.
    setActiveWindowProperty(static_cast<xcb_window_t>(alpha.window(0)));
    EXPECT_EQ(ownerPid(), alpha.pid());
}

} // namespace
