// The tracker program on a real X server: what it records, how it hibernates when idle, that a second
// start hands its files over, and that termination signals save everything.
#include "X11TestSupport.h"
#include "foundation/HXDictionary.h"
#include "foundation/HXFrameString.h"
#include "foundation/HXUserDefaults.h"
#include "platform/x11/HXXkbKeyboardLayout.h"
#include "support/TestSupport.h"

#include <QDateTime>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <csignal>
#include <map>
#include <optional>
#include <utility>

#include <unistd.h>

using namespace HXKeys;

namespace {

// A private home for one tracker: its data and settings folders, and the process itself.
class TrackerRun {
public:
    TrackerRun() {
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    }
    ~TrackerRun() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // Another X server than the session's, for tests that stop or kill it.
    void setDisplay(const QByteArray& display) {
        m_environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
    }
    // Standard error is kept for errors() instead of passed on.
    void captureErrors() { m_captureErrors = true; }
    QString errors() {
        // Without an event loop of the test's own, the pipe is read here.
        m_process.setReadChannel(QProcess::StandardError);
        while (m_process.waitForReadyRead(0)) {
        }
        m_errors += QString::fromLocal8Bit(m_process.readAllStandardError());
        return m_errors;
    }
    qint64 pid() const { return m_process.processId(); }
    // The exit status once the program ended by itself, -1 when it still runs after the time.
    int waitForEnd(int milliseconds) {
        if (!m_process.waitForFinished(milliseconds))
            return -1;
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

    HXUserDefaults settings() const {
        return HXUserDefaults(m_home.filePath(QStringLiteral("config/Qualdern/Defaults.plist")));
    }
    void start(const QStringList& arguments = {}) {
        m_process.setProcessEnvironment(m_environment);
        m_process.setProcessChannelMode(m_captureErrors ? QProcess::SeparateChannels
                                                        : QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(QD_QUALDERN_PROGRAM), arguments);
        ASSERT_TRUE(m_process.waitForStarted(10000));
    }
    int runToEnd(const QStringList& arguments) {
        QProcess second;
        second.setProcessEnvironment(m_environment);
        second.start(QStringLiteral(QD_QUALDERN_PROGRAM), arguments);
        if (!second.waitForFinished(20000))
            return -1;
        return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
    }
    int terminate(int signalNumber) {
        ::kill(static_cast<pid_t>(m_process.processId()), signalNumber);
        if (!m_process.waitForFinished(15000))
            return -1;
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    bool isRunning() const { return m_process.state() == QProcess::Running; }
    HXDictionaryRef savedConfiguration() const {
        return HXDictionary::deeplyMutableDictionaryWithContentsOfFile(
            m_home.filePath(QStringLiteral("data/Qualdern/Configurations/Default.plist")));
    }
    QString path(const QString& name) const { return m_home.filePath(name); }

private:
    QTemporaryDir m_home;
    QProcessEnvironment m_environment;
    QProcess m_process;
    bool m_captureErrors = false;
    QString m_errors;
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

std::vector<double> log(const HXDictionary& record, HXKey key) {
    std::vector<double> values;
    if (const HXArrayRef array = record.arrayForKey(key)) {
        for (qsizetype i = 0; i < array->count(); ++i)
            values.push_back(array->numberAt(i));
    }
    return values;
}

// The stored form of Control-Option-H under "Hibernate".
HXDictionaryRef controlOptionH() {
    return makeDictionary({{QStringLiteral("Identifier"), QStringLiteral("Hibernate")},
                           {QStringLiteral("Visual Representation"), QStringLiteral("\u2303\u2325H")},
                           {QStringLiteral("Key Code"), 4},
                           {QStringLiteral("Modifier Flags"), 0xC0000}});
}

// Launching is complete, the hot key registered, once the tracker shows itself: here, with no tray on
// the test desktop, as its small window.
bool trackerWindowShows() {
    QProcess search;
    search.start(QStringLiteral("xdotool"),
                 {QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("^Qualdern$")});
    return search.waitForFinished(5000) && search.exitCode() == 0;
}

double now() {
    return QDateTime::currentMSecsSinceEpoch() / 1000.0;
}

} // namespace

TEST(HXTrackerProgram, RecordsApplicationsWindowsAndTheForegroundAndSavesOnTermination) {
    QD_REQUIRE_DISPLAY();
    TestWindowApp editor({QStringLiteral("--class"), QStringLiteral("editor,Editor"),
                          QStringLiteral("--title"), QStringLiteral("Notes \u2014 \u00DCberblick"),
                          QStringLiteral("--title"), QStringLiteral("Draft")});
    ASSERT_TRUE(editor.isReady());
    TrackerRun tracker;
    tracker.start();
    spin(1000);
    ASSERT_TRUE(runTool(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"),
                                                    QStringLiteral("--sync"), hexWindow(editor.window(0))}));
    spin(4000);
    ASSERT_TRUE(tracker.isRunning());
    // SIGTERM, as when the session ends: everything up to the last tick is saved.
    EXPECT_EQ(tracker.terminate(SIGTERM), 0);
    const HXDictionaryRef configuration = tracker.savedConfiguration();
    ASSERT_TRUE(configuration);
    const HXDictionaryRef app = applicationNamed(*configuration, QStringLiteral("Editor"));
    ASSERT_TRUE(app) << "no application named Editor";
    EXPECT_EQ(app->stringForKey(ApplicationID), QStringLiteral(QD_TEST_WINDOW_APP));
    EXPECT_GT(app->timeIntervalForKey(Time), 2.0);
    EXPECT_GT(app->timeIntervalForKey(FrontTime), 2.0);
    const HXDictionaryRef windows = app->dictionaryForKey(WindowsByName);
    ASSERT_TRUE(windows);
    const HXDictionaryRef notes = windows->dictionaryForKey(QStringLiteral("Notes \u2014 \u00DCberblick"));
    const HXDictionaryRef draft = windows->dictionaryForKey(QStringLiteral("Draft"));
    ASSERT_TRUE(notes);
    ASSERT_TRUE(draft);
    EXPECT_GT(notes->timeIntervalForKey(FrontTime), 2.0);
    EXPECT_GT(draft->timeIntervalForKey(Time), 2.0);
    // Only the window in front gets the foreground, apart from the moment before the activation.
    EXPECT_LT(draft->timeIntervalForKey(FrontTime), 1.5);
    // The saved state ends at the last tick: the entry is still open, as the next launch expects.
    EXPECT_EQ(log(*app, ActiveLog).size(), 1u);
    EXPECT_NEAR(configuration->timeIntervalForKey(u"Last Timestamp") - log(*app, ActiveLog)[0],
                configuration->timeIntervalForKey(u"Overall Time"), 0.01);
}

TEST(HXTrackerProgram, HibernatesWhenIdleAndWakesOnPointerMotion) {
    QD_REQUIRE_DISPLAY();
    TestWindowApp editor({QStringLiteral("--class"), QStringLiteral("idle,Idle"), QStringLiteral("--title"),
                          QStringLiteral("Idle test")});
    ASSERT_TRUE(editor.isReady());
    TrackerRun tracker;
    {
        HXUserDefaults settings = tracker.settings();
        settings.setInteger(u"Hibernation Interval", 2);
        ASSERT_TRUE(settings.synchronize());
    }
    tracker.start();
    // Two seconds of idleness, then four more asleep.
    spin(6000);
    ASSERT_TRUE(runTool(QStringLiteral("xdotool"),
                        {QStringLiteral("mousemove_relative"), QStringLiteral("5"), QStringLiteral("5")}));
    spin(2000);
    EXPECT_EQ(tracker.terminate(SIGINT), 0);
    const HXDictionaryRef configuration = tracker.savedConfiguration();
    ASSERT_TRUE(configuration);
    const HXDictionaryRef app = applicationNamed(*configuration, QStringLiteral("Idle"));
    ASSERT_TRUE(app);
    const std::vector<double> entries = log(*app, ActiveLog);
    ASSERT_EQ(entries.size(), 3u) << "expected an entry before the hibernation and one open after it";
    // The hibernated stretch (about four seconds) counts for nothing.
    EXPECT_GT(entries[2] + entries[1], 3.0);
    EXPECT_LT(app->timeIntervalForKey(Time), 5.0);
    EXPECT_GT(app->timeIntervalForKey(Time), 2.0);
}

TEST(HXTrackerProgram, SecondStartHandsItsFilesToTheRunningTracker) {
    QD_REQUIRE_DISPLAY();
    TrackerRun tracker;
    tracker.start();
    spin(2000);
    const QString csv = tracker.path(QStringLiteral("handed-over.csv"));
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Application,Foreground Begin (Unix Time),Foreground End (Unix Time)\nEditor,100.00,200.00\n");
    file.close();
    EXPECT_EQ(tracker.runToEnd({csv}), 0);
    EXPECT_TRUE(waitUntil(
        [] {
            QProcess search;
            search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--name"),
                                                     QStringLiteral("handed-over.csv")});
            return search.waitForFinished(5000) && search.exitCode() == 0;
        },
        10000));
    EXPECT_TRUE(tracker.isRunning());
    EXPECT_EQ(tracker.terminate(SIGTERM), 0);
    EXPECT_EQ(tracker.runToEnd({QStringLiteral("--no-such-option")}), 2);
}

