#include "filters/HXERETemplate.h"

#include "foundation/HXLog.h"

#include <QHash>
#include <QList>

namespace {

using TemplateCache = QHash<QString, std::shared_ptr<const HXERETemplate>>;

std::unique_ptr<TemplateCache>& templateCache() {
    static std::unique_ptr<TemplateCache> cache;
    return cache;
}

QString describeFragments(const QList<QStringView>& fragments) {
    QString text = QStringLiteral("(");
    for (qsizetype i = 0; i < fragments.size(); ++i) {
        if (i > 0)
            text += QStringLiteral(", ");
        text += u'"' + fragments[i].toString() + u'"';
    }
    return text + u')';
}

} // namespace

const QString& HXERETemplate::placeholder() {
    static const QString text = QStringLiteral("/:com.corvella.HXERECaseConversionPlaceholder:/");
    return text;
}

HXERETemplate HXERETemplate::templateWithString(const QString& templateString) {
    HXERETemplate parsed;
    parsed.m_encodedString = templateString;
    auto markers = HXERECaseConversion::caseConversionsInString(templateString);
    if (markers && !markers->empty()) {
        qsizetype shift = 0;
        for (const HXERECaseConversion& marker : *markers) {
            parsed.m_encodedString.replace(marker.location() + shift, marker.length(), placeholder());
            shift += placeholder().size() - marker.length();
        }
        parsed.m_caseConversions = std::move(markers);
    }
    return parsed;
}

std::shared_ptr<const HXERETemplate> HXERETemplate::cachedTemplateWithString(const QString& templateString) {
    std::unique_ptr<TemplateCache>& cache = templateCache();
    if (cache) {
        const auto found = cache->constFind(templateString);
        if (found != cache->constEnd())
            return found.value();
    }
    auto parsed = std::make_shared<const HXERETemplate>(templateWithString(templateString));
    if (!cache)
        cache = std::make_unique<TemplateCache>();
    cache->insert(templateString, parsed);
    return parsed;
}

void HXERETemplate::clearCache() {
    templateCache().reset();
}

QString HXERETemplate::decodeReplacementString(const QString& replacement) const {
    if (!m_caseConversions)
        return replacement;
    const std::vector<HXERECaseConversion>& markers = *m_caseConversions;
    const QList<QStringView> fragments = QStringView(replacement).split(placeholder());
    const auto expected = static_cast<qsizetype>(markers.size()) + 1;
    if (fragments.size() != expected) {
        HXSystemLog(
            QStringLiteral("[HXExtendedRegularExpression] case conversion inconsistency: %1 fragments "
                           "expected, %2 found: %3")
                .arg(expected)
                .arg(fragments.size())
                .arg(describeFragments(fragments)));
        return replacement;
    }
    QString result = fragments.front().toString();
    for (qsizetype i = 1; i < fragments.size(); ++i) {
        if (!fragments[i].isEmpty())
            result += markers[static_cast<std::size_t>(i - 1)].convertedFragment(fragments[i]);
    }
    return result;
}
