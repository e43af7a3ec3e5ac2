#pragma once

#include "foundation/HXDictionary.h"

#include <functional>

class QWidget;

// Edits an application's window title filter in the editor sheet over the parent window, starting from
// its last filter record. On completion the edited record is stored (pushing an undo state first, only
// for a real change) and `finished` hears whether the configuration changed. Answers whether the sheet
// is up; the caller holds its modal state from then until `finished`.
bool editWindowTitleFiltersForApplication(const HXDictionaryRef& configuration,
                                          const HXDictionaryRef& application, QWidget* parentWindow,
                                          std::function<void()> pushUndoState,
                                          std::function<void(bool changed)> finished);
