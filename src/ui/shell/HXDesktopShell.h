#pragma once

#include "ui/menus/HXMenuHost.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class HXAdHocTimerCommands;
class HXApplicationControl;
class HXControllerAdHocTimer;
class HXItemIcons;
class HXListWindow;
class HXLiveReportSource;
class HXLiveReportWindowPort;
class HXMainController;
class HXMenuController;
class HXNotesEditor;
class HXOrganizerView;
class HXReportMenuTarget;
class QMenu;
class QMenuBar;
class QTextBrowser;

// The organizer and what the menus ask of the windows around it: the organizer's container (which lives in
// the list window in window mode and in the status item's panel otherwise), the list window with its menu
// bar, the organizer's selection and rows, the notes and filter editors, the export and open panels, the
// about box and the help window, and bringing forward, launching and quitting other applications.
class HXDesktopShell : public QObject, public HXMenuHost {
    Q_OBJECT

public:
    struct Services {
        HXMainController& controller;
        // What exports read.
        const HXLiveReportSource& reports;
        HXApplicationControl* applications = nullptr;
        // Null: the controller's own timer (a beep where there is none).
        HXAdHocTimerCommands* adHocTimer = nullptr;
        std::function<void(bool withoutConfirmation)> quit;
        std::function<void(const QStringList& files)> openSnapshots;
    };

    explicit HXDesktopShell(Services services, QObject* parent = nullptr);
    ~HXDesktopShell() override;

    // The live report window; without it, the list window is the only window.
    void setLiveReportWindow(HXLiveReportWindowPort* window);
    // The organizer's container.
    QWidget* listContainer() const;
    HXMenuController& menus() const { return *m_menus; }
    HXOrganizerView* organizer() const;
    HXListWindow* listWindow() const { return m_listWindow.get(); }
    HXNotesEditor& notesEditor() const { return *m_notesEditor; }
    // The organizer's record icons, for other windows that show records.
    HXItemIcons& itemIcons() const { return *m_icons; }
    // Gives a window the menu bar of window mode; report is what its View entries act on.
    void installMenuBar(QWidget& window, HXReportMenuTarget* report);
    // A right click on a row of the live report: the context menu of the item the row was clipped from.
    void showContextMenuForEventLog(const HXDictionaryRef& log, const QPoint& globalPosition);

    // "Preferences...": shows the preferences window.
    void setPreferencesOpener(std::function<void()> show) { m_showPreferences = std::move(show); }
    void saveOrganizerDividerPosition();
    void restoreOrganizerDividerPosition();

    // HXMenuHost
    bool isListWindowKey() const override;
    bool isLiveReportWindowKey() const override;
    bool isListWindowOpen() const override;
    bool isLiveReportWindowOpen() const override;
    bool isListWindowActive() const override;
    bool isReportWindowKey() const override;
    bool isLiveReportViewVisible() const override;
    HXDictionaryRef selectedItem() const override;
    bool hasRowForItem(const HXDictionary* record) const override;
    bool isRowExpandedForItem(const HXDictionary* record) const override;
    bool toggleExpansionForItem(const HXDictionary* record) override;
    bool isNotesEditorOpen() const override;
    void editNotesForPool(const HXDictionaryRef& pool) override;
    void noteEditorDone() override;
    void editWindowTitleFiltersForApplication(const HXDictionaryRef& application) override;
    void exportCSV(const HXDictionaryRef& pool) override;
    void openCSV() override;
    bool hasPreferencesWindow() const override { return bool(m_showPreferences); }
    void showPreferencesWindow() override;
    void showAboutWindow() override;
    void help() override;
    void quitDeliberately(bool withoutConfirmation) override;
    void deleteSelection() override;
    bool launchApplication(const HXDictionaryRef& item) override;
    bool quitApplication(const HXDictionaryRef& item) override;
    void toggleListWindow() override;
    void toggleReportWindow() override;
    void applyStayInFront(bool liveReportWindow) override;
    void redisplayLists() override;
    void redisplayReports() override;

private:
    // The window sheets and panels hang on: the organizer's (the list window, shown first when hidden, or
    // the status item's panel).
    QWidget* referenceWindow();
    void showReportSnapshots(const QStringList& files);
    void performActionForItem(const HXDictionaryRef& record);
    void validateMenuBars();
    void beep() const;

    Services m_services;
    std::unique_ptr<HXControllerAdHocTimer> m_controllerAdHocTimer;
    std::function<void()> m_showPreferences;
    HXAdHocTimerCommands* m_adHocTimer;
    std::unique_ptr<HXItemIcons> m_icons;
    std::unique_ptr<HXMenuController> m_menus;
    std::unique_ptr<HXListWindow> m_listWindow;
    QPointer<HXOrganizerView> m_organizer;
    std::unique_ptr<HXNotesEditor> m_notesEditor;
    std::unique_ptr<QTextBrowser> m_helpWindow;
    HXLiveReportWindowPort* m_liveReport = nullptr;
    std::vector<QPointer<QMenuBar>> m_menuBars;
};
