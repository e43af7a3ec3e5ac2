// The KWin script and GNOME Shell extension sources, and the shells' idle times, against stand-ins that
// offer the same D-Bus interfaces on a private session bus: the KWin one runs the real script against a
// model of Plasma 5's or Plasma 6's scripting API. Also the session's fall back to X11 when one of them
// goes away mid-run.
#include "X11TestSupport.h"
#include "app/HXDesktopSession.h"
#include "foundation/HXLog.h"
#include "platform/HXWindowServer.h"
#include "platform/HXWorkspace.h"
#include "platform/dbus/HXDBusIdleTimeMonitor.h"
#include "platform/wayland/HXGnomeShellSource.h"
#include "platform/wayland/HXKWinScriptSource.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

// qd_fake_desktop_shell (or another stand-in) on the private session bus.
class FakeShell {
public:
    explicit FakeShell(const QStringList& options,
                       const QString& program = QStringLiteral(QD_FAKE_DESKTOP_SHELL)) {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(program, options);
        m_ready = m_process.waitForStarted(5000) && waitForLine("ready");
    }
    ~FakeShell() { quit(); }

    bool isReady() const { return m_ready; }
    bool command(const QJsonObject& c) {
        const qsizetype oks = m_lines.count("ok");
        m_process.write(QJsonDocument(c).toJson(QJsonDocument::Compact) + '\n');
        return waitUntil(
            [&] {
                read();
                return m_lines.count("ok") > oks;
            },
            5000);
    }
    bool waitForLine(const QByteArray& prefix, int timeoutMs = 5000) {
        return waitUntil(
            [&] {
                read();
                return std::any_of(m_lines.begin(), m_lines.end(),
                                   [&](const QByteArray& l) { return l.startsWith(prefix); });
            },
            timeoutMs);
    }
    int count(const QByteArray& prefix) {
        read();
        return static_cast<int>(std::count_if(m_lines.begin(), m_lines.end(),
                                              [&](const QByteArray& l) { return l.startsWith(prefix); }));
    }
    QByteArrayList lines() {
        read();
        return m_lines;
    }
    void quit() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }

private:
    void read() {
        m_process.waitForReadyRead(0);
        while (m_process.canReadLine())
            m_lines.append(m_process.readLine().trimmed());
    }

    QProcess m_process;
    QByteArrayList m_lines;
    bool m_ready = false;
};

QJsonObject op(const char* name, std::initializer_list<std::pair<const char*, QJsonValue>> fields = {}) {
    QJsonObject o{{QStringLiteral("op"), QString::fromLatin1(name)}};
    for (const auto& [key, value] : fields)
        o.insert(QString::fromLatin1(key), value);
    return o;
}

QJsonObject addWindow(int id, const char* caption, const char* resourceClass, int pid,
                      const char* type = "normal") {
    return op("add", {{"id", id},
                      {"caption", QString::fromUtf8(caption)},
                      {"class", QString::fromLatin1(resourceClass)},
                      {"name", QString::fromLatin1(resourceClass).toLower()},
                      {"pid", pid},
                      {"type", QString::fromLatin1(type)}});
}

QStringList titles(const HXToplevelList& list) {
    QStringList t;
    for (const HXToplevel& w : list.toplevels)
        t.append(w.title);
    return t;
}

const HXToplevel* titled(const HXToplevelList& list, const QString& title) {
    for (const HXToplevel& w : list.toplevels) {
        if (w.title == title)
            return &w;
    }
    return nullptr;
}

HXDesktopEntryMatcher noEntries() {
    return HXDesktopEntryMatcher(HXDesktopEntryIndex({}, HXDesktopLocale(QStringLiteral("C")), QString()));
}

class KWinScript : public testing::TestWithParam<int> {};

} // namespace

