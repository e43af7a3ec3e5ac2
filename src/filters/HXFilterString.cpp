#include "filters/HXFilterString.h"

#include "filters/HXExtendedRegularExpression.h"
#include "filters/HXFilterKeys.h"
#include "filters/HXRegularExpressionCache.h"
#include "foundation/HXDictionary.h"

namespace {

QString filteredByRecord(const QString& title, const HXDictionary* record) {
    static const HXDictionary empty;
    const HXDictionary& r = record ? *record : empty;

    QString s = title;
    const QString& prefix = r.stringForKey(HXFilterKeys::PrefixDelimiter);
    if (!prefix.isEmpty()) {
        const qsizetype found = s.indexOf(prefix);
        if (found >= 0)
            s = QStringView(s).sliced(found + prefix.size()).trimmed().toString();
    }

    QString t = s;
    const QString& suffix = r.stringForKey(HXFilterKeys::SuffixDelimiter);
    if (!suffix.isEmpty()) {
        const qsizetype found = s.lastIndexOf(suffix);
        if (found >= 0)
            t = QStringView(s).first(found).trimmed().toString();
    }

    const QString& query = r.stringForKey(HXFilterKeys::RegularExpressionQuery);
    if (query.isEmpty())
        return t;
    icu::RegexMatcher* matcher = HXRegularExpressionCache::matcherForQuery(query);
    if (!matcher)
        return QString();
    return stringByReplacingMatchesInString(*matcher, t,
                                            r.stringForKey(HXFilterKeys::RegularExpressionReplacement));
}

} // namespace

QString HXFilterString(const QString& title, const HXArray* filters) {
    if (!filters || filters->isEmpty())
        return title;
    QString s = title;
    for (qsizetype i = 0; i < filters->count(); ++i)
        s = filteredByRecord(s, filters->dictionaryAt(i).get());
    return s;
}

bool HXFilterQueryCompiles(const QString& query) {
    return HXRegularExpressionCache::queryCompiles(query);
}
