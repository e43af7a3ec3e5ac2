// The tracker program on a real headless sway: the windows of foot terminals and their foreground time,
// an X11 program under Xwayland counted once, idle detection through the compositor, and the fall back
// to X11 when the compositor goes away. Compositor, clients and tracker run as the test user.
#include "X11TestSupport.h"
#include "foundation/HXDictionary.h"
#include "foundation/HXUserDefaults.h"
#include "platform/wayland/SwaySession.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>

using namespace HXKeys;

namespace {

// One tracker in the sway session, with its data and settings in a folder of the session user's.
class WaylandTracker {
public:
    explicit WaylandTracker(SwaySession& session) : m_session(session) {
        m_home = session.folder() + QStringLiteral("/tracker");
        QDir().mkpath(m_home);
        session.user().own(m_home);
    }
    ~WaylandTracker() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    void setHibernationInterval(int seconds) {
        const QString config = m_home + QStringLiteral("/config/Qualdern");
        QDir().mkpath(config);
        HXUserDefaults settings(config + QStringLiteral("/Defaults.plist"));
        settings.setInteger(u"Hibernation Interval", seconds);
        ASSERT_TRUE(settings.synchronize());
        for (const QString& path :
             {m_home + QStringLiteral("/config"), config, config + QStringLiteral("/Defaults.plist")})
            m_session.user().own(path);
    }
    bool start(QProcessEnvironment extra = {}) {
        const QString program = m_session.runnable(QStringLiteral(QD_QUALDERN_PROGRAM));
        extra.insert(QStringLiteral("XDG_DATA_HOME"), m_home + QStringLiteral("/data"));
        extra.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home + QStringLiteral("/config"));
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setReadChannel(QProcess::StandardError);
        return !program.isEmpty() && m_session.start(m_process, program, {}, extra);
    }
    int terminate() {
        ::kill(static_cast<pid_t>(m_process.processId()), SIGTERM);
        if (!m_process.waitForFinished(15000))
            return -1;
        m_log += m_process.readAllStandardError();
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    // Asks the system: no event loop watches the process here.
    bool isRunning() { return m_process.state() == QProcess::Running && !m_process.waitForFinished(0); }
    // What it logged so far.
    QString log() {
        // No event loop reads for the process here.
        m_process.waitForReadyRead(20);
        m_log += m_process.readAllStandardError();
        return QString::fromUtf8(m_log);
    }
    bool waitForLog(const QString& fragment, int timeoutMs = 10000) {
        return waitUntil([&] { return log().contains(fragment); }, timeoutMs);
    }
    HXDictionaryRef savedConfiguration() const {
        return HXDictionary::deeplyMutableDictionaryWithContentsOfFile(
            m_home + QStringLiteral("/data/Qualdern/Configurations/Default.plist"));
    }

private:
    SwaySession& m_session;
    QString m_home;
    QProcess m_process;
    QByteArray m_log;
};

HXDictionaryRef applicationNamed(const HXDictionary& configuration, const QString& name) {
    const HXDictionaryRef applications = configuration.dictionaryForKey(u"Applications");
    if (!applications)
        return nullptr;
    for (const HXDictionary::Entry& e : applications->entries()) {
        if (e.value.toDictionary() && e.value.toDictionary()->stringForKey(Name) == name)
            return e.value.toDictionary();
    }
    return nullptr;
}

HXDictionaryRef windowNamed(const HXDictionary& application, const QString& title) {
    const HXDictionaryRef windows = application.dictionaryForKey(WindowsByName);
    return windows ? windows->dictionaryForKey(title) : nullptr;
}

int countWindowsTitled(const HXDictionary& configuration, const QString& title) {
    int count = 0;
    for (const HXDictionary::Entry& e : configuration.dictionaryForKey(u"Applications")->entries()) {
        if (e.value.toDictionary() && windowNamed(*e.value.toDictionary(), title))
            ++count;
    }
    return count;
}

std::vector<double> log(const HXDictionary& record, HXKey key) {
    std::vector<double> values;
    if (const HXArrayRef array = record.arrayForKey(key)) {
        for (qsizetype i = 0; i < array->count(); ++i)
            values.push_back(array->numberAt(i));
    }
    return values;
}

} // namespace

