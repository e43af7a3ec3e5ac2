#include "reports/HXReportSettings.h"

#include "foundation/HXUserDefaults.h"

HXReportSettings::HXReportSettings(QString identifier, HXUserDefaults& defaults, HXDictionaryRef memory)
    : m_identifier(std::move(identifier)), m_defaults(defaults), m_memory(std::move(memory)) {}

QString HXReportSettings::key(QStringView name) const {
    return QStringLiteral("Report: %1: %2").arg(m_identifier, name);
}

bool HXReportSettings::inMemory() const {
    return m_memory && !m_defaults.boolForKey(u"Store Snapshot Report User Defaults Permanently");
}

HXValue HXReportSettings::value(QStringView name) const {
    const QString k = key(name);
    if (inMemory())
        return m_memory->value(k);
    return m_defaults.objectForKey(k);
}

bool HXReportSettings::boolForKey(QStringView name) const {
    return value(name).toBool();
}

long long HXReportSettings::integerForKey(QStringView name) const {
    const HXValue v = value(name);
    return v.isNumber() ? static_cast<long long>(v.toInteger()) : 0;
}

std::optional<double> HXReportSettings::numberForKey(QStringView name) const {
    const HXValue v = value(name);
    if (!v.isNumber())
        return std::nullopt;
    return v.toDouble();
}

bool HXReportSettings::contains(QStringView name) const {
    return !value(name).isNull();
}

void HXReportSettings::set(QStringView name, const HXValue& v, bool empty) {
    const QString k = key(name);
    if (inMemory()) {
        if (empty)
            m_memory->remove(k);
        else
            m_memory->setValue(k, v);
        return;
    }
    m_defaults.setObject(k, v);
}

void HXReportSettings::setBool(QStringView name, bool value) {
    set(name, value, !value);
}

void HXReportSettings::setInteger(QStringView name, long long value) {
    set(name, value, value == 0);
}

void HXReportSettings::setDouble(QStringView name, double value) {
    set(name, value, false);
}

void HXReportSettings::remove(QStringView name) {
    const QString k = key(name);
    if (inMemory())
        m_memory->remove(k);
    else
        m_defaults.removeObject(k);
}

void HXReportSettings::registerLiveReportDefaults(HXUserDefaults& defaults, const QString& identifier) {
    const HXReportSettings settings(identifier, defaults);
    HXDictionary table;
    table.setValue(settings.key(u"Front"), true);
    table.setValue(settings.key(u"Total"), true);
    table.setValue(settings.key(u"Interval"), 1);
    table.setValue(settings.key(u"Interval: Last Selected"), 1);
    defaults.registerDefaults(table);
}
