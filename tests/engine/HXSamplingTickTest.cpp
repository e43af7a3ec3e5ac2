#include "EngineHarness.h"

#include <gtest/gtest.h>

using namespace HXKeys;

namespace {

const QString kEditor = QStringLiteral("org.example.Editor");
const QString kMail = QStringLiteral("org.example.Mail");
const QString kArrow = QStringLiteral(" \u25B8 ");

} // namespace

TEST(HXSamplingTick, FirstTickIsAGapAndTimeNeedsTwoTicksThatSawTheItem) {
    EngineHarness h;
    h.windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor"),
                                               {fakeWindow(11, QStringLiteral("notes.txt - Editor"))})});
    h.windows.setFrontProcess(1);
    h.tickAt(1000);
    auto editor = h.application(kEditor);
    ASSERT_TRUE(editor);
    EXPECT_FALSE(editor->contains(Time));
    EXPECT_EQ(editor->stringForKey(Name), QStringLiteral("Editor"));
    EXPECT_EQ(editor->stringForKey(Path), desktopPath(kEditor));
    EXPECT_EQ(logValues(editor->arrayForKey(ActiveLog)), std::vector<double>({1000}));
    EXPECT_EQ(h.configuration().timeIntervalForKey(u"First Timestamp"), 1000);

    h.tickAt(1000.5);
    EXPECT_DOUBLE_EQ(editor->timeIntervalForKey(Time), 0.5);
    EXPECT_DOUBLE_EQ(editor->timeIntervalForKey(FrontTime), 0.5);
    auto notes = h.window(kEditor, QStringLiteral("notes.txt - Editor"));
    ASSERT_TRUE(notes);
    EXPECT_DOUBLE_EQ(notes->timeIntervalForKey(FrontTime), 0.5);
    EXPECT_EQ(notes->stringForKey(ApplicationID), kEditor);
    EXPECT_DOUBLE_EQ(h.configuration().timeIntervalForKey(u"Overall Time"), 0.5);
    EXPECT_DOUBLE_EQ(h.controller->overallApplicationTime(), 0.5);

    h.windows.setApplications({});
    h.tickAt(1001);
    EXPECT_EQ(logValues(editor->arrayForKey(ActiveLog)), std::vector<double>({1000, -1000.5}));
    EXPECT_EQ(logValues(notes->arrayForKey(FrontActiveLog)), std::vector<double>({1000, -1000.5}));
    EXPECT_FALSE(editor->boolForKey(Active));
    EXPECT_DOUBLE_EQ(editor->timeIntervalForKey(Time), 0.5);
}

TEST(HXSamplingTick, SwitchingTheFrontApplicationGivesTheIntervalToNeithersForeground) {
    EngineHarness h;
    h.windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor")),
                               fakeApplication(2, kMail, QStringLiteral("Mail"))});
    h.windows.setFrontProcess(1);
    h.tickAt(0 + 100);
    h.tickAt(1 + 100);
    h.windows.setFrontProcess(2);
    h.tickAt(2 + 100);
    h.tickAt(3 + 100);
    auto editor = h.application(kEditor);
    auto mail = h.application(kMail);
    EXPECT_DOUBLE_EQ(editor->timeIntervalForKey(FrontTime), 1);
    EXPECT_DOUBLE_EQ(mail->timeIntervalForKey(FrontTime), 1);
    EXPECT_DOUBLE_EQ(editor->timeIntervalForKey(Time), 3);
    EXPECT_DOUBLE_EQ(mail->timeIntervalForKey(Time), 3);
    EXPECT_EQ(logValues(editor->arrayForKey(FrontActiveLog)), std::vector<double>({100, -101}));
    EXPECT_EQ(logValues(mail->arrayForKey(FrontActiveLog)), std::vector<double>({102}));
}

TEST(HXSamplingTick, NoFrontApplicationMeansEverythingIsInTheBackground) {
    EngineHarness h;
    h.windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor"))});
    h.windows.setFrontProcess(std::nullopt);
    h.tickAt(100);
    h.tickAt(101);
    EXPECT_DOUBLE_EQ(h.application(kEditor)->timeIntervalForKey(Time), 1);
    EXPECT_FALSE(h.application(kEditor)->contains(FrontTime));
}

