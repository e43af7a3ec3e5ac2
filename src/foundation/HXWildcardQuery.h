#pragma once

#include "foundation/HXValue.h"

#include <QString>

#include <vector>

// A blacklist or pool-item query, parsed once: "*" stands for any run of characters (blanks around it
// are ignored), the comparison ignores case, and a leading "!" inverts the result where allowed.
class HXWildcardQuery {
public:
    // A query that is not a string never matches (before inversion).
    static HXWildcardQuery compile(const HXValue& query, bool allowInversion);
    static HXWildcardQuery compile(const QString& query, bool allowInversion);
    static HXWildcardQuery compileInverted(const QString& query, bool invert);

    // The form a name takes for wildcard comparison: lower case, precomposed.
    static QString foldedName(const QString& name);

    bool matches(const QString& name) const;
    // With the name's folded form computed by the caller once for many queries.
    bool matches(const QString& name, const QString& foldedName) const;
    bool needsFoldedName() const { return m_hasWildcard; }
    bool isInverted() const { return m_invert; }

private:
    bool matchesWithoutInversion(const QString& name, const QString& foldedName) const;

    bool m_valid = false;
    bool m_invert = false;
    bool m_hasWildcard = false;
    QString m_query;
    QString m_first;
    QString m_last;
    std::vector<QString> m_middle;
    bool m_singleWildcard = false;
};

// Matching a name against a query (the name first): `*` for any run of characters, case-insensitive; a
// leading `!` inverts where inversion is allowed.
bool matchesQuery(const QString& name, const HXValue& query);
bool matchesQueryAllowInversion(const QString& name, const HXValue& query, bool allowInversion);
bool matchesQueryInvert(const QString& name, const HXValue& query, bool invert);
