#include "QtTypePrinting.h"
#include "X11TestSupport.h"

#include "platform/x11/HXX11Display.h"
#include "platform/x11/HXX11WindowQuery.h"
#include "platform/x11/HXX11WindowServer.h"

#include <QElapsedTimer>

#include <algorithm>
#include <memory>
#include <set>

using namespace std::chrono_literals;

namespace {

// The given windows in the order the list has them; other programs' windows are left out.
std::vector<std::uint64_t> order(const std::optional<std::vector<HXWindowDescription>>& list,
                                 const std::vector<std::uint64_t>& windows) {
    std::vector<std::uint64_t> out;
    if (!list)
        return out;
    for (const HXWindowDescription& d : *list) {
        if (std::find(windows.begin(), windows.end(), d.number) != windows.end())
            out.push_back(d.number);
    }
    return out;
}

std::optional<HXWindowDescription> find(const std::optional<std::vector<HXWindowDescription>>& list,
                                        std::uint64_t window) {
    if (list) {
        for (const HXWindowDescription& d : *list) {
            if (d.number == window)
                return d;
        }
    }
    return std::nullopt;
}

class X11WindowServerTest : public testing::Test {
protected:
    void SetUp() override {
        QD_REQUIRE_DISPLAY();
        display = std::make_shared<HXX11Display>();
        display->setSnapshotLifetime(0ms);
        ASSERT_EQ(display->availability(), HXX11Availability::Available)
            << display->availabilityReason().toStdString();
        server = std::make_unique<HXX11WindowServer>(display);
    }

    bool onScreen(std::uint64_t window) { return find(server->onScreenWindows(), window).has_value(); }
    bool listed(std::uint64_t window) { return find(server->allWindows(), window).has_value(); }
    bool waitForWindows(const std::vector<std::uint64_t>& windows) {
        return waitUntil([&] { return order(server->onScreenWindows(), windows).size() == windows.size(); });
    }

    std::shared_ptr<HXX11Display> display;
    std::unique_ptr<HXX11WindowServer> server;
};

TEST_F(X11WindowServerTest, TitlesOwnersAndFrontToBackOrder) {
    const QString unicodeTitle = QStringLiteral("Überblick — 日本語 ✓");
    TestWindowApp alpha({QStringLiteral("--class"), QStringLiteral("qdtest-alpha,QdTestAlpha"),
                         QStringLiteral("--title"), QStringLiteral("Alpha One"), QStringLiteral("--title"),
                         unicodeTitle});
    TestWindowApp beta({QStringLiteral("--class"), QStringLiteral("qdtest-beta,QdTestBeta"),
                        QStringLiteral("--title"), QStringLiteral("Beta One")});
    ASSERT_TRUE(alpha.isReady() && beta.isReady());
    const std::uint64_t a0 = alpha.window(0), a1 = alpha.window(1), b0 = beta.window(0);
    ASSERT_TRUE(waitForWindows({a0, a1, b0}));

    const auto list = server->onScreenWindows();
    const auto first = find(list, a0), second = find(list, a1), third = find(list, b0);
    ASSERT_TRUE(first && second && third);
    EXPECT_EQ(first->name, QStringLiteral("Alpha One"));
    EXPECT_EQ(second->name, unicodeTitle);
    EXPECT_EQ(third->name, QStringLiteral("Beta One"));
    EXPECT_EQ(first->ownerProcessIdentifier, alpha.pid());
    EXPECT_EQ(second->ownerProcessIdentifier, alpha.pid());
    EXPECT_EQ(third->ownerProcessIdentifier, beta.pid());
    EXPECT_EQ(first->layer, HXWindowServer::kNormalLevel);

    for (const std::uint64_t w : {a1, a0, b0})
        ASSERT_TRUE(runTool(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"),
                                                        QStringLiteral("--sync"), QString::number(w)}));
    const std::vector<std::uint64_t> expected{b0, a0, a1};
    EXPECT_TRUE(waitUntil([&] { return order(server->onScreenWindows(), {a0, a1, b0}) == expected; }));
    EXPECT_EQ(order(server->allWindows(), {a0, a1, b0}), expected);

