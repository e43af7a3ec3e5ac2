#pragma once

#include <QKeySequence>

class HXHotKey;
class QAction;

// A menu entry shows a hot key as its shortcut. The shortcut is only shown: its context is the menu
// itself, so that the hot key alone acts.

// False (and the shortcut cleared) unless the hot key is registered and its key can be a shortcut.
bool HXSetShortcutFromHotKey(QAction& action, const HXHotKey* hotKey);
// The key of a key-equivalent text (one character, or "F1" to "F35") with the modifiers of the flags;
// empty when the text names no such key.
QKeySequence HXKeySequenceFromKeyEquivalentCharacter(const QString& text, std::uint64_t modifierFlags);
