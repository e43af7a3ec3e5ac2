// The live report in the program's windows offscreen: right clicks on its rows open their items' context
// menus, the View menus of both menu bars act on it, and exporting from its window covers its interval.
#include "EngineHarness.h"

#include "app/HXReportsBridge.h"
#include "app/HXTrackerWindows.h"
#include "reports/HXCSVExport.h"
#include "reports/HXReportController.h"
#include "reports/widgets/HXLiveReportWindow.h"
#include "reports/widgets/HXReportView.h"
#include "reports/widgets/HXReportWindow.h"
#include "ui/menus/HXMenuController.h"
#include "ui/menus/HXMenuItem.h"
#include "ui/shell/HXDesktopShell.h"
#include "ui/shell/HXListWindow.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <gtest/gtest.h>

using namespace HXKeys;

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QString kEditor = QStringLiteral("org.example.Editor");

// Visible entries: titles, "-" for separators, "(off)" after disabled ones.
QStringList entries(const QMenu& menu) {
    QStringList list;
    for (QAction* action : menu.actions()) {
        if (!action->isVisible())
            continue;
        QString text = action->isSeparator() ? QStringLiteral("-") : action->text();
        if (!action->isSeparator() && !action->isEnabled())
            text.append(QStringLiteral(" (off)"));
        list.append(text);
    }
    return list;
}

QAction* find(const QMenu& menu, const QString& title) {
    for (QAction* action : menu.actions()) {
        if (action->text() == title && action->isVisible())
            return action;
    }
    return nullptr;
}

QMenu* barMenu(QWidget& window, const QString& title) {
    auto* bar = window.findChild<QMenuBar*>();
    if (!bar)
        return nullptr;
    for (QAction* action : bar->actions()) {
        if (action->text() == title)
            return action->menu();
    }
    return nullptr;
}

// A right click at the point: the entries of the menu it opened (empty without one), after act ran on it.
QStringList rightClick(QWidget& view, QPoint at, const std::function<void(QMenu&)>& act = {}) {
    QStringList shown;
    bool looked = false;
    QTimer::singleShot(0, &view, [&] {
        looked = true;
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        shown = entries(*menu);
        if (act)
            act(*menu);
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, view.mapToGlobal(at));
    QApplication::sendEvent(&view, &event);
    while (!looked)
        QCoreApplication::processEvents();
    return shown;
}

struct LiveReportMenus : EngineHarness {
    // Without openReport, the live report window is not made (it was closed last time).
    explicit LiveReportMenus(bool openReport = true)
        : bridge(*controller), live(bridge, *defaults, time, time),
          shell(HXDesktopShell::Services{*controller, bridge, nullptr, nullptr, {}, {}}),
          trackerWindows(shell, *defaults, live) {
        shell.setLiveReportWindow(&trackerWindows);
        defaults->setBool(u"Live Report: Applications", true);
        windows.setApplications({fakeApplication(1, kEditor, QStringLiteral("Editor"),
                                                 {fakeWindow(11, QStringLiteral("notes"))})});
        windows.setFrontProcess(1);
        controller->restoreSettings();
        for (double t = 100; t <= 160; ++t)
            tickAt(t);
        if (!openReport)
            return;
        live.showReportWindow();
        live.window()->resize(600, 400);
        live.updateIgnoringVisibility(true);
    }

    HXReportView& view() { return live.window()->view(); }

    // A point on the row drawn for the record, or (-1, -1).
    QPoint rowOf(const HXDictionary* record) {
        view().grab();
        for (int y = 0; y < view().height(); ++y) {
            const QPoint point(view().width() / 2, y);
            const HXDictionaryRef log = view().eventLogAtLocation(point);
            const HXValue* source = log ? log->find(Source) : nullptr;
            if (source && source->toDictionary().get() == record)
                return point;
        }
        return {-1, -1};
    }

    HXReportsBridge bridge;
    HXLiveReportWindow live;
    HXDesktopShell shell;
    HXTrackerWindows trackerWindows;
};

} // namespace

