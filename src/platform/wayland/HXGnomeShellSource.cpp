#include "platform/wayland/HXGnomeShellSource.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>

namespace {

constexpr int kCallTimeoutMs = 3000;

} // namespace

HXGnomeShellSource::HXGnomeShellSource(HXDesktopEntryMatcher matcher, QDBusConnection bus, QObject* parent)
    : QObject(parent), HXToplevelWindowSource(std::move(matcher)), m_bus(std::move(bus)) {}

HXGnomeShellSource::~HXGnomeShellSource() {
    stop();
}

QString HXGnomeShellSource::enableInstructions() {
    return QStringLiteral(
               "On GNOME under Wayland, Qualdern sees your windows through its GNOME Shell "
               "extension, which is not enabled. Enable it once with \"gnome-extensions enable %1\" "
               "(or in the Extensions application), then log out and back in. Until then only "
               "the windows of X11 programs are tracked.")
        .arg(QString::fromLatin1(kExtensionUuid));
}

void HXGnomeShellSource::start() {
    stop();
    m_state = State::Starting;
    m_reason.clear();
    m_missing = false;
    if (!m_bus.isConnected())
        return fail(QStringLiteral("there is no session bus"));
    const QString service = QString::fromLatin1(kService);
    m_watcher =
        std::make_unique<QDBusServiceWatcher>(service, m_bus, QDBusServiceWatcher::WatchForUnregistration);
    connect(m_watcher.get(), &QDBusServiceWatcher::serviceUnregistered, this,
            [this] { fail(QStringLiteral("the GNOME Shell extension left the session bus")); });
    m_subscribed = m_bus.connect(service, QString::fromLatin1(kObjectPath), QString::fromLatin1(kInterface),
                                 QStringLiteral("WindowsChanged"), this, SLOT(windowsChanged(QString)));
    const QDBusMessage call =
        QDBusMessage::createMethodCall(service, QString::fromLatin1(kObjectPath),
                                       QString::fromLatin1(kInterface), QStringLiteral("GetWindows"));
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, generation = m_generation] {
        watcher->deleteLater();
        if (generation != m_generation)
            return;
        const QDBusMessage reply = watcher->reply();
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
            return received(reply.arguments().front().toString());
        const QString error = reply.errorName();
        if (error == QDBusError::errorString(QDBusError::ServiceUnknown) ||
            error == u"org.freedesktop.DBus.Error.NameHasNoOwner") {
            m_missing = true;
            return fail(
                QStringLiteral("the extension %1 is not enabled").arg(QString::fromLatin1(kExtensionUuid)));
        }
        fail(QStringLiteral("the GNOME Shell extension did not answer: %1").arg(reply.errorMessage()));
    });
}

void HXGnomeShellSource::windowsChanged(const QString& windows) {
    // Changes before the first answer are covered by it; a list that cannot be read leaves the last one.
    if (m_state != State::Answering)
        return;
    if (std::optional<std::vector<HXToplevel>> list = m_json.read(windows.toUtf8()))
        setToplevels(std::move(*list));
}

void HXGnomeShellSource::received(const QString& windows) {
    if (m_state == State::Failed)
        return;
    std::optional<std::vector<HXToplevel>> list = m_json.read(windows.toUtf8());
    if (!list)
        return fail(QStringLiteral("the GNOME Shell extension sent no window list"));
    m_state = State::Answering;
    setAnswering(true);
    setToplevels(std::move(*list));
}

void HXGnomeShellSource::fail(const QString& reason) {
    if (m_state == State::Failed)
        return;
    m_state = State::Failed;
    m_reason = reason;
    setAnswering(false);
}

void HXGnomeShellSource::stop() {
    ++m_generation;
    m_watcher.reset();
    if (m_subscribed)
        m_bus.disconnect(QString::fromLatin1(kService), QString::fromLatin1(kObjectPath),
                         QString::fromLatin1(kInterface), QStringLiteral("WindowsChanged"), this,
                         SLOT(windowsChanged(QString)));
    m_subscribed = false;
    m_state = State::Failed;
    setAnswering(false);
}
