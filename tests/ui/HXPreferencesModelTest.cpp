// The preferences' controls without a window: each writes its setting and runs its side effects, the
// pairs keep one switch on, the columns follow their parent column, and the folder choice keeps a
// folder that cannot be written out.
#include "PreferencesTestSupport.h"

#include "engine/HXHibernation.h"
#include "engine/HXMainController.h"
#include "foundation/HXPaths.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using P = HXPreference;

TEST(HXPreferencesModel, EachSwitchWritesItsSetting) {
    PreferencesWorld w;
    const std::pair<P, const char16_t*> switches[] = {
        {P::ShowInactiveApplications, u"Show Inactive Applications"},
        {P::ShowInactivePools, u"Show Inactive Pools"},
        {P::AutoResetApplications, u"Auto-Reset Applications"},
        {P::AutoResetPools, u"Auto-Reset Pools"},
        {P::HibernationTimer, u"Hibernation Timer"},
        {P::LiveReportDock, u"Show Activity Report In Dock"},
        {P::LiveReportDesktop, u"Show Activity Report On Desktop"},
        {P::LiveReportMouseTracking, u"Show Time At Mouse Location"},
        {P::ExportColumnPoolNotes, u"Export Column: Pool Notes"},
        {P::ExportColumnWindow, u"Export Column: Window"},
        {P::AutoExport, u"Auto-Export Reports"},
    };
    for (const auto& [control, key] : switches) {
        const bool before = w.defaults->boolForKey(key);
        EXPECT_EQ(w.model.isOn(control), before) << QString::fromUtf16(key).toStdString();
        w.model.setOn(control, !before);
        EXPECT_EQ(w.defaults->boolForKey(key), !before) << QString::fromUtf16(key).toStdString();
        EXPECT_EQ(w.model.isOn(control), !before);
    }

    // Shown on when accessory programs are left out, which is stored as 0.
    EXPECT_TRUE(w.model.isOn(P::ExcludeAccessoryApplications));
    w.model.setOn(P::ExcludeAccessoryApplications, false);
    EXPECT_EQ(w.defaults->integerForKey(u"Application Activation Policy Filter"), 1);
    w.model.setOn(P::ExcludeAccessoryApplications, true);
    EXPECT_EQ(w.defaults->integerForKey(u"Application Activation Policy Filter"), 0);
}

TEST(HXPreferencesModel, SideEffectsOfTheSwitchesSelectorsAndSliders) {
    PreferencesWorld w;
    w.model.setOn(P::AutoResetApplications, true);
    w.model.setOn(P::AutoResetPools, true);
    w.model.setOn(P::AutoExport, true);
    EXPECT_EQ(w.delegate.autoTasks, 3);
    w.model.selectTag(P::AutoExportHour, 20);
    EXPECT_EQ(w.defaults->integerForKey(u"Auto-Export Hour"), 20);
    EXPECT_EQ(w.delegate.autoTasks, 4);
    w.delegate.hour = 20;
    EXPECT_EQ(w.model.tag(P::AutoExportHour), 20) << "shown as the daily tasks read it";

    const int icons = w.delegate.icons;
    w.model.setOn(P::LiveReportDock, true);
    w.model.setOn(P::LiveReportDesktop, true);
    w.model.selectTag(P::LiveReportContent, 3);
    EXPECT_EQ(w.defaults->integerForKey(u"Live Report Content (1252)"), 3);
    EXPECT_EQ(w.delegate.icons, icons + 3);

    w.model.selectTag(P::LiveReportDayOffset, 4);
    EXPECT_EQ(w.defaults->integerForKey(u"HXChameleonDatePicker: Day Offset"), 4);
    EXPECT_EQ(w.delegate.liveReports, 1);

    w.model.selectTag(P::HibernationInterval, 300);
    EXPECT_EQ(w.defaults->integerForKey(u"Hibernation Interval"), 300);
    EXPECT_EQ(w.controller->hibernation().hibernationInterval(), 300);
    for (const auto& [control, key] : {std::pair{P::HibernationMode, u"Hibernation Mode"},
                                       {P::ExportContent, u"Exported Report Content"},
                                       {P::ExportColumnSeparator, u"Exported Report Column Separator"},
                                       {P::ExportRowSeparator, u"Exported Report Row Separator"},
                                       {P::AutoExportRange, u"Auto-Export Range"},
                                       {P::StatusItemIcon, u"Status Item Icon (1231)"}}) {
        w.model.selectTag(control, 2);
        EXPECT_EQ(w.defaults->integerForKey(key), 2);
        EXPECT_EQ(w.model.tag(control), 2);
    }

    w.model.setValue(P::LiveReportDesktopAlpha, 0.4);
    EXPECT_DOUBLE_EQ(w.defaults->doubleForKey(u"Show Activity Report On Desktop: Alpha"), 0.4);
    EXPECT_DOUBLE_EQ(w.delegate.desktopAlpha, 0.4) << "the desktop report takes it at once";

    // Sampling never runs faster than every 0.5 s, whatever the slider wrote.
    w.model.setValue(P::UpdateInterval, 0.2);
    EXPECT_DOUBLE_EQ(w.defaults->doubleForKey(u"Update Interval"), 0.2);
    EXPECT_DOUBLE_EQ(w.controller->updateInterval(), 0.5);
    EXPECT_DOUBLE_EQ(w.model.value(P::UpdateInterval), 0.5);
}

