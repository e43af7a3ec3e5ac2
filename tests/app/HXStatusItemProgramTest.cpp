// The tracker program's presence on a real X server: a tray icon in an XEmbed tray (Debian's trayer) and,
// separately, in a StatusNotifierItem tray (a stand-in watcher on the session bus), whose click opens the
// panel with its scope bar and whose right click is the main menu; window mode for a session without a
// tray; the autostart entry of status item mode; the windows' icon drawn from the live report; starting
// the program again. What shows is read as a screen reader would, through AT-SPI.
#include "X11TestSupport.h"
#include "foundation/HXUserDefaults.h"
#include "platform/x11/HXX11DesktopPresence.h"

#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {

QString toolOutput(const QString& program, const QStringList& arguments, int* status = nullptr) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
    }
    if (status)
        *status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A window as xwininfo sees it.
struct WindowInfo {
    bool viewable = false;
    QRect geometry;
};

WindowInfo windowInfo(const QString& id) {
    const QString text = toolOutput(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
    const auto number = [&text](const char* label) {
        const QRegularExpression pattern(QString::fromLatin1(label) + QStringLiteral(":\\s+(-?\\d+)"));
        return pattern.match(text).captured(1).toInt();
    };
    WindowInfo info;
    info.viewable = text.contains(QStringLiteral("IsViewable"));
    info.geometry = QRect(number("Absolute upper-left X"), number("Absolute upper-left Y"), number("Width"),
                          number("Height"));
    return info;
}

QStringList programWindows() {
    return toolOutput(QStringLiteral("xdotool"),
                      {QStringLiteral("search"), QStringLiteral("--classname"), QStringLiteral("^qualdern$")})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The program's mapped windows no larger than the size (its tray icon in an XEmbed tray).
QString findWindow(const std::function<bool(const WindowInfo&)>& matches) {
    for (const QString& id : programWindows()) {
        if (matches(windowInfo(id)))
            return id;
    }
    return QString();
}

// What a screen reader finds showing in the program, "role: name" a line.
QStringList showing() {
    return toolOutput(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(QD_ATSPI_SHOWING_SCRIPT), QStringLiteral("Qualdern")})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Presses a showing button as a screen reader would.
bool press(const QString& object) {
    int status = -1;
    toolOutput(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral(QD_ATSPI_SHOWING_SCRIPT), QStringLiteral("Qualdern"),
                QStringLiteral("--press"), object},
               &status);
    return status == 0;
}

bool click(const QPoint& point, int button) {
    return runTool(QStringLiteral("xdotool"),
                   {QStringLiteral("mousemove"), QString::number(point.x()), QString::number(point.y()),
                    QStringLiteral("click"), QString::number(button)});
}

// A child process that ends with the test.
class Helper {
public:
    // Its output is read only when asked for; otherwise it, and whatever it starts, writes nowhere, so
    // that nothing left behind holds the test's output open.
    Helper(const QString& program, const QStringList& arguments, bool readOutput = false) {
        if (!readOutput)
            m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.start(program, arguments);
        m_started = m_process.waitForStarted(5000);
    }
    ~Helper() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(3000)) {
                m_process.kill();
                m_process.waitForFinished(3000);
            }
        }
    }
    bool started() const { return m_started; }
    // Waits for a line starting with the prefix; gives the rest of it.
    std::optional<QString> waitForLine(const QString& prefix, int timeoutMs = 10000) {
        std::optional<QString> found;
        waitUntil(
            [&] {
                while (m_process.canReadLine()) {
                    const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
                    if (line.startsWith(prefix)) {
                        found = line.mid(prefix.size()).trimmed();
                        return true;
                    }
                }
                m_process.waitForReadyRead(50);
                return false;
            },
            timeoutMs);
        return found;
    }

private:
    QProcess m_process;
    bool m_started = false;
};

