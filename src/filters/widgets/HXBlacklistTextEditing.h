#pragma once

#include "foundation/HXArray.h"

class QPlainTextEdit;

// The controller's side of a blacklist text view.

// After an edit: the list becomes the lines of the whole text (empty lines included), then the default
// font is forced, which recolours.
void blacklistTextDidChange(QPlainTextEdit* view, HXArray& list);

// Shows the list sorted in place, one entry per line, in the default font; the shown text is not an
// edit that can be undone.
void showBlacklist(QPlainTextEdit* view, HXArray& list);