TEST(HXPreferencesModel, TheUpdateIntervalTextHasOneFractionDigitAtMost) {
    EXPECT_EQ(HXPreferencesModel::updateIntervalText(1), u"1 second");
    EXPECT_EQ(HXPreferencesModel::updateIntervalText(1.04), u"1 second");
    EXPECT_EQ(HXPreferencesModel::updateIntervalText(0.5), u"0.5 seconds");
    EXPECT_EQ(HXPreferencesModel::updateIntervalText(2), u"2 seconds");
    EXPECT_EQ(HXPreferencesModel::updateIntervalText(2.25), u"2.3 seconds");
    EXPECT_EQ(HXPreferencesModel::updateIntervalText(10), u"10 seconds");
}

TEST(HXPreferencesModel, PairedSwitchesKeepOneOnAndColumnsFollowTheirParent) {
    PreferencesWorld w;
    // Front off while total is off: total goes on.
    ASSERT_FALSE(w.model.isOn(P::ExportColumnTotal));
    w.model.setOn(P::ExportColumnFront, false);
    EXPECT_TRUE(w.defaults->boolForKey(u"Export Column: Total"));
    w.model.setOn(P::ExportColumnTotal, false);
    EXPECT_TRUE(w.defaults->boolForKey(u"Export Column: Front"));
    EXPECT_FALSE(w.defaults->boolForKey(u"Export Column: Total"));

    // Application off: the window column is cleared and its switch disabled; pool stays as it was.
    w.model.setOn(P::ExportColumnPoolNotes, true);
    w.model.setOn(P::ExportColumnApplication, false);
    EXPECT_FALSE(w.defaults->boolForKey(u"Export Column: Window"));
    EXPECT_FALSE(w.model.isEnabled(P::ExportColumnWindow));
    EXPECT_TRUE(w.model.isOn(P::ExportColumnPool));
    // Pool off as well: application comes back on (its window switch enabled), pool notes are cleared.
    w.model.setOn(P::ExportColumnPool, false);
    EXPECT_TRUE(w.defaults->boolForKey(u"Export Column: Application"));
    EXPECT_TRUE(w.model.isEnabled(P::ExportColumnWindow));
    EXPECT_FALSE(w.model.isOn(P::ExportColumnWindow)) << "a parent coming back leaves its column off";
    EXPECT_FALSE(w.defaults->boolForKey(u"Export Column: Pool Notes"));
    EXPECT_FALSE(w.model.isEnabled(P::ExportColumnPoolNotes));

    // The live report's two sections.
    w.model.setOn(P::LiveReportApplications, false);
    EXPECT_TRUE(w.model.isOn(P::LiveReportPools));
    w.model.setOn(P::LiveReportPools, false);
    EXPECT_TRUE(w.defaults->boolForKey(u"Live Report: Applications"));
    EXPECT_FALSE(w.defaults->boolForKey(u"Live Report: Pools"));
}

