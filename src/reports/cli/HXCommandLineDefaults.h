#pragma once

#include "foundation/HXDictionary.h"

// The registered defaults that reports and exports read, for tools that run without the tracker.
HXDictionaryRef HXReportsRegisteredDefaults();
