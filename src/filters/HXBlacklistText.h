#pragma once

#include "foundation/HXArray.h"

#include <QString>
#include <QStringView>

// The blacklists as the user edits them: one query per line.

// U+25B8, which separates an application qualifier from a title query in window blacklist lines.
const QString& rightTriangleArrowString();
// The arrow with one space on each side, as the arrow action inserts it.
const QString& spacedRightTriangleArrowString();

// Line feed, carriage return, vertical tab, form feed, NEL and the Unicode line and paragraph separators.
bool isNewlineCharacter(QChar c);

// Replaces the list's contents by the lines of the text; every newline character ends a line, so empty
// lines become empty entries.
void replaceListWithLinesOfText(HXArray& list, QStringView text);

// Sorts the list in place (HXSortStrings) and joins it with "\n" for display.
QString sortedBlacklistText(HXArray& list);