TEST(HXPreferencesModel, OpeningPutsRightWhatTheControlsCannotShow) {
    PreferencesWorld w;
    w.defaults->setBool(u"Show Activity Report In Dock", true);
    w.defaults->setBool(u"Export Column: Pool", false);
    w.defaults->setBool(u"Export Column: Pool Notes", true);
    w.defaults->setBool(u"Export Column: Window", true);
    w.configuration().setValue(
        u"Application Blacklist",
        HXArray::createWithValues({HXValue(QStringLiteral("b")), HXValue(QStringLiteral("A"))}));

    w.model.load();
    EXPECT_TRUE(w.defaults->boolForKey(u"Show Activity Report In Dock")) << "window mode keeps it";
    EXPECT_FALSE(w.defaults->boolForKey(u"Export Column: Pool Notes"));
    EXPECT_TRUE(w.defaults->boolForKey(u"Export Column: Window"));
    const HXArrayRef list = w.model.blacklist(QStringLiteral("Application Blacklist"));
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->at(0).toString(), u"A") << "sorted when the window is filled";

    // In status item mode the taskbar icon shows no report, and its switch is off.
    w.delegate.statusItemMode = true;
    w.model.load();
    EXPECT_FALSE(w.defaults->boolForKey(u"Show Activity Report In Dock"));
    EXPECT_FALSE(w.model.isEnabled(P::LiveReportDock));
    EXPECT_TRUE(w.model.isShown(P::StatusItemIcon));
    EXPECT_EQ(w.model.title(), u"Qualdern Preferences");
    w.delegate.statusItemMode = false;
    EXPECT_FALSE(w.model.isShown(P::StatusItemIcon)) << "the tray icon's selector is for status item mode";
    EXPECT_EQ(w.model.title(), u"Preferences");

    EXPECT_FALSE(w.model.isShown(P::LiveReportDesktopAlpha));
    w.model.setOn(P::LiveReportDesktop, true);
    EXPECT_TRUE(w.model.isShown(P::LiveReportDesktopAlpha));
    EXPECT_FALSE(w.model.isShown(P::AutoExportHour));
    w.model.setOn(P::AutoExport, true);
    EXPECT_TRUE(w.model.isShown(P::AutoExportHour));

    EXPECT_TRUE(w.model.showsLoginItemSwitch());
    w.delegate.automaticLoginItem = true;
    EXPECT_FALSE(w.model.showsLoginItemSwitch());
}

