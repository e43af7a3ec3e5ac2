#pragma once

#include "platform/x11/HXDesktopEntry.h"

#include <QHash>

#include <memory>
#include <vector>

// The desktop entries of the application folders, by what identifies a running application: the
// StartupWMClass, the desktop-file ID and the program. Folders are searched in order, the first file with
// an ID wins (a Hidden one deletes the ID), and entries of other types than Application or marked Hidden
// are never answered; NoDisplay ones are.
class HXDesktopEntryIndex {
public:
    using Entry = std::shared_ptr<const HXDesktopEntry>;

    // $XDG_DATA_HOME/applications (default ~/.local/share), then applications/ of each of $XDG_DATA_DIRS
    // (default /usr/local/share:/usr/share).
    static QStringList standardFolders();

    // searchPath resolves Exec and TryExec programs (PATH syntax).
    HXDesktopEntryIndex(QStringList folders, HXDesktopLocale locale, QString searchPath);

    void rebuild();
    // Whether a folder or a subfolder appeared, disappeared or changed since the last rebuild.
    bool isStale() const;

    Entry byStartupWMClass(const QString& wmClass, Qt::CaseSensitivity sensitivity) const;
    // The ID without ".desktop", or its last dotted part, equal to the name ignoring case.
    Entry byIdentifier(const QString& name) const;
    Entry byProgram(const QString& programKey) const;
    Entry byId(const QString& id) const;

    std::size_t size() const { return m_entries.size(); }

private:
    void add(HXDesktopEntry entry);
    void addKey(QHash<QString, int>& table, const QString& key, int index);
    Entry lookUp(const QHash<QString, int>& table, const QString& key) const;
    void recordStamps(const QString& folder);

    QStringList m_folders;
    HXDesktopLocale m_locale;
    QString m_searchPath;
    std::vector<Entry> m_entries;
    QHash<QString, int> m_ids;
    QHash<QString, int> m_wmClasses;
    QHash<QString, int> m_foldedWMClasses;
    QHash<QString, int> m_foldedIdentifiers;
    QHash<QString, int> m_foldedLastParts;
    QHash<QString, int> m_programs;
    // Folder -> modification time in nanoseconds, -1 while it does not exist.
    QHash<QString, qint64> m_stamps;
};
