// The main menu and the context menus as built and validated: titles in order, placeholders replaced,
// alternates, enabling, check marks, the ad hoc entry's forms and what the commands do.
#include "EngineHarness.h"

#include "adhoc/HXAdHocTimer.h"
#include "hotkeys/HXHibernationHotKey.h"
#include "hotkeys/HXHotKey.h"
#include "hotkeys/HXHotKeyReferencePool.h"
#include "platform/fake/HXFakeHotKeyRegistrar.h"
#include "ui/HXAdHocTimerCommands.h"
#include "ui/menus/HXMenuController.h"
#include "ui/menus/HXMenuHost.h"
#include "ui/menus/HXMenuItem.h"
#include "ui/menus/HXReportMenuTarget.h"
#include "ui/organizer/HXItemIcons.h"
#include "ui/organizer/HXOrganizerModel.h"
#include "ui/shell/HXControllerAdHocTimer.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace HXKeys;

// Readable failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QString kEditor = QStringLiteral("org.example.Editor");
const QString kMail = QStringLiteral("org.example.Mail");

class FakeMenuHost final : public HXMenuHost {
public:
    bool isListWindowKey() const override { return listKey; }
    bool isLiveReportWindowKey() const override { return reportKey; }
    bool isListWindowOpen() const override { return listOpen; }
    bool isLiveReportWindowOpen() const override { return reportOpen; }
    bool isListWindowActive() const override { return listKey; }
    bool isReportWindowKey() const override { return reportKey; }
    bool isLiveReportViewVisible() const override { return reportKey; }
    HXDictionaryRef selectedItem() const override { return selected; }
    bool hasRowForItem(const HXDictionary* record) const override { return record == rowRecord; }
    bool isRowExpandedForItem(const HXDictionary*) const override { return expanded; }
    bool toggleExpansionForItem(const HXDictionary* record) override {
        if (record != rowRecord)
            return false;
        expanded = !expanded;
        return true;
    }
    bool isNotesEditorOpen() const override { return notesOpen; }
    void editNotesForPool(const HXDictionaryRef& pool) override { notesPool = pool; }
    void noteEditorDone() override { calls.append(QStringLiteral("notes done")); }
    void editWindowTitleFiltersForApplication(const HXDictionaryRef& application) override {
        filtered = application;
    }
    void exportCSV(const HXDictionaryRef& pool) override {
        calls.append(QStringLiteral("export"));
        exportedPool = pool;
    }
    void openCSV() override { calls.append(QStringLiteral("open")); }
    bool hasPreferencesWindow() const override { return preferences; }
    void showPreferencesWindow() override { calls.append(QStringLiteral("preferences")); }
    void showAboutWindow() override { calls.append(QStringLiteral("about")); }
    void help() override { calls.append(QStringLiteral("help")); }
    void quitDeliberately(bool withoutConfirmation) override {
        calls.append(withoutConfirmation ? QStringLiteral("quit now") : QStringLiteral("quit"));
    }
    void deleteSelection() override { calls.append(QStringLiteral("delete selection")); }
    bool launchApplication(const HXDictionaryRef&) override { return launches; }
    bool quitApplication(const HXDictionaryRef&) override { return false; }
    void toggleListWindow() override { calls.append(QStringLiteral("organizer")); }
    void toggleReportWindow() override { calls.append(QStringLiteral("report")); }
    void applyStayInFront(bool report) override {
        calls.append(report ? QStringLiteral("report level") : QStringLiteral("organizer level"));
    }
    void redisplayLists() override { calls.append(QStringLiteral("lists")); }
    void redisplayReports() override { calls.append(QStringLiteral("reports")); }

    bool listKey = false;
    bool reportKey = false;
    bool listOpen = false;
    bool reportOpen = false;
    bool notesOpen = false;
    bool expanded = false;
    bool launches = true;
    bool preferences = false;
    const HXDictionary* rowRecord = nullptr;
    HXDictionaryRef selected;
    HXDictionaryRef notesPool;
    HXDictionaryRef filtered;
    HXDictionaryRef exportedPool;
    QStringList calls;
};

class FakeAdHoc final : public HXAdHocTimerCommands {
public:
    bool isRunning() const override { return running; }
    HXDictionaryRef timedPool() const override { return nullptr; }
    QString timedName() const override { return {}; }
    void startAdHocTimerForItem(const HXDictionaryRef& item) override { started.push_back(item); }

    bool running = false;
    std::vector<HXDictionaryRef> started;
};

class FakeReport final : public HXReportMenuTarget {
public:
    int timeFormat() const override { return format; }
    void setTimeFormat(int f) override { format = f; }
    bool drawFrontActivity() const override { return front; }
    bool drawTotalActivity() const override { return total; }
    void toggleShownActivity(int tag) override { (tag == 0 ? front : total) = !(tag == 0 ? front : total); }
    bool isReportViewVisible() const override { return visible; }
    bool isSnapshot() const override { return snapshot; }

    int format = 1;
    bool front = true;
    bool total = false;
    bool visible = true;
    bool snapshot = false;
};

QStringList titles(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts)
        list.append(QString::fromUtf8(text));
    return list;
}

// The visible entries of a validated menu: titles, "-" for separators, a "[x]" before checked ones,
// a "(off)" after disabled ones and "›" after entries with a submenu.
QStringList entries(HXMenuController& menus, QMenu& menu, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    menus.validateMenu(menu, modifiers);
    QStringList list;
    for (QAction* action : menu.actions()) {
        if (!action->isVisible())
            continue;
        if (action->isSeparator()) {
            list.append(QStringLiteral("-"));
            continue;
        }
        QString text = action->text();
        if (action->isCheckable() && action->isChecked())
            text.prepend(QStringLiteral("[x] "));
        if (!action->isEnabled())
            text.append(QStringLiteral(" (off)"));
        if (action->menu())
            text.append(QStringLiteral(" \u203A"));
        list.append(text);
    }
    return list;
}

