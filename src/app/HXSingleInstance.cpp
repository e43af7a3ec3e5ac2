#include "app/HXSingleInstance.h"

#include "foundation/HXAtomicFile.h"
#include "foundation/HXLog.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>

HXSingleInstance::HXSingleInstance(const QString& dataFolder, QObject* parent)
    : QObject(parent), m_lock(std::make_unique<QLockFile>(dataFolder + QStringLiteral("/tracker.lock"))) {
    HXAtomicFile::createPrivateFolder(dataFolder);
    // A lock left by a crashed tracker is stale as soon as its process is gone.
    m_lock->setStaleLockTime(0);
}

HXSingleInstance::~HXSingleInstance() = default;

bool HXSingleInstance::acquire() {
    if (!m_lock->tryLock(0))
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        HXSystemLog(QStringLiteral("no session bus: a second start cannot hand files over"));
        return true;
    }
    if (!bus.registerService(QString::fromLatin1(kServiceName)) ||
        !bus.registerObject(QString::fromLatin1(kObjectPath), this, QDBusConnection::ExportAllSlots))
        HXSystemLog(
            QStringLiteral("cannot register %1 on the session bus").arg(QString::fromLatin1(kServiceName)));
    return true;
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
