#pragma once

// The commands a menu item sends. Each names the operation it stands for, so that validation and tests
// speak of the same command.
enum class HXMenuAction {
    None,
    ToggleHibernation,
    ShowPreferencesWindow,
    ToggleDebugLogging,
    OpenCSV,
    ExportCSV,
    StartAdHocTimer,
    TogglePause,
    ResetTimer,
    ResetApplicationTimers,
    ResetPoolTimers,
    ResetAllTimers,
    ClearPools,
    ClearAll,
    EditWindowTitleFilters,
    EditNotes,
    Undo,
    Redo,
    ShowAboutWindow,
    Help,
    QuitDeliberately,
    ToggleExpansion,
    ToggleMatchAnyApplication,
    DeleteItem,
    DeleteSelection,
    LaunchApplication,
    QuitApplication,
    ToggleListWindow,
    ToggleReportWindow,
    ToggleStayInFront,
    SetTimeFormat,
    ToggleShownActivity,
    TogglePercentages,
    ToggleConversionToDays,
    SelectColorScheme,
};

// The operation's name, as "togglePauseViaMenuItem:".
const char* HXMenuActionName(HXMenuAction action);
