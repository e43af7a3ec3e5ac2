#include "EngineHarness.h"

#include "engine/HXPools.h"

#include <gtest/gtest.h>

using namespace HXKeys;

namespace {

const QString kEditor = QStringLiteral("org.example.Editor");
const QString kMail = QStringLiteral("org.example.Mail");
const QString kOffice = QStringLiteral("org.example.Writer");

void runTicks(EngineHarness& h, std::initializer_list<double> times) {
    for (double t : times)
        h.tickAt(t);
}

} // namespace

TEST(HXPools, ApplicationsInTwoPoolsFeedBothAndOverlapCountsOnce) {
    EngineHarness h;
    auto editorItem = EngineHarness::poolItem(QStringLiteral("Editor"), kEditor);
    auto mailItem = EngineHarness::poolItem(QStringLiteral("Mail"), kMail);
    auto work = h.addPool(QStringLiteral("Work"), {editorItem, mailItem});
    auto writing =
        h.addPool(QStringLiteral("Writing"), {EngineHarness::poolItem(QStringLiteral("Editor"), kEditor)});
    h.windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor")),
                               fakeApplication(2, kMail, QStringLiteral("Mail"))});
    h.windows.setFrontProcess(2);
    runTicks(h, {100, 101, 102});
    EXPECT_DOUBLE_EQ(work->timeIntervalForKey(Time), 2);
    EXPECT_DOUBLE_EQ(work->timeIntervalForKey(FrontTime), 2);
    EXPECT_DOUBLE_EQ(writing->timeIntervalForKey(Time), 2);
    EXPECT_FALSE(writing->contains(FrontTime));
    EXPECT_DOUBLE_EQ(editorItem->timeIntervalForKey(Time), 2);
    EXPECT_DOUBLE_EQ(mailItem->timeIntervalForKey(FrontTime), 2);
    EXPECT_EQ(logValues(work->arrayForKey(ActiveLog)), std::vector<double>({100}));
    EXPECT_DOUBLE_EQ(h.configuration().timeIntervalForKey(u"Overall Pool Time"), 2);
}

TEST(HXPools, WildcardNamesCatchOtherApplications) {
    EngineHarness h;
    auto item = EngineHarness::poolItem(QStringLiteral("*Office*"), kOffice);
    auto pool = h.addPool(QStringLiteral("Office"), {item});
    h.windows.setApplications(
        {fakeApplication(3, QStringLiteral("org.example.Sheets"), QStringLiteral("Sheets (office suite)")),
         fakeApplication(1, kEditor, QStringLiteral("Editor"))});
    runTicks(h, {100, 101});
    EXPECT_DOUBLE_EQ(pool->timeIntervalForKey(Time), 1);
    EXPECT_DOUBLE_EQ(item->timeIntervalForKey(Time), 1);
}

TEST(HXPools, ItemNarrowedToWindowsIsFedOnlyByThoseWindows) {
    EngineHarness h;
    auto reportWindow = EngineHarness::windowPoolItem(QStringLiteral("Report*"), kEditor);
    auto editorItem = EngineHarness::poolItem(QStringLiteral("Editor"), kEditor, {reportWindow});
    auto pool = h.addPool(QStringLiteral("Reports"), {editorItem});
    h.windows.setApplications(
        {fakeApplication(1, kEditor, QStringLiteral("Editor"), {fakeWindow(11, QStringLiteral("Notes"))})});
    h.windows.setFrontProcess(1);
    runTicks(h, {100, 101});
    EXPECT_FALSE(editorItem->contains(Time));
    EXPECT_FALSE(pool->contains(Time));
    EXPECT_TRUE(logValues(pool->arrayForKey(ActiveLog)).empty());

    h.windows.applications()[0].windows.insert(h.windows.applications()[0].windows.begin(),
                                               fakeWindow(12, QStringLiteral("Report 2026")));
    runTicks(h, {102, 103, 104});
    EXPECT_DOUBLE_EQ(reportWindow->timeIntervalForKey(Time), 2);
    EXPECT_DOUBLE_EQ(reportWindow->timeIntervalForKey(FrontTime), 2);
    EXPECT_DOUBLE_EQ(editorItem->timeIntervalForKey(Time), 2);
    EXPECT_DOUBLE_EQ(pool->timeIntervalForKey(FrontTime), 2);
}

