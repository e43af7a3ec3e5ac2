// Stands in for KWin (the scripting interface of Plasma 5 or 6, running the loaded script for real in a
// JavaScript engine against a small model of KWin's workspace) or for Qualdern's GNOME Shell extension
// with Mutter's idle monitor, on the session bus of DBUS_SESSION_BUS_ADDRESS, in a process of its own.
//   --kwin 5|6 | --gnome [--no-idle-monitor]
// Commands on standard input, one JSON object per line, each answered with "ok":
//   KWin:  {"op":"add","id":N,"caption":..,"class":..,"name":..,"pid":N,"type":"normal|dialog|utility|dock"}
//          {"op":"activate","id":N} {"op":"caption","id":N,"caption":..} {"op":"minimize","id":N,"on":true}
//          {"op":"remove","id":N} {"op":"desktop","number":N} {"op":"move","id":N,"desktop":N}
//   GNOME: {"op":"windows","list":{...}}  (sets the list and announces it)  {"op":"idle","ms":N}
//          {"op":"release"}  (the extension is disabled: its name goes)
//   both:  {"op":"quit"}
// What is asked of it is printed: "loadScript PLUGIN -> ID", "run PATH", "unloadScript PLUGIN -> true",
// "script error MESSAGE", "GetWindows", "GetIdletime".

#include <QByteArray>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QFile>
#include <QJSEngine>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>
#include <QUuid>

#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

void say(const QString& line) {
    std::cout << line.toStdString() << std::endl;
}

// --- KWin ------------------------------------------------------------------------------------------

class FakeDesktop : public QObject {
    Q_OBJECT
    Q_PROPERTY(int x11DesktopNumber MEMBER number CONSTANT)

public:
    explicit FakeDesktop(int n, QObject* parent) : QObject(parent), number(n) {}
    int number;
};

// What both versions' windows share; the subclasses give them each version's property types.
class FakeWindowBase : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString caption MEMBER caption NOTIFY captionChanged)
    Q_PROPERTY(int pid MEMBER pid CONSTANT)
    Q_PROPERTY(bool minimized MEMBER minimized NOTIFY minimizedChanged)
    Q_PROPERTY(bool skipTaskbar MEMBER skipTaskbar CONSTANT)
    Q_PROPERTY(bool keepAbove MEMBER keepAbove CONSTANT)
    Q_PROPERTY(bool normalWindow READ isNormal CONSTANT)
    Q_PROPERTY(bool dialog READ isDialog CONSTANT)
    Q_PROPERTY(bool dock READ isDock CONSTANT)
    Q_PROPERTY(bool utility READ isUtility CONSTANT)
    Q_PROPERTY(bool toolbar MEMBER toolbar CONSTANT)
    Q_PROPERTY(bool desktopWindow MEMBER desktopWindow CONSTANT)
    Q_PROPERTY(bool onAllDesktops MEMBER onAllDesktops CONSTANT)
    Q_PROPERTY(QUuid internalId MEMBER internalId CONSTANT)

public:
    using QObject::QObject;
    bool isNormal() const { return type == u"normal"; }
    bool isDialog() const { return type == u"dialog"; }
    bool isDock() const { return type == u"dock"; }
    bool isUtility() const { return type == u"utility"; }

    QString caption;
    QString resourceClassText;
    QString resourceNameText;
    QString type = QStringLiteral("normal");
    int pid = 0;
    int desktopNumber = 1;
    bool minimized = false;
    bool skipTaskbar = false;
    bool keepAbove = false;
    bool toolbar = false;
    bool desktopWindow = false;
    bool onAllDesktops = false;
    QUuid internalId = QUuid::createUuid();

Q_SIGNALS:
    void captionChanged();
    void minimizedChanged();
    void desktopChanged();
    void desktopsChanged();
    // Plasma 5's older pair.
    void clientMinimized(QObject* window, bool animate);
    void clientUnminimized(QObject* window, bool animate);
};

// Plasma 5: the class and name are byte arrays, the desktop a number.
class FakeWindow5 : public FakeWindowBase {
    Q_OBJECT
    Q_PROPERTY(QByteArray resourceClass READ resourceClass CONSTANT)
    Q_PROPERTY(QByteArray resourceName READ resourceName CONSTANT)
    Q_PROPERTY(int desktop MEMBER desktopNumber NOTIFY desktopChanged)

public:
    using FakeWindowBase::FakeWindowBase;
    QByteArray resourceClass() const { return resourceClassText.toUtf8(); }
    QByteArray resourceName() const { return resourceNameText.toUtf8(); }
};

