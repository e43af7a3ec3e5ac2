#include "foundation/HXAtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr QFileDevice::Permissions kPrivateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

// A rename is durable only once its folder entry is on disk.
void syncFolder(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

enum class Permissions { KeepExisting, Private };

// A temporary file of the same folder, renamed over the target once complete. A new file is private; an
// existing one keeps the permissions its owner gave it unless the write is private.
bool writeAtomically(const QString& path, QByteArrayView data, Permissions permissions, QString* error) {
    // The rename would put a plain file in the place of a pipe, a device or whatever else is there
    // (through a link as well), so only regular files are replaced.
    struct stat target {};
    const bool existed = ::stat(QFile::encodeName(path).constData(), &target) == 0;
    if (existed && !S_ISREG(target.st_mode)) {
        setError(error, S_ISDIR(target.st_mode) ? QStringLiteral("<%1> is a folder").arg(path)
                                                : QStringLiteral("<%1> is not a regular file").arg(path));
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, file.errorString());
        return false;
    }
    if (!existed || permissions == Permissions::Private)
        file.setPermissions(kPrivateFile);
    if (file.write(data.data(), data.size()) != data.size()) {
        setError(error, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    syncFolder(QFileInfo(path).absolutePath());
    return true;
}

} // namespace

bool HXAtomicFile::write(const QString& path, QByteArrayView data, bool atomically, QString* error) {
    if (path.isEmpty()) {
        setError(error, QStringLiteral("no path"));
        return false;
    }
    if (!atomically) {
        QFile file(path);
        const bool existed = file.exists();
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            setError(error, file.errorString());
            return false;
        }
        if (!existed)
            file.setPermissions(kPrivateFile);
        if (file.write(data.data(), data.size()) != data.size() || !file.flush()) {
            setError(error, file.errorString());
            return false;
        }
        ::fsync(file.handle());
        return true;
    }
    return writeAtomically(path, data, Permissions::KeepExisting, error);
}

bool HXAtomicFile::writePrivate(const QString& path, QByteArrayView data, QString* error) {
    if (path.isEmpty()) {
        setError(error, QStringLiteral("no path"));
        return false;
    }
    return writeAtomically(path, data, Permissions::Private, error);
}

bool HXAtomicFile::createPrivateFolder(const QString& path, QString* error) {
    QFileInfo info(path);
    if (info.isDir())
        return true;
    if (info.exists()) {
        setError(error, QStringLiteral("<%1> is not a folder").arg(path));
        return false;
    }
    const QString parent = info.absolutePath();
    if (parent != info.absoluteFilePath() && !QFileInfo(parent).isDir() &&
        !createPrivateFolder(parent, error))
        return false;
    const QByteArray native = QFile::encodeName(info.absoluteFilePath());
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        setError(
            error,
            QStringLiteral("cannot create <%1>: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        return false;
    }
    return QFileInfo(path).isDir();
}