TEST(HXPreferencesModel, TheStatusItemSwitchWakesAndStoresOnlyAChange) {
    PreferencesWorld w;
    int changes = 0;
    QObject::connect(w.defaults.get(), &HXUserDefaults::changed,
                     [&changes](const QString& key) { changes += key == QStringLiteral("Status Item"); });
    w.model.setOn(P::StatusItem, false);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(w.delegate.icons, 0);

    w.controller->hibernation().hibernate();
    ASSERT_TRUE(w.controller->hibernation().isHibernating());
    w.model.setOn(P::StatusItem, true);
    EXPECT_TRUE(w.defaults->boolForKey(u"Status Item"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(w.delegate.icons, 1);
    EXPECT_FALSE(w.controller->hibernation().isHibernating()) << "switching counts as the user being there";
}

TEST(HXPreferencesModel, TheStatusItemSwitchIsDisabledWhileAnEditingSheetIsUp) {
    PreferencesWorld w;
    int changes = 0;
    QObject::connect(&w.model, &HXPreferencesModel::changed, [&changes] { ++changes; });
    EXPECT_TRUE(w.model.isEnabled(P::StatusItem));
    w.controller->setModal(true);
    EXPECT_EQ(changes, 1) << "the window shows the switch disabled at once";
    EXPECT_FALSE(w.model.isEnabled(P::StatusItem));
    w.controller->setModal(true);
    EXPECT_EQ(changes, 1) << "only a change of the modal state counts";
    w.model.setOn(P::StatusItem, true);
    EXPECT_FALSE(w.defaults->boolForKey(u"Status Item")) << "a disabled switch changes nothing";
    EXPECT_EQ(w.delegate.icons, 0);

    changes = 0;
    w.controller->setModal(false);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(w.model.isEnabled(P::StatusItem));
    w.model.setOn(P::StatusItem, true);
    EXPECT_TRUE(w.defaults->boolForKey(u"Status Item"));
}

TEST(HXPreferencesModel, InsomniaDisablesTheHibernationIntervalAtNever) {
    PreferencesWorld w;
    int changes = 0;
    QObject::connect(&w.model, &HXPreferencesModel::changed, [&changes] { ++changes; });
    EXPECT_EQ(w.model.tag(P::HibernationInterval), 600);
    EXPECT_TRUE(w.model.isEnabled(P::HibernationInterval));
    w.controller->hibernation().disableInsomnia(false);
    EXPECT_GE(changes, 1);
    EXPECT_EQ(w.model.tag(P::HibernationInterval), 0);
    EXPECT_FALSE(w.model.isEnabled(P::HibernationInterval));
    EXPECT_EQ(w.defaults->integerForKey(u"Hibernation Interval"), 600) << "the setting stays";
    w.controller->hibernation().disableInsomnia(true);
    EXPECT_EQ(w.model.tag(P::HibernationInterval), 600);

    // A value written by hand is shown as itself.
    w.defaults->setInteger(u"Hibernation Interval", 45);
    const std::vector<HXPreferenceChoice> choices = w.model.choices(P::HibernationInterval);
    EXPECT_EQ(choices.back().tag, 45);
    EXPECT_EQ(choices.back().title, u"After 45 seconds");
    EXPECT_EQ(w.model.choices(P::StatusItemIcon).size(), 6u);
    EXPECT_EQ(w.model.choices(P::AutoExportHour).size(), 24u);
}

TEST(HXPreferencesModel, AFolderThatCannotBeWrittenIsRefusedPlainly) {
    PreferencesWorld w;
    const QString before = w.delegate.folder;
    w.model.chooseExportFolder();
    ASSERT_EQ(w.ui.folderPanels.size(), 1u);
    EXPECT_EQ(w.ui.folderPanels[0].title, u"Choose Folder");
    EXPECT_TRUE(w.ui.folderPanels[0].canCreateFolders);
    EXPECT_EQ(w.ui.folderPanels[0].startPath, before);
    EXPECT_EQ(w.delegate.folder, before) << "cancelled";
    EXPECT_EQ(w.delegate.autoTasks, 1);

    QFile file(w.scratch.path() + QStringLiteral("/plain"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    w.ui.folderPanelAnswer = file.fileName() + QStringLiteral("/below");
    w.model.chooseExportFolder();
    EXPECT_EQ(w.delegate.folder, before);
    ASSERT_EQ(w.ui.alerts.size(), 1u);
    EXPECT_EQ(w.ui.alerts[0].message, u"Qualdern cannot write into this folder.");
    EXPECT_EQ(w.delegate.autoTasks, 2);

    const QString chosen = w.scratch.path() + QStringLiteral("/Exports");
    ASSERT_TRUE(QDir().mkpath(chosen));
    w.ui.folderPanelAnswer = chosen;
    w.model.chooseExportFolder();
    EXPECT_EQ(w.delegate.folder, chosen);
    EXPECT_EQ(w.ui.alerts.size(), 1u);
    EXPECT_EQ(w.model.exportFolderTitle(), QStringLiteral("Exports — ") + HXAbbreviateWithTilde(chosen));
}
