#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <map>
#include <optional>

class HXUserDefaults;
class HXUserInterfacePort;

// Grants to folders, kept as one bookmark per folder tree under "Security-Scoped Bookmarks" (path with
// symbolic links resolved → bookmark data). Outside a sandbox, which is always here, every check is an
// access test of the path and no bookmark is made or used; the bookmarks, their coverage rules and the
// "Unlock" panel take part only where a sandbox is in force (tests run them so).
//
// A bookmark's data here is the folder's path; it opens while that folder exists.
class HXSecurityScopedBookmarkManager {
public:
    // access(2)'s test of the path in the mode (R_OK, W_OK).
    using AccessTest = std::function<bool(const QString& path, int mode)>;
    // A text for the unlock panel about the requested path, or an empty one for none.
    using Explanation = std::function<QString(const QString& path)>;

    struct Options {
        bool sandboxed = false;
        // The system's test when empty.
        AccessTest accessTest;
    };

    // The panel is asked of ui; without one no panel is ever shown.
    HXSecurityScopedBookmarkManager(HXUserDefaults& defaults, HXUserInterfacePort* ui, Options options);
    HXSecurityScopedBookmarkManager(HXUserDefaults& defaults, HXUserInterfacePort* ui);
    ~HXSecurityScopedBookmarkManager();

    // Q covers P when P is Q or lies below it ("/a/Export" does not cover "/a/Exports").
    static bool pathCoversPath(const QString& q, const QString& p);
    // Symbolic links resolved (as far as the path exists), no trailing "/".
    static QString resolvedPath(const QString& path);

    // Stores a bookmark for the folder unless one already covers it; bookmarks inside it go. False when
    // the folder's path cannot be found or no bookmark can be made for it (logged).
    bool createBookmarkForURL(const QString& folder);
    // The folder the data name, with access started; nothing when it does not open.
    std::optional<QString> accessedURLForBookmark(const QByteArray& data);
    void stopAccessingBookmarkForPath(const QString& bookmarkPath);
    void stopAccessingAnyBookmarks();

    // True when the path (or, viaParentFolder, the folder that contains it) can be read or written. With
    // cancel given, a sandboxed check without a bookmark asks the user to unlock the folder and writes
    // whether the user cancelled; a bookmark opened for the check is written to accessedBookmarkPath and
    // must be given back to stopAccessingBookmarkForPath.
    bool confirmReadAccessForPath(const QString& path, bool* cancel = nullptr,
                                  QString* accessedBookmarkPath = nullptr,
                                  const Explanation& explanation = {});
    bool confirmWriteAccessForPath(const QString& path, bool viaParentFolder = false, bool* cancel = nullptr,
                                   QString* accessedBookmarkPath = nullptr,
                                   const Explanation& explanation = {});

    const std::map<QString, QByteArray>& bookmarksByPath();
    const std::map<QString, QString>& accessedURLsByPath() const { return m_accessedURLsByPath; }

private:
    bool confirmAccess(int mode, const QString& path, bool viaParentFolder, bool* cancel,
                       QString* accessedBookmarkPath, const Explanation& explanation);
    bool accessTest(const QString& path, int mode) const;
    void load();
    void store();

    HXUserDefaults& m_defaults;
    HXUserInterfacePort* m_ui;
    Options m_options;
    bool m_loaded = false;
    std::map<QString, QByteArray> m_bookmarksByPath;
    std::map<QString, QString> m_accessedURLsByPath;
};
