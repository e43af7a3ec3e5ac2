#include "announce/DQXAnnouncer.h"

#include "foundation/HXLog.h"
#include "foundation/HXUserDefaults.h"
#include "platform/HXDistributedNotificationCenter.h"

#include <QJsonDocument>

#include <atomic>

namespace {

std::atomic<DQXAnnouncer*> g_defaultAnnouncer{nullptr};

} // namespace

DQXAnnouncer::DQXAnnouncer(HXDistributedNotificationCenter& center, const HXUserDefaults& defaults)
    : m_center(center), m_defaults(defaults) {
    DQXAnnouncer* none = nullptr;
    m_isDefault = g_defaultAnnouncer.compare_exchange_strong(none, this);
    m_requestObserver = center.addObserver(QString::fromLatin1(DQXRequestNotification),
                                           [this](const QString&, const QString&) { reannounce(); });
}

DQXAnnouncer::~DQXAnnouncer() {
    m_center.removeObserver(m_requestObserver);
    if (m_isDefault)
        g_defaultAnnouncer.store(nullptr);
    finishQueue();
}

DQXAnnouncer* DQXAnnouncer::defaultAnnouncer() {
    return g_defaultAnnouncer.load();
}

void DQXAnnouncer::announce(const DQXAnnouncementInput& input) {
    if (m_defaults.boolForKey(QString::fromLatin1(DQXDisableAnnouncingKey)))
        return;
    const QString identifier = DQXMainIdentifier();
    async([this, input, identifier] { post(input, identifier); });
}

void DQXAnnouncer::post(const DQXAnnouncementInput& input, const QString& defaultIdentifier) {
    const std::optional<QJsonObject> transport = DQXCreateTransportDictionary(input, defaultIdentifier);
    if (!transport)
        return;
    const QByteArray json = QJsonDocument(*transport).toJson(QJsonDocument::Compact);
    if (json.isEmpty()) {
        HXSystemLog(QStringLiteral("[DQX] cannot serialize: empty JSON text"));
        return;
    }
    const QString text = QString::fromUtf8(json);
    if (text.toUtf8() != json) {
        HXSystemLog(QStringLiteral("[DQX] cannot encode"));
        return;
    }
    {
        QMutexLocker lock(&m_mutex);
        m_latestTransportString = text;
    }
    m_center.postNotification(QString::fromLatin1(DQXAnnouncementNotification), text);
}

void DQXAnnouncer::reannounce() {
    if (m_defaults.boolForKey(QString::fromLatin1(DQXDisableAnnouncingKey)))
        return;
    async([this] {
        m_center.postNotification(QString::fromLatin1(DQXAnnouncementNotification), latestTransportString());
    });
}

QString DQXAnnouncer::latestTransportString() const {
    QMutexLocker lock(&m_mutex);
    return m_latestTransportString;
}
