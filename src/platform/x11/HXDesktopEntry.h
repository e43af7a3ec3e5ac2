#pragma once

#include "platform/x11/HXDesktopLocale.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The [Desktop Entry] group of a .desktop file, as far as identifying applications needs it.
struct HXDesktopEntry {
    // The desktop-file ID ("org.example.App.desktop") and the file; set by whoever found the file.
    QString id;
    QString path;

    QString type;
    // Name in the best locale.
    QString name;
    QString startupWMClass;
    QString tryExec;
    // An icon theme name or an absolute file.
    QString icon;
    // Exec split into arguments, field codes removed.
    QStringList exec;
    bool hidden = false;
    bool noDisplay = false;

    bool isApplication() const { return type == u"Application"; }

    // Nothing when there is no [Desktop Entry] group.
    static std::optional<HXDesktopEntry> parse(const QByteArray& content, const HXDesktopLocale& locale);
    static std::optional<HXDesktopEntry> read(const QString& path, const HXDesktopLocale& locale);

    // Splits an Exec value (its string escapes already undone) by the desktop-entry quoting rules and
    // drops the field codes; nothing when a quote is not closed.
    static std::optional<QStringList> splitExec(const QString& exec);
    // Undoes the escapes of a string value: \s \n \t \r \\.
    static QString unescape(QStringView value);

    // Files bigger than this are not desktop entries.
    static constexpr qint64 kMaxFileSize = 1 << 20;
};
