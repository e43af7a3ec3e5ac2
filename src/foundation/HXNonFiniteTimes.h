#pragma once

#include <cstddef>

class HXDictionary;

// A damaged or hand-edited configuration may hold NaN or infinite timestamps, which no report can
// show. Stored times already read as 0 when they are not finite (timeIntervalForKey); this removes such
// entries from the event logs ("Active Log", "Front Active Log") of every record below the dictionary, so
// that they read as missing as well. Answers how many entries went.
std::size_t HXRemoveNonFiniteLogEntries(HXDictionary& configuration);
