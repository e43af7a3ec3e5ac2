// The organizer's widgets offscreen: the action button, right clicks, keys, one selection across both
// outlines, the divider kept per window, the hibernation cloak, the notes editor and the export name.
#include "EngineHarness.h"
#include "support/PaintedArea.h"

#include "ui/organizer/HXItemDelegate.h"
#include "ui/organizer/HXItemIcons.h"
#include "ui/organizer/HXItemList.h"
#include "ui/organizer/HXNotesEditor.h"
#include "ui/organizer/HXOrganizerModel.h"
#include "ui/organizer/HXOrganizerView.h"
#include "ui/shell/HXExportFileName.h"
#include "ui/shell/HXListWindow.h"

#include <QDateTime>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

using namespace HXKeys;

namespace {

const QString kEditor = QStringLiteral("org.example.Editor");

struct Widgets : EngineHarness {
    Widgets() : view(*controller, nullptr, icons) {
        work = addPool(QStringLiteral("Work"), {poolItem(QStringLiteral("Editor"), kEditor)});
        windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor"),
                                                 {fakeWindow(11, QStringLiteral("notes"))})});
        windows.setFrontProcess(1);
        controller->restoreSettings();
        tickAt(100);
        tickAt(101);
        view.resize(400, 500);
        view.show();
    }

    HXItemIcons icons;
    HXOrganizerView view;
    HXDictionaryRef work;
};

} // namespace

TEST(HXOrganizerWidgets, TheActionButtonPausesAPoolOnlyWhenReleasedInside) {
    Widgets h;
    HXItemList& pools = h.view.poolList();
    const QModelIndex row = h.view.poolModel().indexForRecord(h.work.get());
    const QRect button = HXItemDelegate::actionRect(pools.visualRect(row));
    ASSERT_FALSE(button.isEmpty());
    QTest::mousePress(pools.viewport(), Qt::LeftButton, Qt::NoModifier, button.center());
    EXPECT_EQ(pools.actionItem(), h.work.get());
    EXPECT_TRUE(h.controller->isPaused());
    QTest::mouseRelease(pools.viewport(), Qt::LeftButton, Qt::NoModifier, button.center());
    EXPECT_EQ(pools.actionItem(), nullptr);
    EXPECT_FALSE(h.controller->isPaused());
    // Without a handler nothing happens; with one, the pool's action runs.
    std::vector<HXDictionaryRef> acted;
    pools.setActionHandler([&](const HXDictionaryRef& record) { acted.push_back(record); });
    QTest::mousePress(pools.viewport(), Qt::LeftButton, Qt::NoModifier, button.center());
    QTest::mouseRelease(pools.viewport(), Qt::LeftButton, Qt::NoModifier, button.center());
    ASSERT_EQ(acted.size(), 1u);
    EXPECT_EQ(acted[0], h.work);
    // Let go outside the button: nothing.
    QTest::mousePress(pools.viewport(), Qt::LeftButton, Qt::NoModifier, button.center());
    QMouseEvent moved(QEvent::MouseMove, QPointF(5, button.center().y()), QPointF(), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pools.viewport(), &moved);
    EXPECT_EQ(pools.actionItem(), nullptr);
    QTest::mouseRelease(pools.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, button.center().y()));
    EXPECT_EQ(acted.size(), 1u);
    // Applications without a window title filter have no button.
    HXItemList& apps = h.view.applicationList();
    const QModelIndex editor = h.view.applicationModel().indexForRecord(h.application(kEditor).get());
    QTest::mousePress(apps.viewport(), Qt::LeftButton, Qt::NoModifier,
                      HXItemDelegate::actionRect(apps.visualRect(editor)).center());
    EXPECT_EQ(apps.actionItem(), nullptr);
    EXPECT_EQ(apps.selectedRecord(), h.application(kEditor));
}

