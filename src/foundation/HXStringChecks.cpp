#include "foundation/HXStringChecks.h"

#include "foundation/HXCompiledBlacklist.h"
#include "foundation/HXDictionary.h"
#include "foundation/HXWildcardQuery.h"

namespace {

bool isBlank(QChar c) {
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

} // namespace

QString trimmedString(const QString& s) {
    return s.trimmed();
}

QString trimmedOfWhitespace(const QString& s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;
    if (begin == 0 && end == s.size())
        return s;
    return s.sliced(begin, end - begin);
}

QString trimmedApplicationNameByIgnoringExtension(const QString& s) {
    QString trimmed = s.trimmed();
    if (trimmed.size() > 4 && trimmed.endsWith(QStringLiteral(".app"), Qt::CaseInsensitive))
        trimmed.chop(4);
    return trimmed;
}

std::optional<QString> validItemNameCheckedAgainstBlacklist(const QString& name, const HXArray* blacklist) {
    return HXCompiledBlacklist(blacklist).validItemName(name);
}

std::optional<QString> validItemNameCheckedAgainstPreprocessedQualifiedBlacklist(const QString& name,
                                                                                 const HXArray* qualifiedList,
                                                                                 const QString& qualifier) {
    HXCompiledQualifiedBlacklist compiled;
    if (qualifiedList) {
        for (const HXValue& entryValue : qualifiedList->values()) {
            if (const HXDictionaryRef& entry = entryValue.toDictionary())
                compiled.append(entry->value(u"Qualifier"), entry->value(u"Value"));
        }
    }
    return compiled.validItemName(name, qualifier);
}

std::optional<QString>
validItemNameCheckedAgainstPotentiallyQualifiedBlacklist(const QString& name, const HXArray* blacklist,
                                                         const std::optional<QString>& qualifier) {
    QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    if (!blacklist)
        return trimmed;
    for (const HXValue& entryValue : blacklist->values()) {
        if (!entryValue.isString())
            continue;
        const QString& entry = entryValue.toString();
        const qsizetype arrow = qualifier ? entry.indexOf(kRightTriangleArrow) : -1;
        if (arrow < 0) {
            if (HXWildcardQuery::compile(entry, true).matches(trimmed))
                return std::nullopt;
            continue;
        }
        const QString entryQualifier = entry.first(arrow).trimmed();
        const QString value = entry.sliced(arrow + 1).trimmed();
        const bool applies = entryQualifier.isEmpty() || entryQualifier == QStringLiteral("*") ||
                             HXWildcardQuery::compile(entryQualifier, true).matches(*qualifier);
        if (applies && HXWildcardQuery::compile(value, true).matches(trimmed))
            return std::nullopt;
    }
    return trimmed;
}
