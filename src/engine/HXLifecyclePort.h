#pragma once

#include <QStringList>

// What start-up and quitting ask of the user interface and the desktop. Every step has a do-nothing
// default, so that a headless program and tests implement only what they need.
class HXLifecyclePort {
public:
    virtual ~HXLifecyclePort() = default;

    // Status item or window mode, decided before anything shows.
    virtual void chooseApplicationMode() {}
    virtual bool isStatusItemMode() const { return false; }
    virtual void addLoginItem() {}
    virtual void removeLoginItem() {}
    // The organizer's outlines, before the first tick fills them.
    virtual void setUpOrganizer() {}
    // False when the stored hot key could not be registered (it is then forgotten).
    virtual bool registerHibernationHotKey() { return true; }
    // The live report, the status item interface and the icon.
    virtual void completeUserInterface() {}
    virtual void doAutoTasksIfNecessary() {}
    // In window mode: the live report window and the organizer as they were left.
    virtual void openDockModeWindows() {}
    virtual void warnAboutHiddenLoginItem() {}
    virtual void showReportSnapshots(const QStringList& files) { static_cast<void>(files); }
    virtual void saveOrganizerDividerPosition() {}
    // The preferences window, when open, opens again where it is at the next start.
    virtual void savePreferencesFrame() {}
    // Ends the application; shutdown runs on the way out.
    virtual void terminate() {}
};
