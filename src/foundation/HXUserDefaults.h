#pragma once

#include "foundation/HXDictionary.h"

#include <QObject>
#include <QString>

#include <optional>

class HXScheduler;

// The settings: registered defaults in memory and the user's own values in an XML property list.
// Changes are written atomically, at most once per pass of the event loop, and by synchronize() at quit.
// Typed getters convert defensively: a missing key or a value of the wrong type reads as false, 0 or empty.
class HXUserDefaults : public QObject {
    Q_OBJECT

public:
    // With no scheduler, changes are written only by synchronize().
    explicit HXUserDefaults(QString path, HXScheduler* scheduler = nullptr, QObject* parent = nullptr);
    // Reads the file and never changes it: nothing is written, an unreadable file stays where it is.
    // For tools that look at the settings while the tracker runs.
    struct ReadOnly {};
    HXUserDefaults(QString path, ReadOnly, QObject* parent = nullptr);
    ~HXUserDefaults() override;

    // $XDG_CONFIG_HOME/Qualdern/Defaults.plist, ~/.config when the variable is unset.
    static QString standardPath();

    QString path() const { return m_path; }

    void registerDefaults(const HXDictionary& defaults);

    // The user's value, else the registered one; null when neither exists. Containers come as copies.
    HXValue objectForKey(QStringView key) const;
    bool hasUserValue(QStringView key) const { return m_values->contains(key); }

    bool boolForKey(QStringView key) const;
    std::int64_t integerForKey(QStringView key) const;
    double doubleForKey(QStringView key) const;
    QString stringForKey(QStringView key) const;
    HXArrayRef arrayForKey(QStringView key) const;
    HXDictionaryRef dictionaryForKey(QStringView key) const;

    void setObject(QStringView key, const HXValue& value);
    void setBool(QStringView key, bool value) { setObject(key, value); }
    void setInteger(QStringView key, std::int64_t value) { setObject(key, static_cast<long long>(value)); }
    void setDouble(QStringView key, double value) { setObject(key, value); }
    void setString(QStringView key, const QString& value) { setObject(key, value); }
    void removeObject(QStringView key);

    bool isReadOnly() const { return m_readOnly; }

    // A settings file that was there but could not be read (not a regular file, not readable, not a
    // property list): why, and where it was kept (empty when it could not be moved aside or the
    // settings are read-only). The program starts with the defaults and tells the user.
    struct Unreadable {
        QString reason;
        QString keptAs;
    };
    const std::optional<Unreadable>& unreadableFile() const { return m_unreadable; }

    // Writes pending changes now; true when nothing was pending or the write succeeded. Read-only
    // settings keep changes in memory and answer false while any are pending.
    bool synchronize();

Q_SIGNALS:
    void changed(const QString& key);

private:
    void load();
    void noteChange(QStringView key);
    const HXValue* lookup(QStringView key) const;

    QString m_path;
    HXScheduler* m_scheduler;
    HXDictionaryRef m_registered;
    HXDictionaryRef m_values;
    bool m_dirty = false;
    bool m_readOnly = false;
    std::optional<Unreadable> m_unreadable;
};

// Reading a text the way the settings store reads it: leading "Y", "y", "T", "t" or a non-zero number.
bool HXBoolFromText(const QString& text);
