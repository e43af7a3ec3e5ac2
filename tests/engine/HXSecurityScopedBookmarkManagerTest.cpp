// Folder grants: the coverage rule, one bookmark per folder tree, bookmarks opened for access, the unlock
// panel only where a caller can take a cancel, and the plain access test outside a sandbox.
#include "engine/HXSecurityScopedBookmarkManager.h"
#include "engine/HXFolderPaths.h"

#include "EngineHarness.h"
#include "foundation/HXLog.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <set>
#include <unistd.h>

namespace {

class BookmarkManager : public testing::Test {
protected:
    BookmarkManager() {
        root = HXSecurityScopedBookmarkManager::resolvedPath(engine.scratch.path());
        for (const char* folder : {"a/Exports/2024", "a/Export", "a/Pictures", "b"})
            QDir(root).mkpath(QString::fromLatin1(folder));
    }
    QString at(const char* relative) const { return root + u'/' + QString::fromLatin1(relative); }
    // A sandboxed manager whose access test grants only the given folders (and what lies in them).
    HXSecurityScopedBookmarkManager sandboxed() {
        return HXSecurityScopedBookmarkManager(
            *engine.defaults, &engine.ui,
            {true, [this](const QString& path, int mode) {
                 tested.push_back(path);
                 // The sandbox grants a folder once the user has chosen it in the panel.
                 if (!grantedByPanel.isEmpty() && engine.ui.folderPanels.size() > panelsBeforeGrant &&
                     HXSecurityScopedBookmarkManager::pathCoversPath(grantedByPanel, path))
                     return true;
                 for (const QString& open : (mode & W_OK ? writable : readable)) {
                     if (HXSecurityScopedBookmarkManager::pathCoversPath(open, path))
                         return true;
                 }
                 return false;
             }});
    }
    QStringList storedPaths() const {
        QStringList paths;
        if (const HXDictionaryRef stored = engine.defaults->dictionaryForKey(u"Security-Scoped Bookmarks")) {
            for (const HXDictionary::Entry& e : stored->entries())
                paths.append(e.key);
        }
        paths.sort();
        return paths;
    }

    EngineHarness engine;
    QString root;
    QStringList writable;
    QStringList readable;
    QStringList tested;
    QString grantedByPanel;
    std::size_t panelsBeforeGrant = 0;
};

} // namespace

TEST(BookmarkCoverage, AFolderCoversItselfAndWhatLiesBelowItOnly) {
    using M = HXSecurityScopedBookmarkManager;
    EXPECT_TRUE(M::pathCoversPath(QStringLiteral("/Users/a/Exports"), QStringLiteral("/Users/a/Exports")));
    EXPECT_TRUE(
        M::pathCoversPath(QStringLiteral("/Users/a/Exports"), QStringLiteral("/Users/a/Exports/2024")));
    EXPECT_FALSE(M::pathCoversPath(QStringLiteral("/Users/a/Export"), QStringLiteral("/Users/a/Exports")));
    EXPECT_FALSE(
        M::pathCoversPath(QStringLiteral("/Users/a/Exports/2024"), QStringLiteral("/Users/a/Exports")));
    EXPECT_TRUE(M::pathCoversPath(QStringLiteral("/"), QStringLiteral("/Users")));
    EXPECT_TRUE(M::pathCoversPath(QStringLiteral("/"), QStringLiteral("/")));
    EXPECT_FALSE(M::pathCoversPath(QString(), QStringLiteral("/Users")));
}

TEST_F(BookmarkManager, PathsAreResolvedWithoutATrailingSlash) {
    ASSERT_TRUE(QFile::link(at("a/Exports"), at("link")));
    EXPECT_EQ(HXSecurityScopedBookmarkManager::resolvedPath(at("link") + u'/'), at("a/Exports"));
    EXPECT_EQ(HXSecurityScopedBookmarkManager::resolvedPath(at("link/new/deeper")),
              at("a/Exports/new/deeper"));
}

