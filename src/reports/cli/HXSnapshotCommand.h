#pragma once

#include <QStringList>
#include <QTextStream>

// "qualdern snapshot": the report of an exported CSV file read back. Throws HXCommandLineUsageError for
// wrong arguments; returns the exit status otherwise.
int HXRunSnapshotCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
