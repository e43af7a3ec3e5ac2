#include "filters/widgets/HXBlacklistTextView.h"
#include "filters/widgets/HXBlacklistTextEditing.h"
#include "filters/widgets/HXQualifiableBlacklistTextView.h"
#include "filters/widgets/HXTextViewFont.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "FiltersTestSupport.h"

#include <gtest/gtest.h>

namespace {

QString s(const char16_t* text) {
    return QString::fromUtf16(text);
}

QTextCharFormat formatAt(const QPlainTextEdit& view, qsizetype position) {
    QTextCursor cursor(view.document());
    cursor.setPosition(static_cast<int>(position + 1));
    return cursor.charFormat();
}

bool isInversionMark(const QTextCharFormat& format) {
    return format.foreground().color() == QColor(Qt::red) && format.fontWeight() == QFont::Bold &&
           format.fontPointSize() == 12;
}

bool isUncoloured(const QTextCharFormat& format) {
    return !format.hasProperty(QTextFormat::ForegroundBrush) && format.fontWeight() != QFont::Bold;
}

bool isLightGray(const QTextCharFormat& format) {
    return format.foreground().color() == QColor(Qt::lightGray);
}

// Positions of every occurrence of c in the view's text.
std::vector<qsizetype> positionsOf(const QPlainTextEdit& view, QChar c) {
    std::vector<qsizetype> positions;
    const QString text = view.document()->toRawText();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == c)
            positions.push_back(i);
    }
    return positions;
}

// Lines: "!" at a line start, after blanks, after other text, and after an arrow with blanks.
const char16_t kSample[] = u"!Mail\n \t!Notes\nFoo!Bar\nEditor \u25B8  !Draft*\nA\u25B8!B";

} // namespace

TEST(HXBlacklistTextView, ApplicationViewColoursLineStartingInversionsOnly) {
    HXBlacklistTextView view;
    EXPECT_FALSE(view.colorizeRightTriangleArrow());
    view.setPlainText(s(kSample));
    forceDefaultFont(&view);
    const auto marks = positionsOf(view, u'!');
    ASSERT_EQ(marks.size(), 5u);
    EXPECT_TRUE(isInversionMark(formatAt(view, marks[0])));
    EXPECT_TRUE(isInversionMark(formatAt(view, marks[1])));
    EXPECT_TRUE(isUncoloured(formatAt(view, marks[2])));
    // Arrows mean nothing here: neither coloured nor starting a query.
    EXPECT_TRUE(isUncoloured(formatAt(view, marks[3])));
    EXPECT_TRUE(isUncoloured(formatAt(view, marks[4])));
    for (qsizetype arrow : positionsOf(view, QChar(0x25B8)))
        EXPECT_TRUE(isUncoloured(formatAt(view, arrow)));
    // Ordinary text keeps the default colour and the forced font.
    EXPECT_TRUE(isUncoloured(formatAt(view, 1)));
    EXPECT_EQ(formatAt(view, 1).font().family(), QApplication::font(&view).family());
}

TEST(HXBlacklistTextView, WindowViewColoursArrowsAndInversionsAfterThem) {
    HXQualifiableBlacklistTextView view;
    EXPECT_TRUE(view.colorizeRightTriangleArrow());
    view.setPlainText(s(kSample));
    forceDefaultFont(&view);
    const auto marks = positionsOf(view, u'!');
    ASSERT_EQ(marks.size(), 5u);
    EXPECT_TRUE(isInversionMark(formatAt(view, marks[0])));
    EXPECT_TRUE(isInversionMark(formatAt(view, marks[1])));
    EXPECT_TRUE(isUncoloured(formatAt(view, marks[2])));
    EXPECT_TRUE(isInversionMark(formatAt(view, marks[3])));
    EXPECT_TRUE(isInversionMark(formatAt(view, marks[4])));
    const auto arrows = positionsOf(view, QChar(0x25B8));
    ASSERT_EQ(arrows.size(), 2u);
    for (qsizetype arrow : arrows)
        EXPECT_TRUE(isLightGray(formatAt(view, arrow)));
    EXPECT_TRUE(isUncoloured(formatAt(view, arrows[0] - 1)));
}