TEST_F(BookmarkManager, OneBookmarkPerFolderTree) {
    HXSecurityScopedBookmarkManager manager = sandboxed();
    ASSERT_TRUE(manager.createBookmarkForURL(at("a/Exports")));
    ASSERT_TRUE(manager.createBookmarkForURL(at("a/Pictures")));
    EXPECT_EQ(storedPaths(), (QStringList{at("a/Exports"), at("a/Pictures")}));

    // Inside a folder that has one: redundant, nothing new stored, and still true.
    HXLogging::setDebugEnabled(true);
    HXLogging::Capture log;
    EXPECT_TRUE(manager.createBookmarkForURL(at("a/Exports/2024")));
    EXPECT_EQ(storedPaths(), (QStringList{at("a/Exports"), at("a/Pictures")}));
    EXPECT_TRUE(log.contains(QStringLiteral("ignoring redundant request for bookmark with URL: ") +
                             at("a/Exports/2024")));
    // "Export" is not covered by "Exports".
    EXPECT_TRUE(manager.createBookmarkForURL(at("a/Export")));
    EXPECT_EQ(storedPaths().size(), 3);

    // The folder around them takes their place.
    EXPECT_TRUE(manager.createBookmarkForURL(at("a")));
    EXPECT_EQ(storedPaths(), QStringList{at("a")});
    EXPECT_TRUE(log.contains(QStringLiteral("created bookmark for URL: ") + at("a")));
    HXLogging::setDebugEnabled(false);

    // A folder that is not there gets none, and nothing stored changes.
    EXPECT_FALSE(manager.createBookmarkForURL(at("b/missing")));
    EXPECT_TRUE(
        log.contains(QStringLiteral("[Security-Scoped Bookmark Manager] cannot create bookmark for URL: ")));
    EXPECT_EQ(storedPaths(), QStringList{at("a")});

    // Stored across launches.
    HXSecurityScopedBookmarkManager later = sandboxed();
    EXPECT_EQ(later.bookmarksByPath().size(), 1u);
    EXPECT_EQ(later.bookmarksByPath().begin()->first, at("a"));
}

TEST_F(BookmarkManager, ABookmarkWhoseFolderWentGivesNoAccess) {
    HXSecurityScopedBookmarkManager manager = sandboxed();
    ASSERT_TRUE(manager.createBookmarkForURL(at("b")));
    QString bookmark;
    EXPECT_TRUE(manager.confirmWriteAccessForPath(at("b"), false, nullptr, &bookmark));
    manager.stopAccessingBookmarkForPath(bookmark);
    ASSERT_TRUE(QDir(at("b")).removeRecursively());
    bookmark = QStringLiteral("stale");
    EXPECT_FALSE(manager.confirmWriteAccessForPath(at("b/x"), false, nullptr, &bookmark));
    EXPECT_TRUE(bookmark.isEmpty());
    EXPECT_TRUE(manager.accessedURLsByPath().empty());
}

TEST_F(BookmarkManager, AccessThroughACoveringBookmarkWhichTheCallerGivesBack) {
    HXSecurityScopedBookmarkManager manager = sandboxed();
    ASSERT_TRUE(manager.createBookmarkForURL(at("a/Exports")));
    QString bookmark;
    EXPECT_TRUE(manager.confirmWriteAccessForPath(at("a/Exports/2024"), false, nullptr, &bookmark));
    EXPECT_EQ(bookmark, at("a/Exports"));
    EXPECT_EQ(manager.accessedURLsByPath().count(at("a/Exports")), 1u);
    manager.stopAccessingBookmarkForPath(bookmark);
    EXPECT_TRUE(manager.accessedURLsByPath().empty());

    // Through the parent folder: the folder that contains the path is what counts.
    EXPECT_TRUE(manager.confirmWriteAccessForPath(at("a/Exports/report.csv"), true, nullptr, &bookmark));
    EXPECT_EQ(bookmark, at("a/Exports"));
    EXPECT_EQ(tested.back(), at("a/Exports"));
    manager.stopAccessingAnyBookmarks();
    EXPECT_TRUE(manager.accessedURLsByPath().empty());
}

