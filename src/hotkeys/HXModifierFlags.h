#pragma once

#include <cstdint>

// Event modifier flags as stored hot keys keep them: the device-independent bits and, in the low bits,
// which of the two keys of a modifier is held.
namespace HXModifierFlags {

inline constexpr std::uint64_t CapsLock = 0x10000;
inline constexpr std::uint64_t Shift = 0x20000;
inline constexpr std::uint64_t Control = 0x40000;
inline constexpr std::uint64_t Option = 0x80000;
inline constexpr std::uint64_t Command = 0x100000;
inline constexpr std::uint64_t NumericPad = 0x200000;
inline constexpr std::uint64_t Function = 0x800000;
// Shift, control, option and command.
inline constexpr std::uint64_t Modifiers = 0x1E0000;
inline constexpr std::uint64_t DeviceIndependent = 0xFF0000;

inline constexpr std::uint64_t LeftShift = 0x2;
inline constexpr std::uint64_t RightShift = 0x4;
inline constexpr std::uint64_t LeftControl = 0x1;
inline constexpr std::uint64_t RightControl = 0x2000;
inline constexpr std::uint64_t LeftOption = 0x20;
inline constexpr std::uint64_t RightOption = 0x40;
inline constexpr std::uint64_t LeftCommand = 0x8;
inline constexpr std::uint64_t RightCommand = 0x10;
inline constexpr std::uint64_t DeviceDependent = 0x207F;

} // namespace HXModifierFlags

// Event flags to hot key registration modifiers and back; caps lock and the left/right bits are dropped.
std::uint32_t HXCarbonModifierFlagsFromCocoaModifierFlags(std::uint64_t flags);
std::uint64_t HXCocoaModifierFlagsFromCarbonModifierFlags(std::uint32_t modifiers);

// Whether an event's flags match a hot key's: caps lock and fn can be ignored; with exact matching, the
// left and right keys must agree when both sides carry them.
bool HXModifierFlagsMatch(std::uint64_t eventFlags, std::uint64_t hotKeyFlags, bool ignoreCapsLock,
                          bool ignoreFunctionKey, bool exact);
// The same, logging the masked values of the device-independent comparison when log is on.
bool HXLogModifierFlagsMatch(bool log, std::uint64_t eventFlags, std::uint64_t hotKeyFlags,
                             bool ignoreCapsLock, bool ignoreFunctionKey, bool exact);