TEST(HXBlacklistTextView, ColoursFollowTheTextAfterEachEdit) {
    HXBlacklistTextView view;
    auto list = HXArray::create();
    QObject::connect(&view, &QPlainTextEdit::textChanged, [&] { blacklistTextDidChange(&view, *list); });
    view.setPlainText(s(u"!Mail"));
    EXPECT_TRUE(isInversionMark(formatAt(view, 0)));

    // Text typed before the "!" makes it part of a query: the red goes away.
    QTextCursor cursor = view.textCursor();
    cursor.setPosition(0);
    view.setTextCursor(cursor);
    view.insertPlainText(s(u"x"));
    EXPECT_EQ(view.toPlainText(), u"x!Mail");
    EXPECT_TRUE(isUncoloured(formatAt(view, 1)));

    // Typing after a red "!" does not continue in red.
    view.setPlainText(s(u"!"));
    cursor = view.textCursor();
    cursor.movePosition(QTextCursor::End);
    view.setTextCursor(cursor);
    view.insertPlainText(s(u"Mail"));
    EXPECT_TRUE(isInversionMark(formatAt(view, 0)));
    EXPECT_TRUE(isUncoloured(formatAt(view, 1)));
}

TEST(HXBlacklistTextView, TextChangesReplaceTheList) {
    HXBlacklistTextView view;
    auto list = makeArray({s(u"old entry")});
    int changes = 0;
    QObject::connect(&view, &QPlainTextEdit::textChanged, [&] {
        ++changes;
        blacklistTextDidChange(&view, *list);
    });
    view.setPlainText(s(u"Mail\n\n!Notes\u00A0x"));
    // Recolouring is not a change of its own.
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->at(0).toString(), u"Mail");
    EXPECT_EQ(list->at(1).toString(), u"");
    // The raw text is stored: the no-break space stays.
    EXPECT_EQ(list->at(2).toString(), s(u"!Notes\u00A0x"));
    EXPECT_TRUE(isInversionMark(formatAt(view, 6)));
}

TEST(HXBlacklistTextView, ArrowActionInsertsTheSpacedArrowAndNotifies) {
    HXQualifiableBlacklistTextView view;
    auto list = HXArray::create();
    QObject::connect(&view, &QPlainTextEdit::textChanged, [&] { blacklistTextDidChange(&view, *list); });
    view.setPlainText(s(u"Editor XX!Draft"));
    QTextCursor cursor = view.textCursor();
    cursor.setPosition(6);
    cursor.setPosition(9, QTextCursor::KeepAnchor);
    view.setTextCursor(cursor);

    view.insertRightTriangleArrowStringAndForceDefaultFont();
    EXPECT_EQ(view.toPlainText(), s(u"Editor \u25B8 !Draft"));
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->at(0).toString(), s(u"Editor \u25B8 !Draft"));
    EXPECT_TRUE(isLightGray(formatAt(view, 7)));
    EXPECT_TRUE(isInversionMark(formatAt(view, 9)));

    view.setReadOnly(true);
    view.insertRightTriangleArrowStringAndForceDefaultFont();
    EXPECT_EQ(view.toPlainText(), s(u"Editor \u25B8 !Draft"));
}

TEST(HXBlacklistTextView, ShownListsAreSortedColouredAndNotUndoable) {
    HXQualifiableBlacklistTextView view;
    auto list = makeArray({s(u"zeta"), s(u"!Alpha \u25B8 x")});
    int changes = 0;
    QObject::connect(&view, &QPlainTextEdit::textChanged, [&] { ++changes; });
    showBlacklist(&view, *list);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(view.toPlainText(), s(u"!Alpha \u25B8 x\nzeta"));
    EXPECT_EQ(list->at(0).toString(), s(u"!Alpha \u25B8 x"));
    EXPECT_TRUE(isInversionMark(formatAt(view, 0)));
    EXPECT_TRUE(isLightGray(formatAt(view, 7)));
    EXPECT_FALSE(view.document()->isUndoAvailable());
}

TEST(HXBlacklistTextView, ForcedFontCoversTheTextAndTheTyping) {
    HXBlacklistTextView view;
    view.setPlainText(s(u"one\n!two"));
    QFont font(QStringLiteral("Monospace"), 17);
    forceFont(&view, font);
    for (qsizetype position : {0, 2, 5})
        EXPECT_EQ(formatAt(view, position).fontPointSize(), 17) << position;
    // The inversion mark keeps its own font.
    EXPECT_TRUE(isInversionMark(formatAt(view, 4)));
    EXPECT_EQ(view.currentCharFormat().fontPointSize(), 17);
    EXPECT_FALSE(view.currentCharFormat().hasProperty(QTextFormat::ForegroundBrush));
}
