#pragma once

class HXReportMenuTarget;
class QWidget;

// The live report's window as the window-mode shell needs it: to open and close it, to give it the menu
// bar, to read its interval for exports and to redraw it.
class HXLiveReportWindowPort {
public:
    virtual ~HXLiveReportWindowPort() = default;

    // The window, made on first use; null when it cannot be made.
    virtual QWidget* reportWindow() = 0;
    // Closes it when it is open on the screen (remembering that it was closed), else opens it.
    virtual void toggleReportWindow() = 0;
    // Shown and not minimized.
    virtual bool isReportWindowOpen() const = 0;
    // "Report: Default: Closed": closed by the user last time.
    virtual bool isReportWindowClosed() const = 0;
    virtual bool isReportViewVisible() const = 0;
    virtual HXReportMenuTarget* menuTarget() = 0;
    // The report's begin and end (its interval pickers' dates).
    virtual void getReportInterval(double* begin, double* end) = 0;
    // Redraws the live report (and every open snapshot report).
    virtual void redisplay() = 0;
    virtual void applyStayInFront() = 0;
};
