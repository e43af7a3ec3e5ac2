#pragma once

#include <QString>

#include <unicode/regex.h>

#include <cstdint>

// Filter queries compiled with no options, kept by query text so that the sampling tick does not compile
// the same query for every title. A query that does not compile is remembered as such. Main thread only.
class HXRegularExpressionCache {
public:
    // A matcher for the compiled query, reused between calls; nullptr when the query does not compile.
    static icu::RegexMatcher* matcherForQuery(const QString& query);
    static bool queryCompiles(const QString& query);

    // Bounds every match operation (ICU time-limit units; 0 = none). Only fuzzing sets one.
    static void setMatchTimeLimit(int32_t limit);

    static void clear();
};