TEST(HXTrackerProgram, SaysPlainlyWhenThereIsNoX11DisplayToTrack) {
    for (const bool wayland : {false, true}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        if (wayland)
            environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-0"));
        else
            environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(QD_QUALDERN_PROGRAM), {});
        ASSERT_TRUE(program.waitForFinished(20000));
        EXPECT_EQ(program.exitCode(), 1);
        const QString message = QString::fromUtf8(program.readAllStandardError());
        EXPECT_TRUE(message.contains(QStringLiteral("X11"))) << message.toStdString();
        EXPECT_EQ(message.contains(QStringLiteral("Wayland")), wayland) << message.toStdString();
    }
}

TEST(HXTrackerProgram, TheHibernationHotKeySuspendsAndResumesTracking) {
    QD_REQUIRE_DISPLAY();
    TestWindowApp editor({QStringLiteral("--class"), QStringLiteral("hotkey,HotKey"),
                          QStringLiteral("--title"), QStringLiteral("Hot key test")});
    ASSERT_TRUE(editor.isReady());
    TrackerRun tracker;
    {
        HXUserDefaults settings = tracker.settings();
        settings.setObject(u"Hibernate", controlOptionH());
        // Suspended until woken by hand, so that only the hot key wakes it.
        settings.setInteger(u"Hibernation Mode", 2);
        ASSERT_TRUE(settings.synchronize());
    }
    tracker.start();
    ASSERT_TRUE(waitUntil(trackerWindowShows, 15000)) << "the tracker did not finish launching";
    ASSERT_TRUE(runTool(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"),
                                                    QStringLiteral("--sync"), hexWindow(editor.window(0))}));
    spin(1500);
    auto deeplySuspended = [&tracker] {
        return tracker.settings().hasUserValue(u"Deep Hibernation");
    };
    ASSERT_TRUE(runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+alt+h")}));
    ASSERT_TRUE(waitUntil(deeplySuspended, 5000)) << "the hot key did not suspend tracking";
    const double suspended = now();
    spin(3000);
    ASSERT_TRUE(runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+alt+h")}));
    ASSERT_TRUE(waitUntil([&] { return !deeplySuspended(); }, 5000)) << "a second press did not resume";
    const double resumed = now();
    spin(1500);
    EXPECT_TRUE(tracker.settings().hasUserValue(u"Hibernate"));
    EXPECT_EQ(tracker.terminate(SIGTERM), 0);

    const HXDictionaryRef configuration = tracker.savedConfiguration();
    ASSERT_TRUE(configuration);
    const HXDictionaryRef app = applicationNamed(*configuration, QStringLiteral("HotKey"));
    ASSERT_TRUE(app);
    const std::vector<double> entries = log(*app, ActiveLog);
    ASSERT_EQ(entries.size(), 3u) << "one stretch before the suspension and one open after it";
    // Nothing was counted while suspended.
    EXPECT_LE(-entries[1], suspended + 0.1);
    EXPECT_GE(entries[2], resumed - 1.0);
    EXPECT_GT(entries[2] + entries[1], 2.5);
    const double last = configuration->timeIntervalForKey(u"Last Timestamp");
    EXPECT_NEAR(app->timeIntervalForKey(Time), (-entries[1] - entries[0]) + (last - entries[2]), 0.01);
}

TEST(HXTrackerProgram, AHotKeyHeldByAnotherProgramIsForgottenAtLaunch) {
    QD_REQUIRE_DISPLAY();
    // Another X client holds Control-Alt-H.
    xcb_connection_t* other = xcb_connect(nullptr, nullptr);
    ASSERT_FALSE(xcb_connection_has_error(other));
    const auto layout = HXXkbKeyboardLayout::fromServer(other);
    ASSERT_TRUE(layout);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
    xcb_generic_error_t* error = xcb_request_check(
        other, xcb_grab_key_checked(other, 1, root, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1,
                                    static_cast<xcb_keycode_t>(layout->nativeKeyCodeForKeyCode(4).value()),
                                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    ASSERT_FALSE(error);

    TrackerRun tracker;
    {
        HXUserDefaults settings = tracker.settings();
        settings.setObject(u"Hibernate", controlOptionH());
        ASSERT_TRUE(settings.synchronize());
    }
    tracker.start();
    EXPECT_TRUE(waitUntil([&tracker] { return !tracker.settings().hasUserValue(u"Hibernate"); }, 15000))
        << "the refused hot key is still stored";
    EXPECT_TRUE(tracker.isRunning());
    EXPECT_EQ(tracker.terminate(SIGTERM), 0);
    EXPECT_FALSE(tracker.settings().hasUserValue(u"Hibernate"));
    xcb_disconnect(other);
}

TEST(HXTrackerProgram, TheTimeAwayIsOfferedInTheAdHocTimerAndSignalsStillEndTheTracker) {
    QD_REQUIRE_DISPLAY();
    TrackerRun tracker;
    {
        HXUserDefaults settings = tracker.settings();
        settings.setInteger(u"Hibernation Interval", 1);
        settings.setBool(u"Hibernation Timer", true);
        ASSERT_TRUE(settings.synchronize());
    }
    tracker.start();
    ASSERT_TRUE(waitUntil(trackerWindowShows, 15000)) << "the tracker did not finish launching";
    spin(2500);
    ASSERT_TRUE(runTool(QStringLiteral("xdotool"),
                        {QStringLiteral("mousemove_relative"), QStringLiteral("5"), QStringLiteral("5")}));
    auto timerShows = [] {
        QProcess search;
        search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                 QStringLiteral("--name"), QStringLiteral("^Ad Hoc Timer$")});
        return search.waitForFinished(5000) && search.exitCode() == 0;
    };
    EXPECT_TRUE(waitUntil(timerShows, 5000)) << "coming back did not offer the time away";
    // A running timer keeps the Quit command from ending the tracker, but never a signal.
    EXPECT_EQ(tracker.terminate(SIGTERM), 0);
}

TEST(HXTrackerProgram, WindowModeOpensTheLiveReportAndKeepsTheChosenInterval) {
    QD_REQUIRE_DISPLAY();
    TrackerRun tracker;
    tracker.start();
    // The private X server has no tray: the program runs in window mode, with the live report open.
    QString window;
    ASSERT_TRUE(waitUntil(
        [&window] {
            QProcess search;
            search.start(QStringLiteral("xdotool"),
                         {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                          QStringLiteral("^Live Report$")});
            if (!search.waitForFinished(5000) || search.exitCode() != 0)
                return false;
            window = QString::fromUtf8(search.readAllStandardOutput()).split(u'\n').value(0).trimmed();
            return !window.isEmpty();
        },
        15000));
    ASSERT_TRUE(runTool(QStringLiteral("xdotool"),
                        {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window}));
    spin(500);
    // The selector has the keyboard: the next entry after "Today" is "This Week".
    ASSERT_TRUE(runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Down")}));
    EXPECT_TRUE(waitUntil(
        [&tracker] {
            const HXUserDefaults settings = tracker.settings();
            return settings.integerForKey(u"Report: Default: Interval") == 2 &&
                   settings.integerForKey(u"Report: Default: Interval: Last Selected") == 2;
        },
        10000));
    EXPECT_EQ(tracker.terminate(SIGTERM), 0);
    const HXUserDefaults settings = tracker.settings();
    EXPECT_EQ(settings.integerForKey(u"Report: Default: Interval"), 2);
    EXPECT_FALSE(settings.boolForKey(u"Report: Default: Closed"));
}

namespace {

// Runs a tool (xdotool and the like) on the given X server; true when it succeeds.
bool succeedsOn(const QByteArray& display, const QString& program, const QStringList& arguments) {
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!display.isEmpty())
        environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
    tool.setProcessEnvironment(environment);
    tool.start(program, arguments);
    return tool.waitForFinished(5000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

double timeOf(const HXDictionaryRef& configuration, const QString& name) {
    const HXDictionaryRef app = configuration ? applicationNamed(*configuration, name) : nullptr;
    return app ? app->timeIntervalForKey(Time) : -1;
}

} // namespace

TEST(HXTrackerProgram, TheXServerGoingAwaySavesEverythingUpToTheLastTick) {
    PrivateXServer x;
    ASSERT_TRUE(x.isRunning());
    ASSERT_TRUE(x.startWindowManager());
    TestWindowApp app({QStringLiteral("--class"), QStringLiteral("doomed,Doomed"), QStringLiteral("--title"),
                       QStringLiteral("Before the end")},
                      x.display());
    ASSERT_TRUE(app.isReady());
    TrackerRun tracker;
    tracker.setDisplay(x.display());
    tracker.captureErrors();
    tracker.start();
    // A first run: nothing saved so far, and the next automatic save half an hour away.
    ASSERT_TRUE(
        waitUntil([&] { return tracker.errors().contains(QStringLiteral("window source: X11")); }, 10000))
        << tracker.errors().toStdString();
    spin(3000);
    ASSERT_FALSE(tracker.savedConfiguration());
    x.kill();
    EXPECT_NE(tracker.waitForEnd(15000), -1);
    EXPECT_TRUE(tracker.errors().contains(QStringLiteral("the connection to the X server broke: saving")))
        << tracker.errors().toStdString();
    EXPECT_GT(timeOf(tracker.savedConfiguration(), QStringLiteral("Doomed")), 2.0);
}

TEST(HXTrackerProgram, AFrozenXServerDoesNotKeepTerminationFromSavingAndEnding) {
    PrivateXServer x;
    ASSERT_TRUE(x.isRunning());
    ASSERT_TRUE(x.startWindowManager());
    TestWindowApp app({QStringLiteral("--class"), QStringLiteral("frozen,Frozen"), QStringLiteral("--title"),
                       QStringLiteral("Cold")},
                      x.display());
    ASSERT_TRUE(app.isReady());
    TrackerRun tracker;
    tracker.setDisplay(x.display());
    tracker.captureErrors();
    tracker.start();
    ASSERT_TRUE(
        waitUntil([&] { return tracker.errors().contains(QStringLiteral("window source: X11")); }, 10000));
    spin(3000);
    // The server stops answering; ticks go on meanwhile, and then the session ends.
    x.pause();
    spin(2500);
    QElapsedTimer ending;
    ending.start();
    ::kill(static_cast<pid_t>(tracker.pid()), SIGTERM);
    const int status = tracker.waitForEnd(20000);
    const qint64 took = ending.elapsed();
    x.resume();
    EXPECT_EQ(status, 0) << tracker.errors().toStdString();
    EXPECT_LT(took, 10000);
    EXPECT_TRUE(tracker.errors().contains(QStringLiteral("The X11 display does not answer")))
        << tracker.errors().toStdString();
    EXPECT_GT(timeOf(tracker.savedConfiguration(), QStringLiteral("Frozen")), 2.0);
}

TEST(HXTrackerProgram, TerminationWhileTheStartUpAlertIsOpenEndsTheProgram) {
    QD_REQUIRE_DISPLAY();
    TrackerRun tracker;
    const QString configuration = tracker.path(QStringLiteral("data/Qualdern/Configurations/Default.plist"));
    QDir().mkpath(QFileInfo(configuration).absolutePath());
    QFile file(configuration);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("bplist00 damaged");
    file.close();
    tracker.captureErrors();
    tracker.start();
    // The alert about the unreadable file is the tracker's only window while it is open.
    ASSERT_TRUE(waitUntil(
        [&] {
            return succeedsOn(
                {}, QStringLiteral("xdotool"),
                {QStringLiteral("search"), QStringLiteral("--pid"), QString::number(tracker.pid())});
        },
        15000))
        << tracker.errors().toStdString();
    ASSERT_TRUE(tracker.isRunning());
    EXPECT_EQ(tracker.terminate(SIGTERM), 0) << tracker.errors().toStdString();
    EXPECT_TRUE(tracker.errors().contains(QStringLiteral("signal 15: saving and quitting")));
    // The unreadable file stays as it was, aside.
    EXPECT_EQ(QDir(QFileInfo(configuration).absolutePath())
                  .entryList({QStringLiteral("Default.plist.unreadable-*")})
                  .size(),
              1);
}

TEST(HXTrackerProgram, WaitsForAWindowManagerThatComesLaterOrRestarts) {
    PrivateXServer x;
    ASSERT_TRUE(x.isRunning());
    TestWindowApp app({QStringLiteral("--class"), QStringLiteral("early,Early"), QStringLiteral("--title"),
                       QStringLiteral("First window")},
                      x.display());
    ASSERT_TRUE(app.isReady());
    TrackerRun tracker;
    tracker.setDisplay(x.display());
    tracker.captureErrors();
    tracker.start();
    ASSERT_TRUE(waitUntil(
        [&] { return tracker.errors().contains(QStringLiteral("no window manager with EWMH support")); },
        10000))
        << tracker.errors().toStdString();
    spin(1000);
    ASSERT_TRUE(tracker.isRunning()) << tracker.errors().toStdString();
    // The private tracker keeps its lock private, like every other file.
    EXPECT_EQ(QFileInfo(tracker.path(QStringLiteral("data/Qualdern/tracker.lock"))).permissions() &
                  (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup |
                   QFileDevice::WriteOther),
              QFileDevice::Permissions());

    ASSERT_TRUE(x.startWindowManager());
    const QString found = QStringLiteral("found a window manager with EWMH support");
    ASSERT_TRUE(waitUntil([&] { return tracker.errors().contains(found); }, 10000))
        << tracker.errors().toStdString();
    spin(2500);
    // The window manager restarts.
    x.killWindowManager();
    ASSERT_TRUE(waitUntil(
        [&] { return tracker.errors().count(QStringLiteral("cannot read the window list")) == 1; }, 10000))
        << tracker.errors().toStdString();
    ASSERT_TRUE(x.startWindowManager());
    ASSERT_TRUE(waitUntil([&] { return tracker.errors().count(found) == 2; }, 10000))
        << tracker.errors().toStdString();
    spin(2500);
    EXPECT_EQ(tracker.terminate(SIGTERM), 0);
    EXPECT_EQ(tracker.errors().count(found), 2) << tracker.errors().toStdString();
    const HXDictionaryRef configuration = tracker.savedConfiguration();
    EXPECT_GT(timeOf(configuration, QStringLiteral("Early")), 4.0);
    const HXDictionaryRef early =
        configuration ? applicationNamed(*configuration, QStringLiteral("Early")) : nullptr;
    ASSERT_TRUE(early);
    // One stretch before the restart, one after it.
    EXPECT_EQ(log(*early, ActiveLog).size(), 3u);
}

TEST(HXTrackerProgram, ALockThatCannotBeMadeIsToldApartFromAnotherTracker) {
    QD_REQUIRE_DISPLAY();
    const auto run = [](TrackerRun& tracker, bool unprivileged) {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), tracker.path(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), tracker.path(QStringLiteral("config")));
        program.setProcessEnvironment(environment);
        if (unprivileged)
            program.start(QStringLiteral("setpriv"),
                          {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                           QStringLiteral("--clear-groups"), QStringLiteral(QD_QUALDERN_PROGRAM)});
        else
            program.start(QStringLiteral(QD_QUALDERN_PROGRAM), {});
        EXPECT_TRUE(program.waitForFinished(20000));
        return std::pair(program.exitCode(), QString::fromLocal8Bit(program.readAllStandardError()));
    };
    {
        // The data folder is a plain file.
        TrackerRun tracker;
        QFile file(tracker.path(QStringLiteral("data/Qualdern")));
        QDir().mkpath(tracker.path(QStringLiteral("data")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        const auto [status, errors] = run(tracker, false);
        EXPECT_EQ(status, 1);
        EXPECT_TRUE(errors.contains(QStringLiteral("cannot create the lock"))) << errors.toStdString();
        EXPECT_TRUE(errors.contains(QStringLiteral("is not a folder"))) << errors.toStdString();
    }
    {
        // The lock is a folder.
        TrackerRun tracker;
        ASSERT_TRUE(QDir().mkpath(tracker.path(QStringLiteral("data/Qualdern/tracker.lock"))));
        const auto [status, errors] = run(tracker, false);
        EXPECT_EQ(status, 1);
        EXPECT_TRUE(errors.contains(QStringLiteral("tracker.lock> is a folder"))) << errors.toStdString();
    }
    {
        // The data folder is read-only for the user (as the superuser can write anywhere, the tracker
        // then runs as nobody).
        TrackerRun tracker;
        ASSERT_TRUE(QDir().mkpath(tracker.path(QStringLiteral("data/Qualdern"))));
        const bool asRoot = ::geteuid() == 0;
        for (const QString& folder : {tracker.path(QString()), tracker.path(QStringLiteral("data"))})
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                              QFileDevice::ExeOther);
        QFile::setPermissions(tracker.path(QStringLiteral("data/Qualdern")),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                  QFileDevice::ExeOther);
        const auto [status, errors] = run(tracker, asRoot);
        EXPECT_EQ(status, 1);
        EXPECT_TRUE(errors.contains(QStringLiteral("cannot create the lock"))) << errors.toStdString();
        EXPECT_TRUE(errors.contains(QStringLiteral("no permission"))) << errors.toStdString();
        QFile::setPermissions(tracker.path(QStringLiteral("data/Qualdern")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}

namespace {

// The geometry of the visible window with exactly this title (its content, without the window manager's
// frame), empty when there is none.
QRect visibleWindowGeometry(const QString& title) {
    QProcess search;
    search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                             QStringLiteral("--name"), QStringLiteral("^%1$").arg(title)});
    if (!search.waitForFinished(5000) || search.exitCode() != 0)
        return {};
    const QString window = QString::fromUtf8(search.readAllStandardOutput()).split(u'\n').value(0).trimmed();
    // xwininfo, since xdotool counts the frame in twice under a reparenting window manager.
    QProcess info;
    info.start(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window});
    if (!info.waitForFinished(5000) || info.exitCode() != 0)
        return {};
    std::map<QString, int> values;
    for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split(u'\n')) {
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0)
            values[line.left(colon).trimmed()] = line.mid(colon + 1).trimmed().toInt();
    }
    return QRect(values[QStringLiteral("Absolute upper-left X")],
                 values[QStringLiteral("Absolute upper-left Y")], values[QStringLiteral("Width")],
                 values[QStringLiteral("Height")]);
}

} // namespace