// Plasma 6: strings, and a list of desktop objects.
class FakeWindow6 : public FakeWindowBase {
    Q_OBJECT
    Q_PROPERTY(QString resourceClass MEMBER resourceClassText CONSTANT)
    Q_PROPERTY(QString resourceName MEMBER resourceNameText CONSTANT)
    Q_PROPERTY(QList<QObject*> desktops READ desktops NOTIFY desktopsChanged)

public:
    FakeWindow6(const std::map<int, FakeDesktop*>& all, QObject* parent)
        : FakeWindowBase(parent), m_all(all) {}
    QList<QObject*> desktops() const { return {m_all.at(desktopNumber)}; }

private:
    const std::map<int, FakeDesktop*>& m_all;
};

class FakeWorkspaceBase : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<QObject*> stackingOrder READ stackingOrder)

public:
    explicit FakeWorkspaceBase(QObject* parent) : QObject(parent) {
        for (int n = 1; n <= 4; ++n)
            desktops[n] = new FakeDesktop(n, this);
    }
    QList<QObject*> stackingOrder() const { return stacking; }
    QList<QObject*> windows() const {
        QList<QObject*> list;
        for (const auto& entry : byId)
            list.append(entry.second);
        return list;
    }
    virtual FakeWindowBase* makeWindow() = 0;
    virtual void emitAdded(QObject* w) = 0;
    virtual void emitRemoved(QObject* w) = 0;
    virtual void emitActivated(QObject* w) = 0;
    virtual void emitDesktopChanged() = 0;

    std::map<int, FakeWindowBase*> byId;
    // Bottom to top.
    QList<QObject*> stacking;
    QObject* active = nullptr;
    int current = 1;
    std::map<int, FakeDesktop*> desktops;
};

class FakeWorkspace5 : public FakeWorkspaceBase {
    Q_OBJECT
    Q_PROPERTY(QObject* activeClient READ activeClient)
    Q_PROPERTY(int currentDesktop READ currentDesktop)

public:
    using FakeWorkspaceBase::FakeWorkspaceBase;
    Q_INVOKABLE QList<QObject*> clientList() const { return windows(); }
    QObject* activeClient() const { return active; }
    int currentDesktop() const { return current; }
    FakeWindowBase* makeWindow() override { return new FakeWindow5(this); }
    void emitAdded(QObject* w) override { Q_EMIT clientAdded(w); }
    void emitRemoved(QObject* w) override { Q_EMIT clientRemoved(w); }
    void emitActivated(QObject* w) override { Q_EMIT clientActivated(w); }
    void emitDesktopChanged() override { Q_EMIT currentDesktopChanged(current, nullptr); }

Q_SIGNALS:
    void clientAdded(QObject* window);
    void clientRemoved(QObject* window);
    void clientActivated(QObject* window);
    void currentDesktopChanged(int previous, QObject* window);
};

class FakeWorkspace6 : public FakeWorkspaceBase {
    Q_OBJECT
    Q_PROPERTY(QObject* activeWindow READ activeWindow)
    Q_PROPERTY(QObject* currentDesktop READ currentDesktop)

public:
    using FakeWorkspaceBase::FakeWorkspaceBase;
    Q_INVOKABLE QList<QObject*> windowList() const { return windows(); }
    QObject* activeWindow() const { return active; }
    QObject* currentDesktop() const { return desktops.at(current); }
    FakeWindowBase* makeWindow() override { return new FakeWindow6(desktops, this); }
    void emitAdded(QObject* w) override { Q_EMIT windowAdded(w); }
    void emitRemoved(QObject* w) override { Q_EMIT windowRemoved(w); }
    void emitActivated(QObject* w) override { Q_EMIT windowActivated(w); }
    void emitDesktopChanged() override { Q_EMIT currentDesktopChanged(nullptr); }

Q_SIGNALS:
    void windowAdded(QObject* window);
    void windowRemoved(QObject* window);
    void windowActivated(QObject* window);
    void currentDesktopChanged(QObject* previous);
};

// The script's callDBus.
class DBusBridge : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE void call(const QVariantList& arguments) {
        if (arguments.size() < 4)
            return;
        QDBusMessage message =
            QDBusMessage::createMethodCall(arguments[0].toString(), arguments[1].toString(),
                                           arguments[2].toString(), arguments[3].toString());
        message.setArguments(arguments.mid(4));
        QDBusConnection::sessionBus().send(message);
    }
};

class FakeScript : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Script")

public:
    FakeScript(QString file, FakeWorkspaceBase& workspace, QObject* parent)
        : QObject(parent), m_file(std::move(file)), m_workspace(workspace) {}

