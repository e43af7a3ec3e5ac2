#pragma once

#include <QStringView>

// Keys of the settings (user defaults) that more than one file reads or writes. Their texts are the stored
// keys and must never change.
namespace HXDefaultsKeys {

inline constexpr QStringView UpdateInterval{u"Update Interval"};
inline constexpr QStringView QualifiedBlacklistEatsFrontmostWindow{
    u"Qualified Blacklist Eats Frontmost Window"};
inline constexpr QStringView ApplicationActivationPolicyFilter{u"Application Activation Policy Filter"};
inline constexpr QStringView IncludeWindowsFromAllSpaces{u"Include Windows From All Spaces"};
inline constexpr QStringView IncludeFloatingWindows{u"Include Floating Windows"};
inline constexpr QStringView ShowInactiveApplications{u"Show Inactive Applications"};
inline constexpr QStringView ShowInactivePools{u"Show Inactive Pools"};
inline constexpr QStringView Sort{u"Sort"};
inline constexpr QStringView PoolsEditableApplicationNames{u"Pools: Editable Application Names"};
inline constexpr QStringView PoolsMatchApplicationsViaID{u"Pools: Match Applications Via ID"};
inline constexpr QStringView PoolsTreatPausedAsActive{u"Pools: Treat Paused As Active"};
inline constexpr QStringView ScreenshotsInterval{u"Screenshots: Interval"};
inline constexpr QStringView ScreenshotsAmount{u"Screenshots: Amount"};
inline constexpr QStringView AutoExportFolder{u"Auto-Export Folder"};
inline constexpr QStringView HibernationInterval{u"Hibernation Interval"};
inline constexpr QStringView DeepHibernation{u"Deep Hibernation"};
inline constexpr QStringView ExpressTimeIntervalsAsDays{u"Express Time Intervals As Days"};
inline constexpr QStringView ReportsShowPercentages{u"Reports Show Percentages"};
inline constexpr QStringView LiveReportApplications{u"Live Report: Applications"};
inline constexpr QStringView LiveReportPools{u"Live Report: Pools"};
inline constexpr QStringView ExportedReportContent{u"Exported Report Content"};
inline constexpr QStringView ExportColumnPool{u"Export Column: Pool"};
inline constexpr QStringView ExportColumnApplication{u"Export Column: Application"};
inline constexpr QStringView ExportColumnWindow{u"Export Column: Window"};
inline constexpr QStringView ExportColumnFront{u"Export Column: Front"};
inline constexpr QStringView ColorScheme{u"Color Scheme"};
inline constexpr QStringView StatusItemIcon{u"Status Item Icon (1231)"};
inline constexpr QStringView StatusItemShowsActivityReport{u"Status Item Shows Activity Report"};
inline constexpr QStringView StatusItemTogglesLoginItemAutomatically{
    u"Status Item Toggles Login Item Automatically"};
inline constexpr QStringView ShowActivityReportOnDesktopAlpha{u"Show Activity Report On Desktop: Alpha"};

} // namespace HXDefaultsKeys
