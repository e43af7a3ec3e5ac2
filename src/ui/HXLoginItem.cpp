#include "ui/HXLoginItem.h"

#include "foundation/HXAtomicFile.h"
#include "foundation/HXLog.h"
#include "foundation/HXPaths.h"
#include "ui/HXAutostartEntry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString entryFileName() {
    return HXDesktopEntryId() + QStringLiteral(".desktop");
}

// The same program when both paths name the same file (links resolved), or the same text when they do not
// exist.
bool isSameProgram(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    const QString canonicalB = QFileInfo(b).canonicalFilePath();
    if (!canonicalA.isEmpty() && !canonicalB.isEmpty())
        return canonicalA == canonicalB;
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}

// The entry the session goes by: the user's, else the first system folder's of the same name.
QString effectiveEntryPath() {
    const QString user = HXUserAutostartEntryPath();
    if (QFileInfo::exists(user))
        return user;
    for (const QString& folder : HXSystemAutostartFolders()) {
        const QString path = folder + QLatin1Char('/') + entryFileName();
        if (QFileInfo::exists(path))
            return path;
    }
    return QString();
}

bool hasSystemEntry() {
    for (const QString& folder : HXSystemAutostartFolders()) {
        if (QFileInfo::exists(folder + QLatin1Char('/') + entryFileName()))
            return true;
    }
    return false;
}

bool writeEntry(const QByteArray& text) {
    const QString folder = HXUserAutostartFolder();
    QString error;
    if (!HXAtomicFile::createPrivateFolder(folder, &error) ||
        !HXAtomicFile::write(HXUserAutostartEntryPath(), text, true, &error)) {
        HXSystemLog(QStringLiteral("[HXLoginItem] cannot insert login item"));
        return false;
    }
    return true;
}

} // namespace

QString HXDesktopEntryId() {
    return QStringLiteral("com.corvella.Qualdern");
}

QString HXLoginItemProgramPath() {
    return QCoreApplication::applicationFilePath();
}

QString HXUserAutostartFolder() {
    return HXConfigHome() + QStringLiteral("/autostart");
}

QStringList HXSystemAutostartFolders() {
    QString dirs = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/etc/xdg");
    QStringList folders;
    for (const QString& dir : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QFileInfo(dir).isAbsolute())
            folders.append(QDir::cleanPath(dir) + QStringLiteral("/autostart"));
    }
    return folders;
}

QString HXUserAutostartEntryPath() {
    return HXUserAutostartFolder() + QLatin1Char('/') + entryFileName();
}

bool HXIsLoginItem(bool* usable) {
    if (usable) {
        // The nearest folder that exists decides whether the entry can be written.
        QFileInfo folder(HXUserAutostartFolder());
        while (!folder.exists() && !folder.isRoot())
            folder = QFileInfo(folder.absolutePath());
        *usable = folder.isDir() && folder.isWritable();
    }
    return HXIsLoginItemViaBundle(HXLoginItemProgramPath());
}

bool HXIsLoginItemViaBundle(const QString& programPath) {
    const QString path = effectiveEntryPath();
    if (path.isEmpty())
        return false;
    const HXAutostartEntry entry = HXAutostartEntry::fromFile(path);
    return entry.isValid() && !entry.isDisabled() && isSameProgram(entry.program(), programPath);
}

bool HXSetLoginItem(bool enable) {
    return HXSetLoginItemViaBundle(enable, HXLoginItemProgramPath());
}

bool HXSetLoginItemViaBundle(bool enable, const QString& programPath) {
    const QString userPath = HXUserAutostartEntryPath();
    const bool userEntryExists = QFileInfo::exists(userPath);
    if (enable) {
        if (HXIsLoginItemViaBundle(programPath) && userEntryExists)
            return true;
        // Missing, switched off, or a copy of the program elsewhere: the entry is written anew.
        return writeEntry(HXLoginItemEntryText(programPath));
    }
    if (hasSystemEntry()) {
        // A system entry of the same name is switched off by a hidden one of the user's.
        QByteArray text = HXLoginItemEntryText(programPath);
        text.append("Hidden=true\n");
        return writeEntry(text);
    }
    if (!userEntryExists)
        return false;
    if (!QFile::remove(userPath)) {
        HXSystemLog(QStringLiteral("[HXLoginItem] cannot remove login item: %1").arg(userPath));
        return false;
    }
    return true;
}

QByteArray HXLoginItemEntryText(const QString& programPath) {
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Name=Qualdern\n"
                                  "Comment=Personal time tracker\n");
    text += QStringLiteral("Exec=") + HXExecValueForProgram(programPath) + QLatin1Char('\n');
    text += QStringLiteral("Icon=") + HXDesktopEntryId() + QLatin1Char('\n');
    text += QStringLiteral("Terminal=false\n"
                           "X-GNOME-Autostart-enabled=true\n");
    return text.toUtf8();
}