HXMenuItem* find(QMenu& menu, const QString& title) {
    for (QAction* action : menu.actions()) {
        if (action->text() == title && action->isVisible())
            return qobject_cast<HXMenuItem*>(action);
    }
    return nullptr;
}

QMenu* submenu(QMenu& menu, const QString& title) {
    for (QAction* action : menu.actions()) {
        if (action->text() == title)
            return action->menu();
    }
    return nullptr;
}

// Every title of the menu and its submenus after validation.
void collectTitles(HXMenuController& menus, QMenu& menu, QStringList& titles) {
    menus.validateMenu(menu, Qt::NoModifier);
    for (QAction* action : menu.actions()) {
        titles.append(action->text());
        if (action->menu())
            collectTitles(menus, *action->menu(), titles);
    }
}

struct Menus : EngineHarness {
    Menus() : menus(*controller, host, adHoc, icons) {
        windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor"),
                                                 {fakeWindow(11, QStringLiteral("notes"))})});
        windows.setFrontProcess(1);
        controller->restoreSettings();
        tickAt(100);
        tickAt(101);
    }
    HXDictionaryRef pool(const QString& name, std::vector<HXDictionaryRef> items = {}) {
        HXDictionaryRef made = addPool(name, std::move(items));
        controller->updateLists(HXTrigger::Command);
        return made;
    }

    FakeMenuHost host;
    FakeAdHoc adHoc;
    HXItemIcons icons;
    HXMenuController menus;
};

} // namespace

TEST(HXMenus, MainMenuInOrderWithEveryPlaceholderReplaced) {
    Menus h;
    std::unique_ptr<QMenu> menu(h.menus.populateMainMenu(nullptr));
    EXPECT_EQ(menu->title(), QStringLiteral("Qualdern"));
    EXPECT_EQ(entries(h.menus, *menu),
              (titles({"Suspend Timers...", "Preferences... (off)", "-", "File \u203A", "View \u203A", "-",
                       "Undo", "Redo", "-", "About Qualdern", "Help", "-", "Quit"})));
    QMenu* file = submenu(*menu, QStringLiteral("File"));
    ASSERT_TRUE(file);
    EXPECT_EQ(entries(h.menus, *file),
              (titles({"Open Snapshot...", "Export Snapshot...", "-", "Run Ad Hoc Timer in New Pool...",
                       "Pause Pool (off)", "Reset Timer... (off)", "-", "Reset All App Timers...",
                       "Reset All Pool Timers... (off)", "Reset All Timers...", "-",
                       "Set Window Title Filter... (off)", "Add Notes... (off)"})));
    QMenu* view = submenu(*menu, QStringLiteral("View"));
    ASSERT_TRUE(view);
    // Without a report to act on, its entries are off.
    EXPECT_EQ(entries(h.menus, *view),
              (titles({"as Time Lapse (off)", "as Time Portions (off)", "-", "[x] Foreground Activity (off)",
                       "[x] Total Activity (off)", "-", "Show Percentages (off)",
                       "[x] Express >=24-Hour Intervals in Days", "-", "Color Scheme \u203A"})));
    QStringList titles;
    collectTitles(h.menus, *menu, titles);
    for (const QString& title : titles)
        EXPECT_FALSE(title.contains(QStringLiteral("<<"))) << title.toStdString();

    // The clear entries come only when asked for.
    h.defaults->setBool(u"Status Item Menu Includes Clear Items", true);
    std::unique_ptr<QMenu> withClear(h.menus.populateMainMenu(nullptr));
    EXPECT_TRUE(find(*submenu(*withClear, QStringLiteral("File")), QStringLiteral("Clear All...")));
    EXPECT_TRUE(find(*submenu(*withClear, QStringLiteral("File")), QStringLiteral("Clear Pools...")));

    // Where the program has a preferences window, its entry opens it.
    h.host.preferences = true;
    EXPECT_EQ(entries(h.menus, *menu)[1], QStringLiteral("Preferences..."));
    find(*menu, QStringLiteral("Preferences..."))->trigger();
    EXPECT_EQ(h.host.calls.back(), QStringLiteral("preferences"));
}

