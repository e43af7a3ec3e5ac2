#pragma once

#include <QByteArrayView>
#include <QString>

// Every file the program writes goes through here: private permissions, and with atomic set the data
// reach the disk in a temporary file of the same folder before a rename replaces the target, so a crash
// leaves either the old file or the new one. Only a regular file is ever replaced: a folder, pipe or device
// in the way (also behind a link) makes the write fail.
namespace HXAtomicFile {

// A new file is private (0600); an existing one keeps the permissions its owner gave it.
bool write(const QString& path, QByteArrayView data, bool atomically = true, QString* error = nullptr);
// Atomically, and private whatever an earlier file of that name allowed: for files that are the user's
// alone, such as screenshots.
bool writePrivate(const QString& path, QByteArrayView data, QString* error = nullptr);

// Creates the folder with its missing parents, private to the user (0700); true when it exists after.
bool createPrivateFolder(const QString& path, QString* error = nullptr);

} // namespace HXAtomicFile
