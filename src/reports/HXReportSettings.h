#pragma once

#include "foundation/HXDictionary.h"

#include <optional>

class HXUserDefaults;

// One report's settings, "Report: <identifier>: <name>": in the user defaults for the live report, and for
// snapshots when "Store Snapshot Report User Defaults Permanently" is on; otherwise in a dictionary in
// memory shared by all snapshots, which is gone at quit. In the user defaults a false or zero value is
// stored as such, because it must hide a registered default; in memory it is removed.
class HXReportSettings {
public:
    // No memory: the user defaults always.
    HXReportSettings(QString identifier, HXUserDefaults& defaults, HXDictionaryRef memory = nullptr);

    const QString& identifier() const { return m_identifier; }
    QString key(QStringView name) const;

    bool boolForKey(QStringView name) const;
    long long integerForKey(QStringView name) const;
    // The stored number, if there is one.
    std::optional<double> numberForKey(QStringView name) const;
    bool contains(QStringView name) const;

    void setBool(QStringView name, bool value);
    void setInteger(QStringView name, long long value);
    void setDouble(QStringView name, double value);
    void remove(QStringView name);

    // The four defaults the live report starts with: front and total activity, "Today" as the interval
    // and as the last one chosen.
    static void registerLiveReportDefaults(HXUserDefaults& defaults, const QString& identifier);

private:
    bool inMemory() const;
    HXValue value(QStringView name) const;
    void set(QStringView name, const HXValue& value, bool empty);

    QString m_identifier;
    HXUserDefaults& m_defaults;
    HXDictionaryRef m_memory;
};