TEST(HXMenus, TheTraysMenuFilledAgainHoldsOneSetOfEntries) {
    Menus h;
    QMenu tray;
    // As the tray does before each showing.
    for (int i = 0; i < 3; ++i) {
        tray.clear();
        h.menus.populateMainMenu(&tray);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(tray.findChildren<QMenu*>(Qt::FindDirectChildrenOnly).size(), 2) << "File and View";
    EXPECT_EQ(entries(h.menus, tray).size(), 13);
    EXPECT_EQ(entries(h.menus, *submenu(tray, QStringLiteral("File"))).front(),
              QStringLiteral("Open Snapshot..."));
}

TEST(HXMenus, AlternatesFollowTheModifierKeys) {
    Menus h;
    std::unique_ptr<QMenu> menu(h.menus.populateMainMenu(nullptr));
    QStringList alt = entries(h.menus, *menu, Qt::AltModifier);
    EXPECT_EQ(alt.front(), QStringLiteral("Suspend Timers..."));
    EXPECT_EQ(alt[1], QStringLiteral("Preferences... (off)"));
    EXPECT_EQ(alt.back(), QStringLiteral("Quit"));
    HXMenuItem* quit = find(*menu, QStringLiteral("Quit"));
    ASSERT_TRUE(quit);
    EXPECT_EQ(quit->tag(), 1);
    quit->trigger();
    EXPECT_EQ(h.host.calls.back(), QStringLiteral("quit now"));

    const QStringList both = entries(h.menus, *menu, Qt::AltModifier | Qt::ControlModifier);
    EXPECT_EQ(both[1], QStringLiteral("Enable Debug Logging"));
    find(*menu, QStringLiteral("Enable Debug Logging"))->trigger();
    EXPECT_TRUE(h.defaults->boolForKey(u"HXDebugLog"));
    EXPECT_EQ(entries(h.menus, *menu, Qt::AltModifier | Qt::ControlModifier)[1],
              QStringLiteral("[x] Enable Debug Logging"));

    const QStringList plain = entries(h.menus, *menu);
    EXPECT_EQ(plain[1], QStringLiteral("Preferences... (off)"));
    find(*menu, QStringLiteral("Quit"))->trigger();
    EXPECT_EQ(h.host.calls.back(), QStringLiteral("quit"));
}

TEST(HXMenus, SuspendEntryNeverShowsItsPlaceholder) {
    Menus h;
    std::unique_ptr<QMenu> menu(h.menus.populateMainMenu(nullptr));
    h.defaults->setInteger(u"Hibernation Mode", 1);
    EXPECT_EQ(entries(h.menus, *menu).front(), QStringLiteral("Suspend Timers Temporarily"));
    h.defaults->setInteger(u"Hibernation Mode", 2);
    EXPECT_EQ(entries(h.menus, *menu).front(), QStringLiteral("Suspend Timers"));
    h.defaults->setDouble(u"Deep Hibernation", 1700000000.0);
    EXPECT_EQ(entries(h.menus, *menu).front(), QStringLiteral("Wake Up"));
}

TEST(HXMenus, CommandsActOnTheSelectionOnlyWhileTheOrganizerIsActive) {
    Menus h;
    const HXDictionaryRef work = h.pool(QStringLiteral("Work"));
    std::unique_ptr<QMenu> menu(h.menus.populateMainMenu(nullptr));
    QMenu* file = submenu(*menu, QStringLiteral("File"));
    h.host.selected = work;
    EXPECT_EQ(entries(h.menus, *file)[4], QStringLiteral("Pause Pool (off)"));
    h.host.listKey = true;
    EXPECT_EQ(entries(h.menus, *file)[1], QStringLiteral("Export Work Snapshot..."));
    EXPECT_EQ(entries(h.menus, *file)[4], QStringLiteral("Pause Pool"));
    find(*file, QStringLiteral("Pause Pool"))->trigger();
    EXPECT_TRUE(work->boolForKey(Paused));
    EXPECT_EQ(entries(h.menus, *file)[4], QStringLiteral("Resume Pool"));
    find(*file, QStringLiteral("Add Notes..."))->trigger();
    EXPECT_EQ(h.host.notesPool, work);
    find(*file, QStringLiteral("Export Work Snapshot..."))->trigger();
    EXPECT_EQ(h.host.exportedPool, work);
    // While the notes are edited, the notes entry saves them and item commands are off.
    h.host.notesOpen = true;
    h.controller->setModal(true);
    const QStringList modal = entries(h.menus, *file);
    EXPECT_EQ(modal.back(), QStringLiteral("Save Notes"));
    EXPECT_EQ(modal[1], QStringLiteral("Export Work Snapshot... (off)"));
    EXPECT_EQ(modal[3], QStringLiteral("Run Ad Hoc Timer... (off)"));
    EXPECT_EQ(modal[5], QStringLiteral("Reset Timer... (off)"));
    find(*file, QStringLiteral("Save Notes"))->trigger();
    EXPECT_EQ(h.host.calls.back(), QStringLiteral("notes done"));
    EXPECT_FALSE(h.menus.contextMenuForItem(work));
}

TEST(HXMenus, ExportIsOffWithoutTimeColumnsOrWithoutItemColumns) {
    Menus h;
    std::unique_ptr<QMenu> menu(h.menus.populateMainMenu(nullptr));
    QMenu* file = submenu(*menu, QStringLiteral("File"));
    h.defaults->setBool(u"Export Column: Front", false);
    EXPECT_EQ(entries(h.menus, *file)[1], QStringLiteral("Export Snapshot... (off)"));
    h.defaults->setBool(u"Export Column: Total", true);
    EXPECT_EQ(entries(h.menus, *file)[1], QStringLiteral("Export Snapshot..."));
    HXMenuItem* exportItem = find(*file, QStringLiteral("Export Snapshot..."));
    h.defaults->setBool(u"Export Column: Pool", false);
    h.defaults->setBool(u"Export Column: Application", false);
    // Chosen after the settings changed behind the open menu, it only beeps.
    exportItem->trigger();
    EXPECT_FALSE(h.host.calls.contains(QStringLiteral("export")));
    EXPECT_EQ(h.ui.beeps, 1);
    EXPECT_EQ(entries(h.menus, *file)[1], QStringLiteral("Export Snapshot... (off)"));
}

TEST(HXMenus, ViewEntriesFollowTheirReportAndTheSchemeIsChecked) {
    Menus h;
    FakeReport report;
    QMenu view;
    h.menus.populateViewMenu(&view, &report);
    h.host.reportKey = true;
    EXPECT_EQ(entries(h.menus, view),
              (titles({"as Time Lapse", "[x] as Time Portions", "-", "[x] Foreground Activity",
                       "Total Activity", "-", "[x] Show Percentages",
                       "[x] Express >=24-Hour Intervals in Days", "-", "Color Scheme \u203A"})));
    find(view, QStringLiteral("as Time Lapse"))->trigger();
    EXPECT_EQ(report.format, 0);
    find(view, QStringLiteral("Total Activity"))->trigger();
    EXPECT_TRUE(report.total);
    report.snapshot = true;
    EXPECT_EQ(entries(h.menus, view)[4], QStringLiteral("[x] Total Activity (off)"));
    report.visible = false;
    EXPECT_EQ(entries(h.menus, view)[0], QStringLiteral("[x] as Time Lapse (off)"));

    QMenu* schemes = submenu(view, QStringLiteral("Color Scheme"));
    ASSERT_TRUE(schemes);
    EXPECT_EQ(entries(h.menus, *schemes),
              (titles({"[x] Original", "-", "Standard Highlight Color (off)", "\u2003Dark", "\u2003Light"})));
    find(*schemes, QStringLiteral("\u2003Light"))->trigger();
    EXPECT_EQ(h.defaults->integerForKey(u"Color Scheme"), 2);
    EXPECT_EQ(entries(h.menus, *schemes),
              (titles({"Original", "-", "Standard Highlight Color (off)", "\u2003Dark", "[x] \u2003Light"})));
    EXPECT_TRUE(h.host.calls.contains(QStringLiteral("lists")));

    // Percentages belong to the organizer while it is active, else to the reports.
    find(view, QStringLiteral("Show Percentages"))->trigger();
    EXPECT_FALSE(h.defaults->boolForKey(u"Reports Show Percentages"));
    h.host.reportKey = false;
    h.host.listKey = true;
    EXPECT_EQ(entries(h.menus, view)[6], QStringLiteral("Show Percentages"));
    find(view, QStringLiteral("Show Percentages"))->trigger();
    EXPECT_TRUE(h.defaults->boolForKey(u"Organizer Shows Percentages"));
    h.host.listKey = false;
    EXPECT_EQ(entries(h.menus, view)[6], QStringLiteral("Show Percentages (off)"));
}

TEST(HXMenus, MenuBarOffersWindowEntriesWithShortcuts) {
    Menus h;
    QMenuBar bar;
    h.menus.populateMenuBar(&bar, nullptr);
    QStringList tops;
    for (QAction* action : bar.actions())
        tops.append(action->text());
    EXPECT_EQ(tops, (titles({"&File", "&Edit", "&View", "&Help"})));
    QMenu* view = bar.actions()[2]->menu();
    h.host.listKey = true;
    h.host.listOpen = true;
    const QStringList shown = entries(h.menus, *view);
    EXPECT_TRUE(shown.contains(QStringLiteral("[x] Organizer")));
    EXPECT_TRUE(shown.contains(QStringLiteral("Live Report")));
    // Each window has its own menu bar: the window entries say which windows are open, whichever is key.
    h.host.reportOpen = true;
    EXPECT_TRUE(entries(h.menus, *view).contains(QStringLiteral("[x] Live Report")));
    h.host.listKey = false;
    EXPECT_TRUE(entries(h.menus, *view).contains(QStringLiteral("[x] Organizer")));
    h.host.listOpen = false;
    EXPECT_TRUE(entries(h.menus, *view).contains(QStringLiteral("Organizer")));
    find(*view, QStringLiteral("Organizer"))->trigger();
    find(*view, QStringLiteral("Live Report"))->trigger();
    EXPECT_EQ(h.host.calls.mid(h.host.calls.size() - 2), (titles({"organizer", "report"})));
    h.host.listKey = true;
    entries(h.menus, *view);
    EXPECT_TRUE(shown.contains(QStringLiteral("Stay in Front")));
    find(*view, QStringLiteral("Stay in Front"))->trigger();
    EXPECT_TRUE(h.defaults->boolForKey(u"Organizer: Stay In Front"));
    EXPECT_EQ(h.host.calls.back(), QStringLiteral("organizer level"));
    h.host.listKey = false;
    h.host.reportKey = true;
    EXPECT_TRUE(entries(h.menus, *view).contains(QStringLiteral("Stay in Front")));
    find(*view, QStringLiteral("Stay in Front"))->trigger();
    EXPECT_TRUE(h.defaults->boolForKey(u"Report: Default: Stay In Front"));
    h.host.reportKey = false;
    EXPECT_TRUE(entries(h.menus, *view).contains(QStringLiteral("Stay in Front (off)")));

    QMenu* file = bar.actions()[0]->menu();
    QMenu* edit = bar.actions()[1]->menu();
    entries(h.menus, *file);
    EXPECT_EQ(find(*file, QStringLiteral("Open Snapshot..."))->shortcut(),
              QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(find(*file, QStringLiteral("Export Snapshot..."))->shortcut(),
              QKeySequence(Qt::CTRL | Qt::Key_E));
    EXPECT_EQ(find(*file, QStringLiteral("Quit"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    const QStringList editEntries = entries(h.menus, *edit);
    EXPECT_EQ(editEntries.front(), QStringLiteral("Undo"));
    EXPECT_EQ(find(*edit, QStringLiteral("Undo"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(find(*edit, QStringLiteral("Redo"))->shortcut(),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    EXPECT_EQ(find(*edit, QStringLiteral("Remove from List... (off)")), nullptr);
    EXPECT_EQ(find(*edit, QStringLiteral("Remove from List..."))->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_FALSE(find(*edit, QStringLiteral("Remove from List..."))->isEnabled());
}

TEST(HXMenus, ContextMenusByKindOfRecord) {
    Menus h;
    ScratchFolder bundles;
    const QString bundle = bundles.file(QStringLiteral("editor.desktop"));
    QFile(bundle).open(QIODevice::WriteOnly);
    h.application(kEditor)->setValue(Path, bundle);
    const HXDictionaryRef editor = h.application(kEditor);
    ASSERT_TRUE(editor->boolForKey(Active));

    std::unique_ptr<QMenu> running = h.menus.contextMenuForItem(editor);
    ASSERT_TRUE(running);
    EXPECT_EQ(running->title(), QStringLiteral("Context"));
    EXPECT_EQ(entries(h.menus, *running),
              (titles({"Set Window Title Filter...", "-", "Reset Timer...", "-",
                       "Remove from List and Add to Blacklist...", "-", "Bring to Foreground", "Quit"})));

    h.windows.setApplications({});
    h.tickAt(102);
    std::unique_ptr<QMenu> stopped = h.menus.contextMenuForItem(editor);
    EXPECT_EQ(entries(h.menus, *stopped),
              (titles({"Set Window Title Filter...", "-", "Reset Timer...", "-", "Remove from List...",
                       "Remove from List and Add to Blacklist...", "-", "Launch"})));
    // Launch failing beeps.
    h.host.launches = false;
    find(*stopped, QStringLiteral("Launch"))->trigger();
    EXPECT_EQ(h.ui.beeps, 1);

    const HXDictionaryRef window = h.window(kEditor, QStringLiteral("notes"));
    std::unique_ptr<QMenu> windowMenu = h.menus.contextMenuForItem(window);
    EXPECT_EQ(entries(h.menus, *windowMenu), (titles({"Reset Timer...", "-", "Remove from List...",
                                                      "Remove from List and Add to Blacklist..."})));

    // Removing with the blacklisting entry asks, removes and blacklists.
    h.ui.answers = {0};
    find(*windowMenu, QStringLiteral("Remove from List and Add to Blacklist..."))->trigger();
    EXPECT_EQ(h.ui.alerts.back().title, QStringLiteral("Remove: notes"));
    EXPECT_FALSE(h.window(kEditor, QStringLiteral("notes")));
    const HXArrayRef blacklist = h.configuration().arrayForKey(u"Window Blacklist");
    EXPECT_EQ(blacklist->last().toString(), QStringLiteral("Editor \u25B8 notes"));
    EXPECT_FALSE(h.menus.contextMenuForItem(nullptr));
}

TEST(HXMenus, PoolContextMenusAndTheTrackEntriesByChildCount) {
    Menus h;
    const HXDictionaryRef none = EngineHarness::poolItem(QStringLiteral("Mail"), kMail);
    const HXDictionaryRef inbox = EngineHarness::windowPoolItem(QStringLiteral("Inbox"), kMail);
    const HXDictionaryRef one = EngineHarness::poolItem(QStringLiteral("Mail"), kMail, {inbox});
    const HXDictionaryRef two =
        EngineHarness::poolItem(QStringLiteral("Editor"), kEditor,
                                {EngineHarness::windowPoolItem(QStringLiteral("a"), kEditor),
                                 EngineHarness::windowPoolItem(QStringLiteral("b"), kEditor)});
    const HXDictionaryRef work = h.pool(QStringLiteral("Work"), {none});
    h.pool(QStringLiteral("Home"), {one, two});

    std::unique_ptr<QMenu> poolMenu = h.menus.contextMenuForItem(work);
    EXPECT_EQ(entries(h.menus, *poolMenu),
              (titles({"Run Ad Hoc Timer...", "Pause Pool", "Reset Timer...", "-", "Add Notes...",
                       "Export Work Snapshot...", "-", "Remove from List..."})));
    const auto trackTitle = [&](const HXDictionaryRef& item) {
        std::unique_ptr<QMenu> menu = h.menus.contextMenuForItem(item);
        return entries(h.menus, *menu)[2];
    };
    EXPECT_EQ(trackTitle(none), QStringLiteral("Track All Apps"));
    EXPECT_EQ(trackTitle(one), QStringLiteral("Track Across All Apps"));
    EXPECT_EQ(trackTitle(two), QStringLiteral("Track Window Titles Across All Apps"));
    // A window pool item offers the entry of its application pool item.
    EXPECT_EQ(trackTitle(inbox), QStringLiteral("Track Across All Apps"));
    std::unique_ptr<QMenu> inboxMenu = h.menus.contextMenuForItem(inbox);
    entries(h.menus, *inboxMenu);
    find(*inboxMenu, QStringLiteral("Track Across All Apps"))->trigger();
    EXPECT_TRUE(one->boolForKey(MatchAnyApplication));
    EXPECT_EQ(trackTitle(one), QStringLiteral("Track Mail Only"));
    EXPECT_EQ(trackTitle(inbox), QStringLiteral("Track Mail Only"));
}

TEST(HXMenus, ReportRowsGetAHeadingAndTheExpansionEntry) {
    Menus h;
    const HXDictionaryRef editor = h.application(kEditor);
    auto clipped = HXDictionary::create();
    clipped->setValue(Name, QStringLiteral("Editor"));
    clipped->setValue(Source, editor);
    h.host.rowRecord = editor.get();
    std::unique_ptr<QMenu> menu = h.menus.contextMenuForEventLog(*clipped);
    ASSERT_TRUE(menu);
    const QStringList shown = entries(h.menus, *menu);
    EXPECT_EQ(shown[0], QStringLiteral("EDITOR (off)"));
    EXPECT_EQ(shown[1], QStringLiteral("Expand"));
    find(*menu, QStringLiteral("Expand"))->trigger();
    EXPECT_TRUE(h.host.expanded);
    EXPECT_TRUE(h.host.calls.contains(QStringLiteral("reports")));
    std::unique_ptr<QMenu> again = h.menus.contextMenuForEventLog(*clipped);
    EXPECT_EQ(entries(h.menus, *again)[1], QStringLiteral("Collapse"));
    // With the live report showing windows on their own, or without a row, no expansion entry.
    h.defaults->setInteger(u"Live Report Content (1252)", 2);
    std::unique_ptr<QMenu> flat = h.menus.contextMenuForEventLog(*clipped);
    EXPECT_EQ(entries(h.menus, *flat)[1], QStringLiteral("Set Window Title Filter..."));
}

TEST(HXMenus, TheAdHocEntryInItsThreeForms) {
    Menus h;
    std::unique_ptr<QMenu> menu(h.menus.populateMainMenu(nullptr));
    QMenu* file = submenu(*menu, QStringLiteral("File"));
    // No pools: a new pool, no submenu.
    EXPECT_EQ(entries(h.menus, *file)[3], QStringLiteral("Run Ad Hoc Timer in New Pool..."));
    find(*file, QStringLiteral("Run Ad Hoc Timer in New Pool..."))->trigger();
    ASSERT_EQ(h.adHoc.started.size(), 1u);
    EXPECT_FALSE(h.adHoc.started[0]);

    // Pools without named timers: the pools, a separator and "New Pool...".
    const HXDictionaryRef work = h.pool(QStringLiteral("Work"));
    const HXDictionaryRef home = h.pool(QStringLiteral("Home"));
    EXPECT_EQ(entries(h.menus, *file)[3], QStringLiteral("Run Ad Hoc Timer in Pool... \u203A"));
    QMenu* pools = submenu(*file, QStringLiteral("Run Ad Hoc Timer in Pool..."));
    ASSERT_TRUE(pools);
    EXPECT_EQ(entries(h.menus, *pools), (titles({"Home", "Work", "-", "New Pool..."})));
    find(*pools, QStringLiteral("Work"))->trigger();
    EXPECT_EQ(h.adHoc.started.back(), work);

    // Named timers: indented under their pool, the pools' groups apart.
    auto call = EngineHarness::windowPoolItem(QStringLiteral("Call"), QStringLiteral("_Ad_Hoc"));
    auto adHocItem = EngineHarness::poolItem(QStringLiteral(""), QStringLiteral("_Ad_Hoc"), {call});
    adHocItem->setValue(Path, QStringLiteral("_Ad_Hoc"));
    work->arrayForKey(Children)->append(adHocItem);
    h.controller->updateLists(HXTrigger::Command);
    entries(h.menus, *file);
    pools = submenu(*file, QStringLiteral("Run Ad Hoc Timer in Pool..."));
    EXPECT_EQ(entries(h.menus, *pools), (titles({"Home", "-", "Work", "\u2003Call", "-", "New Pool..."})));

    // A pool's own entry lists only its timers; a timer entry is "Run..." without a submenu.
    std::unique_ptr<QMenu> poolMenu = h.menus.contextMenuForItem(work);
    EXPECT_EQ(entries(h.menus, *poolMenu)[0], QStringLiteral("Run Ad Hoc Timer... \u203A"));
    EXPECT_EQ(entries(h.menus, *submenu(*poolMenu, QStringLiteral("Run Ad Hoc Timer..."))),
              (titles({"Call"})));
    std::unique_ptr<QMenu> homeMenu = h.menus.contextMenuForItem(home);
    EXPECT_EQ(entries(h.menus, *homeMenu)[0], QStringLiteral("Run Ad Hoc Timer..."));
    std::unique_ptr<QMenu> callMenu = h.menus.contextMenuForItem(call);
    EXPECT_EQ(entries(h.menus, *callMenu),
              (titles({"Run...", "-", "Reset Timer...", "-", "Remove from List..."})));
    find(*callMenu, QStringLiteral("Run..."))->trigger();
    EXPECT_EQ(h.adHoc.started.back(), call);

    // While a timer runs, the entry is disabled and without a submenu.
    h.adHoc.running = true;
    EXPECT_EQ(entries(h.menus, *file)[3], QStringLiteral("Run Ad Hoc Timer... (off)"));
    EXPECT_EQ(entries(h.menus, *callMenu)[0], QStringLiteral("Run... (off)"));
}

TEST(HXMenus, ThePoolAnAdHocTimerWouldTime) {
    Menus h;
    const HXDictionaryRef inbox = EngineHarness::windowPoolItem(QStringLiteral("Inbox"), kMail);
    const HXDictionaryRef mail = EngineHarness::poolItem(QStringLiteral("Mail"), kMail, {inbox});
    const HXDictionaryRef work = h.pool(QStringLiteral("Work"), {mail});
    std::optional<QString> name;
    EXPECT_EQ(h.controller->poolWithAdHocTimerRelatedItem(work.get(), &name), work);
    EXPECT_FALSE(name);
    EXPECT_EQ(h.controller->poolWithAdHocTimerRelatedItem(mail.get(), &name), work);
    EXPECT_FALSE(name);
    EXPECT_EQ(h.controller->poolWithAdHocTimerRelatedItem(inbox.get(), &name), work);
    EXPECT_EQ(name, QStringLiteral("Inbox"));
    EXPECT_FALSE(h.controller->poolWithAdHocTimerRelatedItem(h.application(kEditor).get(), &name));
    EXPECT_FALSE(name);
}

namespace {

// The menus over the real ad hoc timer and the hibernation hot key, as the program has them.
struct TimerMenus : EngineHarness {
    TimerMenus() {
        useAdHocTimer(&timer);
        windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor"))});
        lifecycle->applicationWillFinishLaunching();
        lifecycle->applicationDidFinishLaunching();
        time.advance(10);
        adHoc = std::make_unique<HXControllerAdHocTimer>(*controller, [this] { ++beeps; });
        menus = std::make_unique<HXMenuController>(*controller, host, *adHoc, icons);
        menus->setHibernationHotKey(&hotKey);
    }

    HXAdHocTimer timer{HXAdHocTimer::Services{time, time, *defaults, ui}};
    HXFakeHotKeyRegistrar registrar;
    HXHotKeyReferencePool hotKeys;
    HXHotKeyContext context{*defaults, &registrar, nullptr, hotKeys};
    HXHibernationHotKey hotKey{context, [] {
                               }};
    FakeMenuHost host;
    HXItemIcons icons;
    int beeps = 0;
    std::unique_ptr<HXControllerAdHocTimer> adHoc;
    std::unique_ptr<HXMenuController> menus;
};

} // namespace

TEST(HXMenus, SuspendShowsTheHotKeyAndTheAdHocEntryRunsTheTimerOnce) {
    TimerMenus h;
    std::unique_ptr<QMenu> menu(h.menus->populateMainMenu(nullptr));
    QAction* suspend = menu->actions().front();
    EXPECT_EQ(entries(*h.menus, *menu).front(), QStringLiteral("Suspend Timers..."));
    EXPECT_TRUE(suspend->shortcut().isEmpty());

    // The stored hot key, once registered, shows as the entry's shortcut; it only shows there, since the
    // hot key acts by itself.
    h.defaults->setObject(u"Hibernate",
                          HXHotKey::hotKeyWithIdentifer(h.context, QStringLiteral("Hibernate"),
                                                        QStringLiteral("\u2303\u2325H"), 4, 0xC0000)
                              ->dictionaryRepresentation());
    ASSERT_TRUE(h.hotKey.registerAtLaunch());
    h.menus->validateMenu(*menu, Qt::NoModifier);
    EXPECT_EQ(suspend->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_H));
    EXPECT_EQ(suspend->shortcutContext(), Qt::WidgetShortcut);
    h.hotKey.didSetHotKey(nullptr, HXHibernationHotKey::identifier());
    h.menus->validateMenu(*menu, Qt::NoModifier);
    EXPECT_TRUE(suspend->shortcut().isEmpty());

    // No pools yet: the entry starts a timer for a new pool, with the controller taking the time.
    QMenu* file = submenu(*menu, QStringLiteral("File"));
    ASSERT_TRUE(file);
    EXPECT_EQ(entries(*h.menus, *file)[3], QStringLiteral("Run Ad Hoc Timer in New Pool..."));
    find(*file, QStringLiteral("Run Ad Hoc Timer in New Pool..."))->trigger();
    EXPECT_TRUE(h.timer.active());
    EXPECT_EQ(h.timer.delegate(), h.controller.get());
    EXPECT_EQ(entries(*h.menus, *file)[3], QStringLiteral("Run Ad Hoc Timer... (off)"));
    // Asked again meanwhile (a hot key, the organizer), the running timer only comes forward.
    int shown = 0;
    QObject::connect(&h.timer, &HXAdHocTimer::windowShouldShow, [&shown] { ++shown; });
    h.adHoc->startAdHocTimerForItem(nullptr);
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(h.adHoc->isRunning());
    h.timer.done(0);
    EXPECT_FALSE(h.adHoc->isRunning());
    EXPECT_EQ(entries(*h.menus, *file)[3], QStringLiteral("Run Ad Hoc Timer in New Pool..."));
    EXPECT_EQ(h.beeps, 0);
}

TEST(HXMenus, APausedTimerStillCountsAsRunningForTheMenusAndTheOrganizersMarking) {
    TimerMenus h;
    const HXDictionaryRef work = h.addPool(QStringLiteral("Work"), {});
    // A first kept timing gives the pool its ad hoc item and the entry "Call".
    h.adHoc->startAdHocTimerForItem(work);
    h.timer.controlTextDidChange(QStringLiteral("Call"));
    h.time.advance(60);
    h.timer.done(1);
    const HXArrayRef workItems = work->arrayForKey(Children);
    ASSERT_TRUE(workItems && workItems->count() == 1);
    const HXDictionaryRef adHocItem = workItems->dictionaryAt(0);
    const HXArrayRef adHocEntries = adHocItem->arrayForKey(Children);
    ASSERT_TRUE(adHocEntries && adHocEntries->count() == 1);
    const HXDictionaryRef call = adHocEntries->dictionaryAt(0);
    ASSERT_EQ(call->stringForKey(Name), u"Call");

    HXOrganizerModel pools(*h.controller, HXOrganizerModel::Outline::Pools, h.adHoc.get());
    const auto marked = [&] {
        return QList<bool>{pools.isIconActive(work.get()), pools.isIconActive(adHocItem.get()),
                           pools.isIconActive(call.get())};
    };
    EXPECT_EQ(marked(), (QList<bool>{false, false, false}));

    // Timing the same entry again, its name typed with spaces around it.
    std::unique_ptr<QMenu> menu(h.menus->populateMainMenu(nullptr));
    QMenu* file = submenu(*menu, QStringLiteral("File"));
    ASSERT_TRUE(file);
    const QString idle = entries(*h.menus, *file)[3];
    EXPECT_FALSE(idle.endsWith(QStringLiteral(" (off)"))) << idle.toStdString();
    h.adHoc->startAdHocTimerForItem(work);
    h.timer.controlTextDidChange(QStringLiteral("  Call "));
    EXPECT_EQ(h.adHoc->timedPool(), work);
    EXPECT_EQ(h.adHoc->timedName(), u"Call");
    EXPECT_EQ(marked(), (QList<bool>{true, true, true}));
    EXPECT_TRUE(entries(*h.menus, *file)[3].endsWith(QStringLiteral(" (off)")));

    h.timer.pause();
    ASSERT_FALSE(h.timer.running());
    EXPECT_TRUE(h.adHoc->isRunning()) << "paused, the timer is still active";
    EXPECT_EQ(marked(), (QList<bool>{true, true, true}));
    EXPECT_TRUE(entries(*h.menus, *file)[3].endsWith(QStringLiteral(" (off)")));

    // Another name: the pool and its ad hoc item stay marked, the entry not, and the organizer draws the
    // entry's name again at the next tick, though only the timer changed.
    pools.reload();
    pools.setRowExpanded(pools.indexForRecord(work.get()), true);
    pools.setRowExpanded(pools.indexForRecord(adHocItem.get()), true);
    const QModelIndex callRow = pools.indexForRecord(call.get());
    ASSERT_TRUE(callRow.isValid());
    h.tickAfter(0.5);
    QSignalSpy redrawn(&pools, &QAbstractItemModel::dataChanged);
    h.timer.controlTextDidChange(QStringLiteral("Standup"));
    EXPECT_EQ(marked(), (QList<bool>{true, true, false}));
    h.tickAfter(0.5);
    const auto redraws = [&](const QModelIndex& cell) {
        for (const QList<QVariant>& signal : redrawn) {
            const auto topLeft = signal[0].value<QModelIndex>();
            const auto bottomRight = signal[1].value<QModelIndex>();
            if (topLeft.parent() == cell.parent() && topLeft.row() <= cell.row() &&
                cell.row() <= bottomRight.row() && topLeft.column() <= cell.column())
                return true;
        }
        return false;
    };
    EXPECT_TRUE(redraws(pools.indexForRecord(call.get())));

    h.timer.done(0);
    EXPECT_FALSE(h.adHoc->isRunning());
    EXPECT_FALSE(h.adHoc->timedPool());
    EXPECT_EQ(marked(), (QList<bool>{false, false, false}));
    EXPECT_EQ(entries(*h.menus, *file)[3], idle);
}

TEST(HXMenus, ChoicesThatExcludeEachOtherAreExclusiveGroupsInEveryViewMenu) {
    Menus h;
    FakeReport report;
    QMenuBar bar;
    h.menus.populateMenuBar(&bar, &report);
    QMenu main;
    h.menus.populateMainMenu(&main);
    h.menus.setLiveReportMenuTarget(&report);
    h.host.reportKey = true;
    for (QMenu* view : {bar.actions()[2]->menu(), submenu(main, QStringLiteral("View"))}) {
        ASSERT_TRUE(view);
        QMenu* schemes = submenu(*view, QStringLiteral("Color Scheme"));
        ASSERT_TRUE(schemes);
        const auto group = [](QAction* action) {
            return action ? action->actionGroup() : nullptr;
        };
        HXMenuItem* lapse = find(*view, QStringLiteral("as Time Lapse"));
        HXMenuItem* portions = find(*view, QStringLiteral("as Time Portions"));
        ASSERT_TRUE(group(lapse));
        EXPECT_EQ(group(lapse), group(portions));
        EXPECT_TRUE(group(lapse)->isExclusive());
        EXPECT_EQ(group(lapse)->actions().size(), 2);
        const QList<QAction*> schemeEntries{find(*schemes, QStringLiteral("Original")),
                                            find(*schemes, QStringLiteral("\u2003Dark")),
                                            find(*schemes, QStringLiteral("\u2003Light"))};
        ASSERT_TRUE(group(schemeEntries[0]));
        EXPECT_TRUE(group(schemeEntries[0])->isExclusive());
        EXPECT_EQ(group(schemeEntries[0])->actions(), schemeEntries);
        // Both kinds of activity may show at once: they stay independent.
        EXPECT_FALSE(group(find(*view, QStringLiteral("Foreground Activity"))));
        EXPECT_FALSE(group(find(*view, QStringLiteral("Total Activity"))));

        // One mark at a time; choosing the marked entry again keeps it.
        report.format = 1;
        entries(h.menus, *view);
        EXPECT_TRUE(portions->isChecked());
        EXPECT_FALSE(lapse->isChecked());
        lapse->trigger();
        EXPECT_EQ(report.format, 0);
        entries(h.menus, *view);
        EXPECT_TRUE(lapse->isChecked());
        EXPECT_FALSE(portions->isChecked());
        lapse->trigger();
        EXPECT_EQ(report.format, 0);
        EXPECT_TRUE(lapse->isChecked());
    }
    // Without a report to show, validation clears the marks of the group all the same.
    h.menus.setLiveReportMenuTarget(nullptr);
    EXPECT_EQ(entries(h.menus, *submenu(main, QStringLiteral("View"))).mid(0, 2),
              (titles({"as Time Lapse (off)", "as Time Portions (off)"})));
    h.defaults->setInteger(u"Color Scheme", 1);
    QMenu* schemes = submenu(*bar.actions()[2]->menu(), QStringLiteral("Color Scheme"));
    EXPECT_EQ(entries(h.menus, *schemes),
              (titles({"Original", "-", "Standard Highlight Color (off)", "[x] \u2003Dark", "\u2003Light"})));
}
