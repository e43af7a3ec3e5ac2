// The preferences window offscreen, driven with QTest: clicks reach the settings and the controls show
// the side effects, sections switch by the toolbar, Escape and Ctrl+. close it except while a hot key is
// recorded, the blacklists are the configuration's arrays, every control has a name, and each section
// draws in a light and a dark palette.
#include "PreferencesTestSupport.h"

#include "filters/widgets/HXBlacklistTextEditing.h"
#include "hotkeys/HXHibernationHotKey.h"
#include "hotkeys/HXHotKeyReferencePool.h"
#include "hotkeys/widgets/HXHotKeyTextView.h"
#include "platform/fake/HXFakeHotKeyRegistrar.h"
#include "ui/HXLoginItemSwitch.h"
#include "ui/preferences/HXPreferencesWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

using P = HXPreference;

namespace {

struct Window : PreferencesWorld {
    Window() {
        window.showPreferences();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QCheckBox* box(P control) { return qobject_cast<QCheckBox*>(window.control(control)); }
    QComboBox* selector(P control) { return qobject_cast<QComboBox*>(window.control(control)); }
    void click(P control) {
        QCheckBox* check = box(control);
        QTest::mouseClick(check, Qt::LeftButton, Qt::NoModifier, QPoint(8, check->height() / 2));
    }
    void choose(P control, int tag) {
        QComboBox* combo = selector(control);
        const int index = combo->findData(tag);
        ASSERT_GE(index, 0);
        combo->setCurrentIndex(index);
        Q_EMIT combo->activated(index);
    }
    QAction* sectionAction(const QString& identifier) {
        for (QAction* action : window.findChild<QToolBar*>()->actions()) {
            if (action->data().toString() == identifier)
                return action;
        }
        return nullptr;
    }
    void pressKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    }

    HXFakeHotKeyRegistrar registrar;
    HXHotKeyReferencePool pool;
    HXHotKeyContext context{*defaults, &registrar, nullptr, pool};
    HXHibernationHotKey hotKey{context, [] {
                               }};
    HXPreferencesWindow window{model, {*defaults, time, time, &hotKey}};
};

} // namespace

TEST(HXPreferencesWindow, ClicksWriteTheSettingsAndTheControlsShowTheSideEffects) {
    Window w;
    EXPECT_EQ(w.window.windowTitle(), u"Preferences");
    EXPECT_EQ(w.window.currentSection(), u"General");
    w.click(P::ShowInactivePools);
    EXPECT_FALSE(w.defaults->boolForKey(u"Show Inactive Pools"));

    w.sectionAction(QStringLiteral("Export"))->trigger();
    EXPECT_EQ(w.window.currentSection(), u"Export");
    w.click(P::ExportColumnFront);
    EXPECT_TRUE(w.defaults->boolForKey(u"Export Column: Total"));
    EXPECT_TRUE(w.box(P::ExportColumnTotal)->isChecked()) << "the other switch of the pair went on";
    w.click(P::ExportColumnApplication);
    EXPECT_FALSE(w.box(P::ExportColumnWindow)->isChecked());
    EXPECT_FALSE(w.box(P::ExportColumnWindow)->isEnabled());

    EXPECT_TRUE(w.selector(P::AutoExportHour)->isHidden());
    w.click(P::AutoExport);
    EXPECT_TRUE(w.defaults->boolForKey(u"Auto-Export Reports"));
    EXPECT_FALSE(w.selector(P::AutoExportHour)->isHidden());
    w.choose(P::AutoExportHour, 21);
    EXPECT_EQ(w.defaults->integerForKey(u"Auto-Export Hour"), 21);
    w.choose(P::ExportColumnSeparator, 2);
    EXPECT_EQ(w.defaults->integerForKey(u"Exported Report Column Separator"), 2);

    w.sectionAction(QStringLiteral("Report"))->trigger();
    auto* alpha = qobject_cast<QSlider*>(w.window.control(P::LiveReportDesktopAlpha));
    EXPECT_TRUE(alpha->isHidden());
    w.click(P::LiveReportDesktop);
    EXPECT_FALSE(alpha->isHidden());
    alpha->setValue(55);
    EXPECT_DOUBLE_EQ(w.defaults->doubleForKey(u"Show Activity Report On Desktop: Alpha"), 0.55);

    w.sectionAction(QStringLiteral("General"))->trigger();
    auto* interval = qobject_cast<QSlider*>(w.window.control(P::UpdateInterval));
    interval->setValue(20);
    EXPECT_DOUBLE_EQ(w.defaults->doubleForKey(u"Update Interval"), 2.0);
    EXPECT_EQ(w.window.updateIntervalLabel()->text(), u"2 seconds");
    interval->setValue(10);
    EXPECT_EQ(w.window.updateIntervalLabel()->text(), u"1 second");
}

