#pragma once

#include "foundation/HXArray.h"
#include "foundation/HXWildcardQuery.h"

#include <QHash>

#include <optional>
#include <utility>
#include <vector>

// A blacklist with its queries parsed once, for checking many names in one sampling tick.
class HXCompiledBlacklist {
public:
    HXCompiledBlacklist() = default;
    // Entries that are not strings never match.
    explicit HXCompiledBlacklist(const HXArray* entries);
    explicit HXCompiledBlacklist(const std::vector<QString>& entries);

    // The trimmed name, or nothing when it is empty or some entry matches it (inversion allowed).
    // Answers are remembered: the same window titles come back tick after tick.
    std::optional<QString> validItemName(const QString& name) const;
    bool isEmpty() const { return m_queries.empty(); }

private:
    std::optional<QString> check(const QString& name) const;

    std::vector<HXWildcardQuery> m_queries;
    bool m_needsFoldedName = false;
    mutable QHash<QString, std::optional<QString>> m_answers;
};

// Qualified window entries: an application query and a title query.
class HXCompiledQualifiedBlacklist {
public:
    void append(const HXValue& qualifier, const HXValue& value);

    // The name unchanged, or nothing when an entry's qualifier matches the application name and its
    // value matches the name.
    std::optional<QString> validItemName(const QString& name, const QString& applicationName) const;
    bool isEmpty() const { return m_entries.empty(); }

    // The title queries of the entries whose qualifier matches one application: its windows are
    // checked against these alone.
    class ForApplication {
    public:
        std::optional<QString> validItemName(const QString& name) const;

    private:
        friend class HXCompiledQualifiedBlacklist;
        std::vector<const HXWildcardQuery*> m_values;
    };
    ForApplication forApplication(const QString& applicationName) const;

private:
    std::vector<std::pair<HXWildcardQuery, HXWildcardQuery>> m_entries;
};
