#include "foundation/HXMappedFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

HXMappedFile::HXMappedFile(const QString& path) : m_file(path) {
    if (!m_file.isOpen()) {
        m_error = m_file.errorString();
        return;
    }
    m_size = m_file.size();
    if (m_size >= kMappingThreshold)
        mapSnapshot(path);
    if (!m_mapped && !m_file.readAll(m_copy)) {
        m_error = m_file.errorString();
        m_changed = m_file.changedWhileRead();
        return;
    }
    if (!m_file.isUnchanged()) {
        m_error = QStringLiteral("changed while being read");
        m_changed = true;
        return;
    }
    m_readable = true;
}

HXMappedFile::~HXMappedFile() {
    if (m_mapped)
        ::munmap(m_mapped, static_cast<size_t>(m_size));
}

HXRegularFile::Status HXMappedFile::status() const {
    if (m_readable)
        return HXRegularFile::Status::Open;
    return m_file.status() == HXRegularFile::Status::Missing ? HXRegularFile::Status::Missing
                                                             : HXRegularFile::Status::Unreadable;
}

// The copy is made by the kernel (shared extents where the file system offers them) into a file without
// a name, which goes away with the mapping.
bool HXMappedFile::mapSnapshot(const QString& path) {
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int copy = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (copy < 0)
        return false;
    loff_t from = 0;
    loff_t to = 0;
    while (from < m_size) {
        const ssize_t n =
            ::copy_file_range(m_file.descriptor(), &from, copy, &to, static_cast<size_t>(m_size - from), 0);
        if (n <= 0)
            break;
    }
    if (from == m_size) {
        void* mapped = ::mmap(nullptr, static_cast<size_t>(m_size), PROT_READ, MAP_SHARED, copy, 0);
        if (mapped != MAP_FAILED)
            m_mapped = static_cast<uchar*>(mapped);
    }
    ::close(copy);
    return m_mapped != nullptr;
}

QByteArrayView HXMappedFile::bytes() const {
    if (!m_readable)
        return {};
    if (m_mapped)
        return QByteArrayView(reinterpret_cast<const char*>(m_mapped), m_size);
    return m_copy;
}

void HXMappedFile::release(quint64 from, quint64 to) const {
    if (!m_mapped)
        return;
    static const auto page = static_cast<quint64>(::sysconf(_SC_PAGESIZE));
    to = std::min(to, static_cast<quint64>(m_size));
    const quint64 first = (from + page - 1) / page * page;
    const quint64 last = to / page * page;
    if (first < last)
        ::madvise(m_mapped + first, last - first, MADV_DONTNEED);
}
