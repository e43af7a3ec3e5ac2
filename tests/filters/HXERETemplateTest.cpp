#include "filters/HXERETemplate.h"
#include "filters/HXERECaseConversion.h"
#include "filters/HXExtendedRegularExpression.h"
#include "foundation/HXLog.h"

#include "FiltersTestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using Type = HXERECaseConversion::Type;

QString s(const char16_t* text) {
    return QString::fromUtf16(text);
}

std::vector<HXERECaseConversion> markersIn(const char16_t* templateText) {
    auto markers = HXERECaseConversion::caseConversionsInString(s(templateText));
    EXPECT_TRUE(markers.has_value());
    return markers.value_or(std::vector<HXERECaseConversion>{});
}

const QString& P() {
    return HXERETemplate::placeholder();
}

} // namespace

TEST(HXERECaseConversion, EveryMarkerWithItsTypeAndRange) {
    const auto markers = markersIn(uR"(a\lb\Lc\ud\Ue\Ef)");
    const std::vector<HXERECaseConversion> expected{{Type::LowerFirst, 1, 2},
                                                    {Type::LowerAll, 4, 2},
                                                    {Type::UpperFirst, 7, 2},
                                                    {Type::UpperAll, 10, 2},
                                                    {Type::Unchanged, 13, 2}};
    EXPECT_EQ(markers, expected);
    EXPECT_EQ(static_cast<int>(Type::LowerFirst), 0);
    EXPECT_EQ(static_cast<int>(Type::Unchanged), 4);
}

TEST(HXERECaseConversion, MarkersCountOnlyAfterAnEvenNumberOfBackslashes) {
    // An escaped backslash followed by "u" is no marker.
    EXPECT_TRUE(markersIn(uR"(\\u$1)").empty());
    EXPECT_TRUE(markersIn(uR"(x\\\\L)").empty());
    // Three backslashes: one escaped pair, then the marker.
    EXPECT_EQ(markersIn(uR"(\\\u$1)"), (std::vector<HXERECaseConversion>{{Type::UpperFirst, 2, 2}}));
    EXPECT_EQ(markersIn(uR"(a\\\\\L)"), (std::vector<HXERECaseConversion>{{Type::LowerAll, 5, 2}}));
    // Other escapes are not markers.
    EXPECT_TRUE(markersIn(uR"(\n\$1\x)").empty());
}

TEST(HXERECaseConversion, AdjacentMarkersAndMarkersAtBothEnds) {
    EXPECT_EQ(markersIn(uR"(\u$1\E)"),
              (std::vector<HXERECaseConversion>{{Type::UpperFirst, 0, 2}, {Type::Unchanged, 4, 2}}));
    // The character before a marker belongs to its match, so a marker right after another one is not
    // seen; every other marker of a run is.
    EXPECT_EQ(markersIn(uR"(\l\L\u\U\E)"),
              (std::vector<HXERECaseConversion>{
                  {Type::LowerFirst, 0, 2}, {Type::UpperFirst, 4, 2}, {Type::Unchanged, 8, 2}}));
}

TEST(HXERECaseConversion, ShortTemplatesAndTemplatesWithoutBackslash) {
    EXPECT_TRUE(markersIn(u"").empty());
    EXPECT_TRUE(markersIn(uR"(\)").empty());
    EXPECT_TRUE(markersIn(u"u").empty());
    EXPECT_TRUE(markersIn(u"$1 uLE").empty());
    EXPECT_EQ(markersIn(uR"(\L)"), (std::vector<HXERECaseConversion>{{Type::LowerAll, 0, 2}}));
}

TEST(HXERECaseConversion, LocationsCountUTF16UnitsAroundNonBMPCharacters) {
    // U+1F600 is two code units, and one character for the detector's "not a backslash".
    EXPECT_EQ(markersIn(u"\U0001F600\\u$1\U0001F600\\L"),
              (std::vector<HXERECaseConversion>{{Type::UpperFirst, 2, 2}, {Type::LowerAll, 8, 2}}));
}

TEST(HXERETemplate, MarkersAreReplacedByThePlaceholderWithARunningShift) {
    const HXERETemplate parsed = HXERETemplate::templateWithString(s(uR"(x\u$1\Ly\E)"));
    EXPECT_EQ(parsed.encodedString(), u"x"_s + P() + u"$1"_s + P() + u"y"_s + P());
    ASSERT_TRUE(parsed.caseConversions().has_value());
    EXPECT_EQ(*parsed.caseConversions(),
              (std::vector<HXERECaseConversion>{
                  {Type::UpperFirst, 1, 2}, {Type::LowerAll, 5, 2}, {Type::Unchanged, 8, 2}}));
    EXPECT_FALSE(P().contains(u'$'));
    EXPECT_FALSE(P().contains(u'\\'));
}

