#pragma once

#include "foundation/HXArray.h"

#include <QTextStream>

class HXUserDefaults;

enum class HXReportOutputFormat { Text, CSV, JSON };

// Writes a report list: per record its kind, name (children indented), foreground and total time as
// duration texts and percentages of the report's reference interval; JSON adds the seconds and the
// clipped logs.
void HXWriteReportList(QTextStream& out, const HXArray& list, double begin, double end,
                       const HXUserDefaults& defaults, HXReportOutputFormat format);