TEST(HXTrackerWayland, RecordsTerminalWindowsAndTheirForegroundTimeWithoutXwayland) {
    SwaySession sway;
    QD_REQUIRE_SWAY(sway);
    QProcess alpha, beta, unlisted;
    ASSERT_TRUE(sway.startTerminal(alpha, QStringLiteral("Alpha notes"), QStringLiteral("foot")));
    ASSERT_TRUE(sway.startTerminal(beta, QStringLiteral("Beta \u2014 Entwurf"), QStringLiteral("foot")));
    ASSERT_TRUE(
        sway.startTerminal(unlisted, QStringLiteral("Side console"), QStringLiteral("org.example.Unlisted")));
    WaylandTracker tracker(sway);
    ASSERT_TRUE(tracker.start());
    ASSERT_TRUE(tracker.waitForLog(QStringLiteral("window source: wlroots foreign-toplevel")))
        << tracker.log().toStdString();
    // Its own window is on the compositor too: no X11 is needed.
    ASSERT_TRUE(sway.waitForWindow(QStringLiteral("Qualdern")));
    ASSERT_TRUE(sway.focus(QStringLiteral("Alpha notes")));
    spin(3000);
    ASSERT_TRUE(sway.focus(QStringLiteral("Beta \u2014 Entwurf")));
    spin(3000);
    ASSERT_TRUE(tracker.isRunning());
    EXPECT_EQ(tracker.terminate(), 0);

    const QString logged = tracker.log();
    EXPECT_EQ(logged.count(QStringLiteral("window source: ")), 1) << logged.toStdString();
    EXPECT_TRUE(logged.contains(QStringLiteral("idle source: org_kde_kwin_idle"))) << logged.toStdString();
    const HXDictionaryRef configuration = tracker.savedConfiguration();
    ASSERT_TRUE(configuration);
    // The app_id matches foot's desktop entry as a WM_CLASS would; both windows are one application.
    const HXDictionaryRef foot = applicationNamed(*configuration, QStringLiteral("Foot"));
    ASSERT_TRUE(foot) << "no application named Foot";
    EXPECT_EQ(foot->stringForKey(ApplicationID), QStringLiteral("foot"));
    EXPECT_GT(foot->timeIntervalForKey(Time), 5.0);
    EXPECT_GT(foot->timeIntervalForKey(FrontTime), 4.5);
    const HXDictionaryRef alphaRecord = windowNamed(*foot, QStringLiteral("Alpha notes"));
    const HXDictionaryRef betaRecord = windowNamed(*foot, QStringLiteral("Beta \u2014 Entwurf"));
    ASSERT_TRUE(alphaRecord);
    ASSERT_TRUE(betaRecord);
    EXPECT_GT(alphaRecord->timeIntervalForKey(FrontTime), 2.0);
    EXPECT_LT(alphaRecord->timeIntervalForKey(FrontTime), 4.0);
    EXPECT_GT(betaRecord->timeIntervalForKey(FrontTime), 2.0);
    EXPECT_LT(betaRecord->timeIntervalForKey(FrontTime), 4.0);
    EXPECT_GT(betaRecord->timeIntervalForKey(Time), 5.0);
    // Without a desktop entry or a process, the app_id names the application and keys it.
    const HXDictionaryRef other = applicationNamed(*configuration, QStringLiteral("org.example.Unlisted"));
    ASSERT_TRUE(other);
    EXPECT_EQ(other->stringForKey(ApplicationID), QStringLiteral("org.example.Unlisted"));
    ASSERT_TRUE(windowNamed(*other, QStringLiteral("Side console")));
    EXPECT_GT(other->timeIntervalForKey(Time), 5.0);
    EXPECT_LT(other->timeIntervalForKey(FrontTime), 1.0);
}