TEST(HXOrganizerWidgets, RightClicksKeysAndOneSelectionAcrossBothOutlines) {
    Widgets h;
    HXItemList& apps = h.view.applicationList();
    HXItemList& pools = h.view.poolList();
    std::vector<HXDictionaryRef> asked;
    apps.setContextMenuProvider([&](const HXDictionaryRef& record) {
        asked.push_back(record);
        return std::unique_ptr<QMenu>();
    });
    const QModelIndex editor = h.view.applicationModel().indexForRecord(h.application(kEditor).get());
    QTest::mouseClick(apps.viewport(), Qt::RightButton, Qt::NoModifier, apps.visualRect(editor).center());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], h.application(kEditor));
    // Below the rows, and on the header row, there is nothing to ask about.
    QTest::mouseClick(apps.viewport(), Qt::RightButton, Qt::NoModifier,
                      QPoint(20, apps.viewport()->height() - 5));
    QTest::mouseClick(apps.viewport(), Qt::RightButton, Qt::NoModifier,
                      apps.visualRect(h.view.applicationModel().index(0, 0)).center());
    EXPECT_EQ(asked.size(), 1u);

    apps.selectRecord(h.application(kEditor).get());
    EXPECT_EQ(h.view.selectedItem(), h.application(kEditor));
    pools.selectRecord(h.work.get());
    EXPECT_EQ(h.view.selectedItem(), h.work);
    EXPECT_FALSE(apps.selectedRecord());

    int deletes = 0;
    pools.setDeleteHandler([&] { ++deletes; });
    QTest::keyClick(&pools, Qt::Key_Delete);
    EXPECT_EQ(deletes, 1);
    QTest::keyClick(&pools, Qt::Key_Escape);
    EXPECT_FALSE(pools.selectedRecord());
    EXPECT_FALSE(h.view.selectedItem());
}

TEST(HXOrganizerWidgets, HeaderClicksSortAndRowsKeepTheirExpansion) {
    Widgets h;
    HXItemList& apps = h.view.applicationList();
    QTest::mouseClick(apps.header()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(apps.header()->sectionViewportPosition(2) + 5, 5));
    EXPECT_EQ(h.controller->sortColumn(), 2);
    EXPECT_EQ(apps.header()->sortIndicatorSection(), 2);
    EXPECT_EQ(apps.header()->sortIndicatorOrder(), Qt::DescendingOrder);

    const QModelIndex editor = h.view.applicationModel().indexForRecord(h.application(kEditor).get());
    apps.expand(editor);
    EXPECT_TRUE(h.application(kEditor)->boolForKey(Expanded));
    EXPECT_EQ(h.view.applicationModel().rowCount(editor), 1);
    // An undo brings back other records: their stored expansion opens them again.
    h.controller->pushUndoStateAndClearRedoStatesAfterDelay();
    h.controller->undo();
    const QModelIndex restored = h.view.applicationModel().indexForRecord(h.application(kEditor).get());
    EXPECT_TRUE(apps.isExpanded(restored));
    apps.collapse(restored);
    EXPECT_FALSE(h.application(kEditor)->boolForKey(Expanded));
}

TEST(HXOrganizerWidgets, TheCloakLiesOverTheRowsWhileSuspended) {
    Widgets h;
    HXItemList& apps = h.view.applicationList();
    const QImage awake = apps.viewport()->grab().toImage();
    apps.setHibernating(true, false);
    EXPECT_DOUBLE_EQ(apps.hibernationAlpha(), 1.0);
    const QImage asleep = apps.viewport()->grab().toImage();
    EXPECT_NE(awake, asleep);
    apps.setHibernating(false, false);
    EXPECT_EQ(apps.viewport()->grab().toImage(), awake);
}

namespace {

// What the window shows (its backing store) against what it would show if drawn afresh.
bool showsItsRows(QWidget& window) {
    const QImage shown =
        window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage fresh = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    return !shown.isNull() && shown == fresh;
}

} // namespace

