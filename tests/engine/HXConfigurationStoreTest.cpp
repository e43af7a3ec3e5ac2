#include "EngineHarness.h"

#include "engine/HXConfigurationUpgrade.h"
#include "foundation/HXLog.h"
#include "foundation/HXPropertyList.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>
#include <limits>

#include <sys/stat.h>

using namespace HXKeys;

namespace {

const QString kEditor = QStringLiteral("org.example.Editor");

void writeBytes(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

} // namespace

TEST(HXConfigurationStore, SaveAndLoadRoundTripThroughThePrivateFile) {
    EngineHarness h;
    h.windows.setApplications(
        {fakeApplication(1, kEditor, QStringLiteral("Editor"), {fakeWindow(1, QStringLiteral("x"))})});
    h.tickAt(100);
    h.tickAt(101);
    HXConfigurationStore& store = h.controller->configurationStore();
    store.saveConfiguration({.write = true, .userDefaultsFallback = true});
    const QString path = store.configurationPath();
    EXPECT_TRUE(path.endsWith(QStringLiteral("/Qualdern/Configurations/Default.plist")));
    EXPECT_EQ(QFileInfo(path).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
    EXPECT_EQ(QFileInfo(QFileInfo(path).absolutePath()).permissions() & QFileDevice::ExeOther, 0);

    EngineHarness reopened;
    QDir().mkpath(reopened.scratch.file(QStringLiteral("data/Qualdern/Configurations")));
    QFile::copy(path, reopened.controller->configurationStore().configurationPath());
    reopened.controller->configurationStore().load();
    ASSERT_TRUE(reopened.controller->configuration());
    // A configuration made by the tick has no version yet; loading it brings it up to date.
    EXPECT_EQ(reopened.configuration().integerForKey(u"Version"), 1295);
    reopened.configuration().remove(u"Version");
    EXPECT_TRUE(*reopened.controller->configuration() == *h.controller->configuration());
    EXPECT_EQ(reopened.application(kEditor)->arrayForKey(ActiveLog)->isPacked(), true);
}

TEST(HXConfigurationStore, UpgradeRemovesStaleKeysAndLogsCounts) {
    auto window =
        makeDictionary({{QStringLiteral("PID"), HXValue(12)}, {QStringLiteral("Window Number"), HXValue(4)}});
    auto app = makeDictionary({{QStringLiteral("Children"), HXValue(makeArray({HXValue(1), HXValue(2)}))},
                               {QStringLiteral("Windows By Name"),
                                HXValue(makeDictionary({{QStringLiteral("w"), HXValue(window)}}))}});
    auto windowItem = makeDictionary({{QStringLiteral("PID"), HXValue(3)}});
    auto item = makeDictionary({{QStringLiteral("Children"), HXValue(makeArray({HXValue(windowItem)}))}});
    auto pool = makeDictionary({{QStringLiteral("Children"), HXValue(makeArray({HXValue(item)}))}});
    auto configuration = makeDictionary(
        {{QStringLiteral("Applications"), HXValue(makeDictionary({{QStringLiteral("a"), HXValue(app)}}))},
         {QStringLiteral("Pools"), HXValue(makeArray({HXValue(pool)}))}});
    HXLogging::Capture log;
    EXPECT_TRUE(HXUpgradeConfiguration(*configuration));
    EXPECT_TRUE(log.contains(QStringLiteral(
        "configuration updated (redundant window references: 2; pointless metadata fields: 3)")));
    EXPECT_FALSE(app->contains(Children));
    EXPECT_EQ(window->count(), 0);
    EXPECT_EQ(windowItem->count(), 0);
    EXPECT_EQ(item->arrayForKey(Children)->count(), 1);
    EXPECT_EQ(configuration->integerForKey(u"Version"), 1295);
    log.clear();
    EXPECT_FALSE(HXUpgradeConfiguration(*configuration));
    EXPECT_TRUE(log.lines().isEmpty());

    auto empty = HXDictionary::create();
    EXPECT_TRUE(HXUpgradeConfiguration(*empty));
    EXPECT_TRUE(
        log.contains(QStringLiteral("(redundant window references: 0; pointless metadata fields: 0)")));
}

TEST(HXConfigurationStore, UnreadableFileIsKeptAsideAndTheUserToldOnce) {
    EngineHarness h;
    HXConfigurationStore& store = h.controller->configurationStore();
    const QString path = store.configurationPath();
    writeBytes(path, QByteArray("bplist00 this is not a property list"));
    HXLogging::Capture log;
    store.load();
    EXPECT_FALSE(h.controller->configuration());
    EXPECT_TRUE(log.contains(QStringLiteral("configuration unreadable")));
    ASSERT_EQ(h.ui.alerts.size(), 1u);
    const QStringList aside =
        QDir(QFileInfo(path).absolutePath()).entryList({QStringLiteral("Default.plist.unreadable-*")});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_TRUE(h.ui.alerts[0].informativeText.contains(aside[0]));

    // The next save writes a fresh file and leaves the kept one alone.
    h.tickAt(100);
    store.save(HXTrigger::Command);
    EXPECT_TRUE(HXDictionary::deeplyMutableDictionaryWithContentsOfFile(path));
    QFile kept(QFileInfo(path).absolutePath() + u'/' + aside[0]);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("bplist00 this is not a property list"));
    EXPECT_EQ(h.ui.alerts.size(), 1u);
}

TEST(HXConfigurationStore, SettingsCopyStandsInWhenTheFileCannotBeWritten) {
    EngineHarness h;
    h.tickAt(100);
    HXConfigurationStore& store = h.controller->configurationStore();
    const QString path = store.configurationPath();
    // A folder where the file should be makes every write fail.
    QDir().mkpath(path);
    store.saveConfiguration({.write = true, .userDefaultsFallback = true});
    const HXDictionaryRef copy = h.defaults->dictionaryForKey(u"Default Configuration");
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->timeIntervalForKey(u"Last Timestamp"), 100);

