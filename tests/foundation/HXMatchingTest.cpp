#include "foundation/HXCompiledBlacklist.h"
#include "foundation/HXStringChecks.h"
#include "foundation/HXWildcardQuery.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

HXValue q(const char16_t* text) {
    return HXValue(QString::fromUtf16(text));
}

const QString kArrow = QString(QChar(kRightTriangleArrow));

} // namespace

TEST(HXMatching, WildcardsCaseAndInversion) {
    EXPECT_TRUE(matchesQuery(QStringLiteral("mail"), q(u"Mail")));
    EXPECT_TRUE(matchesQuery(QStringLiteral("Gmail Inbox"), q(u"*mail*")));
    EXPECT_FALSE(matchesQuery(QStringLiteral("Google Chrome"), q(u"Chrome*")));
    EXPECT_TRUE(matchesQueryAllowInversion(QStringLiteral("Safari"), q(u"!Chrome*"), true));
    EXPECT_FALSE(matchesQueryAllowInversion(QStringLiteral("Chrome Beta"), q(u"  !Chrome*"), true));
    // Without inversion allowed the "!" is an ordinary character.
    EXPECT_FALSE(matchesQuery(QStringLiteral("Safari"), q(u"!Chrome*")));
    EXPECT_TRUE(matchesQuery(QStringLiteral("!Chrome x"), q(u"!Chrome*")));
    // Blanks around a wildcard are ignored; adjacent wildcards are one.
    EXPECT_TRUE(matchesQuery(QStringLiteral("ab cd ef"), q(u"ab * cd ** ef")));
    EXPECT_TRUE(matchesQuery(QStringLiteral("abxcdyef"), q(u"ab*cd*ef")));
    EXPECT_FALSE(matchesQuery(QStringLiteral("abxefycd"), q(u"ab*cd*ef")));
    // The end piece is cut before the middle is searched: no overlap.
    EXPECT_FALSE(matchesQuery(QStringLiteral("aba"), q(u"ab*ba")));
    EXPECT_TRUE(matchesQuery(QStringLiteral("anything"), q(u"*")));
    // Precomposed and decomposed forms are the same name.
    EXPECT_TRUE(matchesQuery(QStringLiteral("Caf\u00e9 Menu"), HXValue(QStringLiteral("cafe\u0301*"))));
}

TEST(HXMatching, NilQueriesNeverMatchBeforeInversion) {
    EXPECT_FALSE(matchesQuery(QStringLiteral("x"), HXValue()));
    EXPECT_FALSE(matchesQuery(QStringLiteral("5"), HXValue(5)));
    EXPECT_TRUE(matchesQueryInvert(QStringLiteral("x"), HXValue(), true));
    EXPECT_FALSE(matchesQueryInvert(QStringLiteral("x"), q(u"x"), true));
    EXPECT_TRUE(matchesQuery(QString(), q(u"")));
}

TEST(HXStringChecks, TrimmingAndApplicationNames) {
    EXPECT_EQ(trimmedApplicationNameByIgnoringExtension(QStringLiteral(" Preview.APP ")),
              QStringLiteral("Preview"));
    EXPECT_EQ(trimmedApplicationNameByIgnoringExtension(QStringLiteral(".app")), QStringLiteral(".app"));
    EXPECT_EQ(trimmedString(QStringLiteral("\n a \t")), QStringLiteral("a"));
    EXPECT_EQ(trimmedOfWhitespace(QStringLiteral("\t a\n")), QStringLiteral("a\n"));
}

TEST(HXStringChecks, PlainBlacklist) {
    auto list = makeArray({q(u"Secret*"), HXValue(3), q(u"!*")});
    EXPECT_FALSE(validItemNameCheckedAgainstBlacklist(QStringLiteral(" Secret Plans "), list.get()));
    EXPECT_FALSE(validItemNameCheckedAgainstBlacklist(QStringLiteral("   "), nullptr));
    // "!*" inverted matches nothing: every name passes it.
    EXPECT_EQ(validItemNameCheckedAgainstBlacklist(QStringLiteral(" Editor "), list.get()),
              QStringLiteral("Editor"));
}

TEST(HXStringChecks, QualifiedBlacklists) {
    const auto entry = [](const char16_t* qualifier, const char16_t* value) {
        return HXValue(makeDictionary(
            {{QStringLiteral("Qualifier"), q(qualifier)}, {QStringLiteral("Value"), q(value)}}));
    };
    auto preprocessed = makeArray({entry(u"Safari", u"*"), entry(u"!Mail", u"Inbox*")});
    EXPECT_FALSE(validItemNameCheckedAgainstPreprocessedQualifiedBlacklist(
        QStringLiteral("Any Page"), preprocessed.get(), QStringLiteral("Safari")));
    EXPECT_EQ(validItemNameCheckedAgainstPreprocessedQualifiedBlacklist(
                  QStringLiteral(" Inbox (3)"), preprocessed.get(), QStringLiteral("Mail")),
              QStringLiteral(" Inbox (3)"));
    EXPECT_FALSE(validItemNameCheckedAgainstPreprocessedQualifiedBlacklist(
        QStringLiteral("Inbox (3)"), preprocessed.get(), QStringLiteral("Notes")));

    auto raw = makeArray({HXValue(QStringLiteral("Mail ") + kArrow + QStringLiteral(" Inbox")),
                          HXValue(QStringLiteral("* ") + kArrow + QStringLiteral(" Drafts*"))});
    EXPECT_FALSE(validItemNameCheckedAgainstPotentiallyQualifiedBlacklist(QStringLiteral("Inbox"), raw.get(),
                                                                          QStringLiteral("Mail")));
    EXPECT_EQ(validItemNameCheckedAgainstPotentiallyQualifiedBlacklist(QStringLiteral("Inbox"), raw.get(),
                                                                       QStringLiteral("Notes")),
              QStringLiteral("Inbox"));
    EXPECT_FALSE(validItemNameCheckedAgainstPotentiallyQualifiedBlacklist(
        QStringLiteral("Drafts 2"), raw.get(), QStringLiteral("Notes")));
    // Without an application the whole entry is the query.
    EXPECT_EQ(validItemNameCheckedAgainstPotentiallyQualifiedBlacklist(QStringLiteral("Inbox"), raw.get(),
                                                                       std::nullopt),
              QStringLiteral("Inbox"));
}

TEST(HXStringChecks, CompiledBlacklistAgreesWithTheOneShotCheck) {
    auto list = makeArray({q(u"*Report*"), q(u"Draft"), q(u"! *keep*"), q(u"caf\u00e9 *")});
    const HXCompiledBlacklist compiled(list.get());
    for (const QString& name :
         {QStringLiteral("Monthly report"), QStringLiteral("draft"), QStringLiteral("Drafts"),
          QStringLiteral("CAFE\u0301 au lait"), QStringLiteral("keep this"), QStringLiteral(" ")}) {
        EXPECT_EQ(compiled.validItemName(name), validItemNameCheckedAgainstBlacklist(name, list.get()))
            << name.toStdString();
    }
}
