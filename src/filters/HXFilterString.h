#pragma once

#include <QString>

class HXArray;

// The window title cut down by the application's filter records, applied in array order: text up to
// and including the first prefix delimiter and from the last suffix delimiter on is cut off (each found
// cut trims), then every match of the regular expression query is replaced by the extended template.
// A query that does not compile gives the empty string. No records: the title unchanged.
// Main thread only: compiled queries and parsed templates are kept in shared caches.
QString HXFilterString(const QString& title, const HXArray* filters);

// Whether a filter query compiles (with no options, as HXFilterString compiles it).
bool HXFilterQueryCompiles(const QString& query);