// One tracker with a private home and the accessibility bus it registers with.
class TrackerRun {
public:
    explicit TrackerRun(HXDictionaryRef settings) {
        HXUserDefaults defaults(m_home.filePath(QStringLiteral("config/Qualdern/Defaults.plist")));
        for (const HXDictionary::Entry& e : settings->entries())
            defaults.setObject(e.key, e.value);
        defaults.synchronize();
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        m_environment.insert(QStringLiteral("QT_ACCESSIBILITY"), QStringLiteral("1"));
        m_environment.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    }
    ~TrackerRun() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    void start() {
        m_process.setProcessEnvironment(m_environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(QD_QUALDERN_PROGRAM), {});
        ASSERT_TRUE(m_process.waitForStarted(10000));
    }
    int runAgain() {
        QProcess second;
        second.setProcessEnvironment(m_environment);
        second.start(QStringLiteral(QD_QUALDERN_PROGRAM), {});
        return second.waitForFinished(20000) && second.exitStatus() == QProcess::NormalExit
                   ? second.exitCode()
                   : -1;
    }
    int terminate(int signalNumber) {
        ::kill(static_cast<pid_t>(m_process.processId()), signalNumber);
        return waitForEnd();
    }
    int waitForEnd() {
        if (!m_process.waitForFinished(15000))
            return -1;
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    bool isRunning() const { return m_process.state() == QProcess::Running; }
    QString autostartEntry() const {
        return m_home.filePath(QStringLiteral("config/autostart/com.corvella.Qualdern.desktop"));
    }
    HXUserDefaults settings() const {
        return HXUserDefaults(m_home.filePath(QStringLiteral("config/Qualdern/Defaults.plist")));
    }

private:
    QTemporaryDir m_home;
    QProcessEnvironment m_environment;
    QProcess m_process;
};

HXDictionaryRef statusItemSettings(bool statusItem) {
    HXDictionaryRef settings = HXDictionary::create();
    settings->setValue(u"Status Item", statusItem);
    settings->setValue(u"Quit Without Confirmation", true);
    return settings;
}

bool accessibilityBusRuns() {
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    return bus && bus->isServiceRegistered(QStringLiteral("org.a11y.Bus")).value();
}

class StatusItemProgram : public testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            return;
        if (!accessibilityBusRuns())
            m_accessibilityBus =
                std::make_unique<Helper>(QStringLiteral("/usr/libexec/at-spi-bus-launcher"),
                                         QStringList{QStringLiteral("--launch-immediately")});
        waitUntil(accessibilityBusRuns, 10000);
    }
    // trayer at the top right of the screen, as the tray of a panel.
    std::unique_ptr<Helper> startXEmbedTray() {
        auto tray = std::make_unique<Helper>(
            QStringLiteral("trayer"),
            QStringList{QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                        QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("request"),
                        QStringLiteral("--height"), QStringLiteral("24"), QStringLiteral("--SetDockType"),
                        QStringLiteral("true"), QStringLiteral("--SetPartialStrut"), QStringLiteral("true")});
        const HXX11DesktopPresence shell;
        EXPECT_TRUE(waitUntil([&shell] { return shell.hasXEmbedTrayManager(); }, 10000))
            << "trayer did not start";
        return tray;
    }
    // Waits until every text shows (as "role: name" lines ending with it).
    static bool waitForShowing(const QStringList& texts, int timeoutMs = 10000) {
        return waitUntil(
            [&texts] {
                const QStringList now = showing();
                for (const QString& text : texts) {
                    if (!now.contains(text))
                        return false;
                }
                return true;
            },
            timeoutMs);
    }

private:
    std::unique_ptr<Helper> m_accessibilityBus;
};

const QStringList kScopeBar{QStringLiteral("check box: Organizer"),
                            QStringLiteral("check box: Activity Report")};
// The list window: the organizer under its menu bar.
const QStringList kListWindow{QStringLiteral("menu item: File"), QStringLiteral("tree: Apps")};

} // namespace