TEST_F(BookmarkManager, OnlyACallerThatTakesACancelIsShownTheUnlockPanel) {
    HXSecurityScopedBookmarkManager manager = sandboxed();
    EXPECT_FALSE(manager.confirmWriteAccessForPath(at("b")));
    EXPECT_TRUE(engine.ui.folderPanels.empty());

    // Cancelled: false, and the caller hears it.
    bool cancel = false;
    EXPECT_FALSE(manager.confirmWriteAccessForPath(at("b"), false, &cancel, nullptr, [](const QString& path) {
        return QStringLiteral("Exports go to ") + path;
    }));
    EXPECT_TRUE(cancel);
    ASSERT_EQ(engine.ui.folderPanels.size(), 1u);
    const HXFolderPanelRequest& panel = engine.ui.folderPanels.back();
    EXPECT_EQ(panel.title, QStringLiteral("Unlock"));
    EXPECT_EQ(panel.prompt, QStringLiteral("Unlock"));
    EXPECT_FALSE(panel.canCreateFolders);
    EXPECT_EQ(panel.startPath, at("b"));
    EXPECT_EQ(panel.message, QStringLiteral("Exports go to ") + at("b"));

    // Chosen, but the choice does not make the folder accessible: false, and logged.
    engine.ui.folderPanelAnswer = at("a");
    HXLogging::Capture log;
    EXPECT_FALSE(manager.confirmWriteAccessForPath(at("b"), true, &cancel));
    EXPECT_FALSE(cancel);
    EXPECT_EQ(engine.ui.folderPanels.back().title, QStringLiteral("Unlock Folder"));
    EXPECT_TRUE(log.contains(QStringLiteral("confused by useless bookmark for URL: ") + at("a")));
    EXPECT_TRUE(storedPaths().isEmpty());

    // Chosen and so granted: a bookmark for the chosen folder, which later checks open without a panel.
    grantedByPanel = at("b");
    panelsBeforeGrant = engine.ui.folderPanels.size();
    engine.ui.folderPanelAnswer = at("b");
    EXPECT_TRUE(manager.confirmWriteAccessForPath(at("b"), false, &cancel));
    EXPECT_EQ(storedPaths(), QStringList{at("b")});
    grantedByPanel.clear();
    const std::size_t panels = engine.ui.folderPanels.size();
    QString bookmark;
    EXPECT_TRUE(manager.confirmWriteAccessForPath(at("b"), false, &cancel, &bookmark));
    EXPECT_EQ(bookmark, at("b"));
    EXPECT_EQ(engine.ui.folderPanels.size(), panels);
}

TEST_F(BookmarkManager, OutsideASandboxEveryCheckIsTheAccessTestAlone) {
    HXSecurityScopedBookmarkManager manager(*engine.defaults, &engine.ui);
    bool cancel = true;
    QString bookmark = QStringLiteral("stale");
    EXPECT_TRUE(manager.confirmWriteAccessForPath(at("a"), false, &cancel, &bookmark));
    EXPECT_FALSE(cancel);
    EXPECT_TRUE(bookmark.isEmpty());
    EXPECT_TRUE(manager.confirmReadAccessForPath(at("a/Exports")));
    EXPECT_FALSE(manager.confirmReadAccessForPath(at("missing"), &cancel));
    EXPECT_TRUE(engine.ui.folderPanels.empty()) << "no panel outside a sandbox";
    EXPECT_FALSE(engine.defaults->hasUserValue(u"Security-Scoped Bookmarks"));

    // The export and screenshot folders: a missing folder counts when it can be made.
    EXPECT_TRUE(HXConfirmWriteAccess(manager, at("a/Exports/new/deeper")));
    QFile file(at("plain"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(HXConfirmWriteAccess(manager, at("plain"))) << "a file is no folder";
    EXPECT_FALSE(HXConfirmWriteAccess(manager, at("plain/below")));
    EXPECT_FALSE(HXConfirmWriteAccess(manager, QString()));
}
