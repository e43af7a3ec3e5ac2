#pragma once

// Makes every report view a list in the accessibility tree whose items are its rows, named by their
// records' names with the fine print as description. Once per process, before the first view shows.
void HXInstallReportViewAccessibility();