TEST(HXReportMenus, ARightClickOnALiveReportRowOpensItsItemsContextMenu) {
    LiveReportMenus h;
    const HXDictionaryRef editor = h.application(kEditor);
    const QPoint row = h.rowOf(editor.get());
    ASSERT_GE(row.y(), 0);

    // The organizer's menu for the same item, below the item's name as a heading and the expansion of
    // its row.
    std::unique_ptr<QMenu> organizers = h.shell.menus().contextMenuForItem(editor);
    h.shell.menus().validateMenu(*organizers, Qt::NoModifier);
    const QStringList expected =
        QStringList{QStringLiteral("EDITOR (off)"), QStringLiteral("Expand"), QStringLiteral("-")} +
        entries(*organizers);
    const QStringList shown = rightClick(h.view(), row);
    EXPECT_EQ(shown, expected);
    rightClick(h.view(), row, [](QMenu& menu) { find(menu, QStringLiteral("Expand"))->trigger(); });
    EXPECT_TRUE(h.shell.isRowExpandedForItem(editor.get()));
    EXPECT_EQ(rightClick(h.view(), h.rowOf(editor.get()))[1], QStringLiteral("Collapse"));
    EXPECT_TRUE(shown.contains(QStringLiteral("Remove from List and Add to Blacklist...")));
    for (const QString& title : shown)
        EXPECT_FALSE(title.contains(QStringLiteral("<<"))) << title.toStdString();

    // Its entries act on that item: removing it asks, removes and blacklists.
    h.ui.answers = {0};
    rightClick(h.view(), row, [](QMenu& menu) {
        find(menu, QStringLiteral("Remove from List and Add to Blacklist..."))->trigger();
    });
    EXPECT_EQ(h.ui.alerts.back().title, QStringLiteral("Remove: Editor"));
    EXPECT_FALSE(h.application(kEditor));
    EXPECT_EQ(h.configuration().arrayForKey(u"Application Blacklist")->last().toString(),
              QStringLiteral("Editor"));
}

TEST(HXReportMenus, NoContextMenuOutsideTheRowsOrWhileModal) {
    LiveReportMenus h;
    // Part of the data: the interval's ribbon below the rows.
    h.live.controller().setBeginTimestamp(120, 140);
    h.live.updateIgnoringVisibility(true);
    const QPoint row = h.rowOf(h.application(kEditor).get());
    ASSERT_GE(row.y(), 0);
    QPoint outside(-1, -1);
    for (int y = h.view().height() - 1; y >= 0 && outside.y() < 0; --y) {
        if (!h.view().eventLogAtLocation(QPointF(h.view().width() / 2, y)))
            outside = QPoint(h.view().width() / 2, y);
    }
    ASSERT_GE(outside.y(), 0);
    EXPECT_TRUE(rightClick(h.view(), outside).isEmpty());
    h.controller->setModal(true);
    EXPECT_TRUE(rightClick(h.view(), row).isEmpty());
    h.controller->setModal(false);
    EXPECT_FALSE(rightClick(h.view(), row).isEmpty());
}

TEST(HXReportMenus, TheViewMenusOfBothWindowsActOnTheLiveReport) {
    LiveReportMenus h;
    HXReportController& report = h.live.controller();
    HXMenuController& menus = h.shell.menus();
    QMenu* reportView = barMenu(*h.live.window(), QStringLiteral("&View"));
    QMenu* listView = barMenu(*h.shell.listWindow(), QStringLiteral("&View"));
    ASSERT_TRUE(reportView);
    ASSERT_TRUE(listView);

    report.setTimeFormat(1);
    menus.validateMenu(*reportView, Qt::NoModifier);
    EXPECT_TRUE(find(*reportView, QStringLiteral("as Time Portions"))->isChecked());
    ASSERT_TRUE(find(*reportView, QStringLiteral("as Time Lapse"))->isEnabled());
    find(*reportView, QStringLiteral("as Time Lapse"))->trigger();
    EXPECT_EQ(report.timeFormat(), 0);

    // The list window's menu bar was made before the live report was known: it acts on it all the same.
    menus.validateMenu(*listView, Qt::NoModifier);
    QAction* total = find(*listView, QStringLiteral("Total Activity"));
    ASSERT_TRUE(total->isEnabled());
    const bool shown = report.drawTotalActivity();
    EXPECT_EQ(total->isChecked(), shown);
    total->trigger();
    EXPECT_EQ(report.drawTotalActivity(), !shown);
    find(*listView, QStringLiteral("as Time Portions"))->trigger();
    EXPECT_EQ(report.timeFormat(), 1);

    // Hidden, the report's entries are off.
    h.live.window()->hide();
    menus.validateMenu(*listView, Qt::NoModifier);
    EXPECT_FALSE(find(*listView, QStringLiteral("as Time Lapse"))->isEnabled());
}