    ASSERT_TRUE(runTool(QStringLiteral("xdotool"),
                        {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(a1)}));
    const std::vector<std::uint64_t> raised{a1, b0, a0};
    EXPECT_TRUE(waitUntil([&] { return order(server->onScreenWindows(), {a0, a1, b0}) == raised; }));
}

TEST_F(X11WindowServerTest, MinimizedWindowsAreListedButNotOrderedIn) {
    TestWindowApp app({QStringLiteral("--title"), QStringLiteral("Kept"), QStringLiteral("--title"),
                       QStringLiteral("Minimized")});
    ASSERT_TRUE(app.isReady());
    const std::uint64_t kept = app.window(0), minimized = app.window(1);
    ASSERT_TRUE(waitForWindows({kept, minimized}));
    EXPECT_TRUE(server->isOrderedIn(minimized));

    ASSERT_TRUE(runTool(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"),
                                                    QStringLiteral("--sync"), QString::number(minimized)}));
    EXPECT_TRUE(waitUntil([&] { return !onScreen(minimized); }));
    EXPECT_TRUE(listed(minimized));
    EXPECT_FALSE(server->isOrderedIn(minimized));
    EXPECT_TRUE(onScreen(kept));
    EXPECT_TRUE(server->isOrderedIn(kept));

    ASSERT_TRUE(runTool(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"),
                                                    QStringLiteral("--sync"), QString::number(minimized)}));
    EXPECT_TRUE(waitUntil([&] { return onScreen(minimized); }));
    EXPECT_TRUE(server->isOrderedIn(minimized));
    // A window that is gone is not ordered in either.
    app.stop();
    EXPECT_TRUE(waitUntil([&] { return !listed(kept); }));
    EXPECT_FALSE(server->isOrderedIn(kept));
}

TEST_F(X11WindowServerTest, OtherDesktopsAndStickyWindows) {
    TestWindowApp app({QStringLiteral("--title"), QStringLiteral("Here"), QStringLiteral("--title"),
                       QStringLiteral("Elsewhere"), QStringLiteral("--title"), QStringLiteral("Everywhere")});
    ASSERT_TRUE(app.isReady());
    const std::uint64_t here = app.window(0), elsewhere = app.window(1), everywhere = app.window(2);
    ASSERT_TRUE(waitForWindows({here, elsewhere, everywhere}));

    ASSERT_TRUE(runTool(QStringLiteral("wmctrl"), {QStringLiteral("-n"), QStringLiteral("2")}));
    ASSERT_TRUE(
        runTool(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-r"), hexWindow(elsewhere),
                                           QStringLiteral("-t"), QStringLiteral("1")}));
    // Desktop 0xFFFFFFFF: every desktop (the window manager here has no sticky state of its own).
    ASSERT_TRUE(runTool(QStringLiteral("xdotool"), {QStringLiteral("set_desktop_for_window"),
                                                    QString::number(everywhere), QStringLiteral("-1")}));
    EXPECT_TRUE(waitUntil([&] { return !onScreen(elsewhere); }));
    EXPECT_TRUE(listed(elsewhere));
    // On another desktop, but not minimized.
    EXPECT_TRUE(server->isOrderedIn(elsewhere));
    EXPECT_TRUE(onScreen(here));
    EXPECT_TRUE(onScreen(everywhere));

    ASSERT_TRUE(runTool(QStringLiteral("wmctrl"), {QStringLiteral("-s"), QStringLiteral("1")}));
    EXPECT_TRUE(waitUntil([&] { return onScreen(elsewhere) && !onScreen(here); }));
    EXPECT_TRUE(onScreen(everywhere));
    EXPECT_TRUE(listed(here));

    runTool(QStringLiteral("wmctrl"), {QStringLiteral("-s"), QStringLiteral("0")});
    runTool(QStringLiteral("wmctrl"), {QStringLiteral("-n"), QStringLiteral("4")});
}