TEST_P(KWinScript, LoadsTheScriptAndFollowsWindowsUntilItIsUnloaded) {
    const int plasma = GetParam();
    FakeShell kwin({QStringLiteral("--kwin"), QString::number(plasma)});
    ASSERT_TRUE(kwin.isReady());
    ASSERT_TRUE(kwin.command(addWindow(1, "Notes \u2014 Kate", "org.kde.kate", 4001)));
    ASSERT_TRUE(kwin.command(addWindow(2, "~ : bash", "konsole", 4002)));
    ASSERT_TRUE(kwin.command(addWindow(3, "Panel", "plasmashell", 4003, "dock")));
    ASSERT_TRUE(kwin.command(op("activate", {{"id", 1}})));

    HXKWinScriptSource source(noEntries());
    source.start();
    EXPECT_EQ(source.state(), HXWindowSource::State::Starting);
    ASSERT_TRUE(waitUntil([&] { return source.state() != HXWindowSource::State::Starting; }))
        << kwin.lines().join('\n').constData();
    ASSERT_EQ(source.state(), HXWindowSource::State::Answering) << source.failureReason().toStdString();
    EXPECT_EQ(kwin.count("script error"), 0) << kwin.lines().join('\n').constData();
    const HXToplevelList& list = source.toplevels();
    ASSERT_EQ(list.toplevels.size(), 3u);
    // The active window first, then by stacking, top first.
    EXPECT_EQ(titles(list), (QStringList{QStringLiteral("Notes \u2014 Kate"), QStringLiteral("Panel"),
                                         QStringLiteral("~ : bash")}));
    const HXToplevel& kate = list.toplevels[0];
    EXPECT_EQ(kate.identifier, QStringLiteral("org.kde.kate"));
    EXPECT_EQ(kate.instanceName, QStringLiteral("org.kde.kate"));
    EXPECT_EQ(kate.processIdentifier, 4001);
    EXPECT_TRUE(kate.activated);
    EXPECT_EQ(list.toplevels[1].kind, HXToplevelKind::Dock);
    EXPECT_NE(list.toplevels[0].number, list.toplevels[2].number);

    // Each change reaches the tracker: activation, titles, minimizing, desktops, windows that go.
    ASSERT_TRUE(kwin.command(op("activate", {{"id", 2}})));
    ASSERT_TRUE(waitUntil([&] {
        return titled(list, QStringLiteral("~ : bash")) &&
               titled(list, QStringLiteral("~ : bash"))->activated;
    }));
    EXPECT_FALSE(titled(list, QStringLiteral("Notes \u2014 Kate"))->activated);
    EXPECT_EQ(list.toplevels.front().title, QStringLiteral("~ : bash"));
    ASSERT_TRUE(kwin.command(op("caption", {{"id", 2}, {"caption", QStringLiteral("make : bash")}})));
    ASSERT_TRUE(waitUntil([&] { return titled(list, QStringLiteral("make : bash")) != nullptr; }));
    ASSERT_TRUE(kwin.command(op("minimize", {{"id", 1}, {"on", true}})));
    ASSERT_TRUE(waitUntil([&] { return titled(list, QStringLiteral("Notes \u2014 Kate"))->minimized; }));
    ASSERT_TRUE(kwin.command(op("move", {{"id", 2}, {"desktop", 2}})));
    ASSERT_TRUE(waitUntil([&] { return !titled(list, QStringLiteral("make : bash"))->onCurrentDesktop; }));
    ASSERT_TRUE(kwin.command(op("desktop", {{"number", 2}})));
    ASSERT_TRUE(waitUntil([&] {
        return titled(list, QStringLiteral("make : bash"))->onCurrentDesktop &&
               !titled(list, QStringLiteral("Panel"))->onCurrentDesktop;
    }));
    ASSERT_TRUE(kwin.command(op("remove", {{"id", 3}})));
    ASSERT_TRUE(waitUntil([&] { return list.toplevels.size() == 2u; }));
    EXPECT_FALSE(titled(list, QStringLiteral("Panel")));

    // The window server and workspace read the same list.
    const auto windows = source.windowServer().allWindows();
    ASSERT_TRUE(windows);
    EXPECT_EQ(windows->size(), 2u);
    ASSERT_TRUE(source.workspace().menuBarOwner());
    EXPECT_EQ(source.workspace().menuBarOwner()->processIdentifier, 4002);

    source.stop();
    EXPECT_TRUE(kwin.waitForLine("unloadScript qualdern-tracker -> true"))
        << kwin.lines().join('\n').constData();
    EXPECT_EQ(source.state(), HXWindowSource::State::Failed);
    EXPECT_FALSE(source.windowServer().onScreenWindows());
}

INSTANTIATE_TEST_SUITE_P(Plasma, KWinScript, testing::Values(5, 6),
                         [](const testing::TestParamInfo<int>& param) {
                             return "Plasma" + std::to_string(param.param);
                         });

