#pragma once

#include "engine/HXLifecyclePort.h"
#include "ui/menus/HXMenuHost.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class HXAdHocTimerCommands;
class HXApplicationControl;
class HXIdleAdHocTimer;
class HXItemIcons;
class HXListWindow;
class HXLiveReportSource;
class HXLiveReportWindowPort;
class HXMainController;
class HXMenuController;
class HXNotesEditor;
class HXOrganizerView;
class HXReportMenuTarget;
class HXTrayController;
class QMenu;
class QMenuBar;
class QTextBrowser;

// The program on the desktop: window mode (the default) with the list window and the live report window,
// each with a menu bar, or status item mode with the tray icon. It answers the start-up and quit steps
// that reach the user interface and everything the menus ask of the windows: the organizer's selection
// and rows, the notes and filter editors, the export and open panels, the about box and the help window,
// and bringing forward, launching and quitting other applications.
class HXDesktopShell : public QObject, public HXLifecyclePort, public HXMenuHost {
    Q_OBJECT

public:
    struct Services {
        HXMainController& controller;
        // What exports read.
        const HXLiveReportSource& reports;
        HXApplicationControl* applications = nullptr;
        // Null until the ad hoc timer exists: then a timer that never runs stands in.
        HXAdHocTimerCommands* adHocTimer = nullptr;
        std::function<void(bool withoutConfirmation)> quit;
        std::function<bool()> terminationCheck;
        std::function<void()> autoTasks;
        std::function<void(const QStringList& files)> openSnapshots;
    };

    explicit HXDesktopShell(Services services, QObject* parent = nullptr);
    ~HXDesktopShell() override;

    // The live report window (it comes with the report windows); without it, the list window is the
    // only window.
    void setLiveReportWindow(HXLiveReportWindowPort* window);
    HXMenuController& menus() const { return *m_menus; }
    HXOrganizerView* organizer() const;
    HXListWindow* listWindow() const { return m_listWindow.get(); }
    HXNotesEditor& notesEditor() const { return *m_notesEditor; }
    // Gives a window the menu bar of window mode; report is what its View entries act on.
    void installMenuBar(QWidget& window, HXReportMenuTarget* report);

    // HXLifecyclePort
    void chooseApplicationMode() override;
    bool isStatusItemMode() const override;
    void setUpOrganizer() override;
    void completeUserInterface() override;
    void doAutoTasksIfNecessary() override;
    void openDockModeWindows() override;
    void showReportSnapshots(const QStringList& files) override;
    void saveOrganizerDividerPosition() override;
    void terminate() override;

    // HXMenuHost
    bool isListWindowKey() const override;
    bool isLiveReportWindowKey() const override;
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
    // The window sheets and panels hang on: the list window (shown first when hidden).
    QWidget* referenceWindow();
    void performActionForItem(const HXDictionaryRef& record);
    void validateMenuBars();
    void beep() const;

    Services m_services;
    std::unique_ptr<HXIdleAdHocTimer> m_idleAdHocTimer;
    HXAdHocTimerCommands* m_adHocTimer;
    std::unique_ptr<HXItemIcons> m_icons;
    std::unique_ptr<HXMenuController> m_menus;
    std::unique_ptr<HXTrayController> m_tray;
    std::unique_ptr<QMenu> m_trayMenu;
    std::unique_ptr<HXListWindow> m_listWindow;
    QPointer<HXOrganizerView> m_organizer;
    std::unique_ptr<HXNotesEditor> m_notesEditor;
    std::unique_ptr<QTextBrowser> m_helpWindow;
    HXLiveReportWindowPort* m_liveReport = nullptr;
    std::vector<QPointer<QMenuBar>> m_menuBars;
    bool m_statusItemMode = false;
};
