#include "tools/replay/HXReplayScript.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

// Thrown only inside the parser, caught at its entry, so that every check can say where it failed.
struct ScriptError {
    QString message;
};

[[noreturn]] void fail(const QString& place, const QString& what) {
    throw ScriptError{place + QStringLiteral(": ") + what};
}

double number(const QJsonValue& v, const QString& place) {
    if (!v.isDouble())
        fail(place, QStringLiteral("expected a number"));
    return v.toDouble();
}

bool boolean(const QJsonValue& v, const QString& place, bool fallback) {
    if (v.isUndefined() || v.isNull())
        return fallback;
    if (!v.isBool())
        fail(place, QStringLiteral("expected true or false"));
    return v.toBool();
}

std::int64_t integer(const QJsonValue& v, const QString& place) {
    const double d = number(v, place);
    if (d != std::floor(d) || std::fabs(d) > 9007199254740992.0)
        fail(place, QStringLiteral("expected a whole number"));
    return static_cast<std::int64_t>(d);
}

std::optional<QString> optionalString(const QJsonValue& v, const QString& place) {
    if (v.isUndefined() || v.isNull())
        return std::nullopt;
    if (!v.isString())
        fail(place, QStringLiteral("expected a string or null"));
    return v.toString();
}

QJsonObject object(const QJsonValue& v, const QString& place) {
    if (!v.isObject())
        fail(place, QStringLiteral("expected an object"));
    return v.toObject();
}

QJsonArray array(const QJsonValue& v, const QString& place) {
    if (v.isUndefined() || v.isNull())
        return {};
    if (!v.isArray())
        fail(place, QStringLiteral("expected an array"));
    return v.toArray();
}

HXValue defaultValue(const QJsonValue& v, const QString& place) {
    if (v.isBool())
        return v.toBool();
    if (v.isDouble()) {
        const double d = v.toDouble();
        if (d == std::floor(d) && std::fabs(d) < 9007199254740992.0)
            return static_cast<long long>(d);
        return d;
    }
    if (v.isString())
        return v.toString();
    if (v.isArray()) {
        auto list = HXArray::create();
        const QJsonArray a = v.toArray();
        for (qsizetype i = 0; i < a.size(); ++i) {
            if (!a[i].isString())
                fail(place + QStringLiteral("[%1]").arg(i), QStringLiteral("expected a string"));
            list->append(a[i].toString());
        }
        return list;
    }
    fail(place, QStringLiteral("expected true, false, a number, a string or an array of strings"));
}

HXFakeWindow window(const QJsonValue& value, const QString& place, std::uint64_t syntheticNumber) {
    const QJsonObject o = object(value, place);
    HXFakeWindow w;
    w.number = o.contains(u"number")
                   ? static_cast<std::uint64_t>(integer(o[u"number"], place + QStringLiteral(".number")))
                   : syntheticNumber;
    w.title = optionalString(o[u"title"], place + QStringLiteral(".title"));
    w.layer =
        o.contains(u"layer") ? static_cast<int>(integer(o[u"layer"], place + QStringLiteral(".layer"))) : 0;
    w.onScreen = boolean(o[u"onScreen"], place + QStringLiteral(".onScreen"), true);
    w.orderedIn = boolean(o[u"orderedIn"], place + QStringLiteral(".orderedIn"), true);
    return w;
}