TEST_F(StatusItemProgram, InAnXEmbedTrayTheIconOpensThePanelAndItsRightClickIsTheMainMenu) {
    QD_REQUIRE_DISPLAY();
    const auto tray = startXEmbedTray();
    TrackerRun tracker(statusItemSettings(true));
    tracker.start();
    QString icon;
    ASSERT_TRUE(waitUntil(
        [&icon] {
            icon = findWindow([](const WindowInfo& w) { return w.viewable && w.geometry.width() <= 48; });
            return !icon.isEmpty();
        },
        15000))
        << "no tray icon";
    const QRect iconFrame = windowInfo(icon).geometry;
    EXPECT_LT(iconFrame.top(), 30) << "in the tray at the top";
    EXPECT_FALSE(showing().contains(kScopeBar.front())) << "no panel before the click";

    ASSERT_TRUE(click(iconFrame.center(), 1));
    ASSERT_TRUE(waitForShowing(kScopeBar)) << showing().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(showing().contains(QStringLiteral("push button: Main Menu")));
    // Beside the icon: below the tray, its right edge on the icon's.
    const QString panel =
        findWindow([](const WindowInfo& w) { return w.viewable && w.geometry.width() >= 510; });
    ASSERT_FALSE(panel.isEmpty());
    const QRect panelFrame = windowInfo(panel).geometry;
    EXPECT_GE(panelFrame.top(), iconFrame.bottom());
    EXPECT_NEAR(panelFrame.right(), iconFrame.right(), 2);

    // Escape fades it out.
    ASSERT_TRUE(runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Escape")}));
    EXPECT_TRUE(waitUntil([&panel] { return !windowInfo(panel).viewable; }));

    // The right click: a menu beside the icon (pop-up menus are not in the accessibility tree, so the
    // test chooses its first command and sees what that does).
    const auto popupMenu = [] {
        return findWindow([](const WindowInfo& w) {
            return w.viewable && w.geometry.width() > 48 && w.geometry.width() < 500 && w.geometry.top() < 60;
        });
    };
    ASSERT_TRUE(click(iconFrame.center(), 3));
    ASSERT_TRUE(waitUntil([&] { return !popupMenu().isEmpty(); })) << "no menu";
    ASSERT_TRUE(runTool(QStringLiteral("xdotool"),
                        {QStringLiteral("key"), QStringLiteral("Down"), QStringLiteral("Return")}));
    // "Suspend Timers..." asks how to wake up.
    EXPECT_TRUE(
        waitForShowing({QStringLiteral("alert: Qualdern"), QStringLiteral("push button: Wake Up Manually")}))
        << showing().join(QLatin1Char('\n')).toStdString();
    ASSERT_TRUE(runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Escape")}));
    ASSERT_TRUE(waitUntil([] { return !showing().contains(QStringLiteral("alert: Qualdern")); }));

    // Status item mode makes the program start with the session; the Quit command (the main menu's
    // last entry) takes that back. A right click while the alert is still going can be lost, so the
    // click is repeated until the menu opens.
    ASSERT_TRUE(QFileInfo::exists(tracker.autostartEntry()));
    ASSERT_TRUE(waitUntil(
        [&] {
            return click(iconFrame.center(), 3) && waitUntil([&] { return !popupMenu().isEmpty(); }, 1000);
        },
        10000))
        << "no menu";
    ASSERT_TRUE(runTool(QStringLiteral("xdotool"),
                        {QStringLiteral("key"), QStringLiteral("Up"), QStringLiteral("Return")}));
    EXPECT_EQ(tracker.waitForEnd(), 0);
    EXPECT_FALSE(QFileInfo::exists(tracker.autostartEntry()));
}

TEST_F(StatusItemProgram, InAStatusNotifierTrayTheItemRegistersOpensThePanelAndExportsTheMainMenu) {
    QD_REQUIRE_DISPLAY();
    Helper watcher(QStringLiteral(QD_FAKE_STATUS_NOTIFIER_WATCHER), {}, true);
    ASSERT_TRUE(watcher.waitForLine(QStringLiteral("ready")));
    TrackerRun tracker(statusItemSettings(true));
    tracker.start();
    const std::optional<QString> item = watcher.waitForLine(QStringLiteral("item "), 15000);
    ASSERT_TRUE(item) << "the tray icon did not register with the watcher";
    EXPECT_TRUE(
        findWindow([](const WindowInfo& w) { return w.viewable && w.geometry.width() <= 48; }).isEmpty())
        << "no XEmbed icon beside the item";

    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString service = item->section(QLatin1Char('/'), 0, 0);
    const auto property = [&](const QString& name) {
        QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/StatusNotifierItem"),
                                                           QStringLiteral("org.freedesktop.DBus.Properties"),
                                                           QStringLiteral("Get"));
        call << QStringLiteral("org.kde.StatusNotifierItem") << name;
        const QDBusMessage reply = bus.call(call);
        return reply.arguments().isEmpty() ? QVariant()
                                           : reply.arguments().first().value<QDBusVariant>().variant();
    };
    EXPECT_EQ(property(QStringLiteral("ToolTip")).isValid(), true);

    // The host activates the item where it was clicked.
    QDBusMessage activate = QDBusMessage::createMethodCall(service, QStringLiteral("/StatusNotifierItem"),
                                                           QStringLiteral("org.kde.StatusNotifierItem"),
                                                           QStringLiteral("Activate"));
    activate << 1200 << 10;
    EXPECT_EQ(bus.call(activate).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(waitForShowing(kScopeBar)) << showing().join(QLatin1Char('\n')).toStdString();

    // The menu the host shows on a right click: the main menu, over com.canonical.dbusmenu.
    const QString menuPath = property(QStringLiteral("Menu")).value<QDBusObjectPath>().path();
    ASSERT_FALSE(menuPath.isEmpty());
    QDBusMessage aboutToShow = QDBusMessage::createMethodCall(
        service, menuPath, QStringLiteral("com.canonical.dbusmenu"), QStringLiteral("AboutToShow"));
    aboutToShow << 0;
    bus.call(aboutToShow);
    const QString layout =
        toolOutput(QStringLiteral("gdbus"),
                   {QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"), service,
                    QStringLiteral("--object-path"), menuPath, QStringLiteral("--method"),
                    QStringLiteral("com.canonical.dbusmenu.GetLayout"), QStringLiteral("--"),
                    QStringLiteral("0"), QStringLiteral("-1"), QStringLiteral("[]")});
    EXPECT_TRUE(layout.contains(QStringLiteral("'Suspend Timers...'"))) << layout.toStdString();
    EXPECT_TRUE(layout.contains(QStringLiteral("'label': <'Quit'>"))) << layout.toStdString();
    EXPECT_EQ(tracker.terminate(SIGTERM), 0);
}

TEST_F(StatusItemProgram, WithoutATrayTheSessionRunsInWindowModeAndTheSettingStays) {
    QD_REQUIRE_DISPLAY();
    TrackerRun tracker(statusItemSettings(true));
    tracker.start();
    ASSERT_TRUE(waitForShowing(kListWindow)) << showing().join(QLatin1Char('\n')).toStdString();
    // Told once, in a message that does not hold the program up.
    EXPECT_TRUE(waitUntil([] {
        return showing()
                   .filter(QStringLiteral("Qualdern shows its windows because this desktop has no tray"))
                   .size() == 1;
    }));
    EXPECT_FALSE(QFileInfo::exists(tracker.autostartEntry())) << "window mode leaves the login item alone";
    EXPECT_EQ(tracker.terminate(SIGTERM), 0);
    EXPECT_TRUE(tracker.settings().boolForKey(u"Status Item"));
}

TEST_F(StatusItemProgram, TheAutostartEntryOutlivesSigtermAndWindowModeLeavesItAlone) {
    QD_REQUIRE_DISPLAY();
    const auto tray = startXEmbedTray();
    {
        TrackerRun tracker(statusItemSettings(true));
        tracker.start();
        ASSERT_TRUE(waitUntil([&tracker] { return QFileInfo::exists(tracker.autostartEntry()); }, 15000));
        // The end of the session: the program comes back at the next one.
        EXPECT_EQ(tracker.terminate(SIGTERM), 0);
        EXPECT_TRUE(QFileInfo::exists(tracker.autostartEntry()));
        QFile entry(tracker.autostartEntry());
        ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
        EXPECT_TRUE(entry.readAll().contains("Exec=" QD_QUALDERN_PROGRAM "\n"));
    }
    TrackerRun windowMode(statusItemSettings(false));
    windowMode.start();
    ASSERT_TRUE(waitForShowing(kListWindow));
    EXPECT_FALSE(QFileInfo::exists(windowMode.autostartEntry()));
    EXPECT_EQ(windowMode.terminate(SIGTERM), 0);
}

TEST_F(StatusItemProgram, TheWindowsIconShowsTheLiveReportAndChangesWithIt) {
    QD_REQUIRE_DISPLAY();
    HXDictionaryRef settings = statusItemSettings(false);
    settings->setValue(u"Show Activity Report In Dock", true);
    TrackerRun tracker(settings);
    tracker.start();
    QString window;
    ASSERT_TRUE(waitUntil(
        [&window] {
            window = findWindow([](const WindowInfo& w) { return w.viewable; });
            return !window.isEmpty();
        },
        15000));
    const auto iconDigest = [&window] {
        const QString icon = toolOutput(QStringLiteral("xprop"),
                                        {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_ICON")});
        return icon.contains(QStringLiteral("_NET_WM_ICON(CARDINAL)"))
                   ? QCryptographicHash::hash(icon.toUtf8(), QCryptographicHash::Sha1)
                   : QByteArray();
    };
    ASSERT_TRUE(waitUntil([&] { return !iconDigest().isEmpty(); }));
    const QByteArray first = iconDigest();
    // Another program in front: the report's bars grow, and the icon follows within its 5 s.
    TestWindowApp editor({QStringLiteral("--class"), QStringLiteral("editor,Editor"),
                          QStringLiteral("--title"), QStringLiteral("Draft")});
    ASSERT_TRUE(editor.isReady());
    ASSERT_TRUE(runTool(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"),
                                                    QStringLiteral("--sync"), hexWindow(editor.window(0))}));
    EXPECT_TRUE(waitUntil([&] { return iconDigest() != first && !iconDigest().isEmpty(); }, 20000));
    EXPECT_EQ(tracker.terminate(SIGTERM), 0);
}

TEST_F(StatusItemProgram, StartingAgainBringsThePanelOrTheWindowsForward) {
    QD_REQUIRE_DISPLAY();
    const auto tray = startXEmbedTray();
    TrackerRun tracker(statusItemSettings(true));
    tracker.start();
    ASSERT_TRUE(waitUntil(
        [] {
            return !findWindow([](const WindowInfo& w) {
                        return w.viewable && w.geometry.width() <= 48;
                    }).isEmpty();
        },
        15000));
    EXPECT_FALSE(showing().contains(kScopeBar.front()));
    EXPECT_EQ(tracker.runAgain(), 0);
    EXPECT_TRUE(waitForShowing(kScopeBar)) << showing().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(tracker.isRunning());
    EXPECT_EQ(tracker.terminate(SIGTERM), 0);
}

TEST_F(StatusItemProgram, ThePreferencesStatusItemSwitchChangesTheModeAtOnce) {
    QD_REQUIRE_DISPLAY();
    const auto tray = startXEmbedTray();
    TrackerRun tracker(statusItemSettings(false));
    tracker.start();
    // "Preferences..." of the list window's Edit menu.
    ASSERT_TRUE(waitForShowing(kListWindow)) << showing().join(QLatin1Char('\n')).toStdString();
    ASSERT_TRUE(press(QStringLiteral("menu item: Edit")));
    ASSERT_TRUE(waitForShowing({QStringLiteral("menu item: Preferences...")}))
        << showing().join(QLatin1Char('\n')).toStdString();
    ASSERT_TRUE(press(QStringLiteral("menu item: Preferences...")));
    const QString modeSwitch = QStringLiteral("check box: Run as an icon in the tray");
    ASSERT_TRUE(waitForShowing({QStringLiteral("frame: Preferences"), modeSwitch}))
        << showing().join(QLatin1Char('\n')).toStdString();

    const auto trayIcon = [] {
        return findWindow([](const WindowInfo& w) { return w.viewable && w.geometry.width() <= 48; });
    };
    EXPECT_TRUE(trayIcon().isEmpty());
    ASSERT_TRUE(press(modeSwitch));
    EXPECT_TRUE(waitUntil([&] { return !trayIcon().isEmpty(); }, 15000)) << "no tray icon";
    EXPECT_TRUE(waitForShowing({QStringLiteral("frame: Qualdern Preferences")}))
        << "the title follows the mode: " << showing().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(waitUntil([] { return !showing().contains(kListWindow.back()); }))
        << "the list window went into the panel";

    // And back: the icon goes, the windows come, the preferences stay in front of them.
    ASSERT_TRUE(press(modeSwitch));
    EXPECT_TRUE(waitUntil([&] { return trayIcon().isEmpty(); }, 15000));
    EXPECT_TRUE(waitForShowing({QStringLiteral("frame: Preferences"), kListWindow.back()}))
        << showing().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(tracker.terminate(SIGTERM), 0);
    EXPECT_FALSE(tracker.settings().boolForKey(u"Status Item"));
}
