#pragma once

#include <QStringList>
#include <QTextStream>

// "qualdern report": the live report of an interval of the stored data, as text, CSV or JSON. Throws
// HXCommandLineUsageError for wrong arguments; returns the exit status otherwise.
int HXRunReportCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