TEST(HXOrganizerWidgets, ATickShowsWhatChangedAndDrawsNothingWhenNothingDid) {
    Widgets h;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&h.view));
    HXItemList& apps = h.view.applicationList();
    HXItemList& pools = h.view.poolList();
    PaintedArea painted;
    PaintedArea sentinel;
    for (QWidget* widget :
         {apps.viewport(), pools.viewport(), apps.header()->viewport(), pools.header()->viewport()})
        widget->installEventFilter(&painted);
    QWidget marker(&h.view);
    marker.setGeometry(0, 0, 1, 1);
    marker.installEventFilter(&sentinel);
    marker.show();
    // Drawn once the window has drawn whatever else was pending.
    const auto settle = [&] {
        sentinel.pixels = 0;
        marker.update();
        return QTest::qWaitFor([&] { return sentinel.pixels > 0; });
    };
    ASSERT_TRUE(settle());
    ASSERT_TRUE(showsItsRows(h.view));

    // The editor in front reads a second more: its cells are drawn again and the window shows them.
    const QString before =
        h.view.applicationModel()
            .index(h.view.applicationModel().indexForRecord(h.application(kEditor).get()).row(),
                   HXOrganizerModel::TotalColumn)
            .data()
            .toString();
    painted.pixels = 0;
    h.tickAt(102);
    ASSERT_TRUE(settle());
    EXPECT_GT(painted.pixels, 0);
    const QModelIndex editor = h.view.applicationModel().indexForRecord(h.application(kEditor).get());
    EXPECT_NE(editor.siblingAtColumn(HXOrganizerModel::TotalColumn).data().toString(), before);
    EXPECT_TRUE(showsItsRows(h.view));

    // The lists built again with nothing new: nothing is drawn.
    painted.pixels = 0;
    h.tickAt(102);
    ASSERT_TRUE(settle());
    EXPECT_EQ(painted.pixels, 0);
    EXPECT_TRUE(showsItsRows(h.view));
}

TEST(HXOrganizerWidgets, TheDividerIsKeptPerWindow) {
    Widgets h;
    HXListWindow window(*h.defaults);
    auto* view = new HXOrganizerView(*h.controller, nullptr, h.icons);
    window.setCentralWidget(view);
    window.resize(400, 600);
    window.show();
    view->setSizes({350, 250});
    view->saveListSplitViewDividerPosition();
    const double stored = h.defaults->doubleForKey(u"ListSplitView: HXListWindow: Divider");
    EXPECT_NEAR(stored, 350, 8);
    view->setSizes({250, 350});
    view->restoreListSplitViewDividerPosition();
    QTest::qWait(0);
    EXPECT_NEAR(view->sizes()[0], 350, 8);
    // Without a stored position the outlines share the height.
    h.defaults->removeObject(u"ListSplitView: HXListWindow: Divider");
    view->restoreListSplitViewDividerPosition();
    QTest::qWait(0);
    EXPECT_NEAR(view->sizes()[0], view->sizes()[1], 2);
}

