#pragma once

#include "foundation/HXArray.h"

#include <span>
#include <vector>

// Arithmetic on event streams: a positive value is a begin, a negative value an end, the absolute value
// the Unix timestamp. Streams read from storage may break the alternation; every operation copes.
// None of them changes the stream it reads.

// The margin of every comparison of timestamps, in seconds.
inline constexpr double kHXEventStreamTolerance = 0.001;

bool HXSimilarAbsoluteTimeIntervals(double a, double b);
// -1, 0 or 1 by absolute value.
int HXSortAbsoluteDoubleNumbers(double x, double y);

// Appends the clip of the stream between the two timestamps (either order) to output and answers the
// active seconds inside it. A sorted packed stream is entered by binary search instead of a walk from its
// first value; the result is the same.
double recordEventStream(const HXArray& stream, std::vector<double>& output, double a, double b);
// Whether a clip made by recordEventStream is sorted by magnitude without NaN, as HXArray tells it; for
// the clip of a sorted stream only the places where the bounds join the copied values are looked at.
bool isClipSortedByMagnitude(std::span<const double> clip, bool streamSorted);
// The same by walking from the first value, whatever the stream; the reference for the search above.
double recordEventStreamByWalking(const HXArray& stream, std::vector<double>& output, double a, double b);

HXArrayRef eventStreamClippedBetweenTimestamp(const HXArray& stream, double a, double b,
                                              double* interval = nullptr);
double totalIntervalBetweenTimestamp(const HXArray& stream, double a, double b);

// Strictly alternating from its first begin, with nothing before the timestamp.
HXArrayRef cleanedEventStreamBeginningAtTimestamp(const HXArray& stream, double timestamp);
// The union of the active intervals of all streams; null entries count as empty streams.
HXArrayRef eventStreamByMergingEventStreams(const std::vector<HXArrayRef>& streams, double timestamp);