TEST(HXSamplingTick, WindowsWithTheSameFilteredTitleCountOnce) {
    EngineHarness h;
    h.windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor"),
                                               {fakeWindow(11, QStringLiteral("Report - One")),
                                                fakeWindow(12, QStringLiteral("Report - Two")),
                                                fakeWindow(13, QStringLiteral("Other"))})});
    h.windows.setFrontProcess(1);
    h.tickAt(100);
    auto filters = makeArray(
        {HXValue(makeDictionary({{QStringLiteral("Suffix Delimiter"), HXValue(QStringLiteral(" - "))}}))});
    auto entry = makeDictionary({{QStringLiteral("Application ID"), HXValue(kEditor)},
                                 {QStringLiteral("Name"), HXValue(QStringLiteral("Editor"))},
                                 {QStringLiteral("Filters"), HXValue(filters)}});
    h.configuration().setValue(u"Window Title Filters", makeArray({HXValue(entry)}));
    h.configuration().dictionaryForKey(u"Applications")->dictionaryForKey(kEditor)->remove(WindowsByName);
    h.tickAt(101);
    h.tickAt(102);
    auto report = h.window(kEditor, QStringLiteral("Report"));
    ASSERT_TRUE(report);
    EXPECT_EQ(report->stringForKey(Name), QStringLiteral("Report"));
    EXPECT_DOUBLE_EQ(report->timeIntervalForKey(Time), 1);
    EXPECT_DOUBLE_EQ(report->timeIntervalForKey(FrontTime), 1);
    EXPECT_FALSE(h.window(kEditor, QStringLiteral("Report - Two")));
    auto other = h.window(kEditor, QStringLiteral("Other"));
    ASSERT_TRUE(other);
    EXPECT_DOUBLE_EQ(other->timeIntervalForKey(Time), 1);
    EXPECT_FALSE(other->contains(FrontTime));
    EXPECT_EQ(h.application(kEditor)->dictionaryForKey(WindowsByName)->count(), 2);
}

TEST(HXSamplingTick, QualifiedBlacklistPassesOrEatsTheForeground) {
    for (const bool eats : {false, true}) {
        EngineHarness h;
        h.defaults->setBool(u"Qualified Blacklist Eats Frontmost Window", eats);
        h.windows.setApplications({fakeApplication(
            2, kMail, QStringLiteral("Mail"),
            {fakeWindow(21, QStringLiteral("Secret")), fakeWindow(22, QStringLiteral("Inbox"))})});
        h.windows.setFrontProcess(2);
        h.configuration().setValue(u"Window Blacklist", makeArray({HXValue(QStringLiteral("Mail") + kArrow +
                                                                           QStringLiteral("Secret"))}));
        h.tickAt(100);
        h.tickAt(101);
        h.tickAt(102);
        EXPECT_FALSE(h.window(kMail, QStringLiteral("Secret")));
        auto inbox = h.window(kMail, QStringLiteral("Inbox"));
        ASSERT_TRUE(inbox);
        EXPECT_DOUBLE_EQ(inbox->timeIntervalForKey(Time), 2) << eats;
        EXPECT_EQ(inbox->contains(FrontTime), !eats) << eats;
        EXPECT_DOUBLE_EQ(h.application(kMail)->timeIntervalForKey(FrontTime), 2);
    }
}

TEST(HXSamplingTick, BlacklistsHaveDefaultsAndDropWindowsAndApplications) {
    EngineHarness h;
    h.windows.setApplications(
        {fakeApplication(1, kEditor, QStringLiteral("Editor"),
                         {fakeWindow(11, QStringLiteral("https://example.org/")),
                          fakeWindow(12, QStringLiteral("   ")), fakeWindow(13, QStringLiteral("Kept"))}),
         fakeApplication(3, QStringLiteral("org.example.Qualdern"), QStringLiteral("Qualdern"))});
    h.tickAt(100);
    EXPECT_EQ(h.configuration().arrayForKey(u"Application Blacklist")->at(0).toString(),
              QStringLiteral("Qualdern"));
    EXPECT_EQ(h.configuration().arrayForKey(u"Window Blacklist")->at(0).toString(),
              QStringLiteral("http*://*"));
    EXPECT_FALSE(h.application(QStringLiteral("org.example.Qualdern")));
    EXPECT_EQ(h.application(kEditor)->dictionaryForKey(WindowsByName)->keys(),
              QStringList({QStringLiteral("Kept")}));

    h.configuration().setValue(u"Application Blacklist",
                               makeArray({HXValue(QStringLiteral(" editor.APP "))}));
    h.tickAt(101);
    EXPECT_FALSE(h.application(kEditor)->boolForKey(Active));
}

TEST(HXSamplingTick, ActivationPolicyFilter) {
    EngineHarness h;
    const QString tray = QStringLiteral("org.example.Tray");
    const QString daemon = QStringLiteral("org.example.Daemon");
    h.windows.setApplications(
        {fakeApplication(4, tray, QStringLiteral("Tray"), {}, HXActivationPolicy::Accessory),
         fakeApplication(5, daemon, QStringLiteral("Daemon"), {}, HXActivationPolicy::Prohibited)});
    h.tickAt(100);
    EXPECT_FALSE(h.application(tray));
    h.defaults->setInteger(u"Application Activation Policy Filter", 1);
    h.tickAt(101);
    EXPECT_TRUE(h.application(tray));
    EXPECT_FALSE(h.application(daemon));
    h.defaults->setInteger(u"Application Activation Policy Filter", 2);
    h.tickAt(102);
    EXPECT_TRUE(h.application(daemon));
}