TEST(HXOrganizerWidgets, NotesAreStoredOnlyWhenChanged) {
    Widgets h;
    HXNotesEditor editor(*h.controller);
    EXPECT_FALSE(editor.editNotesForPool(nullptr, nullptr));
    EXPECT_EQ(h.ui.beeps, 1);
    ASSERT_TRUE(editor.editNotesForPool(h.work, nullptr));
    EXPECT_TRUE(h.controller->isModal());
    EXPECT_EQ(editor.headerField()->text(), QStringLiteral("\"Work\" - Notes"));
    EXPECT_FALSE(editor.editNotesForPool(h.work, nullptr));
    editor.textView()->setPlainText(QStringLiteral("  call back  "));
    editor.noteEditorDone();
    EXPECT_FALSE(h.controller->isModal());
    EXPECT_EQ(h.work->stringForKey(PoolNotes), QStringLiteral("  call back  "));
    const std::size_t undoStates = h.controller->undoHistory().undoCount();

    // The same text again, trimmed alike: no undo state. A change of case is a change.
    editor.editNotesForPool(h.work, nullptr);
    EXPECT_EQ(editor.textView()->toPlainText(), QStringLiteral("  call back  "));
    editor.textView()->setPlainText(QStringLiteral("call back"));
    editor.noteEditorDone();
    EXPECT_EQ(h.controller->undoHistory().undoCount(), undoStates);
    editor.editNotesForPool(h.work, nullptr);
    editor.textView()->setPlainText(QStringLiteral("Call back"));
    editor.noteEditorDone();
    EXPECT_EQ(h.work->stringForKey(PoolNotes), QStringLiteral("Call back"));
    // Cancel keeps them; blanks remove them.
    editor.editNotesForPool(h.work, nullptr);
    editor.textView()->setPlainText(QStringLiteral("gone"));
    editor.noteEditorCancel();
    EXPECT_EQ(h.work->stringForKey(PoolNotes), QStringLiteral("Call back"));
    EXPECT_FALSE(h.controller->isModal());
    editor.editNotesForPool(h.work, nullptr);
    editor.textView()->setPlainText(QStringLiteral(" \n "));
    editor.noteEditorDone();
    EXPECT_FALSE(h.work->contains(PoolNotes));
    h.controller->undo();
    EXPECT_EQ(h.configuration().arrayForKey(u"Pools")->dictionaryAt(0)->stringForKey(PoolNotes),
              QStringLiteral("Call back"));
}

TEST(HXOrganizerWidgets, ExportNamesByDate) {
    const double noon = QDateTime(QDate(2026, 3, 5), QTime(12, 0)).toSecsSinceEpoch();
    EXPECT_EQ(proposedExportFileName(QStringLiteral("Qualdern"), noon, noon + 3600),
              QStringLiteral("Qualdern \u2014 2026-03-05"));
    EXPECT_EQ(proposedExportFileName(QStringLiteral("Work/Home"), noon - 86400 * 4, noon),
              QStringLiteral("Work-Home \u2014 2026-03-01 \u2192 2026-03-05"));
}

TEST(HXOrganizerWidgets, TheKeyboardsCursorPassesOverTheHeaderRows) {
    Widgets h;
    HXItemList& apps = h.view.applicationList();
    const QModelIndex header = h.view.applicationModel().index(0, 0);
    ASSERT_FALSE(header.flags().testFlag(Qt::ItemIsSelectable));
    const QModelIndex editor = h.view.applicationModel().indexForRecord(h.application(kEditor).get());
    // Tabbing into the outline puts the cursor (and its focus frame) on the first item, not on "Apps".
    QFocusEvent tabbedIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(&apps, &tabbedIn);
    EXPECT_EQ(apps.currentIndex().siblingAtColumn(0), editor);
    for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Home, Qt::Key_PageUp}) {
        QTest::keyClick(&apps, key);
        EXPECT_EQ(apps.currentIndex().siblingAtColumn(0), editor) << key;
    }
    QTest::keyClick(&apps, Qt::Key_Space);
    EXPECT_EQ(apps.selectedRecord(), h.application(kEditor));
    // A click on the header row selects nothing and leaves no cursor on it.
    QTest::mouseClick(apps.viewport(), Qt::LeftButton, Qt::NoModifier, apps.visualRect(header).center());
    EXPECT_FALSE(apps.currentIndex().isValid());
    EXPECT_FALSE(apps.selectedRecord());
    QTest::keyClick(&apps, Qt::Key_Down);
    EXPECT_EQ(apps.currentIndex().siblingAtColumn(0), editor);

    // With nothing below its header, an outline has no cursor at all.
    const HXDictionaryRef work = h.work;
    ASSERT_TRUE(h.controller->deleteItem(work, {.confirm = false}));
    HXItemList& pools = h.view.poolList();
    ASSERT_EQ(h.view.poolModel().rowCount(), 1);
    QApplication::sendEvent(&pools, &tabbedIn);
    QTest::keyClick(&pools, Qt::Key_Down);
    EXPECT_FALSE(pools.currentIndex().isValid());
}
