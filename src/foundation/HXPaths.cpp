#include "foundation/HXPaths.h"

#include <QDir>

namespace {

QString fromEnvironment(const char* variable, const QString& fallbackBelowHome) {
    const QString value = QString::fromLocal8Bit(qgetenv(variable));
    return !value.isEmpty() && QDir::isAbsolutePath(value) ? value : QDir::homePath() + fallbackBelowHome;
}

} // namespace

QString HXDataHome() {
    return fromEnvironment("XDG_DATA_HOME", QStringLiteral("/.local/share"));
}

QString HXConfigHome() {
    return fromEnvironment("XDG_CONFIG_HOME", QStringLiteral("/.config"));
}

QString HXLibraryFolder() {
    return HXDataHome() + QStringLiteral("/Qualdern");
}

QString HXExpandTilde(const QString& path) {
    if (path == u'~')
        return QDir::homePath();
    if (path.startsWith(QStringLiteral("~/")))
        return QDir::homePath() + path.sliced(1);
    return path;
}

QString HXAbbreviateWithTilde(const QString& path) {
    const QString home = QDir::homePath();
    if (path == home)
        return QStringLiteral("~");
    if (path.startsWith(home + u'/'))
        return u'~' + path.sliced(home.size());
    return path;
}