TEST(HXSamplingTick, ApplicationsWithoutIdentifierAreKeyedByPathAndUnnamedOnesByTheirFile) {
    EngineHarness h;
    HXFakeApplication noID = fakeApplication(6, QString(), QString());
    noID.application.bundlePath = QStringLiteral("/opt/tool/bin/tool.bin");
    HXFakeApplication noPath = fakeApplication(7, QStringLiteral("org.example.Gone"), QStringLiteral("Gone"));
    noPath.application.bundlePath.reset();
    h.windows.setApplications({noID, noPath});
    h.tickAt(100);
    auto tool = h.application(QStringLiteral("/opt/tool/bin/tool.bin"));
    ASSERT_TRUE(tool);
    EXPECT_EQ(tool->stringForKey(Name), QStringLiteral("tool"));
    EXPECT_EQ(tool->stringForKey(ApplicationID), QStringLiteral("/opt/tool/bin/tool.bin"));
    EXPECT_FALSE(h.application(QStringLiteral("org.example.Gone")));
}

TEST(HXSamplingTick, LateTickGivesTheWholeIntervalToItemsSeenAtBothTicks) {
    EngineHarness h;
    h.windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor"))});
    h.windows.setFrontProcess(1);
    h.tickAt(100);
    h.tickAt(100.5);
    h.tickAt(130.5);
    EXPECT_DOUBLE_EQ(h.application(kEditor)->timeIntervalForKey(Time), 30.5);
    EXPECT_DOUBLE_EQ(h.application(kEditor)->timeIntervalForKey(FrontTime), 30.5);
}

TEST(HXSamplingTick, ClockSetBackIsAGapNotNegativeTime) {
    EngineHarness h;
    h.windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor"))});
    h.tickAt(1000);
    h.tickAt(1001);
    h.tickAt(900);
    EXPECT_DOUBLE_EQ(h.application(kEditor)->timeIntervalForKey(Time), 1);
    EXPECT_DOUBLE_EQ(h.configuration().timeIntervalForKey(u"Overall Time"), 1);
    EXPECT_EQ(logValues(h.application(kEditor)->arrayForKey(ActiveLog)),
              std::vector<double>({1000, -1001, 900}));
}

TEST(HXSamplingTick, TwoProcessesOfOneApplicationCountOnceAndOnlyTheFrontOneIsInFront) {
    EngineHarness h;
    h.windows.setApplications(
        {fakeApplication(1, kEditor, QStringLiteral("Editor"), {fakeWindow(11, QStringLiteral("a"))}),
         fakeApplication(2, kEditor, QStringLiteral("Editor"), {fakeWindow(21, QStringLiteral("b"))})});
    h.windows.setFrontProcess(2);
    h.tickAt(100);
    h.tickAt(101);
    EXPECT_DOUBLE_EQ(h.application(kEditor)->timeIntervalForKey(Time), 1);
    EXPECT_DOUBLE_EQ(h.application(kEditor)->timeIntervalForKey(FrontTime), 1);
    EXPECT_DOUBLE_EQ(h.window(kEditor, QStringLiteral("a"))->timeIntervalForKey(Time), 1);
    EXPECT_DOUBLE_EQ(h.window(kEditor, QStringLiteral("b"))->timeIntervalForKey(Time), 1);
    EXPECT_FALSE(h.window(kEditor, QStringLiteral("a"))->contains(FrontTime));
    EXPECT_DOUBLE_EQ(h.window(kEditor, QStringLiteral("b"))->timeIntervalForKey(FrontTime), 1);
}

TEST(HXSamplingTick, WindowsOfOtherDesktopsCountOnlyWhenOrderedInAndAsked) {
    EngineHarness h;
    HXFakeWindow away = fakeWindow(12, QStringLiteral("Elsewhere"));
    away.onScreen = false;
    HXFakeWindow minimized = fakeWindow(13, QStringLiteral("Minimized"));
    minimized.onScreen = false;
    minimized.orderedIn = false;
    HXFakeWindow floating = fakeWindow(14, QStringLiteral("Floating"));
    floating.layer = 3;
    h.windows.setApplications(
        {fakeApplication(1, kEditor, QStringLiteral("Editor"),
                         {fakeWindow(11, QStringLiteral("Here")), away, minimized, floating})});
    h.tickAt(100);
    EXPECT_EQ(h.application(kEditor)->dictionaryForKey(WindowsByName)->keys(),
              QStringList({QStringLiteral("Here"), QStringLiteral("Elsewhere")}));
    h.defaults->setBool(u"Include Windows From All Spaces", false);
    h.defaults->setBool(u"Include Floating Windows", true);
    const int queries = h.windows.allWindowsQueries();
    h.tickAt(101);
    EXPECT_EQ(h.windows.allWindowsQueries(), queries);
    EXPECT_FALSE(h.window(kEditor, QStringLiteral("Elsewhere"))->boolForKey(Active));
    EXPECT_TRUE(h.window(kEditor, QStringLiteral("Floating"))->boolForKey(Active));
}