TEST(HXTrackerProgram, ThePreferencesOpenAgainWhereTheyWereWhenTheProgramEnded) {
    QD_REQUIRE_DISPLAY();
    TrackerRun tracker;
    const QRect stored(220, 140, 760, 560);
    {
        HXUserDefaults settings = tracker.settings();
        settings.setString(u"Preferences Frame", QStringLiteral("220 140 760 560"));
        ASSERT_TRUE(settings.synchronize());
    }
    tracker.start();
    QRect shown;
    ASSERT_TRUE(waitUntil(
        [&shown] {
            shown = visibleWindowGeometry(QStringLiteral("Preferences"));
            return !shown.isEmpty();
        },
        15000));
    // Its content where it was; the size is the section's.
    EXPECT_EQ(shown.topLeft(), stored.topLeft());
    EXPECT_TRUE(
        waitUntil([&tracker] { return !tracker.settings().hasUserValue(u"Preferences Frame"); }, 10000))
        << "the frame is used once";

    // Ending with the window open keeps its frame for the next start.
    EXPECT_EQ(tracker.terminate(SIGTERM), 0);
    const std::optional<QRect> kept =
        HXFrameFromString(tracker.settings().stringForKey(u"Preferences Frame"));
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->topLeft(), stored.topLeft()) << "the same place again, not moved by the window's frame";
    EXPECT_EQ(kept->size(), shown.size());
}
