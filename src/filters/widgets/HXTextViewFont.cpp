#include "filters/widgets/HXTextViewFont.h"

#include "filters/widgets/HXBlacklistTextView.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextCursor>

void forceFont(QPlainTextEdit* view, const QFont& font) {
    const QSignalBlocker blocker(view);
    QTextCharFormat format;
    format.setFont(font, QTextCharFormat::FontPropertiesAll);
    QTextCursor cursor(view->document());
    // Part of the edit that caused it, so that one undo step takes back both.
    cursor.joinPreviousEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.setCharFormat(format);
    cursor.endEditBlock();
    if (auto* blacklistView = qobject_cast<HXBlacklistTextView*>(view))
        blacklistView->colorizeBlacklistControlCharacters();
    view->setCurrentCharFormat(format);
    view->viewport()->update();
}

void forceDefaultFont(QPlainTextEdit* view) {
    forceFont(view, QApplication::font(view));
}