TEST(HXERETemplate, TemplatesWithoutMarkersStayAsWritten) {
    for (const char16_t* text : {u"", u"$1-$2", uR"(\\u\$)"}) {
        const HXERETemplate parsed = HXERETemplate::templateWithString(s(text));
        EXPECT_EQ(parsed.encodedString(), s(text));
        EXPECT_FALSE(parsed.caseConversions().has_value()) << s(text).toStdString();
    }
}

TEST(HXERETemplate, DecodingConvertsEachFragmentByTheMarkerBeforeIt) {
    const struct {
        const char16_t* templateText;
        const char16_t* expected;
    } cases[] = {
        {uR"(\lXyZ Q)", u"xyZ Q"}, {uR"(\LXyZ Q)", u"xyz q"}, {uR"(\uxYz q)", u"XYz q"},
        {uR"(\UxYz q)", u"XYZ Q"}, {uR"(\ExYz Q)", u"xYz Q"},
    };
    for (const auto& c : cases) {
        const HXERETemplate parsed = HXERETemplate::templateWithString(s(c.templateText));
        EXPECT_EQ(parsed.decodeReplacementString(parsed.encodedString()), s(c.expected))
            << s(c.templateText).toStdString();
    }
    // \U reaches only to the next marker, and \E starts an unconverted fragment.
    const HXERETemplate upTo = HXERETemplate::templateWithString(s(uR"(ab\Ucd\lEF\Egh)"));
    EXPECT_EQ(upTo.decodeReplacementString(upTo.encodedString()), u"abCDeFgh");
}

TEST(HXERETemplate, DecodingOneCharacterAndEmptyFragments) {
    const HXERETemplate upper = HXERETemplate::templateWithString(s(uR"(\u)"));
    EXPECT_EQ(upper.decodeReplacementString(P() + u"a"_s), u"A");
    // The whole one-character fragment is converted, with the full case mapping.
    EXPECT_EQ(upper.decodeReplacementString(P() + u"\u00DF"_s), u"SS");
    const HXERETemplate lower = HXERETemplate::templateWithString(s(uR"(\l)"));
    EXPECT_EQ(lower.decodeReplacementString(P() + u"Q"_s), u"q");
    EXPECT_EQ(lower.decodeReplacementString(P()), u"");

    const HXERETemplate two = HXERETemplate::templateWithString(s(uR"(\Ux\ly)"));
    EXPECT_EQ(two.decodeReplacementString(P() + P() + u"AB"_s), u"aB");
    EXPECT_EQ(two.decodeReplacementString(u"pre"_s + P() + u"ab"_s + P()), u"preAB");
}

TEST(HXERETemplate, DecodingNonBMPCharacters) {
    // U+10428 DESERET SMALL LETTER LONG I, upper case U+10400.
    const QString small = s(u"\U00010428");
    const QString capital = s(u"\U00010400");
    // \u and \l convert one UTF-16 unit: half of a surrogate pair has no case, so nothing changes.
    const HXERETemplate first = HXERETemplate::templateWithString(s(uR"(\u)"));
    EXPECT_EQ(first.decodeReplacementString(P() + small + u"x"_s), small + u"x"_s);
    // \U and \L convert whole characters.
    const HXERETemplate all = HXERETemplate::templateWithString(s(uR"(\U)"));
    EXPECT_EQ(all.decodeReplacementString(P() + small + u"x"_s), capital + u"X"_s);
    const HXERETemplate lowerAll = HXERETemplate::templateWithString(s(u"\U0001F600\\L"));
    EXPECT_EQ(lowerAll.decodeReplacementString(s(u"\U0001F600") + P() + capital), s(u"\U0001F600") + small);
}

TEST(HXERETemplate, FragmentCountMismatchIsLoggedAndLeftAsItIs) {
    const HXERETemplate parsed = HXERETemplate::templateWithString(s(uR"(\u$1)"));
    const QString replacement = P() + u"a"_s + P() + u"b"_s;
    HXLogging::Capture log;
    EXPECT_EQ(parsed.decodeReplacementString(replacement), replacement);
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().front().startsWith(
        QStringLiteral("[HXExtendedRegularExpression] case conversion inconsistency: 2 fragments expected, 3 "
                       "found: ")))
        << log.lines().front().toStdString();

    // Without markers a placeholder is ordinary text.
    log.clear();
    const HXERETemplate plain = HXERETemplate::templateWithString(s(u"$1"));
    EXPECT_EQ(plain.decodeReplacementString(replacement), replacement);
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST(HXERETemplate, CacheParsesOnceUntilCleared) {
    const QString text = s(uR"(\u$1 cache)");
    const auto first = HXERETemplate::cachedTemplateWithString(text);
    EXPECT_EQ(HXERETemplate::cachedTemplateWithString(text), first);
    EXPECT_EQ(first->encodedString(), HXERETemplate::templateWithString(text).encodedString());
    HXClearExtendedRegularExpressionCache();
    const auto again = HXERETemplate::cachedTemplateWithString(text);
    EXPECT_NE(again, first);
    EXPECT_EQ(again->encodedString(), first->encodedString());
}