TEST(HXReportMenus, ExportingFromTheLiveReportCoversItsInterval) {
    LiveReportMenus h;
    HXReportController& report = h.live.controller();
    report.setBeginTimestamp(120, 140);
    double begin = 0;
    double end = 0;
    h.trackerWindows.getReportInterval(&begin, &end);
    EXPECT_EQ(begin, 120);
    EXPECT_EQ(end, 140);
    const std::optional<QByteArray> shown = exportPoolAsCSVData(h.bridge, nullptr, 120, 140);
    const std::optional<QByteArray> all =
        exportPoolAsCSVData(h.bridge, nullptr, h.controller->firstTimestamp(), 160);
    ASSERT_TRUE(shown && all);
    ASSERT_NE(*shown, *all);

    QMenu* file = barMenu(*h.live.window(), QStringLiteral("&File"));
    ASSERT_TRUE(file);
    h.shell.menus().validateMenu(*file, Qt::NoModifier);
    QAction* exportEntry = find(*file, QStringLiteral("Export Snapshot..."));
    ASSERT_TRUE(exportEntry && exportEntry->isEnabled());
    exportEntry->trigger();
    QFileDialog* panel = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QFileDialog*>(widget); dialog && dialog->isVisible())
            panel = dialog;
    }
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->windowTitle(), QStringLiteral("Export Snapshot"));
    EXPECT_TRUE(h.controller->isModal());
    const QString path = h.scratch.file(QStringLiteral("shown.csv"));
    panel->selectFile(path);
    // As its Save button does.
    static_cast<QDialog*>(panel)->accept();
    EXPECT_FALSE(h.controller->isModal());
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), *shown);
}

TEST(HXReportMenus, TheWindowEntriesOfEveryMenuBarFollowWhichWindowsAreOpen) {
    LiveReportMenus h;
    HXMenuController& menus = h.shell.menus();
    HXListWindow& list = *h.shell.listWindow();
    HXReportWindow& report = *h.live.window();
    QMenu* reportView = barMenu(report, QStringLiteral("&View"));
    QMenu* listView = barMenu(list, QStringLiteral("&View"));
    ASSERT_TRUE(reportView && listView);
    const auto checked = [&](QMenu* menu, const QString& title) {
        menus.validateMenu(*menu, Qt::NoModifier);
        QAction* entry = find(*menu, title);
        EXPECT_TRUE(entry && entry->isCheckable()) << title.toStdString();
        return entry && entry->isChecked();
    };

    list.show();
    report.show();
    for (QMenu* view : {reportView, listView}) {
        EXPECT_TRUE(checked(view, QStringLiteral("Organizer")));
        EXPECT_TRUE(checked(view, QStringLiteral("Live Report")));
    }
    // Chosen in the report window's menu bar, the organizer's entry closes the open list window and opens
    // it again.
    find(*reportView, QStringLiteral("Organizer"))->trigger();
    EXPECT_FALSE(list.isVisible());
    EXPECT_TRUE(h.defaults->boolForKey(u"Organizer: Closed"));
    EXPECT_FALSE(checked(reportView, QStringLiteral("Organizer")));
    find(*reportView, QStringLiteral("Organizer"))->trigger();
    EXPECT_TRUE(list.isVisible());
    EXPECT_FALSE(h.defaults->boolForKey(u"Organizer: Closed"));
    EXPECT_TRUE(checked(reportView, QStringLiteral("Organizer")));

    // The live report's entry likewise, from the list window's menu bar; a minimized window counts as
    // closed and comes back.
    find(*listView, QStringLiteral("Live Report"))->trigger();
    EXPECT_FALSE(report.isVisible());
    EXPECT_TRUE(h.defaults->boolForKey(u"Report: Default: Closed"));
    EXPECT_FALSE(checked(listView, QStringLiteral("Live Report")));
    find(*listView, QStringLiteral("Live Report"))->trigger();
    EXPECT_TRUE(report.isVisible());
    report.showMinimized();
    EXPECT_FALSE(checked(listView, QStringLiteral("Live Report")));
    find(*listView, QStringLiteral("Live Report"))->trigger();
    EXPECT_TRUE(report.isVisible());
    EXPECT_FALSE(report.isMinimized());
    EXPECT_TRUE(checked(listView, QStringLiteral("Live Report")));
    list.showMinimized();
    EXPECT_FALSE(checked(reportView, QStringLiteral("Organizer")));
    find(*reportView, QStringLiteral("Organizer"))->trigger();
    EXPECT_FALSE(list.isMinimized());
    EXPECT_TRUE(checked(reportView, QStringLiteral("Organizer")));
}

TEST(HXReportMenus, ValidatingTheMenusLeavesAnUnmadeLiveReportWindowUnmade) {
    LiveReportMenus h(false);
    HXMenuController& menus = h.shell.menus();
    h.shell.listWindow()->show();
    for (const QString& title : {QStringLiteral("&File"), QStringLiteral("&Edit"), QStringLiteral("&View")}) {
        QMenu* menu = barMenu(*h.shell.listWindow(), title);
        ASSERT_TRUE(menu) << title.toStdString();
        menus.validateMenu(*menu, Qt::NoModifier);
    }
    std::unique_ptr<QMenu> context = menus.contextMenuForItem(h.application(kEditor));
    menus.validateMenu(*context, Qt::NoModifier);
    EXPECT_FALSE(h.live.window());
    EXPECT_FALSE(find(*barMenu(*h.shell.listWindow(), QStringLiteral("&View")), QStringLiteral("Live Report"))
                     ->isChecked());
}
