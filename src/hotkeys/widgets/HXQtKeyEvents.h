#pragma once

#include "platform/HXKeyboardEvent.h"

#include <Qt>

#include <cstdint>

class HXKeyboardLayout;
class QKeyEvent;

// A Qt key press as hot keys see it: the virtual key code from the key's place on the keyboard (the
// window system's key code through the layout; without one, from the Qt key), the modifier flags with
// caps lock and the given left/right bits, and the characters with and without modifiers.
HXKeyboardEvent HXKeyboardEventFromQKeyEvent(const QKeyEvent& event, const HXKeyboardLayout* layout,
                                             std::uint64_t heldModifierSides);
// Shift, Control, Alt (option) and Meta (command) as event modifier flags.
std::uint64_t HXModifierFlagsFromQt(Qt::KeyboardModifiers modifiers);
Qt::KeyboardModifiers HXQtModifiersFromModifierFlags(std::uint64_t flags);
// Keys that only modify others (Shift, Control, Caps Lock, ...): pressing them records nothing.
bool HXIsModifierKey(int qtKey);