public Q_SLOTS:
    void run() {
        QFile file(m_file);
        if (!file.open(QIODevice::ReadOnly)) {
            say(QStringLiteral("script error cannot read ") + m_file);
            return;
        }
        m_engine = std::make_unique<QJSEngine>();
        // Objects without a parent would otherwise be the engine's to delete.
        QJSEngine::setObjectOwnership(&m_workspace, QJSEngine::CppOwnership);
        QJSEngine::setObjectOwnership(&m_bridge, QJSEngine::CppOwnership);
        m_engine->globalObject().setProperty(QStringLiteral("workspace"), m_engine->newQObject(&m_workspace));
        m_engine->globalObject().setProperty(QStringLiteral("__bridge"), m_engine->newQObject(&m_bridge));
        m_engine->evaluate(
            QStringLiteral("function callDBus() { __bridge.call(Array.prototype.slice.call(arguments)); }"));
        const QJSValue result = m_engine->evaluate(QString::fromUtf8(file.readAll()), m_file);
        if (result.isError())
            say(QStringLiteral("script error ") + result.toString());
    }
    void stop() { m_engine.reset(); }

private:
    QString m_file;
    FakeWorkspaceBase& m_workspace;
    DBusBridge m_bridge;
    std::unique_ptr<QJSEngine> m_engine;
};

class FakeScripting : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Scripting")

public:
    FakeScripting(int plasma, FakeWorkspaceBase& workspace, QObject* parent)
        : QObject(parent), m_plasma(plasma), m_workspace(workspace) {}

public Q_SLOTS:
    int loadScript(const QString& path, const QString& plugin) {
        if (m_scripts.count(plugin)) {
            say(QStringLiteral("loadScript %1 -> -1").arg(plugin));
            return -1;
        }
        const int id = m_nextId++;
        auto script = std::make_unique<FakeScript>(path, m_workspace, nullptr);
        const QString objectPath =
            m_plasma == 6 ? QStringLiteral("/Scripting/Script%1").arg(id) : QStringLiteral("/%1").arg(id);
        QDBusConnection::sessionBus().registerObject(objectPath, script.get(),
                                                     QDBusConnection::ExportAllSlots);
        m_scripts[plugin] = {objectPath, std::move(script)};
        say(QStringLiteral("loadScript %1 -> %2").arg(plugin).arg(id));
        return id;
    }
    bool unloadScript(const QString& plugin) {
        const auto found = m_scripts.find(plugin);
        const bool had = found != m_scripts.end();
        if (had) {
            QDBusConnection::sessionBus().unregisterObject(found->second.first);
            m_scripts.erase(found);
        }
        say(QStringLiteral("unloadScript %1 -> %2")
                .arg(plugin, had ? QStringLiteral("true") : QStringLiteral("false")));
        return had;
    }
    bool isScriptLoaded(const QString& plugin) { return m_scripts.count(plugin) > 0; }

private:
    int m_plasma;
    FakeWorkspaceBase& m_workspace;
    int m_nextId = 1;
    std::map<QString, std::pair<QString, std::unique_ptr<FakeScript>>> m_scripts;
};

class KWin {
public:
    explicit KWin(int plasma) {
        if (plasma == 6)
            m_workspace = std::make_unique<FakeWorkspace6>(nullptr);
        else
            m_workspace = std::make_unique<FakeWorkspace5>(nullptr);
        m_scripting = std::make_unique<FakeScripting>(plasma, *m_workspace, nullptr);
    }
    bool publish() {
        QDBusConnection bus = QDBusConnection::sessionBus();
        return bus.registerObject(QStringLiteral("/Scripting"), m_scripting.get(),
                                  QDBusConnection::ExportAllSlots) &&
               bus.registerService(QStringLiteral("org.kde.KWin"));
    }
    bool command(const QJsonObject& c) {
        FakeWorkspaceBase& ws = *m_workspace;
        const QString op = c.value(u"op").toString();
        const int id = c.value(u"id").toInt();
        FakeWindowBase* w = ws.byId.count(id) ? ws.byId[id] : nullptr;
        if (op == u"add") {
            w = ws.makeWindow();
            w->caption = c.value(u"caption").toString();
            w->resourceClassText = c.value(u"class").toString();
            w->resourceNameText = c.value(u"name").toString();
            w->pid = c.value(u"pid").toInt();
            w->type = c.value(u"type").toString(QStringLiteral("normal"));
            w->desktopNumber = ws.current;
            ws.byId[id] = w;
            ws.stacking.append(w);
            ws.emitAdded(w);
        } else if (op == u"activate" && w) {
            ws.active = w;
            ws.stacking.removeAll(w);
            ws.stacking.append(w);
            ws.emitActivated(w);
        } else if (op == u"caption" && w) {
            w->caption = c.value(u"caption").toString();
            Q_EMIT w->captionChanged();
        } else if (op == u"minimize" && w) {
            w->minimized = c.value(u"on").toBool();
            if (dynamic_cast<FakeWindow5*>(w))
                w->minimized ? Q_EMIT w->clientMinimized(w, false) : Q_EMIT w->clientUnminimized(w, false);
            else
                Q_EMIT w->minimizedChanged();
        } else if (op == u"remove" && w) {
            ws.emitRemoved(w);
            ws.byId.erase(id);
            ws.stacking.removeAll(w);
            if (ws.active == w)
                ws.active = nullptr;
            w->deleteLater();
        } else if (op == u"desktop") {
            ws.current = c.value(u"number").toInt(1);
            ws.emitDesktopChanged();
        } else if (op == u"move" && w) {
            w->desktopNumber = c.value(u"desktop").toInt(1);
            Q_EMIT w->desktopChanged();
            Q_EMIT w->desktopsChanged();
        } else {
            return false;
        }
        return true;
    }

private:
    std::unique_ptr<FakeWorkspaceBase> m_workspace;
    std::unique_ptr<FakeScripting> m_scripting;
};

