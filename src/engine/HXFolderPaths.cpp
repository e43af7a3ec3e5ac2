#include "engine/HXFolderPaths.h"

#include "engine/HXSecurityScopedBookmarkManager.h"

#include "foundation/HXAtomicFile.h"
#include "foundation/HXPaths.h"

#include <QDir>
#include <QFileInfo>

std::optional<QString> HXFolderPaths::libraryFolderPathWithName(const QString& name) const {
    const QString path = name.isEmpty() ? m_libraryFolder : m_libraryFolder + u'/' + name;
    if (!HXAtomicFile::createPrivateFolder(path))
        return std::nullopt;
    return path;
}

QString HXFolderPaths::defaultAutoExportFolderPath() const {
    if (const std::optional<QString> reports = libraryFolderPathWithName(QStringLiteral("Reports")))
        return *reports;
    return HXExpandTilde(QStringLiteral("~/Desktop"));
}

QString stringByDeletingQualdernContainerPathComponents(const QString& path) {
    static const QString container =
        QStringLiteral("/Library/Containers/com.corvella.QualdernClient/Data/Library/");
    const qsizetype at = path.indexOf(container);
    if (at < 0)
        return path;
    QString result = path;
    result.replace(at, container.size(), QStringLiteral("/Library/"));
    return result;
}

void setFolderPath(HXUserDefaults& defaults, const QString& path, const QString& key) {
    defaults.setString(key, path);
}

QString folderPathForKey(const HXUserDefaults& defaults, QStringView key, const QString& defaultPath) {
    const QString stored = defaults.stringForKey(key);
    return stored.isEmpty() ? defaultPath : stored;
}

bool HXConfirmWriteAccess(HXSecurityScopedBookmarkManager& bookmarks, const QString& folder,
                          QString* bookmarkPath) {
    if (folder.isEmpty())
        return false;
    QFileInfo info(HXExpandTilde(folder));
    while (!info.exists()) {
        const QString parent = info.absolutePath();
        if (parent == info.absoluteFilePath())
            return false;
        info = QFileInfo(parent);
    }
    return info.isDir() &&
           bookmarks.confirmWriteAccessForPath(info.absoluteFilePath(), false, nullptr, bookmarkPath);
}
