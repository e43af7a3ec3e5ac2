#pragma once

#include "foundation/HXArray.h"

#include <QObject>
#include <QString>

#include <vector>

class HXMainController;
class HXPreferencesDelegate;
class HXUserDefaults;

// The controls of the preferences window, each writing its setting.
enum class HXPreference {
    // General
    StatusItem,
    StatusItemIcon,
    ShowInactiveApplications,
    ShowInactivePools,
    AutoResetApplications,
    AutoResetPools,
    UpdateInterval,
    HibernationInterval,
    HibernationMode,
    HibernationTimer,
    ExcludeAccessoryApplications,
    // Report
    LiveReportContent,
    LiveReportApplications,
    LiveReportPools,
    LiveReportDayOffset,
    LiveReportDock,
    LiveReportDesktop,
    LiveReportDesktopAlpha,
    LiveReportMouseTracking,
    // Export
    ExportContent,
    ExportColumnPool,
    ExportColumnPoolNotes,
    ExportColumnApplication,
    ExportColumnWindow,
    ExportColumnFront,
    ExportColumnTotal,
    ExportColumnSeparator,
    ExportRowSeparator,
    AutoExport,
    AutoExportHour,
    AutoExportRange,
};

// One item of a selector: the stored value and its title.
struct HXPreferenceChoice {
    int tag = 0;
    QString title;
};

// What the preferences window shows and does, without the widgets: every switch, selector and slider
// reads and writes its user default and runs the side effects of a change (the pairs of switches that
// keep one of each pair on, the columns that follow their parent column, the daily tasks, the icons and
// reports). The window shows the controls again after changed().
class HXPreferencesModel : public QObject {
    Q_OBJECT

public:
    HXPreferencesModel(HXUserDefaults& defaults, HXMainController& controller,
                       HXPreferencesDelegate& delegate, QObject* parent = nullptr);

    // Before the window shows: the settings the controls cannot show as stored are put right (no report
    // in the taskbar icon in status item mode, no notes or window column without their parent column)
    // and the blacklists are sorted.
    void load();

    // "Qualdern Preferences" in status item mode, "Preferences" in window mode.
    QString title() const;

    bool isOn(HXPreference control) const;
    void setOn(HXPreference control, bool on);
    // A selector's stored value, and its items.
    int tag(HXPreference control) const;
    void selectTag(HXPreference control, int tag);
    std::vector<HXPreferenceChoice> choices(HXPreference control) const;
    // A slider's value: seconds for the update interval, the opacity (0.1 to 1) for the desktop report.
    double value(HXPreference control) const;
    void setValue(HXPreference control, double value);
    bool isEnabled(HXPreference control) const;
    bool isShown(HXPreference control) const;
    bool showsLoginItemSwitch() const;

    // "1 second", or "%1 seconds" with at most one fraction digit.
    static QString updateIntervalText(double seconds);

    QString exportFolderPath() const;
    // The folder's name, " — " and its path with "~" for the home folder.
    QString exportFolderTitle() const;
    // "Choose Folder": the chosen folder becomes the export folder when it can be written into; the user
    // is told when it cannot. Then the daily tasks run.
    void chooseExportFolder();

    // "Application Blacklist" or "Window Blacklist" of the configuration; null without one.
    HXArrayRef blacklist(const QString& name) const;

Q_SIGNALS:
    // A setting changed: the controls show their state again.
    void changed();

private:
    void setBool(const char16_t* key, bool on);
    bool boolFor(const char16_t* key) const;

    HXUserDefaults& m_defaults;
    HXMainController& m_controller;
    HXPreferencesDelegate& m_delegate;
};