TEST(HXTrackerWayland, CountsAnX11ProgramUnderXwaylandOnce) {
    SwaySession sway;
    QD_REQUIRE_SWAY(sway);
    // Started by sway, so that it has sway's Xwayland display; it tells the tracker that display too.
    const QString windowApp = sway.runnable(QStringLiteral(QD_TEST_WINDOW_APP));
    const QString displayFile = sway.folder() + QStringLiteral("/display");
    // Its commands come through a pipe the test holds open: closing it at the end ends the program, which
    // sway, not the test, started.
    const QString input = sway.folder() + QStringLiteral("/x11-program.in");
    ASSERT_EQ(::mkfifo(QFile::encodeName(input).constData(), 0600), 0);
    sway.user().own(input);
    QFile holdOpen(input);
    ASSERT_TRUE(holdOpen.open(QIODevice::ReadWrite | QIODevice::Unbuffered));
    // A script, since sway's command language has its own meaning for commas and semicolons.
    const QString script = sway.folder() + QStringLiteral("/x11-program.sh");
    QFile scriptFile(script);
    ASSERT_TRUE(scriptFile.open(QIODevice::WriteOnly));
    scriptFile.write(
        QStringLiteral("echo \"$DISPLAY\" > %1\nexec %2 --class xtool,XTool --title 'Drawing board' < %3\n")
            .arg(displayFile, windowApp, input)
            .toUtf8());
    scriptFile.close();
    sway.user().own(script);
    ASSERT_TRUE(sway.message({QStringLiteral("exec"), QStringLiteral("sh ") + script}));
    ASSERT_TRUE(sway.waitForWindow(QStringLiteral("Drawing board"), 20000));
    QFile file(displayFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString display = QString::fromUtf8(file.readAll().trimmed());
    ASSERT_FALSE(display.isEmpty());
    QProcess terminal;
    ASSERT_TRUE(sway.startTerminal(terminal, QStringLiteral("Shell"), QStringLiteral("foot")));

    WaylandTracker tracker(sway);
    QProcessEnvironment extra;
    extra.insert(QStringLiteral("DISPLAY"), display);
    ASSERT_TRUE(tracker.start(extra));
    ASSERT_TRUE(tracker.waitForLog(QStringLiteral("window source: wlroots foreign-toplevel")));
    ASSERT_TRUE(sway.waitForWindow(QStringLiteral("Qualdern")));
    ASSERT_TRUE(sway.focus(QStringLiteral("Drawing board")));
    spin(3000);
    EXPECT_EQ(tracker.terminate(), 0);
    const QString logged = tracker.log();
    EXPECT_FALSE(logged.contains(QStringLiteral("window source: X11"))) << logged.toStdString();
    const HXDictionaryRef configuration = tracker.savedConfiguration();
    ASSERT_TRUE(configuration);
    EXPECT_EQ(countWindowsTitled(*configuration, QStringLiteral("Drawing board")), 1);
    const HXDictionaryRef app = applicationNamed(*configuration, QStringLiteral("XTool"));
    ASSERT_TRUE(app) << "the X11 program is known by its WM_CLASS class";
    const HXDictionaryRef board = windowNamed(*app, QStringLiteral("Drawing board"));
    ASSERT_TRUE(board);
    EXPECT_GT(board->timeIntervalForKey(FrontTime), 1.5);
}

TEST(HXTrackerWayland, HibernatesWhenTheCompositorSaysIdleAndWakesOnKeyboardInput) {
    SwaySession sway;
    QD_REQUIRE_SWAY(sway);
    QProcess terminal;
    ASSERT_TRUE(sway.startTerminal(terminal, QStringLiteral("Idle test"), QStringLiteral("foot")));
    WaylandTracker tracker(sway);
    tracker.setHibernationInterval(2);
    ASSERT_TRUE(tracker.start());
    ASSERT_TRUE(tracker.waitForLog(QStringLiteral("idle source: org_kde_kwin_idle")));
    // Two seconds of idleness, then four more asleep; then a key typed through a virtual keyboard.
    spin(6000);
    QProcess type;
    ASSERT_TRUE(sway.start(type, QStringLiteral("wtype"), {QStringLiteral("x")}));
    ASSERT_TRUE(type.waitForFinished(10000));
    ASSERT_EQ(type.exitCode(), 0) << type.readAllStandardError().toStdString();
    spin(2500);
    EXPECT_EQ(tracker.terminate(), 0);
    const HXDictionaryRef configuration = tracker.savedConfiguration();
    ASSERT_TRUE(configuration);
    const HXDictionaryRef app = applicationNamed(*configuration, QStringLiteral("Foot"));
    ASSERT_TRUE(app);
    const std::vector<double> entries = log(*app, ActiveLog);
    ASSERT_EQ(entries.size(), 3u) << "expected an entry before the hibernation and one open after it";
    // The hibernated stretch counts for nothing.
    EXPECT_GT(entries[2] + entries[1], 3.0);
    EXPECT_LT(app->timeIntervalForKey(Time), 5.5);
    EXPECT_GT(app->timeIntervalForKey(Time), 2.0);
}

TEST(HXTrackerWayland, FallsBackToX11WhenTheCompositorGoesAway) {
    QD_REQUIRE_DISPLAY();
    SwaySession sway;
    QD_REQUIRE_SWAY(sway);
    QProcess terminal;
    ASSERT_TRUE(sway.startTerminal(terminal, QStringLiteral("Before the crash"), QStringLiteral("foot")));
    // An X11 desktop beside it (the tests' Xvfb), which the tracker's own windows use, so that it
    // outlives the compositor. The X11 program is the session user's too, as in a real session.
    QProcessEnvironment onX11;
    onX11.insert(QStringLiteral("DISPLAY"), qEnvironmentVariable("DISPLAY"));
    QProcess x11;
    ASSERT_TRUE(sway.start(x11, sway.runnable(QStringLiteral(QD_TEST_WINDOW_APP)),
                           {QStringLiteral("--class"), QStringLiteral("survivor,Survivor"),
                            QStringLiteral("--title"), QStringLiteral("After the crash")},
                           onX11));
    ASSERT_TRUE(
        runTool(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--sync"),
                                            QStringLiteral("--name"), QStringLiteral("After the crash"),
                                            QStringLiteral("windowactivate"), QStringLiteral("--sync")}));
    WaylandTracker tracker(sway);
    QProcessEnvironment extra = onX11;
    extra.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    ASSERT_TRUE(tracker.start(extra));
    ASSERT_TRUE(tracker.waitForLog(QStringLiteral("window source: wlroots foreign-toplevel")));
    ASSERT_TRUE(sway.focus(QStringLiteral("Before the crash")));
    spin(2500);
    sway.kill();
    ASSERT_TRUE(tracker.waitForLog(QStringLiteral("window source: X11"))) << tracker.log().toStdString();
    spin(2500);
    ASSERT_TRUE(tracker.isRunning());
    EXPECT_EQ(tracker.terminate(), 0);
    const QString logged = tracker.log();
    EXPECT_TRUE(logged.contains(QStringLiteral("window source wlroots foreign-toplevel stopped answering")))
        << logged.toStdString();
    const HXDictionaryRef configuration = tracker.savedConfiguration();
    ASSERT_TRUE(configuration);
    const HXDictionaryRef foot = applicationNamed(*configuration, QStringLiteral("Foot"));
    ASSERT_TRUE(foot);
    EXPECT_GT(foot->timeIntervalForKey(FrontTime), 1.0);
    const HXDictionaryRef survivor = applicationNamed(*configuration, QStringLiteral("Survivor"));
    ASSERT_TRUE(survivor);
    const HXDictionaryRef after = windowNamed(*survivor, QStringLiteral("After the crash"));
    ASSERT_TRUE(after);
    EXPECT_GT(after->timeIntervalForKey(FrontTime), 1.0);
}
