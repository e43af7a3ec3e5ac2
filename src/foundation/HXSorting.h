#pragma once

#include "foundation/HXArray.h"
#include "foundation/HXKeys.h"
#include "foundation/HXValue.h"

#include <QString>

class HXDictionary;
class QCollatorSortKey;

// Comparators with the shape of an array sort: -1, 0 or 1.

// Organizer order by sort column: 0 name; 1 "Front Time", then name; 2 and above "Time", then
// "Front Time", then name. Times descend; a record with the number sorts before one without.
int HXSortItems(const HXDictionary& a, const HXDictionary& b, int sortColumn);
int HXSortItemValues(const HXValue& a, const HXValue& b, int sortColumn);
// By display name in the locale's numeric-aware, case-insensitive order; empty names last; then "Path".
int HXSortItemsByName(const HXDictionary& a, const HXDictionary& b);
// Strings in the same order, empty strings last.
int HXSortStrings(const QString& a, const QString& b);
// Ascending by the number under the key; a missing number sorts last.
int HXSortDictionaryNumberValuesByKey(const HXDictionary& a, const HXDictionary& b, HXKey key);

// Sorts item records in place exactly as HXSortItems orders them (stable), reading each record's values
// once and keeping each name's collation key on its record, so that lists of thousands sort quickly
// tick after tick.
void HXSortItemsInArray(HXArray& items, int sortColumn);

// HXSortItems on records, with each name's collation key kept on its record; 0 only when the two are
// equal in every criterion (name and path included).
int HXCompareItems(HXDictionary& a, HXDictionary& b, int sortColumn);

// The collation key of name, the record's display name, kept on the record until its name changes: keys
// compare as HXLocalizedStandardCompare compares the names.
const QCollatorSortKey& HXItemNameCollationKey(HXDictionary& record, const QString& name);

// The locale's standard comparison itself (numeric-aware, case-insensitive), -1, 0 or 1.
int HXLocalizedStandardCompare(const QString& a, const QString& b);