TEST(HXSamplingTick, OrganizerListsFollowActivityAndSortOrder) {
    EngineHarness h;
    h.defaults->setBool(u"Show Inactive Applications", false);
    h.controller->setShowInactiveApplications(false);
    h.windows.setApplications(
        {fakeApplication(1, kEditor, QStringLiteral("Editor"),
                         {fakeWindow(11, QStringLiteral("b")), fakeWindow(12, QStringLiteral("a"))}),
         fakeApplication(2, kMail, QStringLiteral("Mail"))});
    h.windows.setFrontProcess(2);
    int reloads = 0;
    QObject::connect(h.controller.get(), &HXMainController::applicationListReloaded, [&] { ++reloads; });
    h.tickAt(100);
    h.tickAt(101);
    h.tickAt(102);
    ASSERT_EQ(h.controller->listApplications()->count(), 2);
    // Sorted by foreground time: Mail has it, Editor does not.
    EXPECT_EQ(h.controller->listApplications()->dictionaryAt(0)->stringForKey(Name), QStringLiteral("Mail"));
    auto editorWindows = h.application(kEditor)->listWindows();
    ASSERT_TRUE(editorWindows);
    EXPECT_EQ(editorWindows->dictionaryAt(0)->stringForKey(Name), QStringLiteral("a"));
    EXPECT_EQ(reloads, 3);

    h.windows.setApplications({fakeApplication(2, kMail, QStringLiteral("Mail"))});
    h.tickAt(103);
    EXPECT_EQ(h.controller->listApplications()->count(), 1);
    EXPECT_EQ(h.application(kEditor)->listWindows(), nullptr);
}

TEST(HXSamplingTick, ScheduledTicksSkipWhilePausedAndTheFirstAfterIsAGap) {
    EngineHarness h;
    h.windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor"))});
    h.controller->setUpdateInterval(0.2);
    EXPECT_EQ(h.defaults->doubleForKey(u"Update Interval"), 0.2);
    EXPECT_EQ(h.controller->updateInterval(), 0.5);
    h.controller->updateLists(HXTrigger::Command);
    EXPECT_TRUE(h.time.hasPendingPerform(h.controller.get(), "updateLists"));
    h.time.advance(2);
    EXPECT_DOUBLE_EQ(h.application(kEditor)->timeIntervalForKey(Time), 2);
    EXPECT_EQ(h.time.pendingPerformCount(h.controller.get(), "updateLists"), 1u);

    h.controller->setPaused(true);
    h.controller->setPaused(true);
    h.time.advance(3);
    h.controller->setPaused(false);
    h.time.advance(3);
    EXPECT_DOUBLE_EQ(h.application(kEditor)->timeIntervalForKey(Time), 2);
    h.controller->setPaused(false);
    h.time.advance(1);
    // The gap tick adds nothing; the one after it adds its own interval.
    EXPECT_DOUBLE_EQ(h.application(kEditor)->timeIntervalForKey(Time), 2.5);
    EXPECT_EQ(logValues(h.application(kEditor)->arrayForKey(ActiveLog)).size(), 3u);

    // A command's tick runs even while paused, and leaves exactly one pending tick.
    h.controller->setPaused(true);
    h.time.advance(0.2);
    h.controller->updateLists(HXTrigger::Command);
    h.controller->updateLists(HXTrigger::Command);
    EXPECT_EQ(h.configuration().timeIntervalForKey(u"Last Timestamp"), h.time.now());
    EXPECT_EQ(h.time.pendingPerformCount(h.controller.get(), "updateLists"), 1u);
}

TEST(HXSamplingTick, ScheduledTicksWaitWhileAnOrganizerCellIsEdited) {
    EngineHarness h;
    h.windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor"))});
    h.controller->updateLists(HXTrigger::Command);
    h.time.advance(1);
    const double gathered = h.application(kEditor)->timeIntervalForKey(Time);
    h.controller->setEditingOrganizerCell(true);
    h.time.advance(2);
    EXPECT_EQ(h.application(kEditor)->timeIntervalForKey(Time), gathered);
    h.controller->setEditingOrganizerCell(false);
    // No gap: the edit only held the lists still, and the next tick gives the whole interval.
    h.time.advance(0.5);
    EXPECT_DOUBLE_EQ(h.application(kEditor)->timeIntervalForKey(Time), gathered + 2.5);
}
