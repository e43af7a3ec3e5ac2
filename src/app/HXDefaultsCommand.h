#pragma once

#include <QStringList>
#include <QTextStream>

// "qualdern defaults": reads the settings (always safe), and writes or deletes one while no tracker runs
// in the session (the lock in the data folder tells). Arguments start after the verb. Exit status 0 on
// success, 1 when the work failed (a key without a value, a running tracker, an unreadable or unwritable
// settings file), 2 for wrong arguments.
int HXRunDefaultsCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