TEST_F(X11WindowServerTest, LayersFollowTypeAndState) {
    TestWindowApp app(
        {QStringLiteral("--title"),       QStringLiteral("Plain"),   QStringLiteral("--title"),
         QStringLiteral("Raised"),        QStringLiteral("--type"),  QStringLiteral("utility"),
         QStringLiteral("--title"),       QStringLiteral("Palette"), QStringLiteral("--type"),
         QStringLiteral("dock"),          QStringLiteral("--title"), QStringLiteral("Dock Strip"),
         QStringLiteral("--type"),        QStringLiteral("menu"),    QStringLiteral("--title"),
         QStringLiteral("Torn-off Menu"), QStringLiteral("--type"),  QStringLiteral("desktop"),
         QStringLiteral("--title"),       QStringLiteral("Backdrop")});
    ASSERT_TRUE(app.isReady());
    const std::uint64_t plain = app.window(0), raised = app.window(1), palette = app.window(2),
                        dock = app.window(3), menu = app.window(4), backdrop = app.window(5);
    ASSERT_TRUE(waitForWindows({plain, raised, palette, dock, menu}));
    ASSERT_TRUE(
        runTool(QStringLiteral("wmctrl"), {QStringLiteral("-i"), QStringLiteral("-r"), hexWindow(raised),
                                           QStringLiteral("-b"), QStringLiteral("add,above")}));
    EXPECT_TRUE(waitUntil([&] {
        const auto d = find(server->onScreenWindows(), raised);
        return d && d->layer == HXWindowServer::kFloatingLevel;
    }));
    const auto list = server->onScreenWindows();
    EXPECT_EQ(find(list, plain)->layer, HXWindowServer::kNormalLevel);
    EXPECT_EQ(find(list, palette)->layer, HXWindowServer::kFloatingLevel);
    EXPECT_EQ(find(list, dock)->layer, HXWindowServer::kDockLevel);
    EXPECT_EQ(find(list, menu)->layer, HXWindowServer::kPopUpMenuLevel);

    // The desktop window is managed, but it is no window of the list.
    const auto snapshot = display->snapshot();
    ASSERT_TRUE(snapshot);
    EXPECT_NE(snapshot->find(static_cast<xcb_window_t>(backdrop)), nullptr);
    EXPECT_FALSE(onScreen(backdrop));
    EXPECT_FALSE(listed(backdrop));
}

TEST_F(X11WindowServerTest, TitleEncodingsOwnersAndOddProperties) {
    // "Caf" e-acute (Latin-1 right half) " " then JIS X 0208 in the right half: 日本.
    const QString compound = QStringLiteral("436166e9201b242942c6fccbdc");
    TestWindowApp app(
        {QStringLiteral("--legacy-title"), QStringLiteral("Café crème"), QStringLiteral("--compound-title"),
         compound, QStringLiteral("--odd"), QStringLiteral("Odd Properties"), QStringLiteral("--huge-title"),
         QStringLiteral("--pid"), QStringLiteral("1"), QStringLiteral("--title"), QStringLiteral("Lying PID"),
         QStringLiteral("--no-pid"), QStringLiteral("--title"), QStringLiteral("No PID")});
    ASSERT_TRUE(app.isReady());
    const std::vector<std::uint64_t> windows = app.windows();
    ASSERT_EQ(windows.size(), 6u);
    ASSERT_TRUE(waitForWindows(windows));
    const auto list = server->onScreenWindows();
    std::vector<HXWindowDescription> d;
    for (const std::uint64_t w : windows)
        d.push_back(*find(list, w));

    EXPECT_EQ(d[0].name, QStringLiteral("Café crème"));
    EXPECT_EQ(d[1].name, QStringLiteral("Café 日本"));
    EXPECT_EQ(d[2].name, QStringLiteral("Odd Properties"));
    EXPECT_EQ(d[2].layer, HXWindowServer::kNormalLevel);
    ASSERT_TRUE(d[3].name);
    EXPECT_EQ(d[3].name->size(), qsizetype(HXX11WindowQuery::kMaxTitleLongs * 4));
    EXPECT_EQ(d[3].name->count(u'x'), d[3].name->size());
    // The X server knows who made each window, whatever the window says.
    for (const HXWindowDescription& each : d)
        EXPECT_EQ(each.ownerProcessIdentifier, app.pid())
            << each.name.value_or(QString()).left(20).toStdString();
}

