// Dragging records onto the pool outline: which drops are taken, what they make, the retroactive merge
// and that a refused drop leaves everything as it was.
#include "EngineHarness.h"

#include "engine/HXOrganizerDrops.h"
#include "foundation/HXPropertyList.h"

#include <gtest/gtest.h>

using namespace HXKeys;

namespace {

const QString kMail = QStringLiteral("org.example.Mail");
const QString kEditor = QStringLiteral("org.example.Editor");

using Place = HXProposedDrop::Place;

// Mail with two windows and the editor, tracked for a while, Mail in front.
struct Tracked : EngineHarness {
    Tracked() {
        windows.setApplications({fakeApplication(1, kMail, QStringLiteral("Mail"),
                                                 {fakeWindow(11, QStringLiteral("Inbox")),
                                                  fakeWindow(12, QStringLiteral("Drafts"))}),
                                 fakeApplication(2, kEditor, QStringLiteral("Editor"),
                                                 {fakeWindow(21, QStringLiteral("notes"))})});
        windows.setFrontProcess(1);
        for (double t = 100; t <= 110; t += 1)
            tickAt(t);
    }
    // The record as it comes back off the pasteboard.
    static HXDictionaryRef dragged(const HXDictionaryRef& record) {
        return itemFromPasteboardData(itemPasteboardData(*record));
    }
    HXDropDecision validateOn(const HXDictionaryRef& row, const HXDictionaryRef& d) {
        return validateDrop(controller->configuration().get(), *defaults, d.get(), {Place::OnRow, row.get()});
    }
    QByteArray snapshot() const { return propertyListData(HXValue(controller->configuration())); }
    std::size_t undoCount() const { return controller->undoHistory().undoCount(); }
};

} // namespace

TEST(HXOrganizerDrops, WhatCanBeDragged) {
    Tracked h;
    const HXDictionaryRef pool =
        h.addPool(QStringLiteral("Work"), {EngineHarness::poolItem(QStringLiteral("Mail"), kMail)});
    auto adHoc = makeDictionary({{QStringLiteral("Name"), HXValue(QStringLiteral("Calls"))},
                                 {QStringLiteral("Path"), HXValue(QStringLiteral("_Ad_Hoc"))},
                                 {QStringLiteral("Application ID"), HXValue(QStringLiteral("_Ad_Hoc"))},
                                 {QStringLiteral("Type"), HXValue(QStringLiteral("Pool Item"))}});
    EXPECT_EQ(dragKindForRecord(nullptr), HXOrganizerDragKind::None);
    EXPECT_EQ(dragKindForRecord(adHoc.get()), HXOrganizerDragKind::None);
    EXPECT_EQ(dragKindForRecord(pool.get()), HXOrganizerDragKind::Delete);
    EXPECT_EQ(dragKindForRecord(h.application(kMail).get()), HXOrganizerDragKind::Item);
    EXPECT_EQ(dragKindForRecord(h.window(kMail, QStringLiteral("Inbox")).get()), HXOrganizerDragKind::Item);
    EXPECT_EQ(dragKindForRecord(pool->arrayForKey(Children)->dictionaryAt(0).get()),
              HXOrganizerDragKind::Item);

    // The pasteboard carries the record's keys and history, not the record itself.
    const HXDictionaryRef copy = Tracked::dragged(h.application(kMail));
    ASSERT_TRUE(copy);
    EXPECT_NE(copy, h.application(kMail));
    EXPECT_EQ(*copy, *h.application(kMail));
    EXPECT_FALSE(itemFromPasteboardData(QByteArray()));
    EXPECT_FALSE(itemFromPasteboardData(QByteArray("not a property list")));
}

TEST(HXOrganizerDrops, PlacesOnThePoolOutline) {
    Tracked h;
    const HXDictionaryRef item = EngineHarness::poolItem(QStringLiteral("Editor"), kEditor);
    const HXDictionaryRef pool = h.addPool(QStringLiteral("Work"), {item});
    const HXDictionaryRef mail = Tracked::dragged(h.application(kMail));
    const HXDictionary* configuration = h.controller->configuration().get();

    // Between top-level rows or in empty space: a new pool, whatever is dragged.
    const HXDropDecision top =
        validateDrop(configuration, *h.defaults, mail.get(), {Place::TopLevel, nullptr});
    EXPECT_TRUE(top.accepted);
    EXPECT_TRUE(top.makesNewPool);
    EXPECT_FALSE(validateDrop(configuration, *h.defaults, nullptr, {Place::TopLevel, nullptr}).accepted);
    EXPECT_FALSE(
        validateDrop(configuration, *h.defaults, mail.get(), {Place::BetweenChildren, pool.get()}).accepted);
    // On the header row, on a pool item, on a pool.
    EXPECT_FALSE(validateDrop(configuration, *h.defaults, mail.get(), {Place::OnRow, nullptr}).accepted);
    EXPECT_FALSE(h.validateOn(item, mail).accepted);
    const HXDropDecision onPool = h.validateOn(pool, mail);
    EXPECT_TRUE(onPool.accepted);
    EXPECT_FALSE(onPool.makesNewPool);
    // A record without a name cannot become a pool item.
    mail->remove(Name);
    EXPECT_FALSE(h.validateOn(pool, mail).accepted);
}

