// The organizer's outlines as models: header rows, rows in list order and by identity, in-place updates
// across ticks, sorting, renaming and which rows may be edited, dragged and dropped on.
#include "EngineHarness.h"

#include "engine/HXOrganizerDrops.h"
#include "ui/organizer/HXOrganizerModel.h"

#include <QAbstractItemModelTester>
#include <QMimeData>
#include <QSet>
#include <QSignalSpy>
#include <QTreeView>

#include <gtest/gtest.h>

using namespace HXKeys;

namespace {

const QString kEditor = QStringLiteral("org.example.Editor");
const QString kMail = QStringLiteral("org.example.Mail");
const QString kBrowser = QStringLiteral("org.example.Browser");

using Model = HXOrganizerModel;

struct Organizer : EngineHarness {
    Organizer() {
        mailItem = poolItem(QStringLiteral("Mail"), kMail,
                            {windowPoolItem(QStringLiteral("Inbox"), kMail),
                             windowPoolItem(QStringLiteral("Drafts"), kMail)});
        pool = addPool(QStringLiteral("Work"), {mailItem, poolItem(QStringLiteral("Editor"), kEditor)});
        windows.setApplications(
            {fakeApplication(1, kEditor, QStringLiteral("Editor"), {fakeWindow(11, QStringLiteral("notes"))}),
             fakeApplication(
                 2, kMail, QStringLiteral("Mail"),
                 {fakeWindow(21, QStringLiteral("Inbox")), fakeWindow(22, QStringLiteral("Drafts"))}),
             fakeApplication(3, kBrowser, QStringLiteral("Browser"))});
        windows.setFrontProcess(2);
        controller->restoreSettings();
        tickAt(100);
    }
    QString text(const Model& model, int row, int column, const QModelIndex& parent = {}) const {
        return model.data(model.index(row, column, parent)).toString();
    }
    QStringList names(const Model& model, const QModelIndex& parent = {}) const {
        QStringList list;
        for (int row = parent.isValid() ? 0 : 1; row < model.rowCount(parent); ++row)
            list.append(text(model, row, Model::NameColumn, parent));
        return list;
    }

    HXDictionaryRef mailItem;
    HXDictionaryRef pool;
};

} // namespace