TEST(HXPreferencesWindow, TheModeDecidesTheTitleTheTrayIconSelectorAndTheTaskbarReportSwitch) {
    Window w;
    EXPECT_TRUE(w.selector(P::StatusItemIcon)->isHidden());
    w.defaults->setBool(u"Show Activity Report In Dock", true);
    w.click(P::StatusItem);
    EXPECT_TRUE(w.defaults->boolForKey(u"Status Item"));
    // The mode controller switches; the window follows its signal.
    w.delegate.statusItemMode = true;
    Q_EMIT w.model.changed();
    EXPECT_EQ(w.window.windowTitle(), u"Qualdern Preferences");
    EXPECT_FALSE(w.selector(P::StatusItemIcon)->isHidden());
    EXPECT_EQ(w.selector(P::StatusItemIcon)->count(), 6);
    EXPECT_FALSE(w.selector(P::StatusItemIcon)->itemIcon(0).isNull());

    w.window.hide();
    w.window.showPreferences();
    EXPECT_FALSE(w.defaults->boolForKey(u"Show Activity Report In Dock"));
    EXPECT_FALSE(w.box(P::LiveReportDock)->isChecked());
    EXPECT_FALSE(w.box(P::LiveReportDock)->isEnabled());
}

TEST(HXPreferencesWindow, TheStatusItemSwitchIsDisabledWhileAnEditingSheetIsUp) {
    Window w;
    EXPECT_TRUE(w.box(P::StatusItem)->isEnabled());
    w.controller->setModal(true);
    EXPECT_FALSE(w.box(P::StatusItem)->isEnabled()) << "the open window follows at once";
    w.click(P::StatusItem);
    EXPECT_FALSE(w.defaults->boolForKey(u"Status Item"));
    w.window.hide();
    w.window.showPreferences();
    EXPECT_FALSE(w.box(P::StatusItem)->isEnabled()) << "and so does opening it";
    w.controller->setModal(false);
    EXPECT_TRUE(w.box(P::StatusItem)->isEnabled());
    w.click(P::StatusItem);
    EXPECT_TRUE(w.defaults->boolForKey(u"Status Item"));
}

TEST(HXPreferencesWindow, OpensAtAGivenPlaceWhenItIsOnAScreenElseCentred) {
    Window w;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    w.window.hide();
    const QRect frame(screen.x() + 30, screen.y() + 40, w.window.width() + 50, w.window.height() + 20);
    const QSize fitted = w.window.size();
    w.window.showPreferences(frame);
    EXPECT_EQ(w.window.geometry().topLeft(), frame.topLeft());
    EXPECT_EQ(w.window.size(), fitted) << "the section decides the size";
    w.window.showPreferences(QRect(screen.x() + 90, screen.y() + 90, 700, 700));
    EXPECT_EQ(w.window.geometry().topLeft(), frame.topLeft()) << "an open window stays where it is";

    w.window.hide();
    w.window.showPreferences(QRect(screen.right() + 5000, screen.y(), 600, 400));
    EXPECT_NE(w.window.pos(), QPoint(screen.right() + 5000, screen.y())) << "a frame on no screen";
    EXPECT_LE(std::abs(w.window.frameGeometry().center().x() - screen.center().x()), 1);
}

TEST(HXPreferencesWindow, EscapeAndControlPeriodCloseItExceptWhileRecording) {
    Window w;
    w.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    w.pressKey(Qt::Key_Escape);
    EXPECT_FALSE(w.window.isVisible());

    w.window.showPreferences();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    w.pressKey(Qt::Key_Period, Qt::ControlModifier);
    EXPECT_FALSE(w.window.isVisible());

    w.window.showPreferences();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    HXHotKeyTextView* recorder = w.window.hotKeyRecorder();
    ASSERT_NE(recorder, nullptr);
    QTest::mouseClick(recorder, Qt::LeftButton, Qt::NoModifier, recorder->rect().center());
    ASSERT_TRUE(recorder->isRecording());
    w.pressKey(Qt::Key_Period, Qt::ControlModifier);
    EXPECT_TRUE(w.window.isVisible()) << "Ctrl+. is a hot key to record";
    w.pressKey(Qt::Key_Escape);
    EXPECT_TRUE(w.window.isVisible()) << "Escape ends the recording only";
    EXPECT_FALSE(recorder->isRecording());

    // Changing the section ends a recording too.
    QTest::mouseClick(recorder, Qt::LeftButton, Qt::NoModifier, recorder->rect().center());
    ASSERT_TRUE(recorder->isRecording());
    w.sectionAction(QStringLiteral("Blacklist"))->trigger();
    EXPECT_FALSE(recorder->isRecording());
}

