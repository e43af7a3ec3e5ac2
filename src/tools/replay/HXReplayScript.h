#pragma once

#include "foundation/HXDictionary.h"
#include "platform/fake/HXFakeWindowSystem.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// One sample of the window system and when the tick sees it.
struct HXReplayTick {
    double at = 0;
    bool gap = false;
    std::optional<std::int64_t> front;
    std::vector<HXFakeApplication> applications;
};

// A replay script: user defaults in force for the whole run and the ticks in order.
struct HXReplayScript {
    HXDictionaryRef defaults;
    std::vector<HXReplayTick> ticks;
};

// Parses a script; on failure the error names the place ("ticks[3].at: ...").
std::optional<HXReplayScript> HXParseReplayScript(const QByteArray& json, QString* error);