TEST(HXOrganizerDrops, MailOnAPoolWhoseMailItemListsWindowsCoversAllOfMail) {
    Tracked h;
    const HXDictionaryRef mailItem =
        EngineHarness::poolItem(QStringLiteral("Mail"), kMail,
                                {EngineHarness::windowPoolItem(QStringLiteral("Inbox"), kMail),
                                 EngineHarness::windowPoolItem(QStringLiteral("Drafts"), kMail)});
    const HXDictionaryRef pool = h.addPool(QStringLiteral("Work"), {mailItem});
    const HXDictionaryRef mail = Tracked::dragged(h.application(kMail));
    EXPECT_TRUE(h.validateOn(pool, mail).accepted);
    ASSERT_TRUE(acceptDrop(*h.controller, mail, pool, false));
    EXPECT_FALSE(mailItem->contains(Children));
    EXPECT_EQ(pool->arrayForKey(Children)->count(), 1);
    // Now it covers the whole application: neither Mail nor its windows can be added again.
    EXPECT_FALSE(h.validateOn(pool, mail).accepted);
    EXPECT_FALSE(h.validateOn(pool, Tracked::dragged(h.window(kMail, QStringLiteral("Inbox")))).accepted);
    EXPECT_EQ(h.undoCount(), 1u);
    h.controller->undo();
    const HXDictionaryRef restored = h.configuration().arrayForKey(u"Pools")->dictionaryAt(0);
    EXPECT_EQ(restored->arrayForKey(Children)->dictionaryAt(0)->arrayForKey(Children)->count(), 2);
}

TEST(HXOrganizerDrops, AWindowIsRefusedByAnItemCoveringAllOfItsApplicationAndByItsOwnEntry) {
    Tracked h;
    const HXDictionaryRef whole =
        h.addPool(QStringLiteral("All Mail"), {EngineHarness::poolItem(QStringLiteral("Mail"), kMail)});
    const HXDictionaryRef mailItem = EngineHarness::poolItem(
        QStringLiteral("Mail"), kMail, {EngineHarness::windowPoolItem(QStringLiteral("Drafts"), kMail)});
    const HXDictionaryRef listed = h.addPool(QStringLiteral("Some Mail"), {mailItem});
    const HXDictionaryRef inbox = Tracked::dragged(h.window(kMail, QStringLiteral("Inbox")));

    EXPECT_FALSE(h.validateOn(whole, inbox).accepted);
    const QByteArray before = h.snapshot();
    EXPECT_FALSE(acceptDrop(*h.controller, inbox, whole, false));
    EXPECT_EQ(h.snapshot(), before);
    EXPECT_EQ(h.undoCount(), 0u);

    EXPECT_TRUE(h.validateOn(listed, inbox).accepted);
    ASSERT_TRUE(acceptDrop(*h.controller, inbox, listed, false));
    const HXArrayRef windowItems = mailItem->arrayForKey(Children);
    ASSERT_EQ(windowItems->count(), 2);
    const HXDictionaryRef added = windowItems->dictionaryAt(1);
    EXPECT_EQ(added->stringForKey(Name), QStringLiteral("Inbox"));
    EXPECT_EQ(added->stringForKey(Path), QStringLiteral("_Window"));
    EXPECT_EQ(added->stringForKey(ApplicationID), kMail);
    EXPECT_EQ(added->stringForKey(Type), QStringLiteral("Pool Item"));
    EXPECT_FALSE(added->contains(Time));

    // The same window a second time, also under another case, is refused and changes nothing.
    EXPECT_FALSE(h.validateOn(listed, inbox).accepted);
    inbox->setValue(Name, QStringLiteral("INBOX"));
    EXPECT_FALSE(h.validateOn(listed, inbox).accepted);
    const QByteArray afterFirst = h.snapshot();
    const std::size_t undoStates = h.undoCount();
    EXPECT_FALSE(acceptDrop(*h.controller, inbox, listed, false));
    EXPECT_EQ(h.snapshot(), afterFirst);
    EXPECT_EQ(h.undoCount(), undoStates);
}

