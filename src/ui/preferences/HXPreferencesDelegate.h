#pragma once

#include <QString>

// What the preferences ask of the rest of the program: the mode in force, the icons and reports that
// follow a setting, and the daily tasks with their export folder.
class HXPreferencesDelegate {
public:
    virtual ~HXPreferencesDelegate() = default;

    // The mode in force, which differs from "Status Item" on a desktop without a tray.
    virtual bool isStatusItemMode() const = 0;
    // The login item follows status item mode by itself, so its switch has nothing to say.
    virtual bool isAutomaticallyEnabledLoginItem() const = 0;
    virtual void updateIcon() = 0;
    virtual void updateLiveReport() = 0;
    virtual void setDesktopReportAlpha(double alpha) = 0;
    virtual void doAutoTasksIfNecessary() = 0;
    virtual QString exportFolderPath() const = 0;
    // False when the folder cannot be written into; the setting stays as it was.
    virtual bool setExportFolderPath(const QString& path) = 0;
    virtual unsigned autoTasksHour() const = 0;
};
