// Stands in for a desktop's StatusNotifierItem tray on the session bus: the watcher
// "org.kde.StatusNotifierWatcher" with a host registered, as a panel would run it. It prints
// "ready" once it owns the name, then "item SERVICE" for every item that registers.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QStringList>

#include <iostream>

namespace {

void say(const QString& line) {
    std::cout << line.toStdString() << std::endl;
}

class Watcher : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    QStringList items() const { return m_items; }
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service) {
        // An item gives its bus name, or only its object path (then the caller's name counts).
        const QString item = service.startsWith(QLatin1Char('/')) ? message().service() + service : service;
        m_items.append(item);
        say(QStringLiteral("item ") + item);
        Q_EMIT StatusNotifierItemRegistered(item);
    }
    void RegisterStatusNotifierHost(const QString&) {}

Q_SIGNALS:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierItemUnregistered(const QString& service);
    void StatusNotifierHostRegistered();

private:
    QStringList m_items;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    Watcher watcher;
    if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                QDBusConnection::ExportAllProperties) ||
        !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
        say(QStringLiteral("cannot register the watcher"));
        return 1;
    }
    say(QStringLiteral("ready"));
    return QCoreApplication::exec();
}

#include "fake_status_notifier_watcher.moc"
