#include "EngineHarness.h"

#include "foundation/HXLog.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>

using namespace HXKeys;

TEST(HXLifecycle, LaunchRunsItsStepsInOrder) {
    EngineHarness h;
    h.defaults->setInteger(u"Sort", 2);
    h.lifecycle->applicationWillFinishLaunching();
    EXPECT_EQ(h.defaults->integerForKey(u"Hibernation Interval"), 600);
    h.lifecycle->applicationDidFinishLaunching();
    EXPECT_TRUE(h.inputMonitor.isInstalled());
    EXPECT_TRUE(h.presenceMonitor.isRunning());
    EXPECT_TRUE(h.presenceMonitor.observesScreenSaver());
    EXPECT_EQ(h.controller->sortColumn(), 2);
    // The first tick ran at launch: a configuration exists, and the next tick is scheduled.
    ASSERT_TRUE(h.controller->configuration());
    EXPECT_TRUE(h.time.hasPendingPerform(h.controller.get(), "updateLists"));
    EXPECT_TRUE(h.time.hasPendingPerform(&h.controller->hibernation(), "hibernate"));
    EXPECT_EQ(h.lifecyclePort.steps,
              QStringList({QStringLiteral("mode"), QStringLiteral("organizer"), QStringLiteral("hot key")}));
    h.time.runDue();
    EXPECT_EQ(
        h.lifecyclePort.steps.mid(3),
        QStringList({QStringLiteral("interface"), QStringLiteral("auto tasks"), QStringLiteral("windows")}));
    EXPECT_TRUE(h.time.hasPendingPerform(&h.controller->configurationStore(), "save"));
}

TEST(HXLifecycle, MissingInputMonitorIsLoggedAndIdleNeverArmed) {
    EngineHarness h;
    h.inputMonitor.setInstallable(false);
    h.defaults->setBool(u"Ignore Screensaver", true);
    HXLogging::Capture log;
    h.lifecycle->applicationWillFinishLaunching();
    h.lifecycle->applicationDidFinishLaunching();
    EXPECT_TRUE(log.contains(QStringLiteral("cannot install event monitor")));
    EXPECT_FALSE(h.time.hasPendingPerform(&h.controller->hibernation(), "hibernate"));
    EXPECT_FALSE(h.presenceMonitor.observesScreenSaver());
}

TEST(HXLifecycle, StatusItemModeTogglesTheLoginItem) {
    EngineHarness h;
    h.lifecyclePort.statusItemMode = true;
    h.lifecycle->applicationWillFinishLaunching();
    EXPECT_TRUE(h.lifecycle->automaticallyEnabledLoginItem());
    h.lifecycle->applicationDidFinishLaunching();
    h.time.runDue();
    EXPECT_FALSE(h.lifecyclePort.steps.contains(QStringLiteral("windows")));
    h.lifecycle->quitDeliberately(true);
    EXPECT_EQ(h.lifecyclePort.steps.mid(h.lifecyclePort.steps.size() - 2),
              QStringList({QStringLiteral("remove login item"), QStringLiteral("terminate")}));
}

TEST(HXLifecycle, QuitConfirmation) {
    EngineHarness h;
    h.lifecycle->applicationWillFinishLaunching();
    h.ui.answers = {2};
    h.lifecycle->quitDeliberately(false);
    ASSERT_EQ(h.ui.alerts.size(), 1u);
    EXPECT_EQ(h.ui.alerts[0].title, QStringLiteral("Quit Qualdern"));
    EXPECT_FALSE(h.lifecyclePort.steps.contains(QStringLiteral("terminate")));

    h.ui.answers = {1};
    h.lifecycle->quitDeliberately(false);
    EXPECT_TRUE(h.lifecyclePort.steps.contains(QStringLiteral("terminate")));
    EXPECT_TRUE(h.defaults->boolForKey(u"Quit Without Confirmation"));
    h.lifecycle->quitDeliberately(false);
    h.lifecycle->quitDeliberately(true);
    EXPECT_EQ(h.ui.alerts.size(), 2u);
    EXPECT_EQ(h.lifecyclePort.steps.count(QStringLiteral("terminate")), 3);
}

