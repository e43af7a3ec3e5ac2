#include "platform/x11/HXDesktopLocale.h"

#include <QLocale>

HXDesktopLocale::HXDesktopLocale(const QString& posixName) {
    QString name = posixName;
    QString modifier;
    if (const qsizetype at = name.indexOf(u'@'); at >= 0) {
        modifier = name.mid(at + 1);
        name.truncate(at);
    }
    if (const qsizetype dot = name.indexOf(u'.'); dot >= 0)
        name.truncate(dot);
    QString country;
    if (const qsizetype underscore = name.indexOf(u'_'); underscore >= 0) {
        country = name.mid(underscore + 1);
        name.truncate(underscore);
    }
    const QString& lang = name;
    if (lang.isEmpty() || lang == u"C" || lang == u"POSIX")
        return;
    if (!country.isEmpty() && !modifier.isEmpty())
        m_candidates << lang + u'_' + country + u'@' + modifier;
    if (!country.isEmpty())
        m_candidates << lang + u'_' + country;
    if (!modifier.isEmpty())
        m_candidates << lang + u'@' + modifier;
    m_candidates << lang;
}

HXDesktopLocale HXDesktopLocale::current() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return HXDesktopLocale(value);
    }
    return HXDesktopLocale(QLocale().name());
}
