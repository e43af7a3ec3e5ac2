#include "AdHocTestSupport.h"

#include "hotkeys/HXHibernationHotKey.h"
#include "hotkeys/HXHotKey.h"
#include "hotkeys/HXHotKeyReferencePool.h"
#include "platform/fake/HXFakeHotKeyRegistrar.h"
#include "ui/HXTimerMenuEntries.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

TEST(HXTimerMenuEntries, SuspendShowsTheHotKeyAndTheAdHocEntryIsOffWhileATimerIsActive) {
    TimerWorld w;
    HXFakeHotKeyRegistrar registrar;
    HXHotKeyReferencePool pool;
    const HXHotKeyContext context{*w.defaults, &registrar, nullptr, pool};
    HXHibernationHotKey hotKey(context, [] {});
    HXTimerMenuEntries entries(*w.controller);
    entries.setHibernationHotKey(&hotKey);
    QMenu menu;
    entries.addTo(menu);
    ASSERT_EQ(menu.actions().size(), 2);
    QAction* suspend = menu.actions()[0];
    QAction* adHocTimer = menu.actions()[1];
    EXPECT_EQ(suspend->text(), u"Suspend Timers...");
    EXPECT_EQ(adHocTimer->text(), u"Run Ad Hoc Timer...");
    EXPECT_TRUE(suspend->shortcut().isEmpty());

    // The stored hot key, once registered, shows as the entry's shortcut.
    w.defaults->setObject(u"Hibernate",
                          HXHotKey::hotKeyWithIdentifer(context, QStringLiteral("Hibernate"),
                                                        QStringLiteral("\u2303\u2325H"), 4, 0xC0000)
                              ->dictionaryRepresentation());
    ASSERT_TRUE(hotKey.registerAtLaunch());
    Q_EMIT menu.aboutToShow();
    EXPECT_EQ(suspend->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_H));
    EXPECT_EQ(suspend->shortcutContext(), Qt::WidgetShortcut) << "shown only: the hot key acts by itself";
    hotKey.didSetHotKey(nullptr, HXHibernationHotKey::identifier());
    Q_EMIT menu.aboutToShow();
    EXPECT_TRUE(suspend->shortcut().isEmpty());

    w.controller->hibernation().hibernateUntilRevoked(false);
    Q_EMIT menu.aboutToShow();
    EXPECT_EQ(suspend->text(), u"Resume Timers");

    EXPECT_TRUE(adHocTimer->isEnabled());
    adHocTimer->trigger();
    EXPECT_TRUE(w.timer.active());
    EXPECT_EQ(w.timer.delegate(), w.controller.get());
    Q_EMIT menu.aboutToShow();
    EXPECT_FALSE(adHocTimer->isEnabled());
    w.timer.done(0);
    Q_EMIT menu.aboutToShow();
    EXPECT_TRUE(adHocTimer->isEnabled());

    // Rebuilt, the menu's old entries leave no connection behind.
    menu.clear();
    entries.addTo(menu);
    Q_EMIT menu.aboutToShow();
    EXPECT_EQ(menu.actions().size(), 2);
}
