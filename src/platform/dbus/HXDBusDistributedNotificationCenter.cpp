#include "platform/dbus/HXDBusDistributedNotificationCenter.h"

#include "foundation/HXLog.h"

#include <QDBusMessage>
#include <QMetaObject>
#include <QThread>

#include <vector>

HXDBusDistributedNotificationCenter::HXDBusDistributedNotificationCenter(QObject* parent)
    : HXDBusDistributedNotificationCenter(QDBusConnection::sessionBus(), parent) {}

HXDBusDistributedNotificationCenter::HXDBusDistributedNotificationCenter(QDBusConnection bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)) {}

HXDBusDistributedNotificationCenter::~HXDBusDistributedNotificationCenter() {
    // A call waits for the bus's answer, so the signals sent before it have left when it returns (the
    // last ones often go out as the program quits).
    if (m_posted.load())
        m_bus.call(QDBusMessage::createMethodCall(
                       QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                       QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId")),
                   QDBus::Block, 2000);
    if (m_subscribed)
        m_bus.disconnect(QString(), QString::fromLatin1(kPath), QString::fromLatin1(kInterface),
                         QString::fromLatin1(kMember), this, SLOT(receive(QString, QString)));
}

void HXDBusDistributedNotificationCenter::postNotification(const QString& name, const QString& object) {
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromLatin1(kPath), QString::fromLatin1(kInterface), QString::fromLatin1(kMember));
    signal << name << object;
    // Sending is safe from any thread; the bus keeps one sender's signals in order.
    m_posted.store(true);
    if (!m_bus.send(signal))
        HXSystemLog(QStringLiteral("cannot post distributed notification %1").arg(name));
}

std::uint64_t HXDBusDistributedNotificationCenter::addObserver(const QString& name, Observer observer) {
    std::uint64_t token = 0;
    {
        QMutexLocker lock(&m_mutex);
        token = m_nextToken++;
        m_observers.emplace(token, Entry{name, std::move(observer)});
    }
    updateSubscription();
    return token;
}

void HXDBusDistributedNotificationCenter::removeObserver(std::uint64_t token) {
    {
        QMutexLocker lock(&m_mutex);
        m_observers.erase(token);
    }
    updateSubscription();
}

void HXDBusDistributedNotificationCenter::updateSubscription() {
    // The match rule belongs to this object's thread; other threads ask it there and wait.
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(
            this, [this] { updateSubscription(); }, Qt::BlockingQueuedConnection);
        return;
    }
    bool wanted = false;
    {
        QMutexLocker lock(&m_mutex);
        wanted = !m_observers.empty();
    }
    if (wanted == m_subscribed)
        return;
    const QString path = QString::fromLatin1(kPath);
    const QString interface = QString::fromLatin1(kInterface);
    const QString member = QString::fromLatin1(kMember);
    if (wanted) {
        m_subscribed =
            m_bus.connect(QString(), path, interface, member, this, SLOT(receive(QString, QString)));
        if (!m_subscribed)
            HXSystemLog(QStringLiteral("cannot observe distributed notifications"));
    } else {
        m_bus.disconnect(QString(), path, interface, member, this, SLOT(receive(QString, QString)));
        m_subscribed = false;
    }
}

void HXDBusDistributedNotificationCenter::receive(const QString& name, const QString& object) {
    std::vector<Observer> observers;
    {
        QMutexLocker lock(&m_mutex);
        for (const auto& [token, entry] : m_observers) {
            if (entry.name == name)
                observers.push_back(entry.observer);
        }
    }
    for (const Observer& observer : observers)
        observer(name, object);
}