TEST(HXKWinScriptSource, ReplacesAScriptLeftBehindAndFailsWhenKWinGoes) {
    FakeShell kwin({QStringLiteral("--kwin"), QStringLiteral("6")});
    ASSERT_TRUE(kwin.isReady());
    // A tracker that crashed left its script loaded.
    QDBusMessage load = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.KWin"), QStringLiteral("/Scripting"),
        QStringLiteral("org.kde.kwin.Scripting"), QStringLiteral("loadScript"));
    load << QStringLiteral("/nonexistent.js") << QStringLiteral("qualdern-tracker");
    ASSERT_EQ(QDBusConnection::sessionBus().call(load).type(), QDBusMessage::ReplyMessage);

    HXKWinScriptSource source(noEntries());
    source.start();
    ASSERT_TRUE(waitUntil([&] { return source.state() != HXWindowSource::State::Starting; }));
    ASSERT_EQ(source.state(), HXWindowSource::State::Answering) << source.failureReason().toStdString();
    EXPECT_TRUE(source.toplevels().toplevels.empty());
    EXPECT_EQ(kwin.count("unloadScript qualdern-tracker -> true"), 1);

    kwin.quit();
    ASSERT_TRUE(waitUntil([&] { return source.state() == HXWindowSource::State::Failed; }));
    EXPECT_EQ(source.failureReason(), QStringLiteral("KWin left the session bus"));
    EXPECT_FALSE(source.workspace().menuBarOwner());
}

TEST(HXKWinScriptSource, FailsWithoutKWin) {
    HXKWinScriptSource source(noEntries());
    source.start();
    ASSERT_TRUE(waitUntil([&] { return source.state() != HXWindowSource::State::Starting; }, 8000));
    EXPECT_EQ(source.state(), HXWindowSource::State::Failed);
    EXPECT_TRUE(source.failureReason().startsWith(QStringLiteral("KWin did not load the script")))
        << source.failureReason().toStdString();
}

TEST(HXGnomeShellSource, FollowsTheExtensionsWindowListUntilItIsDisabled) {
    FakeShell gnome({QStringLiteral("--gnome")});
    ASSERT_TRUE(gnome.isReady());
    const QJsonObject first{
        {QStringLiteral("windows"),
         QJsonArray{QJsonObject{{QStringLiteral("id"), QStringLiteral("7")},
                                {QStringLiteral("title"), QStringLiteral("Files")},
                                {QStringLiteral("class"), QStringLiteral("org.gnome.Nautilus")},
                                {QStringLiteral("pid"), 5005},
                                {QStringLiteral("active"), true}}}}};
    ASSERT_TRUE(gnome.command(op("windows", {{"list", first}})));
    HXGnomeShellSource source(noEntries());
    source.start();
    ASSERT_TRUE(waitUntil([&] { return source.state() != HXWindowSource::State::Starting; }));
    ASSERT_EQ(source.state(), HXWindowSource::State::Answering) << source.failureReason().toStdString();
    ASSERT_EQ(titles(source.toplevels()), QStringList{QStringLiteral("Files")});
    EXPECT_EQ(source.toplevels().toplevels[0].identifier, QStringLiteral("org.gnome.Nautilus"));
    EXPECT_EQ(source.toplevels().toplevels[0].processIdentifier, 5005);

    const QJsonObject second{{QStringLiteral("windows"),
                              QJsonArray{QJsonObject{{QStringLiteral("id"), QStringLiteral("8")},
                                                     {QStringLiteral("title"), QStringLiteral("Terminal")},
                                                     {QStringLiteral("active"), true}},
                                         QJsonObject{{QStringLiteral("id"), QStringLiteral("7")},
                                                     {QStringLiteral("title"), QStringLiteral("Files")}}}}};
    ASSERT_TRUE(gnome.command(op("windows", {{"list", second}})));
    ASSERT_TRUE(waitUntil([&] { return source.toplevels().toplevels.size() == 2u; }));
    EXPECT_EQ(titles(source.toplevels()), (QStringList{QStringLiteral("Terminal"), QStringLiteral("Files")}));
    EXPECT_TRUE(source.advice().isEmpty());

    ASSERT_TRUE(gnome.command(op("release")));
    ASSERT_TRUE(waitUntil([&] { return source.state() == HXWindowSource::State::Failed; }));
    EXPECT_TRUE(source.advice().isEmpty()) << "it was there: nothing to enable";
    source.stop();
}

