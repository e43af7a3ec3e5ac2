#pragma once

#include "foundation/HXDictionary.h"

#include <QString>

// One name the ad hoc timer suggests: an ad hoc entry of a pool, shown as "entry - pool". In the menu
// form of a list, an element without a pool stands for a separator.
struct HXNameSuggestion {
    // The pool's display name.
    QString title;
    // The entry's name, which picking the suggestion puts into the name field.
    QString representedStringValue;
    // The pool the entry belongs to.
    HXDictionaryRef origin;
    // The entry name, a line feed and the pool name.
    QString sortString;

    bool isSeparator() const { return !origin; }
};
