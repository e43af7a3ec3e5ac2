#pragma once

#include "ui/statusitem/HXStatusItemController.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class HXApplicationModeWindows;
class HXDesktopPresence;
class HXFadeEnvironment;
class HXFullscreenReportWindow;
class HXHibernation;
class HXLiveReportImages;
class HXScheduler;
class HXUserDefaults;
class HXUserInterfacePort;
class QMenu;

// The program's two application modes. Status item mode ("Status Item" true): a tray icon whose panel
// holds the organizer and the live report, and every window of the program out of the taskbar. Window
// mode: the list window and the live report window in the taskbar, their icon showing the live report
// ("Show Activity Report In Dock"), and the live report drawn on the desktop below all windows ("Show
// Activity Report On Desktop"). Where the desktop has no tray, status item mode runs as window mode for
// the session without changing the setting, and the user is told once. Modes switch while running.
class HXApplicationModeController : public QObject, public HXStatusItemControllerDelegate {
    Q_OBJECT

public:
    struct Services {
        HXUserDefaults& defaults;
        HXScheduler& scheduler;
        HXUserInterfacePort& ui;
        HXHibernation& hibernation;
        HXDesktopPresence* shell = nullptr;
        HXFadeEnvironment* fadeEnvironment = nullptr;
    };

    HXApplicationModeController(const Services& services, HXApplicationModeWindows& windows,
                                HXLiveReportImages& images, QObject* parent = nullptr);
    ~HXApplicationModeController() override;

    // The main menu's entries, for the tray's right click and the panel's gear.
    void setMainMenuPopulator(std::function<void(QMenu&)> populate) {
        m_populateMainMenu = std::move(populate);
    }
    // The image the taskbar icon shows, for listeners (nothing when there is none to announce).
    void setImageAnnouncer(std::function<void(const QImage*)> announce) { m_announce = std::move(announce); }

    // Applies "Status Item": at launch and whenever it changes.
    void checkStatusItem();
    // Moves the organizer and the live report to where the mode wants them.
    void checkStatusItemInterface();
    // The mode in force, and whether status item mode was wanted but the desktop has no tray.
    bool isStatusItemMode() const { return m_singletonIsStatusItem; }
    bool isRunningWithoutTray() const { return m_runningWithoutTray; }
    HXStatusItemController* statusItemController() const { return m_statusItemController.get(); }

    // The taskbar icon and the desktop report; a call with a sender draws at once and restarts the 5 s
    // rhythm.
    void updateIcon(bool withSender);
    HXFullscreenReportWindow* desktopReportWindow() const { return m_fullscreenReportWindow.get(); }
    // The taskbar icon as last drawn.
    const QImage& windowIconImage() const { return m_iconImage; }

    // Started again while running: the windows (window mode) or the panel (status item mode) to the front.
    void reopen();
    // The panel goes away (the commands that hide it).
    void hideStatusItemPanel();

    // HXStatusItemControllerDelegate
    bool toggleInsomniaForStatusItemController(HXStatusItemController& controller) override;
    void populateMainMenu(QMenu& menu, HXStatusItemController& controller) override;
    void updateLiveReportForStatusItemController(HXStatusItemController& controller) override;
    void beep() override;

Q_SIGNALS:
    void applicationModeChanged(bool statusItem);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool trayAvailable() const;
    void applyTaskbarPresence(QWidget* window) const;
    void applyTaskbarPresenceToAllWindows() const;
    void settingChanged(const QString& key);
    void updateDesktopReport(bool reportUpdated);

    Services m_services;
    HXApplicationModeWindows& m_windows;
    HXLiveReportImages& m_images;
    std::function<void(QMenu&)> m_populateMainMenu;
    std::function<void(const QImage*)> m_announce;
    bool m_singletonIsStatusItem = false;
    // Whether the views are arranged for status item mode; unset until the first arrangement.
    std::optional<bool> m_hasStatusItemInterface;
    bool m_runningWithoutTray = false;
    bool m_toldAboutMissingTray = false;
    std::unique_ptr<HXStatusItemController> m_statusItemController;
    std::unique_ptr<HXFullscreenReportWindow> m_fullscreenReportWindow;
    QImage m_iconImage;
};
