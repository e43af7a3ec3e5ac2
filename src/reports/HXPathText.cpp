#include "reports/HXPathText.h"

#include "reports/HXSymbolStrings.h"

#include "foundation/HXLocalization.h"

#include <QFileInfo>

namespace {

// The components as the file system counts them: "/" first for an absolute path.
QStringList components(const QString& path) {
    QStringList parts;
    if (path.startsWith(u'/'))
        parts.append(QStringLiteral("/"));
    for (const QString& part : path.split(u'/', Qt::SkipEmptyParts))
        parts.append(part);
    return parts;
}

} // namespace

QString displayFileName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.first(dot) : name;
}

QString volumePath(const QString& path) {
    const QString prefix = QStringLiteral("/Volumes/");
    if (!path.startsWith(prefix))
        return QStringLiteral("/");
    const qsizetype slash = path.indexOf(u'/', prefix.size());
    return slash < 0 ? path : path.first(slash);
}

QStringList pathComponentsToDisplayRelativeToPath(const QString& path, const QString& base,
                                                  bool includeFileName) {
    QStringList parts = components(path);
    if (!base.isEmpty()) {
        const qsizetype c = components(base).size();
        if (c >= 1 && c <= parts.size() - 1)
            parts = parts.mid(c);
    }
    if (!includeFileName && parts.size() > 1)
        parts.removeLast();
    return parts;
}

QString readablePathRepresentationRelativeToPath(const QString& path, const QString& base,
                                                 bool includeFileName) {
    if (!QFileInfo::exists(path)) {
        const QString reason = QFileInfo::exists(volumePath(path)) ? HXLocalized("Not found")
                                                                   : HXLocalized("Currently not available");
        return QStringLiteral("%1 %2 %3").arg(path, dashString(), reason);
    }
    return pathComponentsToDisplayRelativeToPath(path, base, includeFileName)
        .join(spacedRightTriangleArrowString());
}
