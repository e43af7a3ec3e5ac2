#include "engine/HXSecurityScopedBookmarkManager.h"

#include "engine/HXUserInterfacePort.h"
#include "foundation/HXDictionary.h"
#include "foundation/HXLocalization.h"
#include "foundation/HXLog.h"
#include "foundation/HXUserDefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include <vector>

namespace {

const QString kDefaultsKey = QStringLiteral("Security-Scoped Bookmarks");

bool systemAccessTest(const QString& path, int mode) {
    // Creating files in a folder also needs the right to enter it.
    if (mode & W_OK && QFileInfo(path).isDir())
        mode |= X_OK;
    return ::access(QFile::encodeName(path).constData(), mode) == 0;
}

} // namespace

HXSecurityScopedBookmarkManager::HXSecurityScopedBookmarkManager(HXUserDefaults& defaults,
                                                                 HXUserInterfacePort* ui, Options options)
    : m_defaults(defaults), m_ui(ui), m_options(std::move(options)) {}

HXSecurityScopedBookmarkManager::HXSecurityScopedBookmarkManager(HXUserDefaults& defaults,
                                                                 HXUserInterfacePort* ui)
    : HXSecurityScopedBookmarkManager(defaults, ui, Options{}) {}

HXSecurityScopedBookmarkManager::~HXSecurityScopedBookmarkManager() {
    stopAccessingAnyBookmarks();
}

bool HXSecurityScopedBookmarkManager::pathCoversPath(const QString& q, const QString& p) {
    if (q.isEmpty() || p.isEmpty())
        return false;
    if (p == q)
        return true;
    if (q == u"/")
        return p.startsWith(u'/');
    return p.size() > q.size() && p.startsWith(q) && p[q.size()] == u'/';
}

QString HXSecurityScopedBookmarkManager::resolvedPath(const QString& path) {
    if (path.isEmpty())
        return QString();
    QString absolute = QDir::cleanPath(QDir(path).absolutePath());
    // The part that exists is resolved; the rest is kept as written.
    QString tail;
    while (!QFileInfo::exists(absolute)) {
        const qsizetype slash = absolute.lastIndexOf(u'/');
        if (slash <= 0)
            return QDir::cleanPath(absolute + tail);
        tail = absolute.mid(slash) + tail;
        absolute = absolute.left(slash);
    }
    const QString canonical = QFileInfo(absolute).canonicalFilePath();
    return QDir::cleanPath((canonical.isEmpty() ? absolute : canonical) + tail);
}

bool HXSecurityScopedBookmarkManager::accessTest(const QString& path, int mode) const {
    return m_options.accessTest ? m_options.accessTest(path, mode) : systemAccessTest(path, mode);
}

void HXSecurityScopedBookmarkManager::load() {
    if (m_loaded)
        return;
    m_loaded = true;
    const HXDictionaryRef stored = m_defaults.dictionaryForKey(kDefaultsKey);
    if (!stored)
        return;
    for (const HXDictionary::Entry& entry : stored->entries()) {
        if (entry.value.type() == HXValueType::Data && !entry.key.isEmpty())
            m_bookmarksByPath[entry.key] = entry.value.toData();
    }
}

void HXSecurityScopedBookmarkManager::store() {
    HXDictionaryRef dictionary = HXDictionary::create();
    for (const auto& [path, data] : m_bookmarksByPath)
        dictionary->setValue(path, data);
    m_defaults.setObject(kDefaultsKey, dictionary);
}

const std::map<QString, QByteArray>& HXSecurityScopedBookmarkManager::bookmarksByPath() {
    load();
    return m_bookmarksByPath;
}

std::optional<QString> HXSecurityScopedBookmarkManager::accessedURLForBookmark(const QByteArray& data) {
    if (data.isEmpty())
        return std::nullopt;
    const QString folder = QString::fromUtf8(data);
    if (!QFileInfo(folder).isDir())
        return std::nullopt;
    return folder;
}

