#include "filters/HXERECaseConversion.h"

#include "filters/HXUnicodeStringAlias.h"
#include "foundation/HXLog.h"

#include <unicode/regex.h>

#include <memory>

namespace {

// Group 1: start of text or one non-backslash; group 2: escaped backslashes; group 3: the marker.
constexpr char16_t kDetectorPattern[] = uR"((^|[^\\])(\\\\)*(\\[lLuUE]))";

// Compiled on first use and kept; a failed attempt is retried (and logged) next time.
const icu::RegexPattern* markerDetector() {
    static std::unique_ptr<icu::RegexPattern> detector;
    if (detector)
        return detector.get();
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError;
    detector.reset(icu::RegexPattern::compile(icu::UnicodeString(kDetectorPattern), 0, parseError, status));
    if (U_FAILURE(status)) {
        detector.reset();
        HXSystemLog(QStringLiteral("[HXExtendedRegularExpression] cannot set up case conversion identifier "
                                   "detector: %1")
                        .arg(QString::fromLatin1(u_errorName(status))));
        return nullptr;
    }
    return detector.get();
}

HXERECaseConversion::Type typeOfMarkerLetter(QChar letter) {
    switch (letter.unicode()) {
    case u'l':
        return HXERECaseConversion::LowerFirst;
    case u'L':
        return HXERECaseConversion::LowerAll;
    case u'u':
        return HXERECaseConversion::UpperFirst;
    case u'U':
        return HXERECaseConversion::UpperAll;
    default:
        return HXERECaseConversion::Unchanged;
    }
}

QString withFirstUnitConverted(QStringView fragment, bool upper) {
    // One UTF-16 unit only: a character outside the BMP is left as it is.
    const QString first = fragment.first(1).toString();
    QString converted = upper ? first.toUpper() : first.toLower();
    return converted.append(fragment.sliced(1));
}

} // namespace

std::optional<std::vector<HXERECaseConversion>>
HXERECaseConversion::caseConversionsInString(const QString& templateString) {
    std::vector<HXERECaseConversion> markers;
    if (templateString.size() <= 1 || !templateString.contains(u'\\') || !HXFitsICU(templateString))
        return markers;
    const icu::RegexPattern* detector = markerDetector();
    if (!detector)
        return std::nullopt;

    const icu::UnicodeString text = HXUnicodeStringAlias(templateString);
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::RegexMatcher> matcher(detector->matcher(text, status));
    if (U_FAILURE(status))
        return markers;
    while (matcher->find(status)) {
        if (matcher->groupCount() != 3)
            continue;
        const int32_t start = matcher->start(3, status);
        const int32_t end = matcher->end(3, status);
        if (U_FAILURE(status))
            break;
        markers.emplace_back(typeOfMarkerLetter(templateString[start + 1]), start, end - start);
    }
    return markers;
}

QString HXERECaseConversion::convertedFragment(QStringView fragment) const {
    switch (m_type) {
    case LowerFirst:
        return fragment.size() >= 2 ? withFirstUnitConverted(fragment, false) : fragment.toString().toLower();
    case LowerAll:
        return fragment.toString().toLower();
    case UpperFirst:
        return fragment.size() >= 2 ? withFirstUnitConverted(fragment, true) : fragment.toString().toUpper();
    case UpperAll:
        return fragment.toString().toUpper();
    case Unchanged:
        break;
    }
    return fragment.toString();
}
