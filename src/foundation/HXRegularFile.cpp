#include "foundation/HXRegularFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString describeType(mode_t mode) {
    if (S_ISDIR(mode))
        return QStringLiteral("is a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("is a named pipe");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("is a device");
    if (S_ISSOCK(mode))
        return QStringLiteral("is a socket");
    return QStringLiteral("is not a regular file");
}

QString describeLimit(qint64 limit) {
    return limit >= (qint64{1} << 30) && limit % (qint64{1} << 30) == 0
               ? QStringLiteral("larger than %1 GiB").arg(limit >> 30)
               : QStringLiteral("larger than %1 bytes").arg(limit);
}

bool sameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

} // namespace

HXRegularFile::HXRegularFile(const QString& path, qint64 sizeLimit) {
    const QByteArray native = QFile::encodeName(path);
    // Without O_NONBLOCK, opening a named pipe waits for a writer that may never come.
    m_fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (m_fd < 0) {
        const int error = errno;
        struct stat link {};
        if (error == ENOENT && ::lstat(native.constData(), &link) == 0)
            fail(Status::Unreadable, QStringLiteral("is a link to a missing file"));
        else
            fail(error == ENOENT ? Status::Missing : Status::Unreadable, systemError(error));
        return;
    }
    if (::fstat(m_fd, &m_opened) != 0) {
        fail(Status::Unreadable, systemError(errno));
        return;
    }
    if (!S_ISREG(m_opened.st_mode)) {
        fail(Status::Unreadable, describeType(m_opened.st_mode));
        return;
    }
    if (m_opened.st_size > sizeLimit) {
        fail(Status::Unreadable, describeLimit(sizeLimit));
        return;
    }
    const int flags = ::fcntl(m_fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(m_fd, F_SETFL, flags & ~O_NONBLOCK);
    m_status = Status::Open;
}

HXRegularFile::~HXRegularFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

void HXRegularFile::fail(Status status, QString error) {
    m_status = status;
    m_error = std::move(error);
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

bool HXRegularFile::readAll(QByteArray& data) {
    if (!isOpen())
        return false;
    const qint64 expected = size();
    data.resize(expected);
    qint64 done = 0;
    while (done < expected) {
        const ssize_t n = ::pread(m_fd, data.data() + done, static_cast<size_t>(expected - done), done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            m_error = systemError(errno);
            data.clear();
            return false;
        }
        if (n == 0)
            break;
        done += n;
    }
    char extra = 0;
    ssize_t beyond = 0;
    do {
        beyond = ::pread(m_fd, &extra, 1, done);
    } while (beyond < 0 && errno == EINTR);
    if (done != expected || beyond > 0) {
        m_error = QStringLiteral("changed while being read");
        m_changed = true;
        data.clear();
        return false;
    }
    return true;
}

bool HXRegularFile::isUnchanged() const {
    struct stat now {};
    if (!isOpen() || ::fstat(m_fd, &now) != 0)
        return false;
    return now.st_ino == m_opened.st_ino && now.st_dev == m_opened.st_dev &&
           now.st_size == m_opened.st_size && sameTime(now.st_mtim, m_opened.st_mtim) &&
           sameTime(now.st_ctim, m_opened.st_ctim);
}

std::optional<QByteArray> HXReadRegularFile(const QString& path, QString* error, qint64 sizeLimit) {
    HXRegularFile file(path, sizeLimit);
    QByteArray data;
    if (file.readAll(data)) {
        if (file.isUnchanged())
            return data;
        if (error)
            *error = QStringLiteral("changed while being read");
        return std::nullopt;
    }
    if (error)
        *error = file.errorString();
    return std::nullopt;
}
