#pragma once

#include "foundation/HXDictionary.h"

// The current configuration format.
inline constexpr int kHXConfigurationVersion = 1295;

// Brings an older configuration up to date: window references kept inside application records and
// per-window process metadata are dropped. Logs what it removed. False when nothing needed doing.
bool HXUpgradeConfiguration(HXDictionary& configuration);
