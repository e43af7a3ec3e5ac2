#include "platform/dbus/HXDBusDisplaySleepInhibitor.h"

#include "foundation/HXLog.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>

namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString kInterface = QStringLiteral("org.freedesktop.ScreenSaver");

} // namespace

HXDBusDisplaySleepInhibitor::HXDBusDisplaySleepInhibitor(HXDisplaySleepInhibitor* fallback, QObject* parent)
    : HXDBusDisplaySleepInhibitor(QDBusConnection::sessionBus(), fallback, parent) {}

HXDBusDisplaySleepInhibitor::HXDBusDisplaySleepInhibitor(QDBusConnection sessionBus,
                                                         HXDisplaySleepInhibitor* fallback, QObject* parent)
    : QObject(parent), m_bus(std::move(sessionBus)), m_fallback(fallback) {}

HXDBusDisplaySleepInhibitor::~HXDBusDisplaySleepInhibitor() {
    for (auto& [identifier, assertion] : m_assertions) {
        if (assertion.holder == Holder::ScreenSaverService)
            unInhibit(assertion.cookie);
        else if (assertion.holder == Holder::Fallback && m_fallback)
            m_fallback->releaseAssertion(assertion.fallbackIdentifier);
    }
}

void HXDBusDisplaySleepInhibitor::logOnce(const QString& line) {
    if (m_logged)
        return;
    m_logged = true;
    HXSystemLog(line);
}

std::optional<std::uint32_t> HXDBusDisplaySleepInhibitor::createAssertion(const QString& name) {
    const std::uint32_t identifier = m_nextIdentifier++;
    Assertion assertion;
    assertion.name = name;
    if (!m_bus.isConnected()) {
        logOnce(QStringLiteral("cannot connect to the session bus to keep the display awake: ") +
                m_bus.lastError().message());
        useFallback(assertion);
        if (assertion.holder == Holder::Nothing)
            return std::nullopt;
        m_assertions.emplace(identifier, std::move(assertion));
        return identifier;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Inhibit"));
    call << QStringLiteral("Qualdern") << name;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, identifier](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                inhibited(identifier, w->reply());
            });
    m_assertions.emplace(identifier, std::move(assertion));
    return identifier;
}

void HXDBusDisplaySleepInhibitor::inhibited(std::uint32_t identifier, const QDBusMessage& reply) {
    const auto it = m_assertions.find(identifier);
    if (it == m_assertions.end())
        return;
    Assertion& assertion = it->second;
    const QList<QVariant> arguments = reply.arguments();
    if (reply.type() == QDBusMessage::ReplyMessage && !arguments.isEmpty()) {
        assertion.holder = Holder::ScreenSaverService;
        assertion.cookie = arguments.front().toUInt();
    } else {
        logOnce(QStringLiteral("cannot inhibit the screen saver (") + reply.errorMessage() +
                QStringLiteral("); suspending the X screen saver instead"));
        if (!assertion.released)
            useFallback(assertion);
    }
    if (assertion.released) {
        if (assertion.holder == Holder::ScreenSaverService)
            unInhibit(assertion.cookie);
        m_assertions.erase(it);
    }
    Q_EMIT assertionSettled(identifier);
}

void HXDBusDisplaySleepInhibitor::useFallback(Assertion& assertion) {
    const std::optional<std::uint32_t> fallback =
        m_fallback ? m_fallback->createAssertion(assertion.name) : std::nullopt;
    assertion.holder = fallback ? Holder::Fallback : Holder::Nothing;
    assertion.fallbackIdentifier = fallback.value_or(0);
    if (!fallback)
        HXSystemLog(QStringLiteral("cannot keep the display awake"));
}

void HXDBusDisplaySleepInhibitor::unInhibit(std::uint32_t cookie) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("UnInhibit"));
    call << cookie;
    // Nobody waits for the answer; the service may also be gone by now.
    call.setAutoStartService(false);
    m_bus.send(call);
}

bool HXDBusDisplaySleepInhibitor::releaseAssertion(std::uint32_t identifier) {
    const auto it = m_assertions.find(identifier);
    if (it == m_assertions.end() || it->second.released)
        return false;
    Assertion& assertion = it->second;
    switch (assertion.holder) {
    case Holder::Pending:
        assertion.released = true;
        return true;
    case Holder::ScreenSaverService:
        unInhibit(assertion.cookie);
        break;
    case Holder::Fallback:
        if (m_fallback)
            m_fallback->releaseAssertion(assertion.fallbackIdentifier);
        break;
    case Holder::Nothing:
        break;
    }
    m_assertions.erase(it);
    return true;
}

std::optional<HXDBusDisplaySleepInhibitor::Holder>
HXDBusDisplaySleepInhibitor::holder(std::uint32_t identifier) const {
    const auto it = m_assertions.find(identifier);
    if (it == m_assertions.end() || it->second.released)
        return std::nullopt;
    return it->second.holder;
}
