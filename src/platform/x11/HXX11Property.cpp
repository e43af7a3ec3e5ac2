#include "platform/x11/HXX11Property.h"

#include <algorithm>
#include <cstring>

namespace {

// Bytes that really follow the reply header: the header's length in 4-byte units, not the item count,
// which the reply states separately.
std::size_t available(const xcb_get_property_reply_t* reply) {
    return std::size_t(reply->length) * 4;
}

} // namespace

std::vector<std::uint32_t> HXX11Property::items32(const xcb_get_property_reply_t* reply, xcb_atom_t type) {
    std::vector<std::uint32_t> items;
    if (!reply || reply->type != type || reply->format != 32)
        return items;
    const std::size_t count = std::min<std::size_t>(reply->value_len, available(reply) / 4);
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
    const std::size_t length = std::min<std::size_t>(reply->value_len, available(reply));
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                      static_cast<qsizetype>(length));
}
