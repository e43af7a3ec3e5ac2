#pragma once

#include <QString>
#include <QStringList>

// The keys a localized desktop-entry value is looked up under, best first, from a POSIX locale name
// lang_COUNTRY.ENCODING@MODIFIER: lang_COUNTRY@MODIFIER, lang_COUNTRY, lang@MODIFIER, lang.
class HXDesktopLocale {
public:
    explicit HXDesktopLocale(const QString& posixName);

    // LC_ALL, LC_MESSAGES or LANG, the first one set; else the default QLocale's name.
    static HXDesktopLocale current();

    const QStringList& candidates() const { return m_candidates; }

private:
    QStringList m_candidates;
};