TEST(HXOrganizerModel, HeaderRowsNameTheOutlinesAndCarryTheirTotals) {
    Organizer h;
    Model apps(*h.controller, Model::Outline::Applications, nullptr);
    Model pools(*h.controller, Model::Outline::Pools, nullptr);
    QAbstractItemModelTester appsTester(&apps, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester poolsTester(&pools, QAbstractItemModelTester::FailureReportingMode::Fatal);
    // Before the first reload only the header row exists.
    EXPECT_EQ(apps.rowCount(), 1);
    h.tickAt(101);
    for (double t = 102; t <= 110; t += 1)
        h.tickAt(t);
    EXPECT_EQ(apps.rowCount(), 4);
    EXPECT_EQ(pools.rowCount(), 2);
    EXPECT_EQ(h.text(apps, 0, Model::NameColumn), QStringLiteral("Apps"));
    EXPECT_EQ(h.text(pools, 0, Model::NameColumn), QStringLiteral("Pools"));
    EXPECT_EQ(h.text(apps, 0, Model::FrontColumn), QString());
    EXPECT_EQ(h.text(apps, 0, Model::TotalColumn), QStringLiteral("0:10"));
    // The pools counted as long as the applications: their total says nothing new and stays blank.
    EXPECT_EQ(h.text(pools, 0, Model::TotalColumn), QString());
    h.controller->setOverallTimes(10, 9.2);
    pools.reload();
    EXPECT_EQ(h.text(pools, 0, Model::TotalColumn), QString());
    h.controller->setOverallTimes(10, 9);
    pools.reload();
    EXPECT_EQ(h.text(pools, 0, Model::TotalColumn), QStringLiteral("0:09"));
    // The header row is neither selectable nor draggable.
    EXPECT_EQ(apps.flags(apps.index(0, 0)), Qt::ItemIsEnabled);
    EXPECT_FALSE(apps.recordForIndex(apps.index(0, 0)));
}

TEST(HXOrganizerModel, RowsFollowTheListsWithTheirTimesAndPercentages) {
    Organizer h;
    Model apps(*h.controller, Model::Outline::Applications, nullptr);
    for (double t = 101; t <= 110; t += 1)
        h.tickAt(t);
    // Sorted by foreground time (the registered sort column), then by name.
    EXPECT_EQ(h.names(apps),
              (QStringList{QStringLiteral("Mail"), QStringLiteral("Browser"), QStringLiteral("Editor")}));
    EXPECT_EQ(h.text(apps, 1, Model::FrontColumn), QStringLiteral("0:10"));
    EXPECT_EQ(h.text(apps, 2, Model::FrontColumn), QString());
    EXPECT_EQ(h.text(apps, 2, Model::TotalColumn), QStringLiteral("0:10"));
    h.defaults->setBool(u"Organizer Shows Percentages", true);
    apps.reload();
    EXPECT_EQ(h.text(apps, 1, Model::FrontColumn), QStringLiteral("100%"));
    // Windows appear as child rows while their application is expanded.
    const QModelIndex mail = apps.index(1, 0);
    EXPECT_TRUE(apps.hasChildren(mail));
    EXPECT_EQ(apps.rowCount(mail), 0);
    apps.setRowExpanded(mail, true);
    EXPECT_TRUE(h.application(kMail)->boolForKey(Expanded));
    EXPECT_EQ(h.names(apps, mail), (QStringList{QStringLiteral("Inbox"), QStringLiteral("Drafts")}));
    EXPECT_FALSE(apps.hasChildren(apps.index(3, 0)) && apps.rowCount(apps.index(3, 0)) > 0);
}

TEST(HXOrganizerModel, SortingMovesRowsAndKeepsTheirIdentity) {
    Organizer h;
    Model apps(*h.controller, Model::Outline::Applications, nullptr);
    h.tickAt(101);
    QSignalSpy resets(&apps, &QAbstractItemModel::modelReset);
    QSignalSpy layouts(&apps, &QAbstractItemModel::layoutChanged);
    QSignalSpy moves(&apps, &QAbstractItemModel::rowsMoved);
    HXItemProxy* mailProxy = apps.existingProxyRepresentingItem(h.application(kMail).get());
    ASSERT_TRUE(mailProxy);
    const QPersistentModelIndex mail(apps.indexForProxy(mailProxy));
    EXPECT_EQ(mail.row(), 1);

    h.controller->setSortColumn(0);
    EXPECT_EQ(h.names(apps),
              (QStringList{QStringLiteral("Browser"), QStringLiteral("Editor"), QStringLiteral("Mail")}));
    EXPECT_EQ(h.defaults->integerForKey(u"Sort"), 0);
    EXPECT_EQ(apps.existingProxyRepresentingItem(h.application(kMail).get()), mailProxy);
    EXPECT_EQ(mail.row(), 3);
    EXPECT_GT(moves.count(), 0);
    h.controller->setSortColumn(2);
    h.tickAt(102);
    EXPECT_EQ(h.names(apps).size(), 3);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(layouts.count(), 0);
    EXPECT_EQ(apps.recordForIndex(mail), h.application(kMail));
}

TEST(HXOrganizerModel, NoResetAcrossAHundredTicksWithARowSelectedAndExpanded) {
    Organizer h;
    Model apps(*h.controller, Model::Outline::Applications, nullptr);
    Model pools(*h.controller, Model::Outline::Pools, nullptr);
    QTreeView appsView;
    QTreeView poolsView;
    appsView.setModel(&apps);
    poolsView.setModel(&pools);
    QObject::connect(&appsView, &QTreeView::expanded, &apps,
                     [&](const QModelIndex& i) { apps.setRowExpanded(i, true); });
    QObject::connect(&poolsView, &QTreeView::expanded, &pools,
                     [&](const QModelIndex& i) { pools.setRowExpanded(i, true); });
    h.tickAt(101);
    QSignalSpy appResets(&apps, &QAbstractItemModel::modelReset);
    QSignalSpy poolResets(&pools, &QAbstractItemModel::modelReset);
    QSignalSpy appLayouts(&apps, &QAbstractItemModel::layoutChanged);

    const QModelIndex mail = apps.indexForRecord(h.application(kMail).get());
    appsView.expand(mail);
    ASSERT_EQ(apps.rowCount(mail), 2);
    const QModelIndex inbox = apps.index(0, 0, mail);
    appsView.selectionModel()->select(inbox, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const QModelIndex work = pools.indexForRecord(h.pool.get());
    poolsView.expand(work);
    const QModelIndex mailInPool = pools.indexForRecord(h.mailItem.get());
    poolsView.expand(mailInPool);
    EXPECT_EQ(pools.rowCount(mailInPool), 2);
    const HXDictionaryRef inboxRecord = apps.recordForIndex(inbox);

    // Windows come and go and the front application changes meanwhile.
    for (int tick = 0; tick < 100; ++tick) {
        if (tick == 30)
            h.windows.setFrontProcess(1);
        if (tick == 60)
            h.windows.setApplications({fakeApplication(
                2, kMail, QStringLiteral("Mail"),
                {fakeWindow(21, QStringLiteral("Inbox")), fakeWindow(23, QStringLiteral("Outbox"))})});
        h.tickAt(102 + tick);
    }
    EXPECT_EQ(appResets.count(), 0);
    EXPECT_EQ(poolResets.count(), 0);
    EXPECT_EQ(appLayouts.count(), 0);
    const QModelIndexList selected = appsView.selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(apps.recordForIndex(selected[0]), inboxRecord);
    EXPECT_TRUE(appsView.isExpanded(apps.indexForRecord(h.application(kMail).get())));
    EXPECT_TRUE(poolsView.isExpanded(pools.indexForRecord(h.pool.get())));
    EXPECT_TRUE(poolsView.isExpanded(pools.indexForRecord(h.mailItem.get())));
    EXPECT_EQ(h.names(apps, apps.indexForRecord(h.application(kMail).get())),
              (QStringList{QStringLiteral("Inbox"), QStringLiteral("Drafts"), QStringLiteral("Outbox")}));
}

namespace {

// The top-level cells, as (row, column), that the dataChanged signals a spy caught cover.
QSet<std::pair<int, int>> coveredCells(QSignalSpy& changes) {
    QSet<std::pair<int, int>> cells;
    for (const QList<QVariant>& signal : changes) {
        const auto topLeft = signal[0].value<QModelIndex>();
        const auto bottomRight = signal[1].value<QModelIndex>();
        if (topLeft.parent().isValid())
            continue;
        for (int row = topLeft.row(); row <= bottomRight.row(); ++row)
            for (int column = topLeft.column(); column <= bottomRight.column(); ++column)
                cells.insert({row, column});
    }
    changes.clear();
    return cells;
}

} // namespace

TEST(HXOrganizerModel, ATickRedrawsTheCellsThatLookDifferentAndNoOthers) {
    Organizer h;
    Model apps(*h.controller, Model::Outline::Applications, nullptr);
    Model pools(*h.controller, Model::Outline::Pools, nullptr);
    h.tickAt(101);
    QSignalSpy appChanges(&apps, &QAbstractItemModel::dataChanged);
    QSignalSpy poolChanges(&pools, &QAbstractItemModel::dataChanged);

    // The lists built again at the same moment: nothing to redraw.
    h.tickAt(101);
    EXPECT_EQ(appChanges.count(), 0);
    EXPECT_EQ(poolChanges.count(), 0);

    // A second on, Mail in front reads a second more in both time columns, and so do its pool and the
    // totals; the names stay as they were.
    const int mail = apps.indexForRecord(h.application(kMail).get()).row();
    const int work = pools.indexForRecord(h.pool.get()).row();
    const QString mailTotal = h.text(apps, mail, Model::TotalColumn);
    h.tickAt(102);
    EXPECT_NE(h.text(apps, mail, Model::TotalColumn), mailTotal);
    QSet<std::pair<int, int>> cells = coveredCells(appChanges);
    EXPECT_TRUE(cells.contains({mail, Model::FrontColumn}));
    EXPECT_TRUE(cells.contains({mail, Model::TotalColumn}));
    EXPECT_TRUE(cells.contains({0, Model::TotalColumn}));
    EXPECT_FALSE(cells.contains({mail, Model::NameColumn}));
    EXPECT_FALSE(cells.contains({0, Model::NameColumn}));
    cells = coveredCells(poolChanges);
    EXPECT_TRUE(cells.contains({work, Model::TotalColumn}));
    EXPECT_FALSE(cells.contains({work, Model::NameColumn}));

    // Past a day durations read in tenths of a day: another second changes nothing shown.
    h.application(kEditor)->setTimeInterval(10 * 86400.0, Time);
    h.configuration().setTimeInterval(10 * 86400.0, HXKey(u"Overall Time"));
    h.tickAt(103);
    const int editor = apps.indexForRecord(h.application(kEditor).get()).row();
    EXPECT_EQ(h.text(apps, editor, Model::TotalColumn), QStringLiteral("10 days"));
    EXPECT_TRUE(coveredCells(appChanges).contains({editor, Model::TotalColumn}));
    h.tickAt(104);
    cells = coveredCells(appChanges);
    EXPECT_FALSE(cells.contains({editor, Model::TotalColumn}));
    EXPECT_FALSE(cells.contains({0, Model::TotalColumn}));
    EXPECT_TRUE(cells.contains({mail, Model::FrontColumn}));

    // A pool renamed redraws its name.
    ASSERT_TRUE(pools.setData(pools.index(work, Model::NameColumn), QStringLiteral("Play")));
    EXPECT_TRUE(coveredCells(poolChanges).contains({work, Model::NameColumn}));
    EXPECT_EQ(h.text(pools, work, Model::NameColumn), QStringLiteral("Play"));
    // Percentages shown: every time cell reads anew.
    h.defaults->setBool(u"Organizer Shows Percentages", true);
    h.tickAt(104);
    cells = coveredCells(appChanges);
    EXPECT_TRUE(cells.contains({editor, Model::TotalColumn}));
    EXPECT_TRUE(cells.contains({mail, Model::FrontColumn}));
    EXPECT_EQ(h.text(apps, mail, Model::FrontColumn), QStringLiteral("<1%"));
}

TEST(HXOrganizerModel, RenamingRules) {
    Organizer h;
    Model apps(*h.controller, Model::Outline::Applications, nullptr);
    Model pools(*h.controller, Model::Outline::Pools, nullptr);
    h.tickAt(101);
    const QModelIndex work = pools.indexForRecord(h.pool.get());
    pools.setRowExpanded(work, true);
    const QModelIndex mailItem = pools.indexForRecord(h.mailItem.get());
    pools.setRowExpanded(mailItem, true);
    const QModelIndex inboxItem = pools.index(0, 0, mailItem);

    // Applications are never edited in place; time columns neither.
    EXPECT_FALSE(apps.flags(apps.indexForRecord(h.application(kMail).get())) & Qt::ItemIsEditable);
    EXPECT_FALSE(pools.flags(pools.indexForRecord(h.pool.get(), Model::TotalColumn)) & Qt::ItemIsEditable);
    EXPECT_TRUE(pools.flags(work) & Qt::ItemIsEditable);
    EXPECT_TRUE(pools.flags(inboxItem) & Qt::ItemIsEditable);
    EXPECT_TRUE(pools.flags(mailItem) & Qt::ItemIsEditable);
    h.defaults->setBool(u"Pools: Editable Application Names", false);
    EXPECT_FALSE(pools.flags(mailItem) & Qt::ItemIsEditable);
    h.defaults->setBool(u"Pools: Editable Application Names", true);
    h.mailItem->setBool(true, MatchAnyApplication);
    EXPECT_FALSE(pools.flags(mailItem) & Qt::ItemIsEditable);
    h.mailItem->setBool(false, MatchAnyApplication);

    // The same text changes nothing; an item cannot lose its name; a pool can and is then named by its
    // members.
    const std::size_t undoStates = h.controller->undoHistory().undoCount();
    EXPECT_FALSE(pools.setData(work, QStringLiteral("Work")));
    EXPECT_FALSE(pools.setData(mailItem, QStringLiteral("  ")));
    EXPECT_EQ(h.controller->undoHistory().undoCount(), undoStates);
    EXPECT_TRUE(pools.setData(mailItem, QStringLiteral(" Post ")));
    EXPECT_EQ(h.mailItem->stringForKey(Name), QStringLiteral(" Post "));
    EXPECT_TRUE(pools.setData(work, QString()));
    EXPECT_EQ(h.pool->stringForKey(Name), QString());
    EXPECT_EQ(h.text(pools, pools.indexForRecord(h.pool.get()).row(), Model::NameColumn),
              QStringLiteral(" Post  (2) | Editor"));
    EXPECT_EQ(h.controller->undoHistory().undoCount(), undoStates + 2);
    h.controller->undo();
    EXPECT_EQ(h.configuration().arrayForKey(u"Pools")->dictionaryAt(0)->stringForKey(Name),
              QStringLiteral("Work"));
}

TEST(HXOrganizerModel, DragsAndDropsByKindOfRow) {
    Organizer h;
    Model apps(*h.controller, Model::Outline::Applications, nullptr);
    Model pools(*h.controller, Model::Outline::Pools, nullptr);
    h.tickAt(101);
    EXPECT_TRUE(apps.flags(apps.indexForRecord(h.application(kEditor).get())) & Qt::ItemIsDragEnabled);
    EXPECT_TRUE(pools.flags(pools.indexForRecord(h.pool.get())) & Qt::ItemIsDragEnabled);
    EXPECT_FALSE(apps.flags(QModelIndex()) & Qt::ItemIsDropEnabled);
    EXPECT_TRUE(pools.flags(QModelIndex()) & Qt::ItemIsDropEnabled);

    QMimeData browser;
    browser.setData(QString::fromLatin1(kHXItemPasteboardType), itemPasteboardData(*h.application(kBrowser)));
    QMimeData nothing;
    nothing.setData(QStringLiteral("text/plain"), "Browser");
    const QModelIndex work = pools.indexForRecord(h.pool.get());
    EXPECT_FALSE(apps.canDropMimeData(&browser, Qt::CopyAction, -1, -1, {}));
    EXPECT_FALSE(pools.canDropMimeData(&nothing, Qt::CopyAction, -1, -1, {}));
    EXPECT_FALSE(pools.canDropMimeData(&browser, Qt::CopyAction, -1, -1, pools.index(0, 0)));
    EXPECT_FALSE(pools.canDropMimeData(&browser, Qt::CopyAction, 0, 0, work));
    EXPECT_TRUE(pools.canDropMimeData(&browser, Qt::CopyAction, 1, 0, {}));
    EXPECT_TRUE(pools.canDropMimeData(&browser, Qt::CopyAction, -1, -1, work));

    // Dropped on the pool, the browser joins it: the pool's row stays, and its new child appears.
    pools.setRowExpanded(work, true);
    ASSERT_TRUE(pools.dropMimeData(&browser, Qt::CopyAction, -1, -1, work));
    EXPECT_EQ(h.pool->arrayForKey(Children)->count(), 3);
    EXPECT_EQ(pools.indexForRecord(h.pool.get()), work);
    EXPECT_EQ(pools.rowCount(work), 3);
    // In empty space it makes a pool of its own.
    ASSERT_TRUE(pools.dropMimeData(&browser, Qt::CopyAction, -1, -1, {}));
    EXPECT_EQ(pools.rowCount(), 3);
}
