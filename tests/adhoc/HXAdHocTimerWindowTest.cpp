#include "AdHocTestSupport.h"

#include "adhoc/widgets/HXAdHocTimerWindow.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct WindowWorld : TimerWorld {
    HXAdHocTimerWindow window{timer};
};

QStringList comboTexts(const QComboBox& combo) {
    QStringList texts;
    for (int i = 0; i < combo.count(); ++i)
        texts.append(combo.itemData(i, Qt::AccessibleDescriptionRole).toString() == u"separator"
                         ? QStringLiteral("--")
                         : combo.itemText(i));
    return texts;
}

} // namespace

TEST(HXAdHocTimerWindow, ShowsTheTimerAndFloatsAboveOtherWindows) {
    WindowWorld w;
    const HXDictionaryRef work = w.poolWithEntries(QStringLiteral("Work"), {{QStringLiteral("Standup"), 0}});
    w.namedPool(QStringLiteral("Home"));
    EXPECT_FALSE(w.window.isVisible());
    ASSERT_TRUE(w.start(work, QStringLiteral("Standup")));
    EXPECT_TRUE(w.window.isVisible());
    EXPECT_EQ(w.window.windowTitle(), u"Ad Hoc Timer");
    EXPECT_TRUE(w.window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(QFontInfo(w.window.timerField()->font()).fixedPitch());
    EXPECT_EQ(comboTexts(*w.window.poolSelector()),
              (QStringList{QStringLiteral("New Pool"), QStringLiteral("--"), QStringLiteral("Home"),
                           QStringLiteral("Work")}));
    EXPECT_EQ(w.window.poolSelector()->currentText(), u"Work");
    EXPECT_EQ(w.window.nameField()->text(), u"Standup");
    EXPECT_EQ(w.window.timerField()->text(), u"0:00");
    EXPECT_EQ(w.window.pauseButton()->text(), u"Pause");
    EXPECT_EQ(w.window.poolSelector()->accessibleName(), u"Pool");
    EXPECT_TRUE(w.window.poolSelector()->itemIcon(2).isNull()) << "no icons until they are given";
    QPixmap square(16, 16);
    square.fill(Qt::red);
    w.window.setPoolIcons(
        [&square, &work](const HXDictionary& pool) { return &pool == work.get() ? QIcon(square) : QIcon(); });
    EXPECT_FALSE(w.window.poolSelector()
                     ->itemIcon(w.window.poolSelector()->findText(QStringLiteral("Work")))
                     .isNull());
    EXPECT_TRUE(w.window.poolSelector()
                    ->itemIcon(w.window.poolSelector()->findText(QStringLiteral("Home")))
                    .isNull());
    EXPECT_FALSE(w.window.poolSelector()->itemIcon(0).isNull()) << "\"New Pool\" in line with the pools";
    EXPECT_EQ(w.window.poolSelector()->currentText(), u"Work") << "reloading keeps the selection";
    EXPECT_EQ(w.window.nameField()->accessibleName(), u"Name");

    w.time.advance(3.5);
    EXPECT_EQ(w.window.timerField()->text(), u"0:03");
    const QColor running = w.window.timerField()->palette().color(QPalette::WindowText);
    QTest::mouseClick(w.window.pauseButton(), Qt::LeftButton);
    EXPECT_EQ(w.window.pauseButton()->text(), u"Resume");
    EXPECT_NE(w.window.timerField()->palette().color(QPalette::WindowText), running) << "dimmed while paused";

    // Choosing a pool in the selector reaches the timer.
    w.window.poolSelector()->setCurrentIndex(0);
    Q_EMIT w.window.poolSelector()->activated(0);
    EXPECT_FALSE(w.timer.pool());
    const int home = w.window.poolSelector()->findText(QStringLiteral("Home"));
    w.window.poolSelector()->setCurrentIndex(home);
    Q_EMIT w.window.poolSelector()->activated(home);
    EXPECT_EQ(w.timer.pool()->itemName(), u"Home");

    // The window stays while the timer is active; Escape throws nothing away.
    w.window.close();
    EXPECT_TRUE(w.window.isVisible());
    QTest::keyClick(&w.window, Qt::Key_Escape);
    EXPECT_TRUE(w.timer.active());
    QTest::mouseClick(w.window.keepButton(), Qt::LeftButton);
    EXPECT_FALSE(w.timer.active());
    EXPECT_FALSE(w.window.isVisible());
    EXPECT_TRUE(entryNamed(w.pools()->dictionaryAt(1), QStringLiteral("Standup")) ||
                entryNamed(w.pools()->dictionaryAt(0), QStringLiteral("Standup")));
}

TEST(HXAdHocTimerWindow, TypingCompletesAndPickingASuggestionSelectsItsPool) {
    WindowWorld w;
    const HXDictionaryRef work = w.poolWithEntries(QStringLiteral("Work"), {{QStringLiteral("Phone"), 0}});
    const HXDictionaryRef home = w.poolWithEntries(
        QStringLiteral("Home"), {{QStringLiteral("Phone"), 0}, {QStringLiteral("Piano"), 0}});
    ASSERT_TRUE(w.start());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    QLineEdit* name = w.window.nameField();
    name->setFocus();
    QTest::keyClicks(name, QStringLiteral("ph"));
    EXPECT_EQ(w.timer.name(), u"ph");
    QAbstractItemView* popup = w.window.completer()->popup();
    ASSERT_TRUE(QTest::qWaitFor([popup] { return popup->isVisible(); }));
    QStringList shown;
    for (int i = 0; i < popup->model()->rowCount(); ++i)
        shown.append(popup->model()->index(i, 0).data().toString());
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Phone - Home"), QStringLiteral("Phone - Work")}));

    // The second suggestion: its entry goes into the field and its pool is selected.
    QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_EQ(name->text(), u"Phone");
    EXPECT_EQ(w.timer.name(), u"Phone");
    EXPECT_EQ(w.timer.pool(), work);
    EXPECT_EQ(w.window.poolSelector()->currentText(), u"Work");
    static_cast<void>(home);
}
