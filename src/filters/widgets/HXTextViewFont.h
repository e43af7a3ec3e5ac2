#pragma once

#include <QFont>

class QPlainTextEdit;

// Sets the font on the whole text (dropping earlier colouring), recolours a blacklist view, makes the
// font the typing font and redisplays. Format changes do not count as text changes.
void forceFont(QPlainTextEdit* view, const QFont& font);
// The same with the application's default font for the view.
void forceDefaultFont(QPlainTextEdit* view);
