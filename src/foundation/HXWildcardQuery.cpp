#include "foundation/HXWildcardQuery.h"

#include "foundation/HXStringChecks.h"

#include <QList>

namespace {

QString foldedQueryPiece(QStringView piece) {
    return HXWildcardQuery::foldedName(trimmedOfWhitespace(piece.toString()));
}

} // namespace

QString HXWildcardQuery::foldedName(const QString& name) {
    return name.toLower().normalized(QString::NormalizationForm_C);
}

HXWildcardQuery HXWildcardQuery::compile(const HXValue& query, bool allowInversion) {
    if (!query.isString())
        return compileInverted(QString(), false);
    return compile(query.toString(), allowInversion);
}

HXWildcardQuery HXWildcardQuery::compile(const QString& query, bool allowInversion) {
    if (allowInversion && query.contains(u'!')) {
        const QString trimmed = trimmedOfWhitespace(query);
        if (trimmed.startsWith(u'!')) {
            HXWildcardQuery q = compileInverted(trimmed.sliced(1), true);
            q.m_valid = true; // "!" alone leaves an empty, but present, query
            return q;
        }
    }
    return compileInverted(query, false);
}

HXWildcardQuery HXWildcardQuery::compileInverted(const QString& query, bool invert) {
    HXWildcardQuery q;
    q.m_valid = !query.isNull();
    q.m_invert = invert;
    q.m_query = query;
    q.m_hasWildcard = query.contains(u'*');
    if (!q.m_hasWildcard)
        return q;
    const QList<QStringView> pieces = QStringView(query).split(u'*');
    q.m_singleWildcard = pieces.size() == 2;
    q.m_first = foldedQueryPiece(pieces.first());
    q.m_last = foldedQueryPiece(pieces.last());
    for (qsizetype i = 1; i + 1 < pieces.size(); ++i) {
        QString middle = foldedQueryPiece(pieces[i]);
        if (!middle.isEmpty())
            q.m_middle.push_back(std::move(middle));
    }
    return q;
}

bool HXWildcardQuery::matches(const QString& name) const {
    return matches(name, m_hasWildcard ? foldedName(name) : QString());
}

bool HXWildcardQuery::matches(const QString& name, const QString& folded) const {
    return matchesWithoutInversion(name, folded) != m_invert;
}

bool HXWildcardQuery::matchesWithoutInversion(const QString& name, const QString& folded) const {
    if (!m_valid)
        return false;
    if (!m_hasWildcard)
        return name.size() == m_query.size() && name.compare(m_query, Qt::CaseInsensitive) == 0;

    QStringView rest(folded);
    if (!m_first.isEmpty()) {
        if (!rest.startsWith(m_first))
            return false;
        rest = rest.mid(m_first.size());
    }
    if (!m_last.isEmpty()) {
        if (!rest.endsWith(m_last))
            return false;
        rest.chop(m_last.size());
    }
    if (m_singleWildcard)
        return true;
    for (const QString& middle : m_middle) {
        const qsizetype at = rest.indexOf(middle);
        if (at < 0)
            return false;
        rest = rest.mid(at + middle.size());
    }
    return true;
}

bool matchesQuery(const QString& name, const HXValue& query) {
    return HXWildcardQuery::compile(query, false).matches(name);
}

bool matchesQueryAllowInversion(const QString& name, const HXValue& query, bool allowInversion) {
    return HXWildcardQuery::compile(query, allowInversion).matches(name);
}

bool matchesQueryInvert(const QString& name, const HXValue& query, bool invert) {
    return HXWildcardQuery::compileInverted(query.isString() ? query.toString() : QString(), invert)
        .matches(name);
}
