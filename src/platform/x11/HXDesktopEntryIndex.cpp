#include "platform/x11/HXDesktopEntryIndex.h"

#include "platform/x11/HXProgramKey.h"

#include <QDir>
#include <QDirIterator>
#include <QSet>

#include <algorithm>
#include <sys/stat.h>

namespace {

const QString kSuffix = QStringLiteral(".desktop");

qint64 modificationStamp(const QString& folder) {
    struct stat info {};
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return -1;
    return qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

} // namespace

QStringList HXDesktopEntryIndex::standardFolders() {
    QString home = qEnvironmentVariable("XDG_DATA_HOME");
    if (home.isEmpty())
        home = QDir::homePath() + QStringLiteral("/.local/share");
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    QStringList folders{QDir(home).filePath(QStringLiteral("applications"))};
    for (const QString& dir : dirs.split(u':', Qt::SkipEmptyParts))
        folders << QDir(dir).filePath(QStringLiteral("applications"));
    folders.removeDuplicates();
    return folders;
}

HXDesktopEntryIndex::HXDesktopEntryIndex(QStringList folders, HXDesktopLocale locale, QString searchPath)
    : m_folders(std::move(folders)), m_locale(std::move(locale)), m_searchPath(std::move(searchPath)) {}

void HXDesktopEntryIndex::rebuild() {
    m_entries.clear();
    m_ids.clear();
    m_wmClasses.clear();
    m_foldedWMClasses.clear();
    m_foldedIdentifiers.clear();
    m_foldedLastParts.clear();
    m_programs.clear();
    m_stamps.clear();
    QSet<QString> seenIds;
    for (const QString& folder : m_folders) {
        recordStamps(folder);
        QStringList files;
        QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
        // The file system's order is arbitrary; which duplicate wins inside a folder must not be.
        std::sort(files.begin(), files.end());
        const QDir base(folder);
        for (const QString& file : files) {
            QString id = base.relativeFilePath(file);
            id.replace(u'/', u'-');
            if (seenIds.contains(id))
                continue;
            std::optional<HXDesktopEntry> entry = HXDesktopEntry::read(file, m_locale);
            if (!entry)
                continue;
            seenIds.insert(id);
            entry->id = id;
            if (entry->isApplication() && !entry->hidden)
                add(std::move(*entry));
        }
    }
}

void HXDesktopEntryIndex::add(HXDesktopEntry entry) {
    const int index = static_cast<int>(m_entries.size());
    const QString id = entry.id;
    m_ids.insert(id, index);
    if (!entry.startupWMClass.isEmpty()) {
        addKey(m_wmClasses, entry.startupWMClass, index);
        addKey(m_foldedWMClasses, entry.startupWMClass.toCaseFolded(), index);
    }
    const QString stem = id.endsWith(kSuffix) ? id.chopped(kSuffix.size()) : id;
    addKey(m_foldedIdentifiers, stem.toCaseFolded(), index);
    addKey(m_foldedLastParts, stem.section(u'.', -1).toCaseFolded(), index);
    if (!entry.tryExec.isEmpty())
        addKey(m_programs, HXProgramKey::forCommand({entry.tryExec}, m_searchPath), index);
    addKey(m_programs, HXProgramKey::forCommand(entry.exec, m_searchPath), index);
    m_entries.push_back(std::make_shared<const HXDesktopEntry>(std::move(entry)));
}

void HXDesktopEntryIndex::addKey(QHash<QString, int>& table, const QString& key, int index) {
    if (!key.isEmpty() && !table.contains(key))
        table.insert(key, index);
}

HXDesktopEntryIndex::Entry HXDesktopEntryIndex::lookUp(const QHash<QString, int>& table,
                                                       const QString& key) const {
    if (key.isEmpty())
        return nullptr;
    const auto it = table.constFind(key);
    return it == table.constEnd() ? nullptr : m_entries[static_cast<std::size_t>(*it)];
}

HXDesktopEntryIndex::Entry HXDesktopEntryIndex::byStartupWMClass(const QString& wmClass,
                                                                 Qt::CaseSensitivity sensitivity) const {
    return sensitivity == Qt::CaseSensitive ? lookUp(m_wmClasses, wmClass)
                                            : lookUp(m_foldedWMClasses, wmClass.toCaseFolded());
}

HXDesktopEntryIndex::Entry HXDesktopEntryIndex::byIdentifier(const QString& name) const {
    const QString folded = name.toCaseFolded();
    if (Entry e = lookUp(m_foldedIdentifiers, folded))
        return e;
    return lookUp(m_foldedLastParts, folded);
}

HXDesktopEntryIndex::Entry HXDesktopEntryIndex::byProgram(const QString& programKey) const {
    return lookUp(m_programs, programKey);
}

HXDesktopEntryIndex::Entry HXDesktopEntryIndex::byId(const QString& id) const {
    return lookUp(m_ids, id);
}

void HXDesktopEntryIndex::recordStamps(const QString& folder) {
    m_stamps.insert(folder, modificationStamp(folder));
    QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString sub = it.next();
        m_stamps.insert(sub, modificationStamp(sub));
    }
}

bool HXDesktopEntryIndex::isStale() const {
    for (auto it = m_stamps.constBegin(); it != m_stamps.constEnd(); ++it) {
        if (modificationStamp(it.key()) != it.value())
            return true;
    }
    return false;
}
