#pragma once

#include <QString>

#include <optional>

class HXFolderPaths;
class HXScreenCapture;
class HXSecurityScopedBookmarkManager;
class HXUserDefaults;

// Periodic screenshots into the "Screenshots" folder of the export folder: every screen once per
// "Screenshots: Interval" minutes, keeping the newest "Screenshots: Amount" (50 when unset).
class HXScreenshots {
public:
    HXScreenshots(HXUserDefaults& defaults, HXScreenCapture* capture, const HXFolderPaths& paths,
                  HXSecurityScopedBookmarkManager& bookmarks)
        : m_defaults(defaults), m_capture(capture), m_paths(paths), m_bookmarks(bookmarks) {}

    // Takes a screenshot when one is due at the Unix time now.
    void takeScreenshotIfDue(double now);
    std::optional<double> lastScreenshotDate() const { return m_lastScreenshotDate; }

    // "YYYY-MM-DD HH-MM (unix seconds)" in local time.
    static QString baseName(double timestamp);
    // Deletes the oldest screenshots (files or per-screen folders) until keep remain. Only what this
    // program wrote counts: names that follow baseName(), folders holding only "<n>.png" files.
    static void prune(const QString& folder, int keep);

private:
    void capture(const QString& folder, double now);

    HXUserDefaults& m_defaults;
    HXScreenCapture* m_capture;
    const HXFolderPaths& m_paths;
    HXSecurityScopedBookmarkManager& m_bookmarks;
    std::optional<double> m_lastScreenshotDate;
};
