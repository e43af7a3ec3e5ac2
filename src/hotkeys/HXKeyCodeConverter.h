#pragma once

#include <QString>

#include <cstdint>

class HXKeyboardLayout;
struct HXKeyboardEvent;

// Names of keys and modifiers as the hot key recorder shows them: modifier symbols followed by the key's
// name. Named keys (function keys, keypad digits, arrows, ...) have fixed names; every other key is named
// by what it types in the current keyboard layout, which may be null (such keys then have no name).

QString shiftKeyLabelString();
QString controlKeyLabelString();
QString alternateKeyLabelString();
QString commandKeyLabelString();

// The key's name, or with keyEquivalent the text a menu shortcut uses where there is one; null when the
// key has no name.
QString stringRepresentingKeyCode(const HXKeyboardLayout* layout, std::uint16_t keyCode, bool keyEquivalent);
// Symbols for control, option, shift and command in that order; with exact, each preceded by the side
// markers of the keys held.
QString stringRepresentingModifierFlags(std::uint64_t flags, bool exact);
// Letters as capitals, everything else lower-cased.
QString keyboardLabelString(const QString& text);
// Without modifier symbols, side markers and "^" at either end ("^" itself stays).
QString stringByTrimmingModifierPrefix(const QString& text);

QString visualKeyboardEventRepresentation(const HXKeyboardEvent& event, const HXKeyboardLayout* layout,
                                          bool exact);

// What the key types with the modifiers (a dead key gives its own character); null when nothing.
QString HXStringFromKeyCode(const HXKeyboardLayout* layout, std::uint16_t keyCode, std::uint64_t flags);
// The first key code from 0 to 127 that types exactly the character.
bool HXGetKeyCodeForUniChar(const HXKeyboardLayout* layout, QChar character, std::uint64_t flags,
                            std::uint16_t* keyCode);