// --- GNOME -----------------------------------------------------------------------------------------

class FakeExtension : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.corvella.Qualdern.Shell")

public:
    using QObject::QObject;
    QString windows = QStringLiteral("{\"windows\": []}");

public Q_SLOTS:
    QString GetWindows() {
        say(QStringLiteral("GetWindows"));
        return windows;
    }

Q_SIGNALS:
    void WindowsChanged(const QString& windows);
};

class FakeIdleMonitor : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Mutter.IdleMonitor")

public:
    using QObject::QObject;
    qulonglong idle = 0;

public Q_SLOTS:
    qulonglong GetIdletime() { return idle; }
};

class Gnome {
public:
    bool publish(bool idleMonitor) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bool ok = bus.registerObject(QStringLiteral("/com/corvella/Qualdern/Shell"), &m_extension,
                                     QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals) &&
                  bus.registerService(QStringLiteral("com.corvella.Qualdern.Shell")) &&
                  bus.registerService(QStringLiteral("org.gnome.Shell"));
        if (idleMonitor)
            ok = ok &&
                 bus.registerObject(QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"), &m_idle,
                                    QDBusConnection::ExportAllSlots) &&
                 bus.registerService(QStringLiteral("org.gnome.Mutter.IdleMonitor"));
        return ok;
    }
    bool command(const QJsonObject& c) {
        const QString op = c.value(u"op").toString();
        if (op == u"windows") {
            m_extension.windows = QString::fromUtf8(QJsonDocument(c.value(u"list").toObject()).toJson());
            Q_EMIT m_extension.WindowsChanged(m_extension.windows);
        } else if (op == u"idle") {
            m_idle.idle = static_cast<qulonglong>(c.value(u"ms").toDouble());
        } else if (op == u"release") {
            QDBusConnection::sessionBus().unregisterService(QStringLiteral("com.corvella.Qualdern.Shell"));
        } else {
            return false;
        }
        return true;
    }

private:
    FakeExtension m_extension;
    FakeIdleMonitor m_idle;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    std::unique_ptr<KWin> kwin;
    std::unique_ptr<Gnome> gnome;
    const qsizetype kwinAt = arguments.indexOf(QStringLiteral("--kwin"));
    bool published = false;
    if (kwinAt >= 0 && kwinAt + 1 < arguments.size()) {
        kwin = std::make_unique<KWin>(arguments[kwinAt + 1].toInt());
        published = kwin->publish();
    } else if (arguments.contains(QStringLiteral("--gnome"))) {
        gnome = std::make_unique<Gnome>();
        published = gnome->publish(!arguments.contains(QStringLiteral("--no-idle-monitor")));
    }
    if (!published) {
        std::cerr << "fake_desktop_shell: cannot offer the services" << std::endl;
        return 1;
    }
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    std::string buffer;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char chunk[4096];
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof(chunk));
        if (n <= 0) {
            QCoreApplication::quit();
            return;
        }
        buffer.append(chunk, static_cast<std::size_t>(n));
        for (std::size_t end; (end = buffer.find('\n')) != std::string::npos;) {
            const QJsonObject c =
                QJsonDocument::fromJson(QByteArray::fromStdString(buffer.substr(0, end))).object();
            buffer.erase(0, end + 1);
            if (c.value(u"op").toString() == u"quit") {
                say(QStringLiteral("ok"));
                QCoreApplication::quit();
                return;
            }
            const bool done = kwin ? kwin->command(c) : gnome->command(c);
            say(done ? QStringLiteral("ok") : QStringLiteral("unknown command"));
        }
    });
    say(QStringLiteral("ready"));
    return QCoreApplication::exec();
}

#include "fake_desktop_shell.moc"
