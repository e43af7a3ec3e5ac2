#pragma once

#include <functional>

class HXReportController;
class HXUserDefaults;
class QMenu;

// The View menu of a report: its time format, the activity it shows, percentages, days, and the colour
// scheme. Items are checked and enabled each time the menu is about to show; viewIsVisible tells whether
// the report can be seen. Settings go to the user defaults, whose change redraws every report.
void populateViewMenu(QMenu& menu, HXReportController& controller, HXUserDefaults& defaults,
                      std::function<bool()> viewIsVisible);
