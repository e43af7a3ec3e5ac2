#pragma once

#include "foundation/HXDictionary.h"

#include <QObject>

#include <memory>

#include "ui/menus/HXMenuAction.h"

class HXAdHocTimerCommands;
class HXHibernationHotKey;
class HXItemIcons;
class HXMainController;
class HXMenuHost;
class HXMenuItem;
class HXReportMenuTarget;
class QMenu;
class QMenuBar;

// The program's two menus, built in code: the main menu (every command, acting on the organizer's
// selection) and the context menu of one record (in the organizer and in reports). Entries are checked,
// enabled and titled by validateMenuItem() whenever their menu is about to show; entries that depend on
// state carry a placeholder title until then. Alternates are chosen from the modifier keys held at that
// moment (Alt for Option, Control as itself).
class HXMenuController : public QObject {
    Q_OBJECT

public:
    HXMenuController(HXMainController& controller, HXMenuHost& host, HXAdHocTimerCommands& adHocTimer,
                     HXItemIcons& icons, QObject* parent = nullptr);
    ~HXMenuController() override;

    // Appends the main menu's entries to the menu, or to a new menu titled "Qualdern" (owned by the
    // caller) when it is null.
    QMenu* populateMainMenu(QMenu* menu);
    // The menu bar of window mode: the main menu's commands in "File", "Edit", "View" and "Help", plus
    // "Organizer", "Live Report" and "Stay in Front". report is the report the window's View entries act
    // on (null: the live report, whenever it is set).
    void populateMenuBar(QMenuBar* menuBar, HXReportMenuTarget* report);
    // The View entries: the report's time format and shown activity (sent to the report, null for the
    // live report), then percentages, days as units and the colour scheme.
    void populateViewMenu(QMenu* menu, HXReportMenuTarget* report);

    // Null for no record and while modal. With an event log (a clipped record from a report), the menu
    // starts with the record's name as a heading.
    std::unique_ptr<QMenu> contextMenuForItem(const HXDictionaryRef& item,
                                              const HXDictionary* eventLog = nullptr);
    std::unique_ptr<QMenu> contextMenuForEventLog(const HXDictionary& eventLog);

    bool validateMenuItem(HXMenuItem& item);
    // Validates every entry of the menu and shows the alternates for the given modifier keys.
    void validateMenu(QMenu& menu, Qt::KeyboardModifiers modifiers);
    // The record a command acts on: the entry's own, else the organizer's selection while it is active.
    HXDictionaryRef itemFromMenuItem(const HXMenuItem& item) const;
    void perform(HXMenuItem& item);

    // The live report the list window's View entries act on.
    void setLiveReportMenuTarget(HXReportMenuTarget* report) { m_liveReport = report; }
    // Shown as the suspend entry's shortcut while registered.
    void setHibernationHotKey(const HXHibernationHotKey* hotKey) { m_hibernationHotKey = hotKey; }

private:
    HXMenuItem* addItem(QMenu& menu, const QString& title, HXMenuAction action);
    void addFileMenuItems(QMenu& menu);
    void watch(QMenu& menu);
    void buildAdHocSubmenu(HXMenuItem& item, const HXDictionaryRef& related);
    void addTrackEntry(QMenu& menu, const HXDictionaryRef& target);
    bool validateAdHocItem(HXMenuItem& item, const HXDictionaryRef& target);
    void showAlternates(QMenu& menu, Qt::KeyboardModifiers modifiers) const;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool validateReportItem(HXMenuItem& item) const;
    HXReportMenuTarget* reportTargetOf(const HXMenuItem& item) const;
    void beep() const;

    HXMainController& m_controller;
    HXMenuHost& m_host;
    HXAdHocTimerCommands& m_adHocTimer;
    HXItemIcons& m_icons;
    HXReportMenuTarget* m_liveReport = nullptr;
    const HXHibernationHotKey* m_hibernationHotKey = nullptr;
};
