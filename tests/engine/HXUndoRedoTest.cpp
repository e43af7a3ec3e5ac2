#include "EngineHarness.h"

#include <gtest/gtest.h>

#include <QFileInfo>

using namespace HXKeys;

namespace {

const QString kEditor = QStringLiteral("org.example.Editor");

// A user change: snapshot first, then change the records.
void renameEditor(EngineHarness& h, const QString& name) {
    h.controller->pushUndoStateAndClearRedoStatesAfterDelay();
    h.application(kEditor)->setValue(Name, name);
}

QString editorName(EngineHarness& h) {
    return h.application(kEditor)->stringForKey(Name);
}

} // namespace

TEST(HXUndoRedo, UndoRestoresTheSnapshotAndRedoGoesForwardAgain) {
    EngineHarness h;
    h.windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor"))});
    h.tickAt(100);
    h.tickAt(101);
    EXPECT_FALSE(h.controller->canUndo());
    renameEditor(h, QStringLiteral("Renamed"));
    // The snapshot push also saved the file, so disk matches the state before the change.
    EXPECT_TRUE(QFileInfo::exists(h.controller->configurationStore().configurationPath()));
    h.time.runDue();
    EXPECT_TRUE(h.controller->canUndo());
    int replaced = 0;
    QObject::connect(h.controller.get(), &HXMainController::blacklistsReplaced, [&] { ++replaced; });

    h.time.setNow(105);
    h.controller->undo();
    EXPECT_EQ(editorName(h), QStringLiteral("Editor"));
    EXPECT_EQ(replaced, 1);
    EXPECT_FALSE(h.controller->canUndo());
    EXPECT_TRUE(h.controller->canRedo());
    // The time gathered since the snapshot is rolled back, and the last update date is kept: the tick
    // that ran with the undo added only its own interval.
    EXPECT_DOUBLE_EQ(h.application(kEditor)->timeIntervalForKey(Time), 5);

    h.controller->redo();
    EXPECT_EQ(editorName(h), QStringLiteral("Renamed"));
    EXPECT_TRUE(h.controller->canUndo());
    EXPECT_FALSE(h.controller->canRedo());
}

TEST(HXUndoRedo, ANewChangeClearsRedoOnTheNextPassUnlessAbandoned) {
    EngineHarness h;
    h.windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor"))});
    h.tickAt(100);
    renameEditor(h, QStringLiteral("One"));
    h.time.runDue();
    h.controller->undo();
    ASSERT_TRUE(h.controller->canRedo());

    // An abandoned change (a drop that ends up doing nothing) keeps redo available.
    h.controller->pushUndoStateAndClearRedoStatesAfterDelay();
    h.controller->popUndoStateAndCancelRedoStateClearing();
    h.time.runDue();
    EXPECT_TRUE(h.controller->canRedo());
    EXPECT_FALSE(h.controller->canUndo());

    // A real change makes redo unavailable from the next pass of the event loop on.
    renameEditor(h, QStringLiteral("Two"));
    EXPECT_TRUE(h.controller->canRedo());
    h.time.runDue();
    EXPECT_FALSE(h.controller->canRedo());
    h.controller->undo();
    EXPECT_EQ(editorName(h), QStringLiteral("Editor"));
}

TEST(HXUndoRedo, BrokenSnapshotIsDroppedWithoutChangingAnything) {
    EngineHarness h;
    h.windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor"))});
    h.tickAt(100);
    h.controller->pushUndoState(QByteArray("not a property list"));
    const HXDictionaryRef before = h.controller->configuration();
    h.controller->undo();
    EXPECT_EQ(h.controller->configuration(), before);
    EXPECT_FALSE(h.controller->canUndo());
    EXPECT_FALSE(h.controller->canRedo());
}

TEST(HXUndoRedo, HistoryKeepsItsByteBudgetButAlwaysTheNewestTen) {
    HXUndoHistory history(1000);
    for (int i = 0; i < 30; ++i)
        history.pushUndoState(QByteArray(100, static_cast<char>('a' + i % 26)));
    EXPECT_EQ(history.undoCount(), 10u);
    EXPECT_EQ(history.totalBytes(), 1000u);
    EXPECT_EQ(history.topUndoState()->at(0), 'a' + 29 % 26);
    for (int i = 0; i < 12; ++i)
        history.pushRedoState(QByteArray(100, 'r'));
    // Both stacks keep their newest ten; the budget gives way to that minimum.
    EXPECT_EQ(history.undoCount(), 10u);
    EXPECT_EQ(history.redoCount(), 10u);
    history.pushRedoState(QByteArray());
    EXPECT_EQ(history.redoCount(), 0u);
    EXPECT_EQ(history.totalBytes(), 1000u);

    HXUndoHistory big(1000);
    big.pushUndoState(QByteArray(5000, 'x'));
    EXPECT_EQ(big.undoCount(), 1u);
    ASSERT_TRUE(big.popUndoState());
    EXPECT_EQ(big.totalBytes(), 0u);
}
