#include "filters/HXRegularExpressionCache.h"

#include "filters/HXUnicodeStringAlias.h"

#include <QHash>

#include <memory>

namespace {

// Filters come from the configuration, so there are few distinct queries; the bound only keeps odd
// inputs from piling up.
constexpr qsizetype kMaximumEntries = 256;

struct CompiledQuery {
    std::unique_ptr<icu::RegexPattern> pattern;
    std::unique_ptr<icu::RegexMatcher> matcher;
};

struct QueryCache {
    QHash<QString, std::shared_ptr<CompiledQuery>> entries;
    // The tick asks for the same query for every window of an application.
    QString lastQuery;
    std::shared_ptr<CompiledQuery> lastEntry;
    int32_t timeLimit = 0;
};

QueryCache& cache() {
    static QueryCache instance;
    return instance;
}

std::shared_ptr<CompiledQuery> compile(const QString& query, int32_t timeLimit) {
    auto compiled = std::make_shared<CompiledQuery>();
    if (!HXFitsICU(query))
        return compiled;
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError;
    std::unique_ptr<icu::RegexPattern> pattern(
        icu::RegexPattern::compile(HXUnicodeStringAlias(query), 0, parseError, status));
    if (U_FAILURE(status))
        return compiled;
    std::unique_ptr<icu::RegexMatcher> matcher(pattern->matcher(status));
    if (U_FAILURE(status))
        return compiled;
    if (timeLimit > 0)
        matcher->setTimeLimit(timeLimit, status);
    compiled->pattern = std::move(pattern);
    compiled->matcher = std::move(matcher);
    return compiled;
}

const CompiledQuery& compiledQuery(const QString& query) {
    QueryCache& c = cache();
    if (c.lastEntry && c.lastQuery.size() == query.size() &&
        (c.lastQuery.constData() == query.constData() || c.lastQuery == query))
        return *c.lastEntry;
    auto found = c.entries.constFind(query);
    std::shared_ptr<CompiledQuery> entry;
    if (found != c.entries.constEnd()) {
        entry = found.value();
    } else {
        if (c.entries.size() >= kMaximumEntries)
            c.entries.clear();
        entry = compile(query, c.timeLimit);
        c.entries.insert(query, entry);
    }
    c.lastQuery = query;
    c.lastEntry = entry;
    return *entry;
}

} // namespace

icu::RegexMatcher* HXRegularExpressionCache::matcherForQuery(const QString& query) {
    return compiledQuery(query).matcher.get();
}

bool HXRegularExpressionCache::queryCompiles(const QString& query) {
    return compiledQuery(query).matcher != nullptr;
}

void HXRegularExpressionCache::setMatchTimeLimit(int32_t limit) {
    clear();
    cache().timeLimit = limit;
}

void HXRegularExpressionCache::clear() {
    QueryCache& c = cache();
    c.entries.clear();
    c.lastQuery.clear();
    c.lastEntry.reset();
}
