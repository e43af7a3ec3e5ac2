// The wlroots toplevel source and the compositor's idle protocol against a real headless sway, as
// another client of the compositor would see them.
#include "platform/wayland/HXWlrToplevelSource.h"
#include "X11TestSupport.h"
#include "platform/HXWorkspace.h"
#include "platform/wayland/HXWaylandConnection.h"
#include "platform/wayland/HXWaylandIdleMonitor.h"
#include "platform/wayland/SwaySession.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::shared_ptr<HXWaylandConnection> connectTo(const SwaySession& sway) {
    const QProcessEnvironment e = sway.environment();
    // An absolute socket path needs no runtime folder of the tests' own.
    return std::make_shared<HXWaylandConnection>(
        (e.value(QStringLiteral("XDG_RUNTIME_DIR")) + u'/' + e.value(QStringLiteral("WAYLAND_DISPLAY")))
            .toLocal8Bit());
}

const HXToplevel* titled(const HXToplevelList& list, const QString& title) {
    for (const HXToplevel& t : list.toplevels) {
        if (t.title == title)
            return &t;
    }
    return nullptr;
}

HXDesktopEntryMatcher noEntries() {
    return HXDesktopEntryMatcher(HXDesktopEntryIndex({}, HXDesktopLocale(QStringLiteral("C")), QString()));
}

} // namespace

TEST(HXWlrToplevelSource, FollowsTitlesAppIdsActivationAndClosingOnSway) {
    SwaySession sway;
    QD_REQUIRE_SWAY(sway);
    QProcess first, second;
    ASSERT_TRUE(sway.startTerminal(first, QStringLiteral("First"), QStringLiteral("foot")));
    ASSERT_TRUE(sway.startTerminal(second, QStringLiteral("Second"), QStringLiteral("org.example.Second")));
    const auto connection = connectTo(sway);
    ASSERT_TRUE(connection->isConnected());
    EXPECT_TRUE(connection->offers(QStringLiteral("zwlr_foreign_toplevel_manager_v1")));

    HXWlrToplevelSource source(connection, noEntries());
    source.start();
    ASSERT_EQ(source.state(), HXWindowSource::State::Answering);
    const HXToplevelList& list = source.toplevels();
    // What existed is announced at once.
    ASSERT_EQ(list.toplevels.size(), 2u);
    ASSERT_TRUE(titled(list, QStringLiteral("First")));
    EXPECT_EQ(titled(list, QStringLiteral("First"))->identifier, QStringLiteral("foot"));
    EXPECT_EQ(titled(list, QStringLiteral("Second"))->identifier, QStringLiteral("org.example.Second"));
    EXPECT_FALSE(titled(list, QStringLiteral("First"))->processIdentifier) << "the protocol tells no process";
    EXPECT_TRUE(titled(list, QStringLiteral("Second"))->activated) << "the newest window has the focus";

    ASSERT_TRUE(sway.focus(QStringLiteral("First")));
    ASSERT_TRUE(waitUntil([&] { return titled(list, QStringLiteral("First"))->activated; }));
    EXPECT_FALSE(titled(list, QStringLiteral("Second"))->activated);
    EXPECT_EQ(list.toplevels.front().title, QStringLiteral("First")) << "front to back by activation";
    const auto owner = source.workspace().menuBarOwner();
    ASSERT_TRUE(owner);
    EXPECT_EQ(owner->localizedName, QStringLiteral("foot"));

    // A program that retitles its window.
    QProcess retitling;
    retitling.setStandardOutputFile(QProcess::nullDevice());
    ASSERT_TRUE(sway.start(retitling, QStringLiteral("foot"),
                           {QStringLiteral("--title"), QStringLiteral("Before"), QStringLiteral("sh"),
                            QStringLiteral("-c"),
                            QStringLiteral("sleep 1; printf '\\033]2;After\\007'; sleep 600")}));
    ASSERT_TRUE(waitUntil([&] { return titled(list, QStringLiteral("Before")) != nullptr; }, 10000));
    ASSERT_TRUE(waitUntil([&] { return titled(list, QStringLiteral("After")) != nullptr; }, 10000));
    EXPECT_FALSE(titled(list, QStringLiteral("Before")));

    const std::uint64_t generation = list.generation;
    second.kill();
    second.waitForFinished(5000);
    ASSERT_TRUE(waitUntil([&] { return !titled(list, QStringLiteral("Second")); }));
    EXPECT_GT(list.generation, generation);
    EXPECT_EQ(list.toplevels.size(), 2u);

    sway.kill();
    ASSERT_TRUE(waitUntil([&] { return source.state() == HXWindowSource::State::Failed; }));
    EXPECT_FALSE(connection->isConnected());
    EXPECT_FALSE(source.windowServer().onScreenWindows());
    source.stop();
}

