#pragma once

#include <QStringList>
#include <QTextStream>

// "qualdern render": draws the live report, or a snapshot, into a PNG of exactly the requested size
// through the report window's drawing. Arguments start with the verb. It reads the stored data and
// settings and changes neither. Needs a QGuiApplication (the offscreen platform will do). Exit status 0,
// 1 when the work failed, 2 for wrong arguments; errors are one line on err.
int HXRunRenderCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
