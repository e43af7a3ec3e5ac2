#include "foundation/HXCompiledBlacklist.h"

namespace {

bool anyMatches(const std::vector<HXWildcardQuery>& queries, const QString& name, bool needsFolded) {
    const QString folded = needsFolded ? HXWildcardQuery::foldedName(name) : QString();
    for (const HXWildcardQuery& q : queries) {
        if (q.matches(name, folded))
            return true;
    }
    return false;
}

} // namespace

HXCompiledBlacklist::HXCompiledBlacklist(const HXArray* entries) {
    if (!entries)
        return;
    m_queries.reserve(entries->values().size());
    for (const HXValue& entry : entries->values()) {
        m_queries.push_back(HXWildcardQuery::compile(entry, true));
        m_needsFoldedName = m_needsFoldedName || m_queries.back().needsFoldedName();
    }
}

HXCompiledBlacklist::HXCompiledBlacklist(const std::vector<QString>& entries) {
    m_queries.reserve(entries.size());
    for (const QString& entry : entries) {
        m_queries.push_back(HXWildcardQuery::compile(entry, true));
        m_needsFoldedName = m_needsFoldedName || m_queries.back().needsFoldedName();
    }
}

std::optional<QString> HXCompiledBlacklist::validItemName(const QString& name) const {
    constexpr qsizetype kMaximumAnswers = 8192;
    const auto known = m_answers.constFind(name);
    if (known != m_answers.constEnd())
        return *known;
    if (m_answers.size() >= kMaximumAnswers)
        m_answers.clear();
    std::optional<QString> answer = check(name);
    m_answers.insert(name, answer);
    return answer;
}

std::optional<QString> HXCompiledBlacklist::check(const QString& name) const {
    QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || anyMatches(m_queries, trimmed, m_needsFoldedName))
        return std::nullopt;
    return trimmed;
}

void HXCompiledQualifiedBlacklist::append(const HXValue& qualifier, const HXValue& value) {
    m_entries.emplace_back(HXWildcardQuery::compile(qualifier, true), HXWildcardQuery::compile(value, true));
}

std::optional<QString> HXCompiledQualifiedBlacklist::validItemName(const QString& name,
                                                                   const QString& applicationName) const {
    for (const auto& [qualifier, value] : m_entries) {
        if (qualifier.matches(applicationName) && value.matches(name))
            return std::nullopt;
    }
    return name;
}

HXCompiledQualifiedBlacklist::ForApplication
HXCompiledQualifiedBlacklist::forApplication(const QString& applicationName) const {
    ForApplication result;
    for (const auto& [qualifier, value] : m_entries) {
        if (qualifier.matches(applicationName))
            result.m_values.push_back(&value);
    }
    return result;
}

std::optional<QString>
HXCompiledQualifiedBlacklist::ForApplication::validItemName(const QString& name) const {
    if (m_values.empty())
        return name;
    const QString folded = HXWildcardQuery::foldedName(name);
    for (const HXWildcardQuery* value : m_values) {
        if (value->matches(name, folded))
            return std::nullopt;
    }
    return name;
}
