#pragma once

#include <QString>

namespace HXMenuTitles {

// A record's name as a menu title: an ampersand is shown, not taken as a keyboard mnemonic.
inline QString escaped(QString text) {
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// Menus have no indentation levels: an entry one level in starts after a wide blank.
inline QString indented(const QString& text) {
    return QStringLiteral("\u2003") + text;
}

} // namespace HXMenuTitles
