#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include <sys/stat.h>

// A file opened for reading that is sure to be an ordinary file of bounded size. Whatever a path names
// (a named pipe, a device, a folder, a link to any of them), opening never waits and reading ends: only
// regular files are read, up to a size limit far above any real configuration.
class HXRegularFile {
public:
    enum class Status {
        Open,
        // Nothing at all at the path.
        Missing,
        // Something is there that cannot be read as a file: errorString() says what.
        Unreadable,
    };

    static constexpr qint64 kSizeLimit = qint64{4} << 30;

    explicit HXRegularFile(const QString& path, qint64 sizeLimit = kSizeLimit);
    ~HXRegularFile();
    HXRegularFile(const HXRegularFile&) = delete;
    HXRegularFile& operator=(const HXRegularFile&) = delete;

    Status status() const { return m_status; }
    bool isOpen() const { return m_status == Status::Open; }
    // A few plain words: "is a folder", "is a named pipe", "Permission denied", "larger than 4 GiB".
    const QString& errorString() const { return m_error; }

    int descriptor() const { return m_fd; }
    // The size when opened.
    qint64 size() const { return static_cast<qint64>(m_opened.st_size); }

    // Reads the whole file from its start; false (with errorString() set) when reading fails or the
    // file did not keep its size meanwhile.
    bool readAll(QByteArray& data);
    // Whether the last readAll() failed because the size changed under it.
    bool changedWhileRead() const { return m_changed; }
    // Whether the file still has the identity, size and times it had when opened: a file rewritten in
    // place while it was read holds a mixture of old and new.
    bool isUnchanged() const;

private:
    void fail(Status status, QString error);

    int m_fd = -1;
    Status m_status = Status::Unreadable;
    QString m_error;
    bool m_changed = false;
    struct stat m_opened {};
};

// The whole contents of a regular file; nothing when it is missing or cannot be read (error says why).
std::optional<QByteArray> HXReadRegularFile(const QString& path, QString* error = nullptr,
                                            qint64 sizeLimit = HXRegularFile::kSizeLimit);
