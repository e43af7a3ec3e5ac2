#include "foundation/HXMappedFile.h"

#include <algorithm>

#include <sys/mman.h>
#include <unistd.h>

HXMappedFile::HXMappedFile(const QString& path) : m_file(path) {
    if (!m_file.open(QIODevice::ReadOnly))
        return;
    m_size = m_file.size();
    if (m_size >= kMappingThreshold)
        m_mapped = m_file.map(0, m_size);
    if (!m_mapped) {
        // Small files, and files that cannot be mapped (pipes, some file systems).
        m_copy = m_file.readAll();
        m_size = m_copy.size();
    }
    m_readable = m_file.error() == QFileDevice::NoError;
}

QByteArrayView HXMappedFile::bytes() const {
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
