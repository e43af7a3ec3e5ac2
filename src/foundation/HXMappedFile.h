#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

// A whole file's bytes for reading once. A large file is mapped rather than copied, and the ranges a
// reader has finished with are given back while it works, so that a configuration of years is never
// held twice, as file and as values. Only for files that are replaced by renaming, never rewritten in
// place: a mapped file cut short under the reader would fault.
class HXMappedFile {
public:
    explicit HXMappedFile(const QString& path);
    HXMappedFile(const HXMappedFile&) = delete;
    HXMappedFile& operator=(const HXMappedFile&) = delete;

    // False when the file could not be opened or read; errorString() says why.
    bool isReadable() const { return m_readable; }
    QString errorString() const { return m_file.errorString(); }
    bool isMapped() const { return m_mapped != nullptr; }

    QByteArrayView bytes() const;
    // The whole pages within [from, to) leave memory; reading them again reads the file anew.
    void release(quint64 from, quint64 to) const;

    // Files smaller than this are read into memory.
    static constexpr qint64 kMappingThreshold = 4 << 20;

private:
    QFile m_file;
    bool m_readable = false;
    uchar* m_mapped = nullptr;
    qint64 m_size = 0;
    QByteArray m_copy;
};
