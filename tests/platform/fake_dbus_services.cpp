// Stands in for logind (on the bus given as the system bus) and the screen saver service (on the session
// bus) in the D-Bus backend tests, in a process of its own. Commands on standard input, one per line:
//   sleep | wake | lock | unlock | active true|false | active-invalidated true|false | screensaver true|false
// Each command is answered with "ok"; method calls received are printed as they come:
//   GetSession ID, GetSessionByPID PID, Inhibit APP|REASON -> COOKIE, UnInhibit COOKIE
// Options: --system ADDRESS --session ADDRESS [--no-login] [--no-screensaver]

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QSocketNotifier>
#include <QStringList>

#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>

namespace {

const QString kSessionPath = QStringLiteral("/org/freedesktop/login1/session/_31");

void say(const QString& line) {
    std::cout << line.toStdString() << std::endl;
}

class LoginManager : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public Q_SLOTS:
    QDBusObjectPath GetSession(const QString& id) {
        say(QStringLiteral("GetSession ") + id);
        if (id != u"1") {
            sendErrorReply(QStringLiteral("org.freedesktop.login1.NoSuchSession"),
                           QStringLiteral("No such session"));
            return {};
        }
        return QDBusObjectPath(kSessionPath);
    }
    QDBusObjectPath GetSessionByPID(uint pid) {
        say(QStringLiteral("GetSessionByPID ") + QString::number(pid));
        return QDBusObjectPath(kSessionPath);
    }
};

class LoginSession : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Session")
    Q_PROPERTY(bool Active READ active)

public:
    bool active() const { return m_active; }
    void setActive(bool active) { m_active = active; }

private:
    bool m_active = true;
};

class ScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public Q_SLOTS:
    uint Inhibit(const QString& application, const QString& reason) {
        const uint cookie = m_nextCookie++;
        say(QStringLiteral("Inhibit %1|%2 -> %3").arg(application, reason).arg(cookie));
        return cookie;
    }
    void UnInhibit(uint cookie) { say(QStringLiteral("UnInhibit %1").arg(cookie)); }

private:
    uint m_nextCookie = 7000;
};

QDBusConnection connectTo(const QString& address, const QString& name) {
    QDBusConnection bus = QDBusConnection::connectToBus(address, name);
    if (!bus.isConnected()) {
        std::fprintf(stderr, "fake_dbus_services: cannot connect to %s\n", qPrintable(address));
        std::exit(2);
    }
    return bus;
}

void emitSignal(QDBusConnection& bus, const QString& path, const QString& interface, const QString& name,
                const QList<QVariant>& arguments) {
    QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
    signal.setArguments(arguments);
    bus.send(signal);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const auto option = [&](const char* name) {
        const qsizetype at = arguments.indexOf(QString::fromLatin1(name));
        return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : QString();
    };
    QDBusConnection system = connectTo(option("--system"), QStringLiteral("system"));
    QDBusConnection session = connectTo(option("--session"), QStringLiteral("session"));

    LoginManager manager;
    LoginSession loginSession;
    ScreenSaver screenSaver;
    if (!arguments.contains(QStringLiteral("--no-login"))) {
        system.registerObject(QStringLiteral("/org/freedesktop/login1"), &manager,
                              QDBusConnection::ExportAllSlots);
        system.registerObject(kSessionPath, &loginSession, QDBusConnection::ExportAllProperties);
        system.registerService(QStringLiteral("org.freedesktop.login1"));
    }
    if (!arguments.contains(QStringLiteral("--no-screensaver"))) {
        session.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &screenSaver,
                               QDBusConnection::ExportAllSlots);
        session.registerService(QStringLiteral("org.freedesktop.ScreenSaver"));
    }

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        std::string raw;
        if (!std::getline(std::cin, raw)) {
            application.quit();
            return;
        }
        const QStringList words = QString::fromStdString(raw).split(u' ', Qt::SkipEmptyParts);
        const QString command = words.value(0);
        const bool flag = words.value(1) == u"true";
        const QString managerInterface = QStringLiteral("org.freedesktop.login1.Manager");
        const QString sessionInterface = QStringLiteral("org.freedesktop.login1.Session");
        const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");
        if (command == u"sleep" || command == u"wake") {
            emitSignal(system, QStringLiteral("/org/freedesktop/login1"), managerInterface,
                       QStringLiteral("PrepareForSleep"), {command == u"sleep"});
        } else if (command == u"lock" || command == u"unlock") {
            emitSignal(system, kSessionPath, sessionInterface,
                       command == u"lock" ? QStringLiteral("Lock") : QStringLiteral("Unlock"), {});
        } else if (command == u"active") {
            loginSession.setActive(flag);
            emitSignal(system, kSessionPath, properties, QStringLiteral("PropertiesChanged"),
                       {sessionInterface, QVariantMap{{QStringLiteral("Active"), flag}}, QStringList()});
        } else if (command == u"active-invalidated") {
            loginSession.setActive(flag);
            emitSignal(system, kSessionPath, properties, QStringLiteral("PropertiesChanged"),
                       {sessionInterface, QVariantMap(), QStringList{QStringLiteral("Active")}});
        } else if (command == u"screensaver") {
            emitSignal(session, QStringLiteral("/org/freedesktop/ScreenSaver"),
                       QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("ActiveChanged"),
                       {flag});
        } else {
            std::fprintf(stderr, "fake_dbus_services: unknown command %s\n", raw.c_str());
        }
        say(QStringLiteral("ok"));
    });
    say(QStringLiteral("ready"));
    return application.exec();
}

#include "fake_dbus_services.moc"