    // At the next launch the copy is used while the file is still unreadable...
    EngineHarness next;
    next.defaults->setObject(u"Default Configuration", HXValue(copy));
    next.controller->configurationStore().load();
    ASSERT_TRUE(next.controller->configuration());
    EXPECT_EQ(next.configuration().timeIntervalForKey(u"Last Timestamp"), 100);
    // ...and a successful save with fallback removes it.
    next.controller->configurationStore().saveConfiguration({.write = true, .userDefaultsFallback = true});
    EXPECT_FALSE(next.defaults->dictionaryForKey(u"Default Configuration"));
    // Saving without fallback never touches the copy.
    QDir(path).removeRecursively();
    h.defaults->removeObject(u"Default Configuration");
    store.save(HXTrigger::Schedule);
    EXPECT_FALSE(h.defaults->dictionaryForKey(u"Default Configuration"));
}

TEST(HXConfigurationStore, AutoSaveChainFollowsTheInterval) {
    EngineHarness h;
    h.tickAt(100);
    HXConfigurationStore& store = h.controller->configurationStore();
    const QString path = store.configurationPath();
    h.defaults->setInteger(u"Auto-Save Interval", 0);
    EXPECT_EQ(store.autoSaveInterval(), 1800);
    h.defaults->setInteger(u"Auto-Save Interval", 60);
    store.saveConfiguration({.write = false, .scheduleNextSave = true});
    EXPECT_FALSE(QFileInfo::exists(path));
    h.time.cancelPerforms(h.controller.get(), "updateLists");
    h.time.advance(59);
    EXPECT_FALSE(QFileInfo::exists(path));
    h.time.advance(1);
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(h.time.pendingPerformCount(&store, "save"), 1u);
    // A save command restarts the period instead of adding a second chain.
    h.time.advance(30);
    store.save(HXTrigger::Command);
    EXPECT_EQ(h.time.pendingPerformCount(&store, "save"), 1u);
    EXPECT_DOUBLE_EQ(h.time.nextDueTime(), h.time.now() + 60);
}

TEST(HXConfigurationStore, ImportOfferCopiesAChosenFile) {
    EngineHarness h;
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", h.scratch.path().toLocal8Bit());
    const QString oldPath = h.scratch.file(QStringLiteral(
        "Library/Containers/com.corvella.QualdernClient/Data/Library/Qualdern/Configurations/Default.plist"));
    auto old = makeDictionary(
        {{QStringLiteral("Version"), HXValue(1295)}, {QStringLiteral("Overall Time"), HXValue(42.0)}});
    QDir().mkpath(QFileInfo(oldPath).absolutePath());
    ASSERT_TRUE(writeToBinaryFile(HXValue(old), oldPath, true));
    h.defaults->setBool(u"Import Sandbox Configuration", true);
    h.ui.openPanelAnswer = oldPath;
    h.controller->configurationStore().load();
    qputenv("HOME", home);
    ASSERT_EQ(h.ui.alerts.size(), 1u);
    EXPECT_EQ(h.ui.alerts[0].message, QStringLiteral("Old Qualdern Data Found"));
    ASSERT_EQ(h.ui.openPanels.size(), 1u);
    EXPECT_EQ(h.ui.openPanels[0].fileTypes, QStringList({QStringLiteral("plist")}));
    EXPECT_FALSE(h.defaults->boolForKey(u"Import Sandbox Configuration"));
    ASSERT_TRUE(h.controller->configuration());
    EXPECT_EQ(h.configuration().timeIntervalForKey(u"Overall Time"), 42.0);
}

