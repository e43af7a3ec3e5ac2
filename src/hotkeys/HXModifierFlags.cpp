#include "hotkeys/HXModifierFlags.h"

#include "foundation/HXLog.h"
#include "platform/HXHotKeyRegistrar.h"

#include <array>
#include <utility>

namespace {

using namespace HXModifierFlags;

constexpr std::array<std::pair<std::uint64_t, std::uint32_t>, 5> kMapping{{
    {Shift, HXHotKeyRegistrar::ShiftKey},
    {Control, HXHotKeyRegistrar::ControlKey},
    {Option, HXHotKeyRegistrar::OptionKey},
    {Command, HXHotKeyRegistrar::CommandKey},
    {Function, HXHotKeyRegistrar::FunctionKey},
}};

QString pointerText(std::uint64_t value) {
    return QStringLiteral("0x%1").arg(value, 0, 16);
}

} // namespace

std::uint32_t HXCarbonModifierFlagsFromCocoaModifierFlags(std::uint64_t flags) {
    std::uint32_t modifiers = 0;
    for (const auto& [eventFlag, storedFlag] : kMapping) {
        if (flags & eventFlag)
            modifiers |= storedFlag;
    }
    return modifiers;
}

std::uint64_t HXCocoaModifierFlagsFromCarbonModifierFlags(std::uint32_t modifiers) {
    std::uint64_t flags = 0;
    for (const auto& [eventFlag, storedFlag] : kMapping) {
        if (modifiers & storedFlag)
            flags |= eventFlag;
    }
    return flags;
}

bool HXModifierFlagsMatch(std::uint64_t eventFlags, std::uint64_t hotKeyFlags, bool ignoreCapsLock,
                          bool ignoreFunctionKey, bool exact) {
    return HXLogModifierFlagsMatch(false, eventFlags, hotKeyFlags, ignoreCapsLock, ignoreFunctionKey, exact);
}

bool HXLogModifierFlagsMatch(bool log, std::uint64_t eventFlags, std::uint64_t hotKeyFlags,
                             bool ignoreCapsLock, bool ignoreFunctionKey, bool exact) {
    // Ignored bits are set on both sides, so that they always agree.
    if (ignoreCapsLock) {
        eventFlags |= CapsLock;
        hotKeyFlags |= CapsLock;
    }
    if (ignoreFunctionKey) {
        eventFlags |= Function;
        hotKeyFlags |= Function;
    }
    if (exact && (eventFlags & DeviceDependent) && (hotKeyFlags & DeviceDependent)) {
        constexpr std::uint64_t mask = DeviceIndependent | DeviceDependent;
        return (eventFlags & mask) == (hotKeyFlags & mask);
    }
    const std::uint64_t event = eventFlags & DeviceIndependent;
    const std::uint64_t input = hotKeyFlags & DeviceIndependent;
    if (log) {
        HXSystemLog(QStringLiteral("comparing modifiers (=> relevant device-independent bits only):\n"
                                   "event:\t%1\t=>\t%2\ninput:\t%3\t=>\t%4")
                        .arg(pointerText(eventFlags), pointerText(event), pointerText(hotKeyFlags),
                             pointerText(input)));
    }
    return event == input;
}