TEST(HXOrganizerDrops, AWindowOfAnUnknownApplicationIsRefusedAndAKnownOneMakesAPoolInEmptySpace) {
    Tracked h;
    const HXDictionaryRef pool = h.addPool(QStringLiteral("Work"), {});
    const HXDictionaryRef stranger = Tracked::dragged(h.window(kMail, QStringLiteral("Inbox")));
    stranger->setValue(ApplicationID, QStringLiteral("org.example.Gone"));
    EXPECT_FALSE(h.validateOn(pool, stranger).accepted);
    const QByteArray before = h.snapshot();
    EXPECT_FALSE(acceptDrop(*h.controller, stranger, nullptr, false));
    EXPECT_EQ(h.snapshot(), before);
    EXPECT_EQ(h.undoCount(), 0u);
    EXPECT_EQ(h.pools()->count(), 1);

    const HXDictionaryRef inbox = Tracked::dragged(h.window(kMail, QStringLiteral("Inbox")));
    EXPECT_TRUE(h.validateOn(pool, inbox).accepted);
    ASSERT_TRUE(acceptDrop(*h.controller, inbox, nullptr, false));
    ASSERT_EQ(h.pools()->count(), 2);
    const HXDictionaryRef made = h.pools()->dictionaryAt(1);
    EXPECT_EQ(made->stringForKey(Name), QString());
    EXPECT_EQ(made->stringForKey(Path), QStringLiteral("_Pool"));
    EXPECT_EQ(made->stringForKey(Type), QStringLiteral("Pool Item"));
    const HXDictionaryRef item = made->arrayForKey(Children)->dictionaryAt(0);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->stringForKey(Name), QStringLiteral("Mail"));
    EXPECT_EQ(item->stringForKey(Path), h.application(kMail)->stringForKey(Path));
    EXPECT_EQ(item->stringForKey(ApplicationID), kMail);
    const HXDictionaryRef windowItem = item->arrayForKey(Children)->dictionaryAt(0);
    ASSERT_TRUE(windowItem);
    EXPECT_EQ(windowItem->stringForKey(Name), QStringLiteral("Inbox"));
    // The new pool's name comes from its members.
    EXPECT_EQ(made->itemName(), QStringLiteral("Mail (1)"));
}

TEST(HXOrganizerDrops, MatchingByIdentifierOrByNameQuery) {
    Tracked h;
    // Named differently, but the same application: matched through its identifier while that is on.
    const HXDictionaryRef renamed = EngineHarness::poolItem(QStringLiteral("Post"), kMail);
    const HXDictionaryRef pool = h.addPool(QStringLiteral("Work"), {renamed});
    const HXDictionaryRef mail = Tracked::dragged(h.application(kMail));
    EXPECT_FALSE(h.validateOn(pool, mail).accepted);
    h.defaults->setBool(u"Pools: Match Applications Via ID", false);
    EXPECT_TRUE(h.validateOn(pool, mail).accepted);
    // A wildcard item catches the name instead.
    renamed->setValue(Name, QStringLiteral("Ma*"));
    EXPECT_FALSE(h.validateOn(pool, mail).accepted);
}

TEST(HXOrganizerDrops, TheModifierMergesTheDraggedHistoryIntoEveryTouchedRecord) {
    Tracked h;
    const HXDictionaryRef mail = h.application(kMail);
    const HXDictionaryRef inbox = h.window(kMail, QStringLiteral("Inbox"));
    ASSERT_GT(mail->timeIntervalForKey(Time), 9);

    // Without the modifier the pool counts from now on.
    ASSERT_TRUE(acceptDrop(*h.controller, Tracked::dragged(mail), nullptr, false));
    const HXDictionaryRef plain = h.pools()->dictionaryAt(0);
    EXPECT_LT(plain->timeIntervalForKey(Time), 0.001);

    ASSERT_TRUE(acceptDrop(*h.controller, Tracked::dragged(inbox), nullptr, true));
    const HXDictionaryRef merged = h.pools()->dictionaryAt(1);
    const HXDictionaryRef item = merged->arrayForKey(Children)->dictionaryAt(0);
    const HXDictionaryRef windowItem = item->arrayForKey(Children)->dictionaryAt(0);
    for (const HXDictionaryRef& record : {merged, item, windowItem}) {
        EXPECT_NEAR(record->timeIntervalForKey(Time), inbox->timeIntervalForKey(Time), 0.001);
        EXPECT_NEAR(record->timeIntervalForKey(FrontTime), inbox->timeIntervalForKey(FrontTime), 0.001);
        EXPECT_TRUE(record->boolForKey(Active));
        EXPECT_EQ(logValues(record->arrayForKey(ActiveLog)), logValues(inbox->arrayForKey(ActiveLog)));
    }
    // The next ticks go on from the merged history.
    h.tickAt(111);
    EXPECT_NEAR(merged->timeIntervalForKey(Time), inbox->timeIntervalForKey(Time), 0.001);
    EXPECT_EQ(logValues(merged->arrayForKey(ActiveLog)), std::vector<double>({100}));

    // Adding Mail itself to that pool merges Mail's history into the pool and its item as well: a union,
    // so the overlap counts once.
    ASSERT_TRUE(acceptDrop(*h.controller, Tracked::dragged(mail), merged, true));
    EXPECT_FALSE(item->contains(Children));
    EXPECT_NEAR(merged->timeIntervalForKey(Time), mail->timeIntervalForKey(Time), 0.001);
    EXPECT_NEAR(item->timeIntervalForKey(Time), mail->timeIntervalForKey(Time), 0.001);
}
