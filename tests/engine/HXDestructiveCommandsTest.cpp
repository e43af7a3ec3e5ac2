#include "EngineHarness.h"

#include "foundation/HXPropertyList.h"

#include <gtest/gtest.h>

using namespace HXKeys;

namespace {

const QString kEditor = QStringLiteral("org.example.Editor");
const QString kMail = QStringLiteral("org.example.Mail");
const QString kArrow = QString(QChar(0x25B8));

// Two applications with windows and a pool, tracked for a few ticks.
struct Tracked : EngineHarness {
    Tracked() {
        windowItem = windowPoolItem(QStringLiteral("Inbox"), kMail);
        mailItem = poolItem(QStringLiteral("Mail"), kMail, {windowItem});
        pool = addPool(QStringLiteral("Work"), {mailItem, poolItem(QStringLiteral("Editor"), kEditor)});
        windows.setApplications(
            {fakeApplication(1, kEditor, QStringLiteral("Editor"), {fakeWindow(11, QStringLiteral("notes"))}),
             fakeApplication(2, kMail, QStringLiteral("Mail"), {fakeWindow(21, QStringLiteral("Inbox"))})});
        windows.setFrontProcess(2);
        for (double t : {100.0, 101.0, 102.0})
            tickAt(t);
    }
    std::size_t undoCount() const { return controller->undoHistory().undoCount(); }

    HXDictionaryRef windowItem;
    HXDictionaryRef mailItem;
    HXDictionaryRef pool;
};

} // namespace

TEST(HXDestructiveCommands, CancelChangesNothingAndPushesNoUndoState) {
    Tracked h;
    const QByteArray before = propertyListData(HXValue(h.controller->configuration()));
    h.ui.answers = {1, 1, 1, 1, 1, 1, 1};
    h.controller->resetAllTimers();
    h.controller->clearApplications();
    h.controller->clearPools();
    h.controller->clearAll();
    EXPECT_TRUE(h.controller->resetTimer(h.application(kEditor)));
    EXPECT_TRUE(h.controller->deleteItem(h.application(kEditor), {.confirm = true}));
    EXPECT_EQ(h.ui.alerts.size(), 6u);
    EXPECT_EQ(h.undoCount(), 0u);
    EXPECT_EQ(propertyListData(HXValue(h.controller->configuration())), before);
    for (const HXAlert& alert : h.ui.alerts)
        EXPECT_TRUE(alert.message.endsWith(
            QStringLiteral("\n\nIf you change your mind after the fact, this action is undoable.")));
}

TEST(HXDestructiveCommands, ResetAllAsksOncePushesOneStateAndUndoBringsBothBack) {
    Tracked h;
    h.controller->resetAllTimers();
    EXPECT_EQ(h.ui.alerts.size(), 1u);
    EXPECT_EQ(h.ui.alerts[0].title, QStringLiteral("Reset Timers"));
    h.time.runDue();
    EXPECT_EQ(h.undoCount(), 1u);
    // Applications come back fresh at the tick the reset ran; pools keep their structure without times.
    EXPECT_FALSE(h.application(kEditor)->contains(Time));
    EXPECT_FALSE(h.pool->contains(Time));
    EXPECT_EQ(h.pool->arrayForKey(Children)->count(), 2);
    EXPECT_FALSE(h.configuration().contains(u"Overall Pool Time") &&
                 h.configuration().timeIntervalForKey(u"Overall Pool Time") > 0);

    h.controller->undo();
    EXPECT_DOUBLE_EQ(h.application(kEditor)->timeIntervalForKey(Time), 2);
    const HXDictionaryRef pool = h.configuration().arrayForKey(u"Pools")->dictionaryAt(0);
    EXPECT_DOUBLE_EQ(pool->timeIntervalForKey(Time), 2);
    h.controller->redo();
    EXPECT_EQ(h.configuration().arrayForKey(u"Pools")->dictionaryAt(0)->timeIntervalForKey(Time), 0);
}

TEST(HXDestructiveCommands, ResetVariantsFollowWhatExists) {
    Tracked h;
    h.controller->resetPoolTimers();
    EXPECT_TRUE(h.application(kEditor)->contains(Time));
    EXPECT_FALSE(h.pool->contains(Time));

    EngineHarness noPools;
    noPools.windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor"))});
    noPools.tickAt(100);
    noPools.tickAt(101);
    noPools.controller->resetPoolTimers();
    EXPECT_TRUE(noPools.ui.alerts.empty());
    EXPECT_DOUBLE_EQ(noPools.configuration().timeIntervalForKey(u"Last Timestamp"), 101);
    noPools.time.setNow(105);
    noPools.controller->resetApplicationTimers();
    EXPECT_EQ(noPools.ui.alerts.size(), 1u);
    // With no pools, the pool totals start over too; the tick that ran was a gap.
    EXPECT_EQ(noPools.configuration().timeIntervalForKey(u"First Pool Timestamp"), 105);
    EXPECT_EQ(noPools.configuration().timeIntervalForKey(u"Overall Pool Time"), 0);
    EXPECT_FALSE(noPools.application(kEditor)->contains(Time));
    EXPECT_EQ(noPools.configuration().timeIntervalForKey(u"First Timestamp"), 105);
}

