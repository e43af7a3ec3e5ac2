#pragma once

#include "foundation/HXPaths.h"
#include "foundation/HXUserDefaults.h"

#include <QString>

#include <optional>

class HXSecurityScopedBookmarkManager;

// Where the program keeps its files: "$XDG_DATA_HOME/Qualdern" (the library folder) and its subfolders.
class HXFolderPaths {
public:
    explicit HXFolderPaths(QString libraryFolder) : m_libraryFolder(std::move(libraryFolder)) {}

    const QString& libraryFolder() const { return m_libraryFolder; }
    // The library folder plus name, created (private) when missing; nothing when it cannot be.
    std::optional<QString> libraryFolderPathWithName(const QString& name) const;
    // The library's "Reports" folder, else "~/Desktop".
    QString defaultAutoExportFolderPath() const;

private:
    QString m_libraryFolder;
};

// The program runs without an application sandbox.
inline bool HXApplicationIsSandboxed() {
    return false;
}

// The path with the container part ("/Library/Containers/com.corvella.QualdernClient/Data/Library/") made
// "/Library/".
QString stringByDeletingQualdernContainerPathComponents(const QString& path);

// Folder paths kept in the settings, tilde-abbreviated when under the home folder.
void setFolderPath(HXUserDefaults& defaults, const QString& path, const QString& key);
QString folderPathForKey(const HXUserDefaults& defaults, QStringView key, const QString& defaultPath);

// Whether files can be written into the folder: an existing folder must be writable, a missing one
// creatable below its nearest existing ancestor, as the bookmark manager confirms without asking the user
// (a bookmark it opens for that is written to bookmarkPath; give it back once written).
bool HXConfirmWriteAccess(HXSecurityScopedBookmarkManager& bookmarks, const QString& folder,
                          QString* bookmarkPath = nullptr);
