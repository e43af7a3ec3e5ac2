#pragma once

#include <QByteArray>

#include <xcb/xproto.h>

#include <cstdint>
#include <optional>
#include <vector>

// Checked reading of property replies. Clients put anything into their properties, so every type, format
// and length is checked; a property that does not have the expected shape reads as absent.
namespace HXX11Property {

// The items of a format-32 property of the given type.
std::vector<std::uint32_t> items32(const xcb_get_property_reply_t* reply, xcb_atom_t type);
// The first item of a format-32 property of the given type.
std::optional<std::uint32_t> first32(const xcb_get_property_reply_t* reply, xcb_atom_t type);
// The bytes of a format-8 property of any type; absent when there is no such property.
std::optional<QByteArray> bytes8(const xcb_get_property_reply_t* reply);

} // namespace HXX11Property
