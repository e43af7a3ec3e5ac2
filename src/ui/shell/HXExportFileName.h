#pragma once

#include <QString>

// The name the export panel proposes: "<base> — <date>" when begin and end fall on the same day, else
// "<base> — <begin date> → <end date>", dates as year-month-day in local time. A slash in the base (a
// pool's name) would name a folder and becomes a dash.
QString proposedExportFileName(const QString& base, double begin, double end);