TEST(HXPools, WithoutMatchingByIDAWindowItemNeedsItsTitleToMatchTheApplicationItem) {
    EngineHarness h;
    h.defaults->setBool(u"Pools: Match Applications Via ID", false);
    auto windowItem = EngineHarness::windowPoolItem(QStringLiteral("*"), kEditor);
    auto editorItem = EngineHarness::poolItem(QStringLiteral("Editor*"), kEditor, {windowItem});
    h.addPool(QStringLiteral("P"), {editorItem});
    h.windows.setApplications({fakeApplication(
        1, kEditor, QStringLiteral("Editor"),
        {fakeWindow(11, QStringLiteral("Notes")), fakeWindow(12, QStringLiteral("Editor help"))})});
    runTicks(h, {100, 101});
    // Only "Editor help" fits the application item's name; it feeds the window item once per tick.
    EXPECT_DOUBLE_EQ(windowItem->timeIntervalForKey(Time), 1);
    h.defaults->setBool(u"Pools: Match Applications Via ID", true);
    h.windows.applications()[0].windows.pop_back();
    runTicks(h, {102, 103});
    // Now every window of the application reaches the window item through the application's key.
    EXPECT_DOUBLE_EQ(windowItem->timeIntervalForKey(Time), 3);
}

TEST(HXPools, MatchAnyPausedAndAdHocItems) {
    EngineHarness h;
    auto any = EngineHarness::poolItem(QStringLiteral("nothing like it"), QStringLiteral("org.example.None"));
    any->setBool(true, MatchAnyApplication);
    auto anyPool = h.addPool(QStringLiteral("Any"), {any});
    auto paused =
        h.addPool(QStringLiteral("Paused"), {EngineHarness::poolItem(QStringLiteral("Editor"), kEditor)});
    paused->setBool(true, Paused);
    auto adHoc = makeDictionary({{QStringLiteral("Name"), HXValue(QStringLiteral("*"))},
                                 {QStringLiteral("Path"), HXValue(QStringLiteral("_Ad_Hoc"))},
                                 {QStringLiteral("Application ID"), HXValue(QStringLiteral("_Ad_Hoc"))},
                                 {QStringLiteral("Type"), HXValue(QStringLiteral("Pool Item"))}});
    auto adHocPool = h.addPool(QStringLiteral("Timers"), {adHoc});
    h.windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor"))});
    runTicks(h, {100, 101});
    EXPECT_DOUBLE_EQ(anyPool->timeIntervalForKey(Time), 1);
    EXPECT_FALSE(paused->contains(Time));
    EXPECT_FALSE(adHocPool->contains(Time));
    EXPECT_FALSE(adHoc->contains(ActiveLog));

    // Inactive pools stay listed while paused, with inactive pools hidden.
    h.controller->setShowInactivePools(false);
    runTicks(h, {102});
    QStringList listed;
    for (const HXValue& v : h.controller->listPools()->values())
        listed.append(v.toDictionary()->stringForKey(Name));
    listed.sort();
    EXPECT_EQ(listed, QStringList({QStringLiteral("Any"), QStringLiteral("Paused")}));

    h.controller->togglePauseForPool(paused);
    EXPECT_FALSE(paused->contains(Paused));
    h.tickAt(103);
    h.tickAt(104);
    EXPECT_DOUBLE_EQ(paused->timeIntervalForKey(Time), 2);
}

TEST(HXPools, MatchAnyToggleIsUndoable) {
    EngineHarness h;
    auto item = EngineHarness::poolItem(QStringLiteral("Editor"), kEditor);
    h.addPool(QStringLiteral("P"), {item});
    h.tickAt(100);
    EXPECT_FALSE(h.controller->toggleMatchAnyApplication(nullptr));
    EXPECT_TRUE(h.controller->toggleMatchAnyApplication(item));
    EXPECT_TRUE(item->boolForKey(MatchAnyApplication));
    EXPECT_TRUE(h.controller->canUndo());
    h.controller->undo();
    auto restored =
        h.configuration().arrayForKey(u"Pools")->dictionaryAt(0)->arrayForKey(Children)->dictionaryAt(0);
    EXPECT_FALSE(restored->boolForKey(MatchAnyApplication));
}