TEST(HXWaylandIdleMonitor, IsIdleAfterTheTimeoutAndReportsInputAsItResumesOnSway) {
    SwaySession sway;
    QD_REQUIRE_SWAY(sway);
    QProcess terminal;
    ASSERT_TRUE(sway.startTerminal(terminal, QStringLiteral("Typing"), QStringLiteral("foot")));
    const auto connection = connectTo(sway);
    // sway 1.7 offers org_kde_kwin_idle; ext_idle_notifier_v1 came with later versions.
    HXWaylandIdleMonitor unoffered(connection, HXWaylandIdleMonitor::Protocol::ExtIdleNotifier);
    if (!connection->offers(QStringLiteral("ext_idle_notifier_v1"))) {
        EXPECT_FALSE(unoffered.install([] {}));
    }
    HXWaylandIdleMonitor monitor(connection, HXWaylandIdleMonitor::Protocol::KdeIdle,
                                 std::chrono::milliseconds(500));
    int activity = 0;
    ASSERT_TRUE(monitor.install([&] { ++activity; }));
    ASSERT_TRUE(waitUntil([&] { return monitor.isIdle(); }, 5000)) << "nobody types: idle after the timeout";
    const int before = activity;
    spin(1200);
    EXPECT_EQ(activity, before) << "nothing is reported while idle";
    QProcess type;
    ASSERT_TRUE(sway.start(type, QStringLiteral("wtype"), {QStringLiteral("a")}));
    ASSERT_TRUE(type.waitForFinished(10000));
    ASSERT_TRUE(waitUntil([&] { return activity > before; }, 5000));
    EXPECT_TRUE(monitor.isAnswering());
    monitor.remove();
    sway.kill();
    ASSERT_TRUE(waitUntil([&] { return !connection->isConnected(); }));
    EXPECT_FALSE(monitor.isAnswering());
}

TEST(HXWaylandIdleMonitor, FollowsExtIdleNotifierOfANewerCompositor) {
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    QProcess compositor;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    compositor.setProcessEnvironment(environment);
    compositor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    compositor.start(QStringLiteral(QD_FAKE_IDLE_COMPOSITOR), QStringList());
    ASSERT_TRUE(compositor.waitForStarted(5000));
    ASSERT_TRUE(compositor.waitForReadyRead(5000));
    const QByteArray socket = compositor.readLine().trimmed();
    ASSERT_FALSE(socket.isEmpty());
    QByteArrayList said;
    const auto waitFor = [&](const QByteArray& prefix) {
        return waitUntil([&] {
            compositor.waitForReadyRead(10);
            while (compositor.canReadLine())
                said.append(compositor.readLine().trimmed());
            return std::any_of(said.begin(), said.end(),
                               [&](const QByteArray& l) { return l.startsWith(prefix); });
        });
    };
    const auto connection =
        std::make_shared<HXWaylandConnection>(runtime.filePath(QString::fromLatin1(socket)).toLocal8Bit());
    ASSERT_TRUE(connection->isConnected());
    HXWaylandIdleMonitor kde(connection, HXWaylandIdleMonitor::Protocol::KdeIdle);
    EXPECT_FALSE(kde.install([] {})) << "this compositor has no org_kde_kwin_idle";

    HXWaylandIdleMonitor monitor(connection, HXWaylandIdleMonitor::Protocol::ExtIdleNotifier,
                                 std::chrono::milliseconds(300));
    int activity = 0;
    ASSERT_TRUE(monitor.install([&] { ++activity; }));
    ASSERT_TRUE(waitFor("notification 300"));
    // Until the compositor says idle, the user counts as there, once per timeout.
    ASSERT_TRUE(waitUntil([&] { return activity >= 2; }, 3000));
    compositor.write("idle\n");
    ASSERT_TRUE(waitUntil([&] { return monitor.isIdle(); }));
    const int idleAt = activity;
    spin(800);
    EXPECT_EQ(activity, idleAt);
    compositor.write("resume\n");
    ASSERT_TRUE(waitUntil([&] { return !monitor.isIdle() && activity > idleAt; }));
    monitor.remove();
    EXPECT_TRUE(waitFor("destroyed")) << "the notification is given back";
    compositor.closeWriteChannel();
    ASSERT_TRUE(compositor.waitForFinished(5000));
    ASSERT_TRUE(waitUntil([&] { return !connection->isConnected(); }));
    EXPECT_FALSE(monitor.isAnswering());
}