TEST(HXLifecycle, TerminationIsRefusedWhileAnAdHocTimerRunsAndOtherwiseSaves) {
    EngineHarness h;
    h.windows.setApplications(
        {fakeApplication(1, QStringLiteral("org.example.Editor"), QStringLiteral("Editor"))});
    h.lifecycle->applicationWillFinishLaunching();
    h.lifecycle->applicationDidFinishLaunching();
    h.time.advance(10);
    ASSERT_TRUE(h.adHocTimer.startAtTimestamp(h.time.now(), std::nullopt, nullptr, nullptr));
    EXPECT_FALSE(h.lifecycle->applicationShouldTerminate());
    EXPECT_EQ(h.adHocTimer.windowShown, 1);
    EXPECT_EQ(h.ui.beeps, 1);
    EXPECT_FALSE(h.lifecycle->hasShutDown());

    EngineHarness other;
    other.windows.setApplications(
        {fakeApplication(1, QStringLiteral("org.example.Editor"), QStringLiteral("Editor"))});
    other.lifecycle->applicationWillFinishLaunching();
    other.lifecycle->applicationDidFinishLaunching();
    other.time.advance(10);
    EXPECT_TRUE(other.lifecycle->applicationShouldTerminate());
    EXPECT_FALSE(other.inputMonitor.isInstalled());
    EXPECT_FALSE(other.presenceMonitor.isRunning());
    const HXDictionaryRef saved = HXDictionary::deeplyMutableDictionaryWithContentsOfFile(
        other.controller->configurationStore().configurationPath());
    ASSERT_TRUE(saved);
    EXPECT_DOUBLE_EQ(saved->dictionaryForKey(u"Applications")
                         ->dictionaryForKey(u"org.example.Editor")
                         ->timeIntervalForKey(Time),
                     10);
    EXPECT_TRUE(QFileInfo::exists(other.defaults->path()));
}

TEST(HXLifecycle, OpenFilesPassesOnlyCSVFiles) {
    EngineHarness h;
    h.lifecycle->openFiles(
        {QStringLiteral("/a/report.CSV"), QStringLiteral("/a/notes.txt"), QStringLiteral("/b/x.csv")});
    EXPECT_EQ(h.lifecyclePort.snapshots,
              QStringList({QStringLiteral("/a/report.CSV"), QStringLiteral("/b/x.csv")}));
}

TEST(HXLifecycle, ShutdownSavesBeforeItLetsGoOfTheDisplayAndTheBuses) {
    // The steps after the save may wait on a server that stopped answering: by then the data is written.
    EngineHarness h;
    h.windows.setApplications(
        {fakeApplication(1, QStringLiteral("org.example.Editor"), QStringLiteral("Editor"))});
    h.lifecycle->applicationWillFinishLaunching();
    h.lifecycle->applicationDidFinishLaunching();
    h.time.advance(10);
    h.defaults->setBool(u"Some Setting", true);
    bool savedFirst = false;
    bool monitorsStillOn = false;
    h.lifecycle->shutdown([&] {
        const HXDictionaryRef saved = HXDictionary::deeplyMutableDictionaryWithContentsOfFile(
            h.controller->configurationStore().configurationPath());
        savedFirst = saved && HXUserDefaults(h.defaults->path()).boolForKey(u"Some Setting");
        monitorsStillOn = h.inputMonitor.isInstalled() && h.presenceMonitor.isRunning();
    });
    EXPECT_TRUE(savedFirst);
    EXPECT_TRUE(monitorsStillOn);
    EXPECT_FALSE(h.inputMonitor.isInstalled());
    EXPECT_FALSE(h.presenceMonitor.isRunning());
}

TEST(HXLifecycle, UnreadableSettingsAreKeptAsideAndTheUserTold) {
    const std::vector<std::pair<QString, std::function<void(const QString&)>>> cases{
        {QStringLiteral("is a folder"),
         [](const QString& path) {
             QDir().mkpath(path);
         }},
        {QStringLiteral("not a dictionary"),
         [](const QString& path) {
             QDir().mkpath(QFileInfo(path).absolutePath());
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write("<plist><string>x</string></plist>");
         }},
    };
    for (const auto& [reason, make] : cases) {
        HXLogging::Capture log;
        EngineHarness h(1700000000.0, make);
        h.lifecycle->applicationWillFinishLaunching();
        h.lifecycle->applicationDidFinishLaunching();
        ASSERT_EQ(h.ui.alerts.size(), 1u) << reason.toStdString();
        EXPECT_EQ(h.ui.alerts[0].message, u"Your Settings Could Not Be Read");
        EXPECT_TRUE(h.ui.alerts[0].informativeText.contains(reason))
            << h.ui.alerts[0].informativeText.toStdString();
        EXPECT_TRUE(log.contains(QStringLiteral("user defaults unreadable (%1)").arg(reason)));
        const QStringList aside =
            QDir(QFileInfo(h.defaults->path()).absolutePath())
                .entryList({QStringLiteral("Defaults.plist.unreadable-*")}, QDir::AllEntries);
        ASSERT_EQ(aside.size(), 1);
        EXPECT_TRUE(h.ui.alerts[0].informativeText.contains(aside[0]));
        // The settings written later go to a file of their own.
        h.defaults->setBool(u"Some Setting", true);
        EXPECT_TRUE(h.defaults->synchronize());
        EXPECT_TRUE(QFileInfo(h.defaults->path()).isFile());
    }
    EngineHarness fine;
    fine.lifecycle->applicationWillFinishLaunching();
    fine.lifecycle->applicationDidFinishLaunching();
    EXPECT_TRUE(fine.ui.alerts.empty());
}
