#include "filters/widgets/HXBlacklistTextEditing.h"

#include "filters/HXBlacklistText.h"
#include "filters/widgets/HXTextViewFont.h"

#include <QPlainTextEdit>
#include <QSignalBlocker>

void blacklistTextDidChange(QPlainTextEdit* view, HXArray& list) {
    // The raw text keeps what the entries hold (no-break spaces stay); blocks end in U+2029.
    replaceListWithLinesOfText(list, view->document()->toRawText());
    forceDefaultFont(view);
}

void showBlacklist(QPlainTextEdit* view, HXArray& list) {
    {
        const QSignalBlocker blocker(view);
        view->setPlainText(sortedBlacklistText(list));
    }
    forceDefaultFont(view);
    view->document()->clearUndoRedoStacks();
}