TEST(HXPreferencesWindow, TheBlacklistViewsEditTheConfigurationsArrays) {
    Window w;
    w.sectionAction(QStringLiteral("Blacklist"))->trigger();
    QPlainTextEdit* applications = w.window.blacklistView(QStringLiteral("Application Blacklist"));
    QPlainTextEdit* windows = w.window.blacklistView(QStringLiteral("Window Blacklist"));
    ASSERT_TRUE(applications && windows);
    EXPECT_FALSE(applications->toPlainText().isEmpty()) << "the default entry shows";

    applications->setFocus();
    applications->selectAll();
    QTest::keyClicks(applications, QStringLiteral("Editor"));
    QTest::keyClick(applications, Qt::Key_Return);
    const HXArrayRef list = w.model.blacklist(QStringLiteral("Application Blacklist"));
    ASSERT_EQ(list->count(), 2) << "an empty last line is an entry";
    EXPECT_EQ(list->at(0).toString(), u"Editor");
    EXPECT_EQ(list->at(1).toString(), u"");

    windows->setPlainText(QStringLiteral("Mail \u25B8 *"));
    EXPECT_EQ(w.model.blacklist(QStringLiteral("Window Blacklist"))->at(0).toString(), u"Mail \u25B8 *");

    // A new configuration shows, sorted.
    list->clear();
    list->append(QStringLiteral("b"));
    list->append(QStringLiteral("A"));
    w.window.hide();
    w.window.showPreferences();
    EXPECT_EQ(applications->toPlainText(), u"A\nb");
}

TEST(HXPreferencesWindow, TheFolderSelectorShowsTheFolderAndOtherOpensThePanel) {
    Window w;
    QComboBox* folders = w.window.exportFolderSelector();
    ASSERT_EQ(folders->count(), 3);
    EXPECT_EQ(folders->itemText(0), w.model.exportFolderTitle());
    EXPECT_EQ(folders->itemText(2), u"Other...");
    const QString chosen = w.scratch.path() + QStringLiteral("/Chosen");
    ASSERT_TRUE(QDir().mkpath(chosen));
    w.ui.folderPanelAnswer = chosen;
    folders->setCurrentIndex(2);
    Q_EMIT folders->activated(2);
    EXPECT_EQ(w.delegate.folder, chosen);
    EXPECT_EQ(folders->currentIndex(), 0);
    EXPECT_EQ(folders->itemData(0).toString(), chosen);
}

TEST(HXPreferencesWindow, EveryControlHasANameAndEverySectionDraws) {
    Window w;
    w.delegate.statusItemMode = true;
    w.defaults->setBool(u"Show Activity Report On Desktop", true);
    w.defaults->setBool(u"Auto-Export Reports", true);
    w.window.showPreferences();
    for (QWidget* widget : w.window.findChildren<QWidget*>()) {
        if (auto* check = qobject_cast<QCheckBox*>(widget)) {
            EXPECT_FALSE(check->text().isEmpty());
        } else if (qobject_cast<QComboBox*>(widget) || qobject_cast<QSlider*>(widget) ||
                   qobject_cast<QPlainTextEdit*>(widget) || qobject_cast<HXHotKeyTextView*>(widget)) {
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->metaObject()->className();
        }
    }

    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
    dark.setColor(QPalette::ButtonText, Qt::white);
    const QString out = qEnvironmentVariable("QD_PREFERENCES_PICTURES");
    for (const QPalette& palette : {QApplication::palette(), dark}) {
        w.window.setPalette(palette);
        for (const char* section : {"General", "Blacklist", "Report", "Export"}) {
            w.window.changePreferencesSection(QString::fromLatin1(section));
            const QImage image = w.window.grab().toImage();
            // Everything the section holds fits into the window.
            EXPECT_GE(w.window.height(), w.window.minimumSizeHint().height()) << section;
            EXPECT_GE(image.width(), 300);
            if (!out.isEmpty())
                image.save(QStringLiteral("%1/%2-%3.png")
                               .arg(out, QString::fromLatin1(section),
                                    palette.color(QPalette::Window).lightness() < 128 ? u"dark" : u"light"));
        }
    }
}
