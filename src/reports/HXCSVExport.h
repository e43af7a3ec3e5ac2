#pragma once

#include "foundation/HXDictionary.h"

#include <QByteArray>
#include <QString>

#include <optional>

class HXLiveReportSource;
class HXUserDefaults;

// The field as written into a file with this column separator: quoted, with doubled quotes, when it
// holds the separator, a quote or a line break; otherwise unchanged.
QString HXCSVStringWithField(const QString& field, const QString& separator);

// The column separator of exports, which the reader also falls back on: "," (0 and any other value),
// ";" (1) or a tab (2) by "Exported Report Column Separator".
QString reportSnapshotFieldSeparator(const HXUserDefaults& defaults);
// LF (0 and any other value), CR (1) or CR LF (2) by "Exported Report Row Separator".
QString reportSnapshotRowSeparator(const HXUserDefaults& defaults);

// The CSV text of the pool (or of everything when pool is null) between begin and end, with the
// columns, content and separators of the settings; nothing when no usable columns are on.
std::optional<QByteArray> exportPoolAsCSVData(const HXLiveReportSource& source, const HXDictionaryRef& pool,
                                              double begin, double end);
// The same written atomically to the path as a private file; false when nothing was written.
bool exportPool(const HXLiveReportSource& source, const HXDictionaryRef& pool, double begin, double end,
                const QString& path);
