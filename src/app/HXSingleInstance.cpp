#include "app/HXSingleInstance.h"

#include "foundation/HXAtomicFile.h"
#include "foundation/HXLog.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>

HXSingleInstance::HXSingleInstance(const QString& dataFolder, QObject* parent)
    : QObject(parent), m_lockPath(dataFolder + QStringLiteral("/tracker.lock")),
      m_lock(std::make_unique<QLockFile>(m_lockPath)) {
    HXAtomicFile::createPrivateFolder(dataFolder, &m_folderError);
    // A lock left by a crashed tracker is stale as soon as its process is gone.
    m_lock->setStaleLockTime(0);
}

HXSingleInstance::~HXSingleInstance() = default;

HXSingleInstance::Acquisition HXSingleInstance::acquire() {
    if (!m_lock->tryLock(0)) {
        // Only a lock file that is there and names its holder means another tracker; anything else
        // in the way means no tracker can run here until it is sorted out.
        const QFileInfo lock(m_lockPath);
        if (m_lock->error() == QLockFile::LockFailedError && lock.isFile() && !lock.isSymLink())
            return Acquisition::AnotherRuns;
        if (!m_folderError.isEmpty())
            m_error = m_folderError;
        else if (lock.isDir())
            m_error = QStringLiteral("<%1> is a folder").arg(m_lockPath);
        else if (m_lock->error() == QLockFile::PermissionError)
            m_error = QStringLiteral("no permission to write in <%1>").arg(lock.absolutePath());
        else
            m_error = QStringLiteral("cannot create <%1>").arg(m_lockPath);
        return Acquisition::Failed;
    }
    // The lock is made with the default permissions; like every other file of the program it is private.
    QFile::setPermissions(m_lockPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        HXSystemLog(QStringLiteral("no session bus: a second start cannot hand files over"));
        return Acquisition::Acquired;
    }
    if (!bus.registerService(QString::fromLatin1(kServiceName)) ||
        !bus.registerObject(QString::fromLatin1(kObjectPath), this, QDBusConnection::ExportAllSlots))
        HXSystemLog(
            QStringLiteral("cannot register %1 on the session bus").arg(QString::fromLatin1(kServiceName)));
    return Acquisition::Acquired;
}

bool HXSingleInstance::handOver(const QStringList& files) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QStringList absolute;
    for (const QString& file : files)
        absolute.append(QFileInfo(file).absoluteFilePath());
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(kServiceName), QString::fromLatin1(kObjectPath),
        QStringLiteral("com.corvella.Qualdern.Tracker"), QStringLiteral("OpenFiles"));
    call << absolute;
    const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool HXSingleInstance::reopenRunning() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    const QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(kServiceName), QString::fromLatin1(kObjectPath),
        QStringLiteral("com.corvella.Qualdern.Tracker"), QStringLiteral("Reopen"));
    const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
    return reply.type() == QDBusMessage::ReplyMessage;
}

void HXSingleInstance::Reopen() {
    if (m_reopenHandler)
        m_reopenHandler();
}

void HXSingleInstance::OpenFiles(const QStringList& files) {
    if (m_fileHandler)
        m_fileHandler(files);
}
