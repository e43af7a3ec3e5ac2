#pragma once

#include <QPlainTextEdit>

// A text view for a blacklist, one query per line, that colours the control characters of the query
// syntax: a "!" that starts a line (blanks before it allowed) in red and bold.
class HXBlacklistTextView : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit HXBlacklistTextView(QWidget* parent = nullptr);

    // Whether ▸ separates a qualifier (and starts a query) in this view's lines.
    virtual bool colorizeRightTriangleArrow() const;
    // Applies the colours to the current text; forceFont() calls it after resetting the text's format.
    void colorizeBlacklistControlCharacters();
};