TEST_F(X11WindowServerTest, TitleChangesAreSeen) {
    TestWindowApp app({QStringLiteral("--title"), QStringLiteral("Before")});
    ASSERT_TRUE(app.isReady());
    ASSERT_TRUE(waitForWindows(app.windows()));
    ASSERT_TRUE(app.send("title 0 After ✓"));
    EXPECT_TRUE(waitUntil([&] {
        const auto d = find(server->onScreenWindows(), app.window(0));
        return d && d->name == QStringLiteral("After ✓");
    }));
}

TEST_F(X11WindowServerTest, SnapshotIsSharedWithinItsLifetime) {
    TestWindowApp app({QStringLiteral("--title"), QStringLiteral("Before")});
    ASSERT_TRUE(app.isReady());
    ASSERT_TRUE(waitForWindows(app.windows()));
    display->setSnapshotLifetime(std::chrono::hours(1));
    const auto first = display->snapshot();
    ASSERT_TRUE(app.send("title 0 After"));
    // A round trip of the app's own has passed: the server has the new title, the snapshot does not.
    EXPECT_EQ(display->snapshot(), first);
    EXPECT_EQ(find(server->onScreenWindows(), app.window(0))->name, QStringLiteral("Before"));
    display->invalidateSnapshot();
    EXPECT_NE(display->snapshot(), first);
    EXPECT_EQ(find(server->onScreenWindows(), app.window(0))->name, QStringLiteral("After"));
}

TEST_F(X11WindowServerTest, SurvivesWindowsVanishingMidQuery) {
    TestWindowApp churn({QStringLiteral("--churn")});
    ASSERT_TRUE(churn.isReady());
    std::set<std::uint64_t> named;
    int queries = 0;
    QElapsedTimer timer;
    timer.start();
    for (; timer.elapsed() < 10000 && (named.size() <= 20 || queries <= 200); ++queries) {
        const auto all = server->allWindows();
        ASSERT_TRUE(all);
        for (const HXWindowDescription& d : *all) {
            // The window manager's list lags behind: an id it still lists may already name a new window
            // that has no title yet.
            if (d.ownerProcessIdentifier != churn.pid() || !d.name)
                continue;
            named.insert(d.number);
            EXPECT_TRUE(d.name->startsWith(QStringLiteral("Churn "))) << d.name->toStdString();
        }
    }
    // The churn made and destroyed many windows while the queries ran.
    EXPECT_GT(named.size(), 20u);
    EXPECT_GT(queries, 200);
}

TEST(X11DisplayTest, ReportsMissingDisplayAndWindowManager) {
    auto nowhere = std::make_shared<HXX11Display>(":59999");
    EXPECT_EQ(nowhere->availability(), HXX11Availability::NoDisplay);
    EXPECT_FALSE(nowhere->availabilityReason().isEmpty());
    HXX11WindowServer nowhereServer(nowhere);
    EXPECT_FALSE(nowhereServer.onScreenWindows());
    EXPECT_FALSE(nowhereServer.isOrderedIn(1));

    PrivateXServer x;
    ASSERT_TRUE(x.isRunning());
    auto display = std::make_shared<HXX11Display>(x.display());
    display->setSnapshotLifetime(0ms);
    EXPECT_EQ(display->availability(), HXX11Availability::NoWindowManager);
    HXX11WindowServer server(display);
    EXPECT_FALSE(server.onScreenWindows());
    EXPECT_FALSE(server.allWindows());

    ASSERT_TRUE(x.startWindowManager());
    EXPECT_TRUE(waitUntil([&] { return display->availability() == HXX11Availability::Available; }, 10000));
    EXPECT_TRUE(server.onScreenWindows());

    // Killed, the window manager leaves its root property behind, naming a window that is gone.
    x.killWindowManager();
    EXPECT_TRUE(waitUntil([&] { return display->availability() == HXX11Availability::NoWindowManager; }));
    EXPECT_FALSE(server.onScreenWindows());
}

