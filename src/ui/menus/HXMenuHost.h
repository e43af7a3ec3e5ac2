#pragma once

#include "foundation/HXDictionary.h"

#include <QString>

class QMenu;

// What the menus ask of the windows around them and hand to them: which window is in front, the
// organizer's selection and rows, and the commands that open windows and panels. The window shell
// answers it; tests answer it with a script.
class HXMenuHost {
public:
    virtual ~HXMenuHost() = default;

    virtual bool isListWindowKey() const = 0;
    virtual bool isLiveReportWindowKey() const = 0;
    // The window is open on the screen (shown, not minimized): what its entry's check mark says.
    virtual bool isListWindowOpen() const = 0;
    virtual bool isLiveReportWindowOpen() const = 0;
    // The organizer is what the user works in: the list window is key (or, in status item mode, the
    // panel shows the organizer).
    virtual bool isListWindowActive() const = 0;
    // A report window (live or snapshot) is key.
    virtual bool isReportWindowKey() const = 0;
    virtual bool isLiveReportViewVisible() const = 0;
    // The selected row of the pool outline, else of the application outline.
    virtual HXDictionaryRef selectedItem() const = 0;
    // The organizer's row for the record: whether there is one and whether it is expanded.
    virtual bool hasRowForItem(const HXDictionary* record) const = 0;
    virtual bool isRowExpandedForItem(const HXDictionary* record) const = 0;
    // Flips the row's expansion; false when the organizer has no row for the record.
    virtual bool toggleExpansionForItem(const HXDictionary* record) = 0;
    virtual bool isNotesEditorOpen() const = 0;

    virtual void editNotesForPool(const HXDictionaryRef& pool) = 0;
    virtual void noteEditorDone() = 0;
    virtual void editWindowTitleFiltersForApplication(const HXDictionaryRef& application) = 0;
    virtual void exportCSV(const HXDictionaryRef& pool) = 0;
    virtual void openCSV() = 0;
    // False while the program has no preferences window (headless tools and tests).
    virtual bool hasPreferencesWindow() const = 0;
    virtual void showPreferencesWindow() = 0;
    virtual void showAboutWindow() = 0;
    virtual void help() = 0;
    virtual void quitDeliberately(bool withoutConfirmation) = 0;
    // Deletes the organizer's selected record after asking.
    virtual void deleteSelection() = 0;
    // False when the application could not be brought forward or started (the menu beeps).
    virtual bool launchApplication(const HXDictionaryRef& item) = 0;
    virtual bool quitApplication(const HXDictionaryRef& item) = 0;
    virtual void toggleListWindow() = 0;
    virtual void toggleReportWindow() = 0;
    // Sets the list window's or the live report window's stay-in-front level from the settings.
    virtual void applyStayInFront(bool liveReportWindow) = 0;
    // The organizer, the live report and every snapshot report draw again (percentages, days, schemes).
    virtual void redisplayLists() = 0;
    virtual void redisplayReports() = 0;
};
