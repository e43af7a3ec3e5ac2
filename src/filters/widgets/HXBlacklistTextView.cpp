#include "filters/widgets/HXBlacklistTextView.h"

#include "filters/HXBlacklistText.h"
#include "foundation/HXStringChecks.h"

#include <QApplication>
#include <QSignalBlocker>
#include <QTextCursor>

namespace {

bool isBlank(QChar c) {
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

const QTextCharFormat& arrowFormat() {
    static const QTextCharFormat format = [] {
        QTextCharFormat f;
        f.setForeground(QColor(Qt::lightGray));
        return f;
    }();
    return format;
}

const QTextCharFormat& inversionFormat() {
    static const QTextCharFormat format = [] {
        QFont font = QApplication::font();
        font.setPointSize(12);
        font.setBold(true);
        QTextCharFormat f;
        f.setForeground(QColor(Qt::red));
        f.setFont(font, QTextCharFormat::FontPropertiesAll);
        return f;
    }();
    return format;
}

// The text before position `index`, trimmed of blanks and tabs at both ends, is empty or ends with a
// character of the line-start set.
bool startsQuery(QStringView text, qsizetype index, bool arrowStartsLine) {
    qsizetype i = index;
    while (i > 0 && isBlank(text[i - 1]))
        --i;
    if (i == 0)
        return true;
    const QChar before = text[i - 1];
    return isNewlineCharacter(before) || (arrowStartsLine && before == QChar(kRightTriangleArrow));
}

void mergeFormat(QTextCursor& cursor, qsizetype position, const QTextCharFormat& format) {
    cursor.setPosition(static_cast<int>(position));
    cursor.setPosition(static_cast<int>(position + 1), QTextCursor::KeepAnchor);
    cursor.mergeCharFormat(format);
}

} // namespace

HXBlacklistTextView::HXBlacklistTextView(QWidget* parent) : QPlainTextEdit(parent) {}

bool HXBlacklistTextView::colorizeRightTriangleArrow() const {
    return false;
}

void HXBlacklistTextView::colorizeBlacklistControlCharacters() {
    // Block separators are U+2029 in the raw text, at the same positions as in the document.
    const QString text = document()->toRawText();
    const bool arrows = colorizeRightTriangleArrow();
    // Colours are not edits: the text-change handler must not hear of them.
    const QSignalBlocker blocker(this);
    QTextCursor cursor(document());
    cursor.joinPreviousEditBlock();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (arrows && c == QChar(kRightTriangleArrow))
            mergeFormat(cursor, i, arrowFormat());
        else if (c == u'!' && startsQuery(text, i, arrows))
            mergeFormat(cursor, i, inversionFormat());
    }
    cursor.endEditBlock();
}