// The extension's own window list, run by gjs against a model of GNOME Shell.
TEST(HXGnomeShellSource, FollowsTheRealExtensionCodeRunByGjs) {
    if (QStandardPaths::findExecutable(QStringLiteral("gjs")).isEmpty()) {
        if (qEnvironmentVariableIsSet("QD_NO_GJS_TESTS"))
            GTEST_SKIP() << "gjs is not installed";
        FAIL() << "gjs is not installed (set QD_NO_GJS_TESTS to skip)";
    }
    FakeShell shell({QStringLiteral(QD_GNOME_SHELL_STANDIN), QStringLiteral(QD_GNOME_WINDOW_LIST)},
                    QStringLiteral("gjs"));
    ASSERT_TRUE(shell.isReady()) << shell.lines().join('\n').constData();
    ASSERT_TRUE(shell.command(op("add", {{"id", 11},
                                         {"title", QStringLiteral("Files \u2014 Home")},
                                         {"class", QStringLiteral("org.gnome.Nautilus")},
                                         {"instance", QStringLiteral("org.gnome.Nautilus")},
                                         {"pid", 6006}})));
    ASSERT_TRUE(shell.command(op("add", {{"id", 12},
                                         {"title", QStringLiteral("Terminal")},
                                         {"class", QStringLiteral("gnome-terminal-server")},
                                         {"pid", 6007}})));
    ASSERT_TRUE(shell.command(op("focus", {{"id", 11}})));

    HXGnomeShellSource source(noEntries());
    source.start();
    ASSERT_TRUE(waitUntil([&] { return source.state() != HXWindowSource::State::Starting; }));
    ASSERT_EQ(source.state(), HXWindowSource::State::Answering) << source.failureReason().toStdString();
    const HXToplevelList& list = source.toplevels();
    ASSERT_EQ(titles(list), (QStringList{QStringLiteral("Files \u2014 Home"), QStringLiteral("Terminal")}));
    EXPECT_EQ(list.toplevels[0].identifier, QStringLiteral("org.gnome.Nautilus"));
    EXPECT_EQ(list.toplevels[0].processIdentifier, 6006);
    EXPECT_TRUE(list.toplevels[0].activated);
    EXPECT_FALSE(list.toplevels[1].activated);

    ASSERT_TRUE(shell.command(op("focus", {{"id", 12}})));
    ASSERT_TRUE(waitUntil([&] { return titled(list, QStringLiteral("Terminal"))->activated; }));
    EXPECT_EQ(list.toplevels.front().title, QStringLiteral("Terminal")) << "top of the stack first";
    ASSERT_TRUE(shell.command(op("title", {{"id", 12}, {"title", QStringLiteral("make \u2014 Terminal")}})));
    ASSERT_TRUE(waitUntil([&] { return titled(list, QStringLiteral("make \u2014 Terminal")) != nullptr; }));
    ASSERT_TRUE(shell.command(op("minimize", {{"id", 11}, {"on", true}})));
    ASSERT_TRUE(waitUntil([&] { return titled(list, QStringLiteral("Files \u2014 Home"))->minimized; }));
    ASSERT_TRUE(shell.command(op("workspace", {{"number", 2}})));
    ASSERT_TRUE(
        waitUntil([&] { return !titled(list, QStringLiteral("make \u2014 Terminal"))->onCurrentDesktop; }));
    ASSERT_TRUE(shell.command(op("move", {{"id", 12}, {"workspace", 2}})));
    ASSERT_TRUE(
        waitUntil([&] { return titled(list, QStringLiteral("make \u2014 Terminal"))->onCurrentDesktop; }));
    ASSERT_TRUE(shell.command(op("close", {{"id", 11}})));
    ASSERT_TRUE(waitUntil([&] { return list.toplevels.size() == 1u; }));

    // Disabling the extension lets go of everything it connected to and of its name.
    ASSERT_TRUE(shell.command(op("disable")));
    ASSERT_TRUE(waitUntil([&] { return source.state() == HXWindowSource::State::Failed; }));
    EXPECT_EQ(shell.count("leaked"), 0) << shell.lines().join('\n').constData();
    source.stop();
}

TEST(HXGnomeShellSource, WithoutTheExtensionItAdvisesHowToEnableIt) {
    HXGnomeShellSource source(noEntries());
    source.start();
    ASSERT_TRUE(waitUntil([&] { return source.state() != HXWindowSource::State::Starting; }));
    EXPECT_EQ(source.state(), HXWindowSource::State::Failed);
    EXPECT_TRUE(source.advice().contains(QStringLiteral("gnome-extensions enable qualdern@corvella.com")))
        << source.advice().toStdString();
}

