#include "platform/x11/HXX11Property.h"

#include <cstring>

std::vector<std::uint32_t> HXX11Property::items32(const xcb_get_property_reply_t* reply, xcb_atom_t type) {
    std::vector<std::uint32_t> items;
    if (!reply || reply->type != type || reply->format != 32)
        return items;
    // The byte length comes from the reply header, the item count from the server's own field; trust the
    // smaller one.
    const int byteLength = xcb_get_property_value_length(reply);
    const std::size_t count = std::min<std::size_t>(
        reply->value_len, byteLength > 0 ? static_cast<std::size_t>(byteLength) / 4 : 0);
    items.resize(count);
    if (count > 0)
        std::memcpy(items.data(), xcb_get_property_value(reply), count * 4);
    return items;
}

std::optional<std::uint32_t> HXX11Property::first32(const xcb_get_property_reply_t* reply, xcb_atom_t type) {
    const std::vector<std::uint32_t> items = items32(reply, type);
    if (items.empty())
        return std::nullopt;
    return items.front();
}

std::optional<QByteArray> HXX11Property::bytes8(const xcb_get_property_reply_t* reply) {
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8)
        return std::nullopt;
    const int length = xcb_get_property_value_length(reply);
    if (length <= 0)
        return QByteArray();
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply)), length);
}
