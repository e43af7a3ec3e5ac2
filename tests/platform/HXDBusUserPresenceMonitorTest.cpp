#include "DBusTestSupport.h"
#include "QtTypePrinting.h"
#include "X11TestSupport.h"

#include "foundation/HXLog.h"
#include "platform/dbus/HXDBusUserPresenceMonitor.h"

#include <QDBusConnection>

#include <unistd.h>

namespace {

const QString kSessionPath = QStringLiteral("/org/freedesktop/login1/session/_31");

class DBusUserPresenceMonitorTest : public testing::Test {
protected:
    void SetUp() override { qputenv("XDG_SESSION_ID", "1"); }
    void TearDown() override { qunsetenv("XDG_SESSION_ID"); }

    HXUserPresenceMonitor::Handlers handlers() {
        return {[this](const QString& reason) { events << QStringLiteral("leaves: ") + reason; },
                [this](const QString& reason) {
                    events << QStringLiteral("returns: ") + reason;
                }};
    }

    // Waits until the events are exactly these.
    bool eventsBecome(const QStringList& expected) {
        waitUntil([&] { return events.size() >= expected.size(); }, 3000);
        spin(50);
        return events == expected;
    }

    QStringList events;
};

TEST_F(DBusUserPresenceMonitorTest, SleepLockInactiveSessionAndScreenSaver) {
    FakeDBusServices fake;
    ASSERT_TRUE(fake.isReady());
    HXDBusUserPresenceMonitor monitor;
    monitor.start(handlers(), true);
    ASSERT_TRUE(waitUntil([&] { return monitor.sessionPath() == kSessionPath; }));
    EXPECT_TRUE(fake.calls().contains("GetSession 1"));

    ASSERT_TRUE(fake.command("sleep"));
    EXPECT_TRUE(eventsBecome({QStringLiteral("leaves: system sleep")}));
    ASSERT_TRUE(fake.command("wake"));
    EXPECT_TRUE(
        eventsBecome({QStringLiteral("leaves: system sleep"), QStringLiteral("returns: system sleep")}));
    events.clear();

    ASSERT_TRUE(fake.command("lock"));
    ASSERT_TRUE(fake.command("lock"));
    ASSERT_TRUE(fake.command("unlock"));
    EXPECT_TRUE(
        eventsBecome({QStringLiteral("leaves: session locked"), QStringLiteral("returns: session locked")}));
    events.clear();

    ASSERT_TRUE(fake.command("active false"));
    ASSERT_TRUE(fake.command("active true"));
    EXPECT_TRUE(eventsBecome(
        {QStringLiteral("leaves: session inactive"), QStringLiteral("returns: session inactive")}));
    events.clear();

    // A property announced as changed without its value is read back.
    ASSERT_TRUE(fake.command("active-invalidated false"));
    EXPECT_TRUE(eventsBecome({QStringLiteral("leaves: session inactive")}));
    ASSERT_TRUE(fake.command("active-invalidated true"));
    EXPECT_TRUE(eventsBecome(
        {QStringLiteral("leaves: session inactive"), QStringLiteral("returns: session inactive")}));
    events.clear();

    ASSERT_TRUE(fake.command("screensaver true"));
    ASSERT_TRUE(fake.command("screensaver false"));
    EXPECT_TRUE(
        eventsBecome({QStringLiteral("leaves: screen saver"), QStringLiteral("returns: screen saver")}));
}

TEST_F(DBusUserPresenceMonitorTest, ReturnsOnlyAfterALeaveFromTheSameSource) {
    FakeDBusServices fake;
    ASSERT_TRUE(fake.isReady());
    HXDBusUserPresenceMonitor monitor;
    monitor.start(handlers(), true);
    ASSERT_TRUE(waitUntil([&] { return monitor.sessionPath() == kSessionPath; }));

    // Returns nobody left for. The signals of one bus arrive in order, so once the sleep shows, the
    // returns before it have been seen.
    ASSERT_TRUE(fake.command("wake"));
    ASSERT_TRUE(fake.command("unlock"));
    ASSERT_TRUE(fake.command("active true"));
    ASSERT_TRUE(fake.command("sleep"));
    EXPECT_TRUE(eventsBecome({QStringLiteral("leaves: system sleep")}));
    ASSERT_TRUE(fake.command("screensaver false"));
    ASSERT_TRUE(fake.command("screensaver true"));
    EXPECT_TRUE(
        eventsBecome({QStringLiteral("leaves: system sleep"), QStringLiteral("leaves: screen saver")}));
    events.clear();

    // Two sources away: each return matches its own leave.
    ASSERT_TRUE(fake.command("lock"));
    EXPECT_TRUE(eventsBecome({QStringLiteral("leaves: session locked")}));
    ASSERT_TRUE(fake.command("wake"));
    EXPECT_TRUE(
        eventsBecome({QStringLiteral("leaves: session locked"), QStringLiteral("returns: system sleep")}));
    events.clear();

    // Stopping pays back what is still owed, and nothing is reported afterwards.
    monitor.stop();
    events.sort();
    EXPECT_EQ(events, QStringList({QStringLiteral("returns: screen saver"),
                                   QStringLiteral("returns: session locked")}));
    events.clear();
    ASSERT_TRUE(fake.command("sleep"));
    ASSERT_TRUE(fake.command("unlock"));
    spin(300);
    EXPECT_TRUE(events.isEmpty()) << events.join(u", ").toStdString();
}

TEST_F(DBusUserPresenceMonitorTest, ScreenSaverIgnoredWhenAsked) {
    FakeDBusServices fake;
    ASSERT_TRUE(fake.isReady());
    HXDBusUserPresenceMonitor monitor;
    monitor.start(handlers(), false);
    ASSERT_TRUE(waitUntil([&] { return monitor.sessionPath() == kSessionPath; }));
    ASSERT_TRUE(fake.command("screensaver true"));
    ASSERT_TRUE(fake.command("sleep"));
    spin(300);
    EXPECT_EQ(events, QStringList({QStringLiteral("leaves: system sleep")}));
}

TEST_F(DBusUserPresenceMonitorTest, SessionFoundByProcessWithoutAUsableSessionId) {
    FakeDBusServices fake;
    ASSERT_TRUE(fake.isReady());
    const QByteArray byPid = "GetSessionByPID " + QByteArray::number(::getpid());

    qputenv("XDG_SESSION_ID", "no-such-session");
    HXDBusUserPresenceMonitor first;
    first.start(handlers(), true);
    ASSERT_TRUE(waitUntil([&] { return first.sessionPath() == kSessionPath; }));
    EXPECT_TRUE(fake.calls().contains("GetSession no-such-session"));
    EXPECT_TRUE(fake.calls().contains(byPid));
    first.stop();

    qunsetenv("XDG_SESSION_ID");
    HXDBusUserPresenceMonitor second;
    second.start(handlers(), true);
    ASSERT_TRUE(waitUntil([&] { return second.sessionPath() == kSessionPath; }));
    EXPECT_EQ(fake.calls().count(byPid), 2);
    ASSERT_TRUE(fake.command("lock"));
    EXPECT_TRUE(eventsBecome({QStringLiteral("leaves: session locked")}));
}

TEST_F(DBusUserPresenceMonitorTest, MissingServiceOrBusIsLoggedOnceAndTheRestWorks) {
    HXLogging::Capture log;
    FakeDBusServices fake({QStringLiteral("--no-login")});
    ASSERT_TRUE(fake.isReady());
    HXDBusUserPresenceMonitor monitor;
    monitor.start(handlers(), true);
    EXPECT_TRUE(waitUntil([&] { return log.contains(QStringLiteral("cannot find the login session")); }));
    ASSERT_TRUE(fake.command("screensaver true"));
    EXPECT_TRUE(eventsBecome({QStringLiteral("leaves: screen saver")}));
    monitor.stop();
    monitor.start(handlers(), true);
    spin(300);
    EXPECT_EQ(log.lines().filter(QStringLiteral("cannot find the login session")).size(), 1)
        << log.lines().join(u'\n').toStdString();
    monitor.stop();
    events.clear();

    log.clear();
    HXDBusUserPresenceMonitor withoutSystemBus(
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                      QStringLiteral("nowhere")),
        QDBusConnection::sessionBus());
    withoutSystemBus.start(handlers(), true);
    withoutSystemBus.stop();
    withoutSystemBus.start(handlers(), true);
    EXPECT_EQ(log.lines().filter(QStringLiteral("cannot connect to the system bus")).size(), 1);
    ASSERT_TRUE(fake.command("screensaver false"));
    ASSERT_TRUE(fake.command("screensaver true"));
    EXPECT_TRUE(eventsBecome({QStringLiteral("leaves: screen saver")}));
}

} // namespace
