#pragma once

#include "foundation/HXDictionary.h"

#include <QString>

#include <functional>

// The application filter entries of the configuration, under "Window Title Filters": each holds the
// application's "Application ID", its "Name" and its "Filters" array of filter records.

// The filter array of the entry whose "Application ID", or else "Name", equals the identifier (a null
// identifier finds nothing). With an application record and no array, an array is created (and the
// entry, copied from the record, when there is none). Otherwise `clear` removes the entry found.
HXArrayRef windowTitleFiltersWithIdentifier(HXDictionary& configuration, const QString& identifier,
                                            const HXDictionary* application, bool clear);

// The record the editor starts from: the last of the application's filter records, or an empty one.
HXDictionaryRef currentWindowTitleFilter(HXDictionary& configuration, const HXDictionary& application);

// Stores the edited record as the application's only filter record; an empty record removes the
// application's entry. A record equal to the current one changes nothing; otherwise pushUndoState runs
// once before the change. Answers whether the configuration changed.
bool applyEditedWindowTitleFilter(HXDictionary& configuration, const HXDictionary& application,
                                  const HXDictionaryRef& newRecord,
                                  const std::function<void()>& pushUndoState);

// The editor's header: "<application name>: Window Title Filter", localized.
QString windowTitleFilterHeader(const HXDictionary& application);