TEST(HXDestructiveCommands, ClearsRemoveWhatTheySay) {
    Tracked h;
    h.controller->clearPools();
    EXPECT_EQ(h.configuration().arrayForKey(u"Pools")->count(), 0);
    EXPECT_EQ(h.ui.alerts.back().title, QStringLiteral("Clear Pools"));
    EXPECT_TRUE(h.application(kEditor)->contains(Time));
    const std::size_t asked = h.ui.alerts.size();
    h.controller->clearPools();
    EXPECT_EQ(h.ui.alerts.size(), asked);

    h.controller->clearApplications();
    EXPECT_FALSE(h.application(kEditor)->contains(Time));
    EXPECT_EQ(h.configuration().arrayForKey(u"Window Blacklist")->count(), 1);

    h.configuration().setValue(u"Window Blacklist", makeArray({HXValue(QStringLiteral("Secret"))}));
    h.controller->clearAll();
    EXPECT_EQ(h.configuration().arrayForKey(u"Window Blacklist")->at(0).toString(),
              QStringLiteral("http*://*"));
    EXPECT_FALSE(h.configuration().contains(u"Pools"));
    h.time.runDue();
    EXPECT_EQ(h.undoCount(), 3u);
    h.controller->undo();
    EXPECT_EQ(h.configuration().arrayForKey(u"Window Blacklist")->at(0).toString(), QStringLiteral("Secret"));
}

TEST(HXDestructiveCommands, ResetOneRecord) {
    Tracked h;
    EXPECT_FALSE(h.controller->resetTimer(nullptr));
    EXPECT_TRUE(h.controller->resetTimer(h.application(kMail)));
    EXPECT_EQ(h.ui.alerts.back().title, QStringLiteral("Reset Timer: Mail"));
    EXPECT_FALSE(h.application(kMail)->contains(Time));
    EXPECT_FALSE(h.window(kMail, QStringLiteral("Inbox"))->contains(Time));
    EXPECT_TRUE(h.application(kEditor)->contains(Time));
    EXPECT_TRUE(h.controller->canUndo());
}

TEST(HXDestructiveCommands, DeletingActiveRecordsBlacklistsThemOnce) {
    Tracked h;
    ASSERT_TRUE(h.controller->deleteItem(h.window(kMail, QStringLiteral("Inbox")), {.confirm = false}));
    const HXArrayRef windowBlacklist = h.configuration().arrayForKey(u"Window Blacklist");
    EXPECT_EQ(windowBlacklist->last().toString(),
              QStringLiteral("Mail ") + kArrow + QStringLiteral(" Inbox"));
    EXPECT_FALSE(h.window(kMail, QStringLiteral("Inbox")));
    h.tickAt(103);
    EXPECT_FALSE(h.window(kMail, QStringLiteral("Inbox")));

    // Deleting the frontmost application blacklists it; a second delete of an equal record finds nothing.
    const HXDictionaryRef mail = h.application(kMail);
    EXPECT_TRUE(h.controller->deleteItem(mail, {.confirm = false}));
    EXPECT_EQ(h.configuration().arrayForKey(u"Application Blacklist")->last().toString(),
              QStringLiteral("Mail"));
    EXPECT_FALSE(h.controller->deleteItem(mail, {.confirm = false}));
    h.tickAt(104);
    EXPECT_FALSE(h.application(kMail));
    // The blacklist editor shows the lists sorted.
    h.controller->sortBlacklist(QStringLiteral("Application Blacklist"));
    EXPECT_EQ(h.configuration().arrayForKey(u"Application Blacklist")->at(0).toString(),
              QStringLiteral("Mail"));

    // An inactive record is removed without blacklisting, unless forced; covered names are not added twice.
    h.windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor"))});
    h.tickAt(105);
    const qsizetype entries = h.configuration().arrayForKey(u"Window Blacklist")->count();
    EXPECT_TRUE(h.controller->deleteItem(h.window(kEditor, QStringLiteral("notes")), {.confirm = false}));
    EXPECT_EQ(h.configuration().arrayForKey(u"Window Blacklist")->count(), entries);
    h.configuration().arrayForKey(u"Application Blacklist")->append(QStringLiteral("Edit*"));
    EXPECT_TRUE(
        h.controller->deleteItem(h.application(kEditor), {.forceBlacklisting = true, .confirm = false}));
    EXPECT_EQ(h.configuration().arrayForKey(u"Application Blacklist")->last().toString(),
              QStringLiteral("Edit*"));
}

TEST(HXDestructiveCommands, DeletingPoolItemsByIdentity) {
    Tracked h;
    EXPECT_FALSE(h.controller->deleteItem(h.mailItem->deepCopy(), {.confirm = false}));
    EXPECT_TRUE(h.controller->deleteItem(h.windowItem, {.confirm = false}));
    // The last window item gone, the pool item counts the whole application again.
    EXPECT_FALSE(h.mailItem->contains(Children));
    EXPECT_TRUE(h.configuration().arrayForKey(u"Window Blacklist")->count() == 1);
    h.tickAt(103);
    h.tickAt(104);
    EXPECT_TRUE(h.mailItem->boolForKey(Active));
    EXPECT_TRUE(h.controller->deleteItem(h.pool, {.confirm = false}));
    EXPECT_EQ(h.configuration().arrayForKey(u"Pools")->count(), 0);
    EXPECT_FALSE(h.controller->deleteItem(nullptr, {.confirm = true}));
}