TEST(HXConfigurationStore, FolderPathsAreKeptInTheSettings) {
    EngineHarness h;
    EXPECT_EQ(folderPathForKey(*h.defaults, QStringLiteral("Auto-Export Folder"), QStringLiteral("/default")),
              QStringLiteral("/default"));
    setFolderPath(*h.defaults, QStringLiteral("/data/exports"), QStringLiteral("Auto-Export Folder"));
    EXPECT_EQ(folderPathForKey(*h.defaults, QStringLiteral("Auto-Export Folder"), QStringLiteral("/default")),
              QStringLiteral("/data/exports"));
    EXPECT_FALSE(HXApplicationIsSandboxed());
    EXPECT_EQ(stringByDeletingQualdernContainerPathComponents(QStringLiteral(
                  "/home/a/Library/Containers/com.corvella.QualdernClient/Data/Library/Qualdern/x")),
              QStringLiteral("/home/a/Library/Qualdern/x"));
    EXPECT_EQ(stringByDeletingQualdernContainerPathComponents(QStringLiteral("/home/a/x")),
              QStringLiteral("/home/a/x"));
}

TEST(HXConfigurationStore, WhateverStandsInThePlaceOfTheFileIsKeptAsideAndTheUserTold) {
    // A folder, a link to nothing, a named pipe (which would block a plain open) and a link to a device
    // (which would be read for ever): each is moved aside unchanged, logged and told, never written over.
    const std::vector<std::pair<QString, std::function<void(const QString&)>>> cases{
        {QStringLiteral("is a folder"),
         [](const QString& path) {
             QDir().mkpath(path + QStringLiteral("/x"));
         }},
        {QStringLiteral("is a link to a missing file"),
         [](const QString& path) {
             QFile::link(path + QStringLiteral(".gone"), path);
         }},
        {QStringLiteral("is a named pipe"),
         [](const QString& path) {
             ::mkfifo(QFile::encodeName(path).constData(), 0600);
         }},
        {QStringLiteral("is a device"),
         [](const QString& path) {
             QFile::link(QStringLiteral("/dev/zero"), path);
         }},
    };
    for (const auto& [reason, make] : cases) {
        EngineHarness h;
        HXConfigurationStore& store = h.controller->configurationStore();
        const QString path = store.configurationPath();
        make(path);
        HXLogging::Capture log;
        store.load();
        EXPECT_FALSE(h.controller->configuration()) << reason.toStdString();
        EXPECT_TRUE(log.contains(QStringLiteral("configuration unreadable (%1)").arg(reason)))
            << log.lines().join(u'\n').toStdString();
        ASSERT_EQ(h.ui.alerts.size(), 1u) << reason.toStdString();
        EXPECT_EQ(h.ui.alerts[0].message, u"Your Tracking Data Could Not Be Read");
        EXPECT_TRUE(h.ui.alerts[0].informativeText.contains(reason));
        const QStringList aside =
            QDir(QFileInfo(path).absolutePath())
                .entryList({QStringLiteral("Default.plist.unreadable-*")}, QDir::AllEntries | QDir::System);
        EXPECT_EQ(aside.size(), 1) << reason.toStdString();
        // The next save makes a new file of its own.
        h.tickAt(1700000100);
        store.save(HXTrigger::Command);
        EXPECT_TRUE(HXDictionary::deeplyMutableDictionaryWithContentsOfFile(path)) << reason.toStdString();
    }

    // With a copy in the settings, the copy is used and the user is told so.
    EngineHarness h;
    HXConfigurationStore& store = h.controller->configurationStore();
    QDir().mkpath(store.configurationPath());
    h.defaults->setObject(u"Default Configuration",
                          HXValue(makeDictionary({{QStringLiteral("Last Timestamp"), HXValue(42.0)}})));
    store.load();
    ASSERT_TRUE(h.controller->configuration());
    EXPECT_EQ(h.configuration().timeIntervalForKey(u"Last Timestamp"), 42.0);
    ASSERT_EQ(h.ui.alerts.size(), 1u);
    EXPECT_TRUE(h.ui.alerts[0].informativeText.contains(QStringLiteral("copy of your tracking data")));
}

