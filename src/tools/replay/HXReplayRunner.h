#pragma once

#include "tools/replay/HXReplayScript.h"

// Runs the sampling tick over a script with the fake window system and virtual time, starting from the
// given configuration (or none), and returns the configuration after the last tick. Nothing else runs:
// no auto-save, no hibernation, no screenshots, no user interface.
HXDictionaryRef HXRunReplay(const HXReplayScript& script, const HXDictionaryRef& start);