TEST(X11DisplayTest, WithoutXResTheWindowsOwnPidCounts) {
    PrivateXServer x({QStringLiteral("-extension"), QStringLiteral("X-Resource")});
    ASSERT_TRUE(x.isRunning());
    ASSERT_TRUE(x.startWindowManager());
    auto display = std::make_shared<HXX11Display>(x.display());
    display->setSnapshotLifetime(0ms);
    ASSERT_TRUE(waitUntil([&] { return display->availability() == HXX11Availability::Available; }, 10000));
    HXX11WindowServer server(display);

    TestWindowApp app({QStringLiteral("--title"), QStringLiteral("Own PID"), QStringLiteral("--pid"),
                       QStringLiteral("4242"), QStringLiteral("--title"), QStringLiteral("Claimed PID"),
                       QStringLiteral("--no-pid"), QStringLiteral("--title"), QStringLiteral("No PID")},
                      x.display());
    ASSERT_TRUE(app.isReady());
    ASSERT_TRUE(waitUntil([&] {
        const auto all = server.allWindows();
        return all && all->size() == 3;
    }));
    std::vector<std::optional<std::int64_t>> owners;
    for (const std::uint64_t w : app.windows()) {
        const auto d = find(server.allWindows(), w);
        ASSERT_TRUE(d);
        owners.push_back(d->ownerProcessIdentifier);
    }
    EXPECT_EQ(owners, (std::vector<std::optional<std::int64_t>>{app.pid(), 4242, std::nullopt}));
}

TEST(X11DisplayTest, AQuietDesktopIsReadInAFewRequestsAndEachChangeInOneMore) {
    PrivateXServer x;
    ASSERT_TRUE(x.isRunning());
    ASSERT_TRUE(x.startWindowManager());
    auto display = std::make_shared<HXX11Display>(x.display());
    display->setSnapshotLifetime(0ms);
    ASSERT_TRUE(waitUntil([&] { return display->availability() == HXX11Availability::Available; }, 10000));
    QStringList arguments{QStringLiteral("--class"), QStringLiteral("early,Early")};
    for (int i = 0; i < 30; ++i)
        arguments << QStringLiteral("--title") << QStringLiteral("Window %1").arg(i);
    TestWindowApp app(arguments, x.display());
    ASSERT_TRUE(app.isReady());

    // The root window's properties, the clients' ids and the check window: nothing of the windows, once
    // the window manager is done with them.
    constexpr std::uint32_t kQuiet = 6;
    std::shared_ptr<const HXX11WindowSnapshot> quiet;
    EXPECT_TRUE(waitUntil([&] {
        quiet = display->snapshot();
        return quiet && quiet->windows.size() == 30 && quiet->requests <= kQuiet;
    })) << (quiet ? quiet->requests : 0)
        << " requests";

    // Both titles changed: two requests more, and the next reading has the change.
    ASSERT_TRUE(app.send("title 7 Renamed"));
    const auto renamed = display->snapshot();
    ASSERT_TRUE(renamed && renamed->find(app.window(7)) && renamed->find(app.window(8)));
    EXPECT_EQ(renamed->find(app.window(7))->title, QStringLiteral("Renamed"));
    EXPECT_EQ(renamed->find(app.window(8))->title, QStringLiteral("Window 8"));
    EXPECT_LE(renamed->requests, kQuiet + 2);

    // What most windows set once, before they show, is read again when one changes it later.
    ASSERT_TRUE(app.send("class 7 late Late"));
    const auto reclassed = display->snapshot();
    ASSERT_TRUE(reclassed && reclassed->find(app.window(7)) && reclassed->find(app.window(8)));
    EXPECT_EQ(reclassed->find(app.window(7))->instanceName, QStringLiteral("late"));
    EXPECT_EQ(reclassed->find(app.window(7))->className, QStringLiteral("Late"));
    EXPECT_EQ(reclassed->find(app.window(8))->className, QStringLiteral("Early"));
    EXPECT_EQ(reclassed->find(app.window(7))->title, QStringLiteral("Renamed"));
    EXPECT_LE(reclassed->requests, kQuiet + 1);
}
} // namespace
