#include "filters/HXBlacklistText.h"
#include "support/TestSupport.h"

#include "FiltersTestSupport.h"

#include <gtest/gtest.h>

namespace {

QStringList strings(const HXArray& list) {
    QStringList out;
    for (qsizetype i = 0; i < list.count(); ++i) {
        EXPECT_TRUE(list.at(i).isString());
        out.append(list.at(i).toString());
    }
    return out;
}

QString s(const char16_t* text) {
    return QString::fromUtf16(text);
}

} // namespace

TEST(HXBlacklistText, EveryNewlineCharacterEndsALine) {
    auto list = makeArray({s(u"old")});
    replaceListWithLinesOfText(*list, s(u"a\n\nb\r\nc\u2029d\u2028e\u0085f"));
    EXPECT_EQ(strings(*list),
              (QStringList{s(u"a"), s(u""), s(u"b"), s(u""), s(u"c"), s(u"d"), s(u"e"), s(u"f")}));
    replaceListWithLinesOfText(*list, s(u""));
    EXPECT_EQ(strings(*list), QStringList{s(u"")});
    replaceListWithLinesOfText(*list, s(u"  !Mail \u25B8 x\n"));
    EXPECT_EQ(strings(*list), (QStringList{s(u"  !Mail \u25B8 x"), s(u"")}));
}

TEST(HXBlacklistText, ListsAreShownSortedWithEmptyEntriesLast) {
    auto list = makeArray({s(u"zeta"), s(u""), s(u"Alpha"), s(u"beta")});
    EXPECT_EQ(sortedBlacklistText(*list), u"Alpha\nbeta\nzeta\n");
    EXPECT_EQ(strings(*list), (QStringList{s(u"Alpha"), s(u"beta"), s(u"zeta"), s(u"")}));
}

TEST(HXBlacklistText, ArrowStrings) {
    EXPECT_EQ(rightTriangleArrowString(), s(u"\u25B8"));
    EXPECT_EQ(spacedRightTriangleArrowString(), s(u" \u25B8 "));
}
