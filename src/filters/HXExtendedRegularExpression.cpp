#include "filters/HXExtendedRegularExpression.h"

#include "filters/HXERETemplate.h"
#include "filters/HXTemplateExpansion.h"
#include "filters/HXUnicodeStringAlias.h"
#include "foundation/HXLog.h"

#include <QStringList>

#include <execinfo.h>

#include <cstdlib>
#include <memory>

namespace {

QString callStack() {
    void* frames[32];
    const int count = backtrace(frames, 32);
    std::unique_ptr<char*, decltype(&std::free)> symbols(backtrace_symbols(frames, count), &std::free);
    QStringList lines;
    for (int i = 0; symbols && i < count; ++i)
        lines.append(QString::fromLocal8Bit(symbols.get()[i]));
    return u'(' + lines.join(QStringLiteral(", ")) + u')';
}

void logExpansionFailure(const HXTemplateExpansion& expansion) {
    HXSystemLog(QStringLiteral("[HXExtendedRegularExpression] ignoring regular expression replacement "
                               "exception: %1 (reason: %2) <= %3")
                    .arg(QString::fromLatin1(u_errorName(expansion.status)), expansion.reason, callStack()));
}

} // namespace

QString stringByReplacingMatchesInString(const icu::RegexPattern& expression, const QString& string,
                                         const QString& extendedTemplate) {
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::RegexMatcher> matcher(expression.matcher(status));
    if (U_FAILURE(status))
        return string;
    return stringByReplacingMatchesInString(*matcher, string, extendedTemplate);
}

QString stringByReplacingMatchesInString(icu::RegexMatcher& matcher, const QString& string,
                                         const QString& extendedTemplate) {
    if (!HXFitsICU(string))
        return string;
    const std::shared_ptr<const HXERETemplate> parsed =
        HXERETemplate::cachedTemplateWithString(extendedTemplate);
    const QString& encoded = parsed->encodedString();
    const icu::UnicodeString input = HXUnicodeStringAlias(string);
    matcher.reset(input);
    UErrorCode status = U_ZERO_ERROR;
    if (!matcher.find(status))
        return string;

    QString result = string;
    qsizetype offset = 0;
    do {
        const int32_t start = matcher.start(status);
        const int32_t end = matcher.end(status);
        if (U_FAILURE(status))
            break;
        const HXTemplateExpansion expansion = HXExpandTemplate(matcher, encoded, result, offset);
        if (U_FAILURE(expansion.status))
            logExpansionFailure(expansion);
        const QString replacement =
            U_FAILURE(expansion.status) ? QString() : parsed->decodeReplacementString(expansion.text);
        result.replace(start + offset, end - start, replacement);
        offset += replacement.size() - (end - start);
    } while (matcher.find(status));
    return result;
}

void HXClearExtendedRegularExpressionCache() {
    HXERETemplate::clearCache();
}
