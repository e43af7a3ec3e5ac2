#pragma once

#include "foundation/HXDictionary.h"

#include <vector>

class HXClippedLogStorage;

// Clips a record's two logs into reusable buffers and builds the clipped record only when asked: a report
// of a short interval clips every record but keeps few, and most records then cost no allocation.
class HXEventLogClipper {
public:
    HXEventLogClipper() = default;
    // Puts the clipped logs into storage instead of an allocation each; storage must outlive the clipper.
    explicit HXEventLogClipper(HXClippedLogStorage* storage) : m_storage(storage) {}

    // True when either clip is non-empty. The clipper keeps a pointer to source, not a reference count
    // (most records are clipped and dropped): source must outlive the record() call that follows.
    bool clip(const HXDictionaryRef& source, double a, double b);
    // The clipped record of the last clip (see eventLogClippedBetweenTimestamp), once per clip.
    HXDictionaryRef record();

private:
    HXArrayRef logWithNumbers(std::vector<double>& numbers, bool fromSorted);

    HXClippedLogStorage* m_storage = nullptr;
    const HXDictionaryRef* m_source = nullptr;
    std::vector<double> m_active;
    std::vector<double> m_front;
    double m_time = 0;
    double m_frontTime = 0;
    // Whether the clips were cut from sorted logs.
    bool m_activeFromSorted = false;
    bool m_frontFromSorted = false;
};
