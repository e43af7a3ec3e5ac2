#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Virtual key codes (the ones stored hot keys keep) and the XKB names of the keys at the same places
// on the keyboard: 0 "AC01" (A on a us keyboard), 36 "RTRN", 48 "TAB", 96 "FK05", ...
std::optional<std::string_view> HXXkbKeyNameForKeyCode(std::uint16_t keyCode);
std::optional<std::uint16_t> HXKeyCodeForXkbKeyName(std::string_view name);
