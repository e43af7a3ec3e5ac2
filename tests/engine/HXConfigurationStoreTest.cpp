#include "EngineHarness.h"

#include "engine/HXConfigurationUpgrade.h"
#include "foundation/HXLog.h"
#include "foundation/HXPropertyList.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