TEST(HXPools, AncestorsAreFoundByIdentity) {
    EngineHarness h;
    auto windowItem = EngineHarness::windowPoolItem(QStringLiteral("Inbox"), kMail);
    auto mailItem = EngineHarness::poolItem(QStringLiteral("Mail"), kMail, {windowItem});
    auto pool = h.addPool(QStringLiteral("P"), {mailItem});
    const HXArray* pools = h.pools().get();
    EXPECT_EQ(poolAncestorsOfItem(pools, pool.get())->size(), 0u);
    EXPECT_EQ(poolAncestorsOfItem(pools, mailItem.get())->front(), pool);
    const auto chain = poolAncestorsOfItem(pools, windowItem.get());
    ASSERT_TRUE(chain);
    EXPECT_EQ(*chain, (std::vector<HXDictionaryRef>{pool, mailItem}));
    EXPECT_FALSE(poolAncestorsOfItem(pools, mailItem->deepCopy().get()));
    EXPECT_FALSE(poolAncestorsOfItem(pools, nullptr));
}

TEST(HXPools, RenamedItemsAreMatchedByTheirNewName) {
    EngineHarness h;
    auto item = EngineHarness::poolItem(QStringLiteral("Nothing*"), QStringLiteral("org.example.Other"));
    auto pool = h.addPool(QStringLiteral("P"), {item});
    h.windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor"))});
    runTicks(h, {100, 101});
    EXPECT_FALSE(pool->contains(Time));
    // Renaming is a command: it runs a tick of its own.
    item->setValue(Name, QStringLiteral("edit*"));
    h.time.setNow(102);
    h.controller->updateLists(HXTrigger::Command);
    runTicks(h, {103});
    EXPECT_DOUBLE_EQ(pool->timeIntervalForKey(Time), 1);
}

// The organizer lists a pool's items by the sort column; the stored items keep the order the user gave
// them, and an unnamed pool is named after its items as the organizer shows them.
TEST(HXPools, DisplayOrderLeavesTheStoredItemsAlone) {
    EngineHarness h;
    auto mailItem = EngineHarness::poolItem(QStringLiteral("Mail"), kMail);
    auto report = EngineHarness::windowPoolItem(QStringLiteral("Report*"), kEditor);
    auto notes = EngineHarness::windowPoolItem(QStringLiteral("Notes*"), kEditor);
    auto editorItem = EngineHarness::poolItem(QStringLiteral("Editor"), kEditor, {report, notes});
    auto pool = h.addPool(QString(), {mailItem, editorItem});
    h.windows.setApplications(
        {fakeApplication(1, kEditor, QStringLiteral("Editor"), {fakeWindow(11, QStringLiteral("Notes 1"))}),
         fakeApplication(2, kMail, QStringLiteral("Mail"))});
    h.windows.setFrontProcess(1);
    runTicks(h, {100, 101, 102});

    const auto names = [](const HXArrayRef& records) {
        QStringList out;
        for (const HXValue& v : records->values())
            out.append(v.toDictionary()->stringForKey(Name));
        return out;
    };
    // By front time, the default sort column: Editor (and its Notes window) first.
    ASSERT_TRUE(pool->listChildren());
    EXPECT_EQ(names(pool->listChildren()), QStringList({QStringLiteral("Editor"), QStringLiteral("Mail")}));
    EXPECT_EQ(names(editorItem->listChildren()),
              QStringList({QStringLiteral("Notes*"), QStringLiteral("Report*")}));
    EXPECT_EQ(names(pool->arrayForKey(Children)),
              QStringList({QStringLiteral("Mail"), QStringLiteral("Editor")}));
    EXPECT_EQ(names(editorItem->arrayForKey(Children)),
              QStringList({QStringLiteral("Report*"), QStringLiteral("Notes*")}));
    EXPECT_EQ(pool->itemName(), QStringLiteral("Editor (2) | Mail"));

    // A pool the organizer does not list keeps no order of its own: readers take the stored one.
    h.windows.setApplications({});
    h.controller->setShowInactivePools(false);
    h.controller->setSortColumn(0);
    EXPECT_EQ(pool->listChildren(), nullptr);
    EXPECT_EQ(pool->itemName(), QStringLiteral("Mail | Editor (2)"));
}
