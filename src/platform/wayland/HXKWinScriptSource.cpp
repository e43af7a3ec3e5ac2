#include "platform/wayland/HXKWinScriptSource.h"

#include "foundation/HXAtomicFile.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>

#include <qualdern-kwin-tracker-script.h>

namespace {

const QString kKWin = QStringLiteral("org.kde.KWin");
const QString kScripting = QStringLiteral("org.kde.kwin.Scripting");
const QString kScriptingPath = QStringLiteral("/Scripting");
const QString kScript = QStringLiteral("org.kde.kwin.Script");
constexpr int kCallTimeoutMs = 3000;

QString scriptFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return runtime.isEmpty() ? QString() : runtime + QStringLiteral("/qualdern-kwin-XXXXXX");
}

} // namespace

HXKWinScriptSource::HXKWinScriptSource(HXDesktopEntryMatcher matcher, QDBusConnection bus, QObject* parent)
    : QObject(parent), HXToplevelWindowSource(std::move(matcher)), m_bus(std::move(bus)) {
    m_firstListTimer.setSingleShot(true);
    m_firstListTimer.setInterval(kFirstListTimeoutMs);
    connect(&m_firstListTimer, &QTimer::timeout, this,
            [this] { fail(QStringLiteral("the KWin script sent no window list")); });
    connect(&m_receiver, &HXKWinScriptReceiver::updated, this, &HXKWinScriptSource::received);
}

HXKWinScriptSource::~HXKWinScriptSource() {
    stop();
}

bool HXKWinScriptSource::writeScript() {
    QByteArray script(kKWinTrackerScript);
    script.replace("@SERVICE@", m_bus.baseService().toUtf8());
    script.replace("@PATH@", HXKWinScriptReceiver::kObjectPath);
    script.replace("@INTERFACE@", HXKWinScriptReceiver::kInterface);
    const QString folder = scriptFolder();
    m_folder = folder.isEmpty() ? std::make_unique<QTemporaryDir>() : std::make_unique<QTemporaryDir>(folder);
    return m_folder->isValid() &&
           HXAtomicFile::write(m_folder->filePath(QStringLiteral("qualdern-tracker.js")), script);
}

void HXKWinScriptSource::start() {
    stop();
    m_state = State::Starting;
    m_reason.clear();
    if (!m_bus.isConnected())
        return fail(QStringLiteral("there is no session bus"));
    if (!m_bus.registerObject(QString::fromLatin1(HXKWinScriptReceiver::kObjectPath), &m_receiver,
                              QDBusConnection::ExportAllSlots))
        return fail(QStringLiteral("cannot offer the object the KWin script reports to"));
    m_registered = true;
    if (!writeScript())
        return fail(QStringLiteral("cannot write the KWin script"));
    m_watcher =
        std::make_unique<QDBusServiceWatcher>(kKWin, m_bus, QDBusServiceWatcher::WatchForUnregistration);
    connect(m_watcher.get(), &QDBusServiceWatcher::serviceUnregistered, this,
            [this] { fail(QStringLiteral("KWin left the session bus")); });

    // A script of the same name left by a tracker that crashed would report to nobody.
    QDBusMessage unload =
        QDBusMessage::createMethodCall(kKWin, kScriptingPath, kScripting, QStringLiteral("unloadScript"));
    unload << QString::fromLatin1(kPluginName);
    m_bus.call(unload, QDBus::NoBlock);

    QDBusMessage load =
        QDBusMessage::createMethodCall(kKWin, kScriptingPath, kScripting, QStringLiteral("loadScript"));
    load << m_folder->filePath(QStringLiteral("qualdern-tracker.js")) << QString::fromLatin1(kPluginName);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(load, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, generation = m_generation] {
        watcher->deleteLater();
        if (generation != m_generation)
            return;
        const QDBusMessage reply = watcher->reply();
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return fail(QStringLiteral("KWin did not load the script: %1").arg(reply.errorMessage()));
        loaded(reply.arguments().front().toInt());
    });
    m_scriptLoaded = true;
    m_firstListTimer.start();
}

void HXKWinScriptSource::loaded(int scriptId) {
    if (scriptId < 0)
        return fail(QStringLiteral("KWin refused the script"));
    runScript(scriptId, true);
}

void HXKWinScriptSource::runScript(int scriptId, bool plasma6) {
    const QString path =
        plasma6 ? QStringLiteral("/Scripting/Script%1").arg(scriptId) : QStringLiteral("/%1").arg(scriptId);
    const QDBusMessage run = QDBusMessage::createMethodCall(kKWin, path, kScript, QStringLiteral("run"));
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(run, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, watcher, scriptId, plasma6, generation = m_generation] {
                watcher->deleteLater();
                if (generation != m_generation)
                    return;
                const QDBusMessage reply = watcher->reply();
                if (reply.type() == QDBusMessage::ReplyMessage)
                    return;
                // Plasma 5 has the script's object elsewhere.
                if (plasma6)
                    return runScript(scriptId, false);
                fail(QStringLiteral("KWin did not run the script: %1").arg(reply.errorMessage()));
            });
}

void HXKWinScriptSource::received(const QString& windows) {
    if (m_state == State::Failed || windows == m_lastList)
        return;
    m_lastList = windows;
    std::optional<std::vector<HXToplevel>> list = m_json.read(windows.toUtf8());
    if (!list)
        return;
    m_firstListTimer.stop();
    m_state = State::Answering;
    setAnswering(true);
    setToplevels(std::move(*list));
}

void HXKWinScriptSource::fail(const QString& reason) {
    if (m_state == State::Failed)
        return;
    m_state = State::Failed;
    m_reason = reason;
    m_firstListTimer.stop();
    setAnswering(false);
}

void HXKWinScriptSource::stop() {
    ++m_generation;
    m_firstListTimer.stop();
    m_watcher.reset();
    if (m_scriptLoaded) {
        // At quit nothing runs after this, so the unloading is waited for, briefly.
        QDBusMessage unload =
            QDBusMessage::createMethodCall(kKWin, kScriptingPath, kScripting, QStringLiteral("unloadScript"));
        unload << QString::fromLatin1(kPluginName);
        m_bus.call(unload, QDBus::Block, 1000);
        m_scriptLoaded = false;
    }
    if (m_registered)
        m_bus.unregisterObject(QString::fromLatin1(HXKWinScriptReceiver::kObjectPath));
    m_registered = false;
    m_folder.reset();
    m_lastList.clear();
    m_state = State::Failed;
    setAnswering(false);
}
