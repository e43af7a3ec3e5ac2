#include "platform/wayland/HXToplevelJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace {

HXToplevelKind kindNamed(const QString& name) {
    if (name == u"dialog")
        return HXToplevelKind::Dialog;
    if (name == u"utility")
        return HXToplevelKind::Utility;
    if (name == u"dock")
        return HXToplevelKind::Dock;
    if (name == u"desktop")
        return HXToplevelKind::Desktop;
    if (name == u"transient")
        return HXToplevelKind::Transient;
    return HXToplevelKind::Normal;
}

} // namespace

std::optional<std::vector<HXToplevel>> HXToplevelJson::read(const QByteArray& json) {
    if (json.size() > kMaxLength)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject() || !document.object().value(u"windows").isArray())
        return std::nullopt;
    const QJsonArray windows = document.object().value(u"windows").toArray();
    std::vector<HXToplevel> list;
    list.reserve(static_cast<std::size_t>(windows.size()));
    QSet<QString> seen;
    for (const QJsonValue& value : windows) {
        const QJsonObject w = value.toObject();
        const QString id = w.value(u"id").toString();
        if (id.isEmpty() || seen.contains(id))
            continue;
        seen.insert(id);
        HXToplevel& t = list.emplace_back();
        auto number = m_numbers.constFind(id);
        if (number == m_numbers.constEnd())
            number = m_numbers.insert(id, m_nextNumber++);
        t.number = *number;
        t.title = w.value(u"title").toString();
        t.identifier = w.value(u"class").toString();
        t.instanceName = w.value(u"instance").toString();
        const double pid = w.value(u"pid").toDouble();
        if (pid >= 1 && pid < 1 << 30)
            t.processIdentifier = static_cast<std::int64_t>(pid);
        t.kind = kindNamed(w.value(u"type").toString());
        t.activated = w.value(u"active").toBool();
        t.minimized = w.value(u"minimized").toBool();
        t.onCurrentDesktop = w.value(u"currentDesktop").toBool(true);
        t.skipTaskbar = w.value(u"skipTaskbar").toBool();
        t.above = w.value(u"above").toBool();
    }
    // Windows that are gone are forgotten; their numbers are not used again.
    for (auto it = m_numbers.begin(); it != m_numbers.end();)
        it = seen.contains(it.key()) ? std::next(it) : m_numbers.erase(it);
    return list;
}
