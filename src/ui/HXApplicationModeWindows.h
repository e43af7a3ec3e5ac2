#pragma once

class QImage;
class QSize;
class QWidget;

// What switching between the two application modes asks of the window shell: the organizer's and the
// live report's containers, which live in their windows in window mode and in the status item's panel
// otherwise, and the windows themselves.
class HXApplicationModeWindows {
public:
    virtual ~HXApplicationModeWindows() = default;

    // Null while there is none.
    virtual QWidget* listContainer() = 0;
    virtual QWidget* liveReportContainer() = 0;
    // Closes the list window (keeping the divider position) and the live report window, and takes the
    // containers out of them.
    virtual void detachContainers() = 0;
    // Puts the containers back into their windows; the windows show as the settings say.
    virtual void attachContainersToWindows() = 0;
    virtual void restoreListDividerPosition() = 0;
    virtual bool isPreferencesWindowVisible() const = 0;
    virtual void orderListWindowBelowPreferences() = 0;
    // Window mode: the windows to the front (starting the program again, switching modes).
    virtual void bringWindowsToFront() = 0;
};

// The live report as a picture, for the taskbar icon and the desktop report.
class HXLiveReportImages {
public:
    virtual ~HXLiveReportImages() = default;

    // The live report's view is made and up to date, whether it shows or not.
    virtual void updateLiveReport() = 0;
    // The live report drawn at that size, without labels or the pointer's indicator; with or without
    // its background.
    virtual QImage liveReportImage(const QSize& size, bool withBackground) = 0;
};
