#include "engine/HXRegisteredDefaults.h"

#include "foundation/HXArray.h"
#include "foundation/HXDefaultsKeys.h"
#include "foundation/HXUserDefaults.h"

void HXRegisterDefaults(HXUserDefaults& defaults) {
    HXDictionary table;
    table.setValue(HXDefaultsKeys::Sort, 1);
    table.setValue(HXDefaultsKeys::HibernationInterval, 600);
    table.setValue(HXDefaultsKeys::ExpressTimeIntervalsAsDays, true);
    table.setValue(HXDefaultsKeys::IncludeWindowsFromAllSpaces, true);
    table.setValue(HXDefaultsKeys::ShowInactiveApplications, true);
    table.setValue(HXDefaultsKeys::ShowInactivePools, true);
    table.setValue(HXDefaultsKeys::PoolsEditableApplicationNames, true);
    table.setValue(HXDefaultsKeys::PoolsMatchApplicationsViaID, true);
    table.setValue(HXDefaultsKeys::PoolsTreatPausedAsActive, true);
    table.setValue(HXDefaultsKeys::LiveReportApplications, true);
    table.setValue(HXDefaultsKeys::LiveReportPools, true);
    table.setValue(HXDefaultsKeys::ReportsShowPercentages, true);
    table.setValue(HXDefaultsKeys::ExportedReportContent, 1);
    table.setValue(HXDefaultsKeys::ExportColumnPool, true);
    table.setValue(HXDefaultsKeys::ExportColumnApplication, true);
    table.setValue(HXDefaultsKeys::ExportColumnWindow, true);
    table.setValue(HXDefaultsKeys::ExportColumnFront, true);
    table.setValue(HXDefaultsKeys::ShowActivityReportOnDesktopAlpha, 1.0);
    table.setValue(HXDefaultsKeys::StatusItemIcon, 11);
    table.setValue(HXDefaultsKeys::StatusItemTogglesLoginItemAutomatically, true);
    // Read with the same fallback where they are used; registered so that the settings answer them too.
    table.setValue(u"HXFlatUserInterfaceDrawing", true);
    table.setValue(u"Pie Color Components", HXArray::createWithDoubles({0.6, 0.4, 0.6}));
    table.setValue(HXDefaultsKeys::ColorScheme, 0);
    table.setValue(HXDefaultsKeys::UpdateInterval, 0.5);
    table.setValue(u"Auto-Save Interval", 1800);
    table.setValue(HXDefaultsKeys::ScreenshotsAmount, 50);
    table.setValue(u"Report Interval Quantum", 15);
    table.setValue(u"Auto-Export Hour", 6);
    table.setValue(u"Window Vanish Interval", 5);
    defaults.registerDefaults(table);
}
