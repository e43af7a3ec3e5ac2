#include "announce/DQXListener.h"

#include "foundation/HXLog.h"
#include "foundation/HXUserDefaults.h"
#include "platform/HXDistributedNotificationCenter.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <atomic>

namespace {

std::atomic<DQXListener*> g_defaultListener{nullptr};

} // namespace

DQXListener::DQXListener(HXDistributedNotificationCenter& center, const HXUserDefaults& defaults,
                         DQXBaseIconProvider baseIcon)
    : m_center(center), m_defaults(defaults), m_baseIcon(std::move(baseIcon)),
      m_userNameHash(DQXUserNameHash()) {
    DQXListener* none = nullptr;
    m_isDefault = g_defaultListener.compare_exchange_strong(none, this);
}

DQXListener::~DQXListener() {
    if (m_observer)
        m_center.removeObserver(m_observer);
    if (m_isDefault)
        g_defaultListener.store(nullptr);
    finishQueue();
}

DQXListener* DQXListener::defaultListener() {
    return g_defaultListener.load();
}

void DQXListener::setListeningBlock(ListeningBlock block) {
    bool hadBlock = false;
    const bool hasBlock = static_cast<bool>(block);
    sync([&] {
        hadBlock = static_cast<bool>(m_block);
        m_block = std::move(block);
    });
    if (hasBlock) {
        if (!hadBlock)
            m_observer =
                m_center.addObserver(QString::fromLatin1(DQXAnnouncementNotification),
                                     [this](const QString&, const QString& object) { listen(object); });
        // Every running announcer answers with its current state.
        m_center.postNotification(QString::fromLatin1(DQXRequestNotification), QString());
    } else if (hadBlock && m_observer) {
        m_center.removeObserver(m_observer);
        m_observer = 0;
    }
}

void DQXListener::listen(const QString& object) {
    if (m_defaults.boolForKey(QString::fromLatin1(DQXDisableListeningKey)) || object.isEmpty())
        return;
    async([this, object] { handle(object); });
}

void DQXListener::handle(const QString& object) {
    if (!m_block)
        return;
    const QByteArray json = object.toUtf8();
    if (json.isEmpty()) {
        HXSystemLog(QStringLiteral("[DQX] cannot decode"));
        return;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (!document.isObject()) {
        HXSystemLog(QStringLiteral("[DQX] cannot deserialize: %1")
                        .arg(error.error == QJsonParseError::NoError ? QStringLiteral("not an object")
                                                                     : error.errorString()));
        return;
    }
    const QJsonObject transport = document.object();
    // Only this user's programs count; "Format" is not looked at.
    const QJsonValue user = transport.value(QStringLiteral("User"));
    if (m_userNameHash.isEmpty() || !user.isString() || user.toString() != m_userNameHash)
        return;
    if (const std::optional<DQXReceivedIcon> icon = DQXProcessTransportDictionary(transport, m_baseIcon))
        m_block(*icon);
}
