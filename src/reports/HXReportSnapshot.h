#pragma once

#include "foundation/HXDictionary.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Snapshot configurations: exported CSV files read back into a tree of records with event logs, under
// "Children" → "Applications" → application → window and "Children" → "Pools" → pool → pool item →
// window, with "Path", "First Timestamp", "Last Timestamp", "Foreground Activity" and "Total Activity".
// The column separator comes from the header; fallbackSeparator serves when the header does not tell.
// On failure the result is null and the reason is appended to errors.
HXDictionaryRef reportSnapshotConfigurationFromCSVFile(const QString& path, QStringList* errors,
                                                       const QString& fallbackSeparator);
HXDictionaryRef reportSnapshotConfigurationFromCSVData(const QByteArray& utf8, const QString& path,
                                                       QStringList* errors, const QString& fallbackSeparator);

// The report list of a snapshot: every node clipped, with or without events; applications by name, each
// followed by its windows by name, then pools by name, each followed by its pool items and their windows.
HXArrayRef snapshotReportList(const HXDictionary& configuration, double a, double b);
