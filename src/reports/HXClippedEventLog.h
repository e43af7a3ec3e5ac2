#pragma once

#include "foundation/HXDictionary.h"

// The record every report draws for one item and one interval: "Type", "Name", "Path", the clipped
// "Active Log" with its "Time" and "Front Active Log" with its "Front Time" (each only when the clip is
// not empty), and "Source", the item record itself. hasEvents tells whether either clip is non-empty.
HXDictionaryRef eventLogClippedBetweenTimestamp(const HXDictionaryRef& record, double a, double b,
                                                bool* hasEvents = nullptr);
