#include "filters/HXExtendedRegularExpression.h"
#include "filters/HXERETemplate.h"
#include "filters/HXTemplateExpansion.h"
#include "filters/HXUnicodeStringAlias.h"
#include "foundation/HXLog.h"

#include "FiltersTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

using namespace Qt::StringLiterals;

namespace {

QString s(const char16_t* text) {
    return QString::fromUtf16(text);
}

std::unique_ptr<icu::RegexPattern> compile(const QString& pattern) {
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError;
    std::unique_ptr<icu::RegexPattern> compiled(
        icu::RegexPattern::compile(HXUnicodeStringAlias(pattern), 0, parseError, status));
    EXPECT_TRUE(U_SUCCESS(status)) << pattern.toStdString();
    return compiled;
}

QString replace(const char16_t* pattern, const char16_t* input, const char16_t* templateText) {
    return stringByReplacingMatchesInString(*compile(s(pattern)), s(input), s(templateText));
}

QString fromICU(const icu::UnicodeString& text) {
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

} // namespace

TEST(HXExtendedRegularExpression, CaseConversionOfCapturedText) {
    EXPECT_EQ(replace(u"(\\w+)", u"report", uR"(\u$1)"), u"Report");
    EXPECT_EQ(replace(u"(\\w+)", u"report", uR"(\U$1)"), u"REPORT");
    EXPECT_EQ(replace(u"(\\w+)", u"ABC", uR"(\L$1\E-x)"), u"abc-x");
    EXPECT_EQ(replace(u"(\\w+) (\\w+)", u"annual report", uR"($2 \l$1)"), u"report annual");
    // A one-character fragment is converted whole.
    EXPECT_EQ(replace(u"(\\w)", u"ab", uR"(\u$1)"), u"AB");
}

TEST(HXExtendedRegularExpression, TextBeforeTheFirstMarkerIsNeverConverted) {
    EXPECT_EQ(replace(u"(\\w+) (\\w+)", u"abc def", uR"($1 \U$2)"), u"abc DEF");
    EXPECT_EQ(replace(u"(\\w+)", u"Mixed", uR"($1\L)"), u"Mixed");
}

TEST(HXExtendedRegularExpression, AnEscapedBackslashBeforeAMarkerLetterIsNoMarker) {
    EXPECT_EQ(replace(u"(\\w+)", u"report", uR"(\\u$1)"), uR"(\ureport)");
}

TEST(HXExtendedRegularExpression, EveryMatchIsReplacedInOrder) {
    EXPECT_EQ(replace(u"\\b(\\w)(\\w*)", u"one two three", uR"(\u$1$2)"), u"One Two Three");
    // Lengths that change shift the later matches correctly.
    EXPECT_EQ(replace(u"(\\d+)", u"a1b22c333", u"<$1$1>"), u"a<11>b<2222>c<333333>");
    EXPECT_EQ(replace(u"x", u"no match here", u"y"), u"no match here");
}

TEST(HXExtendedRegularExpression, EmptyTemplateDeletesEveryMatch) {
    EXPECT_EQ(replace(u"\\s*\\(\\d+\\)", u"Inbox (12) and Drafts (3)", u""), u"Inbox and Drafts");
}

TEST(HXExtendedRegularExpression, TemplatesWithoutMarkersBehaveLikeICUsOwnReplacement) {
    const QString input = s(u"Draft 12 \u2014 R\u00E9sum\u00E9 \U0001F600 (edited) $9");
    const char16_t* patterns[] = {u"(\\w+) (\\d+)", u"(?<word>\\p{L}+)", u"\\(([^)]*)\\)", u"x*", u"(.)"};
    // (\u and \U would be markers here, not ICU's character escapes.)
    const char16_t* templates[] = {u"", u"[$0]", uR"($2-$1\$\\)", uR"(${word}!)", u"$1$1", uR"(\x\n\\u)"};
    for (const char16_t* pattern : patterns) {
        const auto compiled = compile(s(pattern));
        for (const char16_t* templateText : templates) {
            const icu::UnicodeString icuInput = HXUnicodeStringAlias(input);
            UErrorCode status = U_ZERO_ERROR;
            std::unique_ptr<icu::RegexMatcher> matcher(compiled->matcher(icuInput, status));
            const icu::UnicodeString expected = matcher->replaceAll(icu::UnicodeString(templateText), status);
            if (U_FAILURE(status))
                continue;
            EXPECT_EQ(stringByReplacingMatchesInString(*compiled, input, s(templateText)), fromICU(expected))
                << QString::fromUtf16(pattern).toStdString() << " / " << s(templateText).toStdString();
        }
    }
}

TEST(HXExtendedRegularExpression, PlaceholderInCapturedTextKeepsTheRawExpansion) {
    const QString input = u"x"_s + HXERETemplate::placeholder() + u"y"_s;
    const auto compiled = compile(s(u"(.+)"));
    HXLogging::Capture log;
    EXPECT_EQ(stringByReplacingMatchesInString(*compiled, input, s(uR"(\U$1)")),
              HXERETemplate::placeholder() + input);
    EXPECT_TRUE(log.contains(QStringLiteral(
        "[HXExtendedRegularExpression] case conversion inconsistency: 2 fragments expected, 3 found: ")));
}

TEST(HXExtendedRegularExpression, FailedExpansionIsLoggedAndDeletesTheMatch) {
    HXLogging::Capture log;
    // The pattern has two groups: "$3" cannot be expanded, and neither can a bare "$".
    EXPECT_EQ(replace(u"(a)(b)", u"<ab|ab>", u"$3"), u"<|>");
    ASSERT_EQ(log.lines().size(), 2);
    EXPECT_TRUE(log.lines().front().startsWith(
        QStringLiteral("[HXExtendedRegularExpression] ignoring regular expression replacement exception: "
                       "U_INDEX_OUTOFBOUNDS_ERROR (reason: ")))
        << log.lines().front().toStdString();
    EXPECT_TRUE(log.lines().front().contains(QStringLiteral(") <= (")));
    log.clear();
    EXPECT_EQ(replace(u"b", u"abc", u"cost in $"), u"ac");
    EXPECT_TRUE(log.contains(QStringLiteral("exception: U_REGEX_INVALID_CAPTURE_GROUP_NAME (reason: ")));
}

TEST(HXExtendedRegularExpression, CapturedTextIsReadFromThePartlyReplacedString) {
    // The second match's group lies before it, in text the first replacement has already changed: it is
    // read at its range shifted by the running offset.
    EXPECT_EQ(replace(u"a|(?<=(a))b", u"ab", u"<$1>"), u"<><>>");
    // A shifted range that leaves the string fails like any expansion: logged, the match deleted.
    HXLogging::Capture log;
    EXPECT_EQ(replace(u"^x{4}|(?<=(x))y", u"xxxxy", u"$1"), u"");
    EXPECT_TRUE(log.contains(QStringLiteral("ignoring regular expression replacement exception: ")));
}

// The expansion follows appendReplacement character for character: compared with ICU itself on
// templates made of the characters that matter to it.
TEST(HXTemplateExpansion, AgreesWithICUAppendReplacement) {
    const auto compiled = compile(s(u"(?<name1>a)(?<n0>b)(c)?"));
    const QString input = s(u"xab!");
    const icu::UnicodeString icuInput = HXUnicodeStringAlias(input);
    const std::vector<QString> pieces{
        s(u"\\"),         s(u"$"),      s(u"{"),      s(u"}"),        s(u"u"),       s(u"U"),
        s(u"0"),          s(u"1"),      s(u"2"),      s(u"3"),        s(u"9"),       s(u"a"),
        s(u"name1"),      s(u"n0"),     s(u"${n0}"),  s(u"${name1}"), s(u"${"),      s(u"\\u"),
        s(u"D83D"),       s(u"DE00"),   s(u"0041"),   s(u"F"),        s(u"x"),       s(u"\u0661"),
        s(u"\U0001F600"), s(u"\xD83D"), s(u"\xDE00"), s(u"0010FFFF"), s(u"00110000")};
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 8);
    int successes = 0;
    for (int round = 0; round < 20000; ++round) {
        QString templateText;
        for (int n = length(random); n > 0; --n)
            templateText += pieces[pick(random)];

        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::RegexMatcher> matcher(compiled->matcher(icuInput, status));
        ASSERT_TRUE(matcher->find(status));
        const HXTemplateExpansion ours = HXExpandTemplate(*matcher, templateText, input, 0);
        icu::UnicodeString theirs;
        matcher->appendReplacement(theirs, HXUnicodeStringAlias(templateText), status);
        ASSERT_EQ(ours.status, status) << templateText.toStdString();
        if (U_SUCCESS(status)) {
            // appendReplacement first copies the text before the match.
            ASSERT_EQ(u"x"_s + ours.text, fromICU(theirs)) << templateText.toStdString();
            ++successes;
        }
    }
    EXPECT_GT(successes, 1000);
}