TEST(HXConfigurationStore, AFailedSaveIsToldOnceAndTheNewerCopyWinsAtTheNextStart) {
    EngineHarness h;
    h.windows.setApplications(
        {fakeApplication(1, kEditor, QStringLiteral("Editor"), {fakeWindow(1, QStringLiteral("x"))})});
    h.tickAt(100);
    h.tickAt(110);
    HXConfigurationStore& store = h.controller->configurationStore();
    store.save(HXTrigger::Schedule);
    const QString path = store.configurationPath();
    const QString folder = QFileInfo(path).absolutePath();
    ASSERT_TRUE(HXDictionary::deeplyMutableDictionaryWithContentsOfFile(path));

    // The folder cannot take files any more (a read-only folder; here, for any user, a plain file in
    // its place with the folder kept elsewhere).
    ASSERT_TRUE(QDir().rename(folder, folder + QStringLiteral(".kept")));
    writeBytes(folder, "not a folder");
    HXLogging::Capture log;
    h.tickAt(120);
    store.save(HXTrigger::Schedule);
    h.tickAt(130);
    store.save(HXTrigger::Command);
    ASSERT_EQ(h.ui.alerts.size(), 1u);
    EXPECT_EQ(h.ui.alerts[0].message, u"Your Tracking Data Could Not Be Saved");
    EXPECT_EQ(log.lines().filter(QStringLiteral("cannot save configuration")).size(), 1);
    // At quit the copy goes into the settings; nobody is asked anything on the way out.
    h.tickAt(140);
    store.saveConfiguration({.write = true, .userDefaultsFallback = true});
    EXPECT_EQ(h.ui.alerts.size(), 1u);
    const HXDictionaryRef copy = h.defaults->dictionaryForKey(u"Default Configuration");
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->timeIntervalForKey(u"Last Timestamp"), 140);
    ASSERT_TRUE(h.defaults->synchronize());

    // The folder is writable again: the old file is there, but the copy goes further and wins.
    ASSERT_TRUE(QFile::remove(folder));
    ASSERT_TRUE(QDir().rename(folder + QStringLiteral(".kept"), folder));
    EngineHarness next;
    QDir().mkpath(QFileInfo(next.controller->configurationStore().configurationPath()).absolutePath());
    ASSERT_TRUE(QFile::copy(path, next.controller->configurationStore().configurationPath()));
    next.defaults->setObject(u"Default Configuration", HXValue(copy));
    log.clear();
    next.controller->configurationStore().load();
    ASSERT_TRUE(next.controller->configuration());
    EXPECT_EQ(next.configuration().timeIntervalForKey(u"Last Timestamp"), 140);
    EXPECT_NEAR(next.application(kEditor)->timeIntervalForKey(Time), 40, 0.001);
    EXPECT_TRUE(log.contains(QStringLiteral("newer than")));
    // ...and is written to the file at once, the copy then dropped.
    const HXDictionaryRef written = HXDictionary::deeplyMutableDictionaryWithContentsOfFile(
        next.controller->configurationStore().configurationPath());
    ASSERT_TRUE(written);
    EXPECT_EQ(written->timeIntervalForKey(u"Last Timestamp"), 140);
    EXPECT_FALSE(next.defaults->dictionaryForKey(u"Default Configuration"));
    EXPECT_TRUE(next.ui.alerts.empty());

    // An older copy (left by an earlier quit) loses to the file.
    EngineHarness later;
    QDir().mkpath(QFileInfo(later.controller->configurationStore().configurationPath()).absolutePath());
    ASSERT_TRUE(QFile::copy(next.controller->configurationStore().configurationPath(),
                            later.controller->configurationStore().configurationPath()));
    later.defaults->setObject(u"Default Configuration",
                              HXValue(makeDictionary({{QStringLiteral("Last Timestamp"), HXValue(50.0)}})));
    later.controller->configurationStore().load();
    EXPECT_EQ(later.configuration().timeIntervalForKey(u"Last Timestamp"), 140);
}

TEST(HXConfigurationStore, TimesThatAreNoNumbersAreDroppedFromTheLoadedLogs) {
    EngineHarness h;
    HXConfigurationStore& store = h.controller->configurationStore();
    const double inf = std::numeric_limits<double>::infinity();
    auto editor = makeDictionary({{QStringLiteral("Name"), HXValue(QStringLiteral("Editor"))},
                                  {QStringLiteral("Active Log"), HXValue(makeLog({100, -200, 300, -inf}))}});
    auto configuration = makeDictionary(
        {{QStringLiteral("Last Timestamp"), HXValue(inf)},
         {QStringLiteral("Applications"), HXValue(makeDictionary({{kEditor, HXValue(editor)}}))}});
    ASSERT_TRUE(writeToBinaryFile(HXValue(configuration), store.configurationPath(), true));
    store.load();
    ASSERT_TRUE(h.controller->configuration());
    EXPECT_EQ(logValues(h.application(kEditor)->arrayForKey(ActiveLog)),
              (std::vector<double>{100, -200, 300}));
    EXPECT_EQ(h.configuration().timeIntervalForKey(u"Last Timestamp"), 0);
}
