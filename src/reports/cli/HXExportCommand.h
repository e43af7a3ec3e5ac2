#pragma once

#include <QStringList>
#include <QTextStream>

// "qualdern export": the CSV export of everything or of one pool into a file, a pipe or standard output,
// never over the tracker's own files. Throws HXCommandLineUsageError for wrong arguments; returns the exit
// status otherwise.
int HXRunExportCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