bool HXSecurityScopedBookmarkManager::createBookmarkForURL(const QString& folder) {
    load();
    const QString path = resolvedPath(folder);
    if (path.isEmpty()) {
        HXSystemLog(QStringLiteral("[Security-Scoped Bookmark Manager] cannot determine path for URL: %1")
                        .arg(folder));
        return false;
    }
    std::vector<QString> inside;
    for (const auto& [q, data] : m_bookmarksByPath) {
        if (pathCoversPath(q, path)) {
            if (const std::optional<QString> covering = accessedURLForBookmark(data)) {
                HXDebugLog(QStringLiteral("[Security-Scoped Bookmark Manager] ignoring redundant request for "
                                          "bookmark with URL: %1 (existing bookmark covers URL: %2)")
                               .arg(folder, *covering));
                return true;
            }
        } else if (pathCoversPath(path, q)) {
            inside.push_back(q);
        }
    }
    if (!QFileInfo(path).isDir()) {
        HXSystemLog(QStringLiteral("[Security-Scoped Bookmark Manager] cannot create bookmark for URL: %1 "
                                   "(error: %2)")
                        .arg(folder, HXLocalized("The folder does not exist.")));
        return false;
    }
    for (const QString& q : inside)
        m_bookmarksByPath.erase(q);
    m_bookmarksByPath[path] = path.toUtf8();
    store();
    HXDebugLog(QStringLiteral("[Security-Scoped Bookmark Manager] created bookmark for URL: %1").arg(folder));
    return true;
}

void HXSecurityScopedBookmarkManager::stopAccessingBookmarkForPath(const QString& bookmarkPath) {
    m_accessedURLsByPath.erase(bookmarkPath);
}

void HXSecurityScopedBookmarkManager::stopAccessingAnyBookmarks() {
    m_accessedURLsByPath.clear();
}

bool HXSecurityScopedBookmarkManager::confirmReadAccessForPath(const QString& path, bool* cancel,
                                                               QString* accessedBookmarkPath,
                                                               const Explanation& explanation) {
    return confirmAccess(R_OK, path, false, cancel, accessedBookmarkPath, explanation);
}

bool HXSecurityScopedBookmarkManager::confirmWriteAccessForPath(const QString& path, bool viaParentFolder,
                                                                bool* cancel, QString* accessedBookmarkPath,
                                                                const Explanation& explanation) {
    return confirmAccess(W_OK, path, viaParentFolder, cancel, accessedBookmarkPath, explanation);
}

bool HXSecurityScopedBookmarkManager::confirmAccess(int mode, const QString& path, bool viaParentFolder,
                                                    bool* cancel, QString* accessedBookmarkPath,
                                                    const Explanation& explanation) {
    QString p = resolvedPath(path);
    if (viaParentFolder)
        p = QFileInfo(p).absolutePath();
    bool cancelled = false;
    QString accessed;
    bool result = !p.isEmpty() && accessTest(p, mode);
    if (!result && m_options.sandboxed && !p.isEmpty()) {
        load();
        for (const auto& [q, data] : m_bookmarksByPath) {
            if (!pathCoversPath(q, p))
                continue;
            if (const std::optional<QString> url = accessedURLForBookmark(data)) {
                m_accessedURLsByPath[q] = *url;
                accessed = q;
                HXDebugLog(QStringLiteral("[Security-Scoped Bookmark Manager] using bookmark for path: %1 "
                                          "(requested path: %2)")
                               .arg(q, p));
                result = true;
                break;
            }
        }
        if (!result && cancel && m_ui) {
            HXFolderPanelRequest request;
            request.title = viaParentFolder ? HXLocalized("Unlock Folder") : HXLocalized("Unlock");
            request.prompt = HXLocalized("Unlock");
            request.canCreateFolders = false;
            request.startPath = p;
            if (explanation)
                request.message = explanation(p);
            if (const std::optional<QString> chosen = m_ui->runFolderPanel(request)) {
                if (!accessTest(p, mode)) {
                    HXSystemLog(
                        QStringLiteral("[Security-Scoped Bookmark Manager] confused by useless bookmark "
                                       "for URL: %1 (requested URL: %2)")
                            .arg(*chosen, p));
                } else {
                    createBookmarkForURL(*chosen);
                    result = true;
                }
            } else {
                cancelled = true;
            }
        }
    }
    if (cancel)
        *cancel = cancelled;
    if (accessedBookmarkPath)
        *accessedBookmarkPath = accessed;
    return result;
}
