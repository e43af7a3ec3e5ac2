// Title, query and template from the fuzzer through HXFilterString: it must neither crash nor hang, a
// query that does not compile must give the empty string, cached and freshly compiled queries must agree,
// and the template expansion must agree with ICU's own appendReplacement.
#include "filters/HXExtendedRegularExpression.h"
#include "filters/HXFilterKeys.h"
#include "filters/HXFilterString.h"
#include "filters/HXRegularExpressionCache.h"
#include "filters/HXTemplateExpansion.h"
#include "filters/HXUnicodeStringAlias.h"
#include "foundation/HXDictionary.h"
#include "foundation/HXLog.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <memory>

namespace {

// ICU time-limit units (10,000 backtracking steps each) per match operation: pathological patterns
// end early here instead of running for minutes.
constexpr int32_t kMatchTimeLimit = 20;

// Bytes as UTF-8 or, to reach unpaired surrogates, as raw UTF-16 units.
QString text(FuzzedDataProvider& data, bool utf16, std::size_t maximumBytes) {
    const std::string bytes = data.ConsumeRandomLengthString(maximumBytes);
    if (!utf16)
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units.append(QChar(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                 static_cast<unsigned char>(bytes[i + 1]) << 8)));
    return units;
}

void check(bool condition) {
    if (!condition)
        std::abort();
}

std::unique_ptr<icu::RegexPattern> compile(const QString& query) {
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError;
    std::unique_ptr<icu::RegexPattern> pattern(
        icu::RegexPattern::compile(HXUnicodeStringAlias(query), 0, parseError, status));
    return U_SUCCESS(status) ? std::move(pattern) : nullptr;
}

// The first match's expansion, ours against ICU's, on the unchanged input.
void compareExpansion(const icu::RegexPattern& pattern, const QString& input,
                      const QString& replacementTemplate) {
    const icu::UnicodeString icuInput = HXUnicodeStringAlias(input);
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::RegexMatcher> matcher(pattern.matcher(icuInput, status));
    if (U_FAILURE(status))
        return;
    matcher->setTimeLimit(kMatchTimeLimit, status);
    if (!matcher->find(status))
        return;
    const int32_t start = matcher->start(status);
    const HXTemplateExpansion ours = HXExpandTemplate(*matcher, replacementTemplate, input, 0);
    icu::UnicodeString theirs;
    matcher->appendReplacement(theirs, HXUnicodeStringAlias(replacementTemplate), status);
    check(ours.status == status);
    if (U_SUCCESS(status))
        check(input.first(start) + ours.text ==
              QString(reinterpret_cast<const QChar*>(theirs.getBuffer()), theirs.length()));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    HXRegularExpressionCache::setMatchTimeLimit(kMatchTimeLimit);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const auto flags = data.ConsumeIntegral<std::uint8_t>();
    const bool utf16 = flags & 1;
    const QString prefix = (flags & 2) ? text(data, utf16, 8) : QString();
    const QString suffix = (flags & 4) ? text(data, utf16, 8) : QString();
    const QString query = text(data, utf16, 256);
    const QString replacementTemplate = text(data, utf16, 256);
    const QString title = text(data, utf16, 1024);

    auto record = HXDictionary::create();
    record->setOrRemoveObject(prefix.isEmpty() ? HXValue() : HXValue(prefix), HXFilterKeys::PrefixDelimiter);
    record->setOrRemoveObject(suffix.isEmpty() ? HXValue() : HXValue(suffix), HXFilterKeys::SuffixDelimiter);
    record->setValue(HXFilterKeys::RegularExpressionQuery, query);
    record->setValue(HXFilterKeys::RegularExpressionReplacement, replacementTemplate);
    auto filters = HXArray::create();
    filters->append(record);

    const HXLogging::Capture log;
    const QString once = HXFilterString(title, filters.get());
    check(HXFilterString(title, filters.get()) == once);
    HXRegularExpressionCache::clear();
    HXClearExtendedRegularExpressionCache();
    check(HXFilterString(title, filters.get()) == once);

    const std::unique_ptr<icu::RegexPattern> pattern = compile(query);
    if (!query.isEmpty() && !pattern)
        check(once.isEmpty());
    if (pattern)
        compareExpansion(*pattern, title, replacementTemplate);
    HXClearExtendedRegularExpressionCache();
    return 0;
}
