#include "filters/HXFilterString.h"
#include "filters/HXFilterKeys.h"
#include "foundation/HXLog.h"
#include "support/TestSupport.h"

#include "FiltersTestSupport.h"

#include <gtest/gtest.h>

namespace {

QString s(const char16_t* text) {
    return QString::fromUtf16(text);
}

struct Record {
    const char16_t* prefix = nullptr;
    const char16_t* suffix = nullptr;
    const char16_t* query = nullptr;
    const char16_t* replacement = nullptr;
};

HXDictionaryRef record(const Record& r) {
    auto d = HXDictionary::create();
    if (r.prefix)
        d->setValue(HXFilterKeys::PrefixDelimiter, s(r.prefix));
    if (r.suffix)
        d->setValue(HXFilterKeys::SuffixDelimiter, s(r.suffix));
    if (r.query)
        d->setValue(HXFilterKeys::RegularExpressionQuery, s(r.query));
    if (r.replacement)
        d->setValue(HXFilterKeys::RegularExpressionReplacement, s(r.replacement));
    return d;
}

QString filter(const char16_t* title, std::initializer_list<Record> records) {
    auto filters = HXArray::create();
    for (const Record& r : records)
        filters->append(record(r));
    return HXFilterString(s(title), filters.get());
}

} // namespace

TEST(HXFilterString, NoFiltersLeaveTheTitleUntouched) {
    const QString title = s(u"  Untrimmed Title \n");
    EXPECT_EQ(HXFilterString(title, nullptr), title);
    EXPECT_EQ(HXFilterString(title, HXArray::create().get()), title);
    // A record without any key cuts nothing and trims nothing.
    EXPECT_EQ(filter(u"  Untrimmed Title \n", {Record{}}), title);
}

TEST(HXFilterString, PrefixAndSuffixDelimiters) {
    EXPECT_EQ(filter(u"a - b - c", {{.prefix = u" - "}}), u"b - c");
    EXPECT_EQ(filter(u"a - b - c", {{.suffix = u" - "}}), u"a - b");
    EXPECT_EQ(filter(u"a - b - c", {{.prefix = u" - ", .suffix = u" - "}}), u"b");
    // Literal and case-sensitive.
    EXPECT_EQ(filter(u"Mail.app: Inbox", {{.prefix = u"."}}), u"app: Inbox");
    EXPECT_EQ(filter(u"x AND y and z", {{.prefix = u"and"}}), u"z");
}

TEST(HXFilterString, TrimmingFollowsOnlyACutThatWasMade) {
    // Not found: unchanged and untrimmed.
    EXPECT_EQ(filter(u"  a b  ", {{.prefix = u"|"}}), u"  a b  ");
    EXPECT_EQ(filter(u"  a b  ", {{.suffix = u"|"}}), u"  a b  ");
    // A found suffix trims what remains even when the prefix was not found.
    EXPECT_EQ(filter(u"  a b | c", {{.prefix = u"#", .suffix = u"|"}}), u"a b");
    // A found prefix trims both ends.
    EXPECT_EQ(filter(u"x:\t a b \n", {{.prefix = u":"}}), u"a b");
    // A delimiter at the very end leaves nothing.
    EXPECT_EQ(filter(u"title -", {{.prefix = u"-"}}), u"");
}

TEST(HXFilterString, RegularExpressionReplacesEveryMatchOfTheCutText) {
    EXPECT_EQ(filter(u"Inbox (3 unread) - Mail", {{.suffix = u" - ", .query = u" \\(\\d+ unread\\)"}}),
              u"Inbox");
    EXPECT_EQ(filter(u"doc-report.txt - Editor",
                     {{.suffix = u" - ", .query = u"^(\\w+)-(\\w+)\\.txt$", .replacement = uR"(\u$2 ($1))"}}),
              u"Report (doc)");
    // A query that matches nothing returns the cut text.
    EXPECT_EQ(filter(u"App: Some Title  ", {{.prefix = u":", .query = u"\\d+", .replacement = u"#"}}),
              u"Some Title");
    // The query sees the text after the suffix cut, not the prefix-cut text.
    EXPECT_EQ(filter(u"a:b|c", {{.prefix = u":", .suffix = u"|", .query = u"c", .replacement = u"X"}}), u"b");
}

TEST(HXFilterString, EmptyQueryUsesTheCutTextAndIgnoresTheReplacement) {
    EXPECT_EQ(filter(u"a | b", {{.suffix = u"|", .query = u"", .replacement = u"zzz"}}), u"a");
    EXPECT_EQ(filter(u"a | b", {{.replacement = u"zzz"}}), u"a | b");
}

TEST(HXFilterString, MissingReplacementDeletesTheMatches) {
    EXPECT_EQ(filter(u"Report 2023 final", {{.query = u"\\s*\\d+"}}), u"Report final");
}

TEST(HXFilterString, InvalidQueryGivesTheEmptyStringEveryTime) {
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(filter(u"Anything at all", {{.query = u"(unclosed"}}), u"") << round;
        EXPECT_EQ(filter(u"Anything at all", {{.prefix = u" ", .query = u"[z-a]", .replacement = u"x"}}),
                  u"");
    }
    // A later record still runs on the empty text.
    EXPECT_EQ(filter(u"x", {{.query = u"*"}, {.query = u"^$", .replacement = u"empty"}}), u"empty");
    EXPECT_FALSE(HXFilterQueryCompiles(s(u"(unclosed")));
    EXPECT_TRUE(HXFilterQueryCompiles(s(u"(closed)")));
}

TEST(HXFilterString, RecordsApplyOneAfterTheOther) {
    EXPECT_EQ(filter(u"Mail - Inbox (2) - Account",
                     {{.prefix = u" - "}, {.suffix = u" - "}, {.query = u" \\(\\d\\)"}}),
              u"Inbox");
    // Order matters: the second record sees the first one's result.
    EXPECT_EQ(filter(u"ab", {{.query = u"a", .replacement = u"b"}, {.query = u"b", .replacement = u"c"}}),
              u"cc");
    EXPECT_EQ(filter(u"ab", {{.query = u"b", .replacement = u"c"}, {.query = u"a", .replacement = u"b"}}),
              u"bc");
}

TEST(HXFilterString, ValuesOfTheWrongTypeReadAsAbsent) {
    auto filters = HXArray::create();
    filters->append(HXValue(5));
    auto odd = HXDictionary::create();
    odd->setValue(HXFilterKeys::PrefixDelimiter, 3);
    odd->setValue(HXFilterKeys::RegularExpressionQuery, true);
    filters->append(odd);
    filters->append(record({.suffix = u"|"}));
    EXPECT_EQ(HXFilterString(s(u" a | b"), filters.get()), u"a");
}

TEST(HXFilterString, TypicalRecordOnManyTitles) {
    auto filters = HXArray::create();
    filters->append(
        record({.prefix = u" \u2014 ", .query = u"^(\\w+) (.*)$", .replacement = uR"(\u$1: $2)"}));
    EXPECT_EQ(HXFilterString(s(u"Editor \u2014 notes draft.txt"), filters.get()), u"Notes: draft.txt");
    EXPECT_EQ(HXFilterString(s(u"Editor \u2014 plan"), filters.get()), u"plan");
    EXPECT_EQ(HXFilterString(s(u"no delimiter here"), filters.get()), u"No: delimiter here");
}
