#pragma once

#include <QString>
#include <QStringList>

// Paths as the user reads them.

// The file name without its extension.
QString displayFileName(const QString& path);
// For "/Volumes/<name>/...": "/Volumes/<name>" (the whole path when nothing follows the name); else "/".
QString volumePath(const QString& path);
// The display names of the path's components, only those after the base's when the base is a proper
// prefix by count; without includeFileName the last one is dropped unless it is the only one left.
QStringList pathComponentsToDisplayRelativeToPath(const QString& path, const QString& base,
                                                  bool includeFileName);
// Those names joined by " ▸ "; for a missing path the path, a dash and "Not found" or, when its volume is
// missing too, "Currently not available".
QString readablePathRepresentationRelativeToPath(const QString& path, const QString& base,
                                                 bool includeFileName);
