#pragma once

#include "foundation/HXRegularFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A whole file's bytes for reading once. A large file is mapped rather than copied into memory, and the
// ranges a reader has finished with are given back while it works, so that a configuration of years is
// never held twice, as file and as values. What is mapped is a private snapshot of the file (an unnamed
// copy beside it that no other program can reach): another program rewriting or truncating the file in
// place meanwhile can neither cut the mapping short under the reader nor mix old and new bytes. Where no
// snapshot can be made, the file is read whole. Either way a file that changed while it was copied or
// read is not readable.
class HXMappedFile {
public:
    explicit HXMappedFile(const QString& path);
    ~HXMappedFile();
    HXMappedFile(const HXMappedFile&) = delete;
    HXMappedFile& operator=(const HXMappedFile&) = delete;

    // False when the file could not be opened or read; errorString() says why, and status() tells a
    // missing file apart from one that is there but cannot be read.
    bool isReadable() const { return m_readable; }
    HXRegularFile::Status status() const;
    QString errorString() const { return m_error; }
    // Unreadable because the file changed while it was copied or read: worth another try.
    bool changedWhileRead() const { return m_changed; }
    bool isMapped() const { return m_mapped != nullptr; }

    QByteArrayView bytes() const;
    // The whole pages within [from, to) leave memory; reading them again reads the snapshot anew.
    void release(quint64 from, quint64 to) const;

    // Files smaller than this are read into memory.
    static constexpr qint64 kMappingThreshold = 4 << 20;

private:
    bool mapSnapshot(const QString& path);

    HXRegularFile m_file;
    bool m_readable = false;
    QString m_error;
    bool m_changed = false;
    uchar* m_mapped = nullptr;
    qint64 m_size = 0;
    QByteArray m_copy;
};