TEST(HXDBusIdleTimeMonitor, ReportsInputWhenMuttersIdleTimeDropsAndNoticesWhenItGoes) {
    FakeShell gnome({QStringLiteral("--gnome")});
    ASSERT_TRUE(gnome.isReady());
    ASSERT_TRUE(gnome.command(op("idle", {{"ms", 5000}})));
    HXDBusIdleTimeMonitor monitor(HXDBusIdleTimeMonitor::mutterIdleMonitor(), QDBusConnection::sessionBus(),
                                  std::chrono::milliseconds(50));
    int activity = 0;
    ASSERT_TRUE(monitor.install([&] { ++activity; }));
    spin(300);
    EXPECT_EQ(activity, 0) << "idle for five seconds: no input";
    ASSERT_TRUE(gnome.command(op("idle", {{"ms", 20}})));
    ASSERT_TRUE(waitUntil([&] { return activity > 0; }));
    ASSERT_TRUE(gnome.command(op("idle", {{"ms", 9000}})));
    spin(200);
    const int settled = activity;
    spin(300);
    EXPECT_EQ(activity, settled);
    EXPECT_TRUE(monitor.isAnswering());
    gnome.quit();
    ASSERT_TRUE(waitUntil([&] { return !monitor.isAnswering(); }));
    monitor.remove();

    HXDBusIdleTimeMonitor absent(HXDBusIdleTimeMonitor::kdeScreenSaver(), QDBusConnection::sessionBus());
    EXPECT_FALSE(absent.install([] {})) << "nobody answers on the bus";
}

TEST(HXDesktopSession, PicksTheKWinScriptOnPlasmaAndFallsBackToX11WhenKWinGoes) {
    QD_REQUIRE_DISPLAY();
    HXLogging::Capture log;
    TestWindowApp x11({QStringLiteral("--class"), QStringLiteral("xeyes,XEyes"), QStringLiteral("--title"),
                       QStringLiteral("Eyes")});
    ASSERT_TRUE(x11.isReady());
    ASSERT_TRUE(runTool(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"),
                                                    QStringLiteral("--sync"), hexWindow(x11.window(0))}));
    FakeShell kwin({QStringLiteral("--kwin"), QStringLiteral("5")});
    ASSERT_TRUE(kwin.isReady());
    ASSERT_TRUE(kwin.command(addWindow(1, "Dolphin", "org.kde.dolphin", 4242)));
    ASSERT_TRUE(kwin.command(op("activate", {{"id", 1}})));

    QProcessEnvironment environment;
    environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("KDE"));
    environment.insert(QStringLiteral("DISPLAY"), qEnvironmentVariable("DISPLAY"));
    HXDesktopSession session(environment);
    QString reason;
    ASSERT_TRUE(session.open(&reason)) << reason.toStdString();
    ASSERT_TRUE(waitUntil([&] { return session.workspace().menuBarOwner().has_value(); }));
    EXPECT_EQ(session.workspace().menuBarOwner()->processIdentifier, 4242);
    EXPECT_TRUE(log.contains(QStringLiteral("window source: KWin script")));
    EXPECT_TRUE(log.contains(QStringLiteral("window sources to try: KWin script, X11")));

    kwin.quit();
    ASSERT_TRUE(waitUntil([&] {
        const auto front = session.workspace().menuBarOwner();
        return front && front->processIdentifier == x11.pid();
    }));
    EXPECT_TRUE(log.contains(QStringLiteral("window source KWin script stopped answering")));
    EXPECT_TRUE(log.contains(QStringLiteral("window source: X11")));
    const auto windows = session.windowServer().onScreenWindows();
    ASSERT_TRUE(windows);
    EXPECT_TRUE(std::any_of(windows->begin(), windows->end(),
                            [](const HXWindowDescription& d) { return d.name == QStringLiteral("Eyes"); }));
}

TEST(HXDesktopSession, OnGnomeWithoutTheExtensionAdvisesOnceAndUsesX11) {
    QD_REQUIRE_DISPLAY();
    TestWindowApp x11({QStringLiteral("--class"), QStringLiteral("xterm,XTerm"), QStringLiteral("--title"),
                       QStringLiteral("Term")});
    ASSERT_TRUE(x11.isReady());
    ASSERT_TRUE(runTool(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"),
                                                    QStringLiteral("--sync"), hexWindow(x11.window(0))}));
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
    environment.insert(QStringLiteral("DISPLAY"), qEnvironmentVariable("DISPLAY"));
    HXDesktopSession session(environment);
    QStringList advice;
    session.setAdviceHandler([&](const QString& text) { advice.append(text); });
    QString reason;
    ASSERT_TRUE(session.open(&reason)) << reason.toStdString();
    ASSERT_TRUE(waitUntil([&] {
        const auto front = session.workspace().menuBarOwner();
        return front && front->processIdentifier == x11.pid();
    }));
    ASSERT_EQ(advice.size(), 1);
    EXPECT_TRUE(advice.front().contains(QStringLiteral("gnome-extensions enable")));
    for (int tick = 0; tick < 10; ++tick)
        session.workspace().runningApplications();
    EXPECT_EQ(advice.size(), 1);
}
