#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

// The few things the login item reads from and writes to a desktop entry: the keys of its
// "[Desktop Entry]" group (untranslated, string escapes resolved) and the arguments of its Exec key.
class HXAutostartEntry {
public:
    static HXAutostartEntry fromText(const QByteArray& text);
    // An empty entry when the file cannot be read.
    static HXAutostartEntry fromFile(const QString& path);

    bool isValid() const { return m_valid; }
    QString value(const QString& key) const { return m_values.value(key); }
    // "Hidden=true" or "X-GNOME-Autostart-enabled=false": the session does not start it.
    bool isDisabled() const;
    // The Exec arguments with quoting and field-code escapes resolved.
    QStringList execArguments() const;
    // The program Exec starts: absolute, looked up on PATH when given by name; empty when there is none.
    QString program() const;

private:
    bool m_valid = false;
    QHash<QString, QString> m_values;
};

// An Exec value starting program with no arguments: quoted where the specification asks, "%" doubled,
// and escaped as a string value.
QString HXExecValueForProgram(const QString& program);
// "\\", "\s", "\n", "\t" and "\r" of a desktop-entry string value.
QString HXUnescapeDesktopEntryValue(const QString& value);
QStringList HXSplitExecValue(const QString& unescaped);