HXFakeApplication application(const QJsonValue& value, const QString& place, std::uint64_t& nextNumber) {
    const QJsonObject o = object(value, place);
    HXFakeApplication a;
    if (!o.contains(u"pid"))
        fail(place, QStringLiteral("missing \"pid\""));
    a.application.processIdentifier = integer(o[u"pid"], place + QStringLiteral(".pid"));
    a.application.bundleIdentifier =
        optionalString(o[u"bundleIdentifier"], place + QStringLiteral(".bundleIdentifier"))
            .value_or(QString());
    a.application.bundlePath = optionalString(o[u"bundlePath"], place + QStringLiteral(".bundlePath"));
    a.application.localizedName =
        optionalString(o[u"name"], place + QStringLiteral(".name")).value_or(QString());
    const std::int64_t policy =
        o.contains(u"activationPolicy")
            ? integer(o[u"activationPolicy"], place + QStringLiteral(".activationPolicy"))
            : 0;
    if (policy < 0 || policy > 2)
        fail(place + QStringLiteral(".activationPolicy"), QStringLiteral("expected 0, 1 or 2"));
    a.application.activationPolicy = static_cast<HXActivationPolicy>(policy);
    const QJsonArray windows = array(o[u"windows"], place + QStringLiteral(".windows"));
    for (qsizetype i = 0; i < windows.size(); ++i)
        a.windows.push_back(window(windows[i], place + QStringLiteral(".windows[%1]").arg(i), nextNumber++));
    return a;
}

HXReplayScript parse(const QJsonDocument& document) {
    if (!document.isObject())
        fail(QStringLiteral("script"), QStringLiteral("expected an object"));
    const QJsonObject root = document.object();
    HXReplayScript script;
    script.defaults = HXDictionary::create();
    if (root.contains(u"defaults")) {
        const QJsonObject defaults = object(root[u"defaults"], QStringLiteral("defaults"));
        for (auto it = defaults.begin(); it != defaults.end(); ++it)
            script.defaults->setValue(it.key(),
                                      defaultValue(it.value(), QStringLiteral("defaults.") + it.key()));
    }
    if (!root.contains(u"ticks"))
        fail(QStringLiteral("script"), QStringLiteral("missing \"ticks\""));
    const QJsonArray ticks = array(root[u"ticks"], QStringLiteral("ticks"));
    // Window numbers the script leaves out are made up above any a script would use.
    std::uint64_t nextNumber = 1ull << 40;
    for (qsizetype i = 0; i < ticks.size(); ++i) {
        const QString place = QStringLiteral("ticks[%1]").arg(i);
        const QJsonObject o = object(ticks[i], place);
        HXReplayTick tick;
        if (!o.contains(u"at"))
            fail(place, QStringLiteral("missing \"at\""));
        tick.at = number(o[u"at"], place + QStringLiteral(".at"));
        if (!std::isfinite(tick.at))
            fail(place + QStringLiteral(".at"), QStringLiteral("expected a finite time"));
        if (!script.ticks.empty() && tick.at < script.ticks.back().at)
            fail(place + QStringLiteral(".at"), QStringLiteral("time goes backwards (%1 after %2)")
                                                    .arg(tick.at, 0, 'f', 3)
                                                    .arg(script.ticks.back().at, 0, 'f', 3));
        tick.gap = boolean(o[u"gap"], place + QStringLiteral(".gap"), false);
        if (o.contains(u"front") && !o[u"front"].isNull())
            tick.front = integer(o[u"front"], place + QStringLiteral(".front"));
        const QJsonArray applications = array(o[u"applications"], place + QStringLiteral(".applications"));
        for (qsizetype a = 0; a < applications.size(); ++a)
            tick.applications.push_back(
                application(applications[a], place + QStringLiteral(".applications[%1]").arg(a), nextNumber));
        script.ticks.push_back(std::move(tick));
    }
    return script;
}

} // namespace

std::optional<HXReplayScript> HXParseReplayScript(const QByteArray& json, QString* error) {
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        const QByteArray before = json.left(parseError.offset);
        const qsizetype line = before.count('\n') + 1;
        const qsizetype column = parseError.offset - (before.lastIndexOf('\n') + 1) + 1;
        if (error)
            *error = QStringLiteral("line %1, column %2: not JSON (%3)")
                         .arg(line)
                         .arg(column)
                         .arg(parseError.errorString());
        return std::nullopt;
    }
    try {
        return parse(document);
    } catch (const ScriptError& e) {
        if (error)
            *error = e.message;
        return std::nullopt;
    }
}
