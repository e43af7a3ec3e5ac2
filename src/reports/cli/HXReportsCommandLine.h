#pragma once

#include <QStringList>
#include <QTextStream>

// The headless commands "report", "export" and "snapshot": arguments start with the verb. They read the
// stored configuration and the settings and change neither. Exit status 0 on success, 1 when the work
// failed (an unreadable file, an export not written, a snapshot error), 2 for wrong arguments.
int HXRunReportsCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err);

// Whether the first argument names one of these commands.
bool HXIsReportsCommandLineVerb(const QString& argument);

// $XDG_DATA_HOME/Qualdern/Configurations/Default.plist, ~/.local/share when the variable is unset.
QString HXStandardConfigurationPath();
